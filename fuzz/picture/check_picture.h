#pragma once

#include <cstdlib>
#include <optional>

#include "app/picture/picture.h"

namespace hc {

// What every decoded picture must be, whatever the bytes were: within the limits, and with
// exactly one pixel for each place.
inline void check_picture(const std::optional<Picture>& picture) {
  if (!picture) {
    return;
  }
  const bool sound = picture_size_allowed(picture->width, picture->height) &&
                     picture->pixels.size() == static_cast<std::size_t>(picture->width) *
                                                   static_cast<std::size_t>(picture->height);
  if (!sound) {
    std::abort();
  }
}

}  // namespace hc
