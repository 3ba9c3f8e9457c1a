#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include "app/avatar_box.h"
#include "tests/app/window_fixture.h"

namespace hc::testing {
namespace {

// Every pixel different, so a shifted or stretched tile shows.
QImage numbered_image(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.setPixel(x, y, qRgb(x * 2, y * 3, 255 - x - y));
    }
  }
  return image;
}

class AvatarBoxTest : public WindowTest {
 protected:
  QImage shown() {
    return window.avatar_box().grab().toImage().convertToFormat(QImage::Format_RGB32);
  }
};

TEST_F(AvatarBoxTest, TilesThePictureFromTheTopLeftCorner) {
  for (const QSize size :
       {QSize(10, 7), QSize(64, 56), QSize(100, 80), QSize(1, 1), QSize(70, 3)}) {
    SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
    const QImage picture = numbered_image(size.width(), size.height());
    window.avatar_box().show_image(picture);
    const QImage box = shown();
    ASSERT_EQ(box.size(), QSize(64, 56));
    for (int y = 0; y < box.height(); ++y) {
      for (int x = 0; x < box.width(); ++x) {
        ASSERT_EQ(box.pixel(x, y), picture.pixel(x % size.width(), y % size.height()))
            << x << ", " << y;
      }
    }
  }
}

TEST_F(AvatarBoxTest, TransparencyIsComposedOverBlack) {
  QImage picture(2, 1, QImage::Format_ARGB32);
  picture.setPixel(0, 0, qRgba(255, 255, 255, 0));
  picture.setPixel(1, 0, qRgba(200, 100, 0, 128));
  window.avatar_box().show_image(picture);
  const QImage box = shown();
  EXPECT_EQ(box.pixelColor(0, 0), QColor(Qt::black));
  EXPECT_EQ(box.pixelColor(2, 5), QColor(Qt::black));
  const QColor half = box.pixelColor(1, 0);
  EXPECT_NEAR(half.red(), 100, 1);
  EXPECT_NEAR(half.green(), 50, 1);
  EXPECT_EQ(half.blue(), 0);
}

Bytes encoded(const QImage& image, const char* format, int quality = -1) {
  QByteArray file;
  QBuffer buffer(&file);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(image.save(&buffer, format, quality)) << format;
  return Bytes(file.begin(), file.end());
}

TEST_F(AvatarBoxTest, SetPictureDecodesImageFiles) {
  QImage picture = numbered_image(9, 5);
  picture.setPixel(3, 2, qRgba(255, 255, 255, 0));
  controls.set_picture(encoded(picture, "PNG"));
  ASSERT_TRUE(window.avatar_box().has_picture());
  const QImage box = shown();
  EXPECT_EQ(box.pixel(9 + 4, 5 + 1), picture.pixel(4, 1));
  EXPECT_EQ(box.pixelColor(9 + 3, 2), QColor(Qt::black));

  QImage grey(16, 16, QImage::Format_RGB32);
  grey.fill(QColor(128, 128, 128));
  controls.set_picture(encoded(grey, "JPEG", 100));
  ASSERT_TRUE(window.avatar_box().has_picture());
  EXPECT_NEAR(shown().pixelColor(40, 40).green(), 128, 3);
}

TEST_F(AvatarBoxTest, WithoutAPictureTheBoxIsBlack) {
  const auto expect_black = [this] {
    const QImage box = shown();
    ASSERT_EQ(box.size(), QSize(64, 56));
    for (int y = 0; y < box.height(); ++y) {
      for (int x = 0; x < box.width(); ++x) {
        ASSERT_EQ(box.pixelColor(x, y), QColor(Qt::black)) << x << ", " << y;
      }
    }
  };
  expect_black();
  window.avatar_box().show_image(numbered_image(5, 5));
  window.avatar_box().show_image(QImage());
  expect_black();
  window.avatar_box().show_image(numbered_image(5, 5));
  controls.set_picture(bytes_from_text("GIF89a but not really"));
  expect_black();
}

}  // namespace
}  // namespace hc::testing
