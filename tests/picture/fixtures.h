#pragma once

// One or more small files of each kind with the picture each must decode to.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/picture/picture_makers.h"

namespace hc::test {

struct Fixture {
  std::string name;
  PictureKind kind = PictureKind::unknown;
  FileBytes bytes;
  Picture expected;
  // Largest difference allowed in a colour component (JPEG loses some; 16-bit BMP rounds).
  int tolerance = 0;
  // The format name of Qt's reader for the same file, empty when Qt has none for it.
  std::string qt_format;
  // For icons: the image Qt should read, the largest.
  int qt_image = 0;
  // For icons: the sizes of the smaller images, which a cut file may fall back to.
  std::vector<std::pair<int, int>> smaller_images = {};
};

std::vector<Fixture> picture_fixtures();

// Equal sizes and pixels within the tolerance; two fully transparent pixels are equal
// whatever their colour.
::testing::AssertionResult same_picture(const Picture& actual, const Picture& expected,
                                        int tolerance);

}  // namespace hc::test
