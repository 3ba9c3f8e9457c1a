#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <cstdint>
#include <span>

namespace hc {

// A borderless black box that shows one picture at its natural size, tiled from the top-left
// corner: a larger picture shows its top-left part, a smaller one repeats.
class AvatarBox final : public QWidget {
  Q_OBJECT

 public:
  explicit AvatarBox(QWidget* parent = nullptr);

  // Decodes the bytes of an image file. Bytes that are not a picture clear the box.
  void set_picture(std::span<const std::uint8_t> bytes);
  // Shows the image composed over black; a null image clears the box.
  void show_image(const QImage& image);
  void clear_picture();
  bool has_picture() const { return !picture_.isNull(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap picture_;
};

}  // namespace hc
