#include "app/avatar_box.h"

#include <QPainter>

#include <cstring>
#include <optional>

#include "app/picture/picture.h"

namespace hc {
namespace {

// The decoder's pixels are 0xAARRGGBB with straight alpha, which is QImage's ARGB32.
QImage image_from_picture(const Picture& picture) {
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.pixels.size() !=
          static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height)) {
    return {};
  }
  QImage image(picture.width, picture.height, QImage::Format_ARGB32);
  if (image.isNull()) {
    return {};
  }
  const std::size_t row_bytes = static_cast<std::size_t>(picture.width) * sizeof(std::uint32_t);
  for (int y = 0; y < picture.height; ++y) {
    std::memcpy(image.scanLine(y),
                picture.pixels.data() + static_cast<std::size_t>(y) * picture.width, row_bytes);
  }
  return image;
}

}  // namespace

AvatarBox::AvatarBox(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void AvatarBox::set_picture(std::span<const std::uint8_t> bytes) {
  const std::optional<Picture> picture = decode_picture(bytes);
  show_image(picture ? image_from_picture(*picture) : QImage());
}

void AvatarBox::show_image(const QImage& image) {
  if (image.isNull()) {
    clear_picture();
    return;
  }
  QImage over_black(image.size(), QImage::Format_RGB32);
  if (over_black.isNull()) {
    clear_picture();
    return;
  }
  over_black.fill(Qt::black);
  QPainter painter(&over_black);
  painter.drawImage(0, 0, image);
  painter.end();
  picture_ = QPixmap::fromImage(over_black);
  update();
}

void AvatarBox::clear_picture() {
  picture_ = QPixmap();
  update();
}

void AvatarBox::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  if (!picture_.isNull()) {
    painter.drawTiledPixmap(rect(), picture_, QPoint(0, 0));
  }
}

}  // namespace hc
