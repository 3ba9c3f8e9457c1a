#pragma once

#include <QPixmap>

#include <vector>

namespace hc {

// The small-image list of CommentList. Index 0 is the music service's emblem, 20 x 20 with
// alpha, drawn here so that the program carries no image files.
std::vector<QPixmap> comment_icons();

}  // namespace hc
