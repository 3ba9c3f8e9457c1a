#include "tests/picture/fixtures.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace hc::test {
namespace {

int component(std::uint32_t pixel, int shift) {
  return static_cast<int>(pixel >> shift & 0xFF);
}

Picture greyed(Picture picture) {
  for (std::uint32_t& pixel : picture.pixels) {
    const std::uint32_t red = pixel >> 16 & 0xFF;
    pixel = (pixel & 0xFF000000) | red << 16 | red << 8 | red;
  }
  return picture;
}

Picture without_alpha(Picture picture, std::uint32_t alpha) {
  for (std::uint32_t& pixel : picture.pixels) {
    pixel = (pixel & 0x00FFFFFF) | alpha << 24;
  }
  return picture;
}

Picture black_and_white(const IndexedPicture& indexed) {
  Picture picture{indexed.width, indexed.height, {}};
  for (const std::uint8_t index : indexed.indices) {
    picture.pixels.push_back(index == 0 ? 0xFF000000 : 0xFFFFFFFF);
  }
  return picture;
}

// The first picture drawn at (left, top) on a transparent screen.
Picture placed(const Picture& picture, int screen_width, int screen_height, int left, int top) {
  Picture screen{screen_width, screen_height, {}};
  screen.pixels.assign(static_cast<std::size_t>(screen_width * screen_height), 0);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      screen.pixels[static_cast<std::size_t>((top + y) * screen_width + left + x)] =
          picture.pixels[static_cast<std::size_t>(y * picture.width + x)];
    }
  }
  return screen;
}

void add_png(std::vector<Fixture>& fixtures) {
  const Picture rgba = sample_picture(13, 7, true);
  const Picture opaque = sample_picture(13, 7, false);
  const Picture few_colours = to_picture(sample_indexed(11, 6, 40), 3);
  fixtures.push_back({"png rgba", PictureKind::png, make_png(rgba), rgba, 0, "png"});
  fixtures.push_back({"png rgb 16-bit interlaced", PictureKind::png,
                      make_png(opaque, {PngColour::rgb, true, true}), opaque, 0, "png"});
  fixtures.push_back({"png palette with transparency", PictureKind::png,
                      make_png(few_colours, {PngColour::palette}), few_colours, 0, "png"});
  fixtures.push_back({"png grey with alpha", PictureKind::png,
                      make_png(rgba, {PngColour::grey_alpha}), greyed(rgba), 0, "png"});
  fixtures.push_back({"png grey 16-bit", PictureKind::png,
                      make_png(opaque, {PngColour::grey, true}), greyed(opaque), 0, "png"});
}

void add_jpeg(std::vector<Fixture>& fixtures) {
  const Picture smooth = sample_picture(32, 24, false);
  fixtures.push_back({"jpeg baseline", PictureKind::jpeg, make_jpeg(smooth), smooth, 12, "jpeg"});
  fixtures.push_back({"jpeg progressive", PictureKind::jpeg,
                      make_jpeg(smooth, {JpegColour::rgb, true}), smooth, 12, "jpeg"});
  fixtures.push_back({"jpeg grey", PictureKind::jpeg, make_jpeg(smooth, {JpegColour::grey}),
                      greyed(smooth), 8, "jpeg"});
  fixtures.push_back({"jpeg Adobe CMYK", PictureKind::jpeg,
                      make_jpeg(smooth, {JpegColour::adobe_cmyk}), smooth, 16, "jpeg"});
}

void add_gif(std::vector<Fixture>& fixtures) {
  const IndexedPicture many = sample_indexed(13, 7, 200);
  const IndexedPicture sixteen = sample_indexed(13, 7, 16);
  const IndexedPicture noisy = code_table_filler();
  fixtures.push_back({"gif", PictureKind::gif, make_gif(many), to_picture(many), 0, "gif"});
  fixtures.push_back(
      {"gif interlaced, transparent, local colours", PictureKind::gif,
       make_gif(sixteen, {.transparent = 5, .interlaced = true, .local_colours = true}),
       to_picture(sixteen, 5), 0, "gif"});
  fixtures.push_back({"gif code table cleared when full", PictureKind::gif, make_gif(noisy),
                      to_picture(noisy), 0, "gif"});
  fixtures.push_back({"gif code table kept when full", PictureKind::gif,
                      make_gif(noisy, {.clear_when_full = false}), to_picture(noisy), 0, "gif"});
  fixtures.push_back(
      {"gif image placed on a larger screen", PictureKind::gif,
       make_gif(sixteen, {.screen_width = 20, .screen_height = 12, .left = 4, .top = 3}),
       placed(to_picture(sixteen), 20, 12, 4, 3), 0, ""});
  fixtures.push_back({"gif first of two images", PictureKind::gif,
                      make_gif(sixteen, {.second_image = true}), to_picture(sixteen), 0, "gif"});
}

void add_bmp(std::vector<Fixture>& fixtures) {
  const Picture rgba = sample_picture(13, 7, true);
  const Picture opaque = sample_picture(13, 7, false);
  const IndexedPicture many = sample_indexed(13, 7, 200);
  const IndexedPicture sixteen = sample_indexed(13, 7, 16);
  const IndexedPicture two = sample_indexed(13, 7, 2);
  const std::vector<std::uint32_t> argb_masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
  fixtures.push_back({"bmp 24-bit", PictureKind::bmp, make_bmp(opaque), opaque, 0, "bmp"});
  fixtures.push_back({"bmp 24-bit top-down", PictureKind::bmp, make_bmp(opaque, {.top_down = true}),
                      opaque, 0, "bmp"});
  fixtures.push_back({"bmp 32-bit with alpha mask, v5 header", PictureKind::bmp,
                      make_bmp(rgba, {.bits = 32, .masks = argb_masks, .header = BmpHeader::v5}),
                      rgba, 0, "bmp"});
  fixtures.push_back({"bmp 32-bit with alpha mask after a 40-byte header", PictureKind::bmp,
                      make_bmp(rgba, {.bits = 32, .masks = argb_masks}), rgba, 0, ""});
  fixtures.push_back({"bmp 32-bit whose fourth bytes are all zero", PictureKind::bmp,
                      make_bmp(without_alpha(opaque, 0), {.bits = 32}), opaque, 0, "bmp"});
  fixtures.push_back(
      {"bmp 16-bit 5-6-5", PictureKind::bmp,
       make_bmp(opaque, {.bits = 16, .masks = std::vector<std::uint32_t>{0xF800, 0x07E0, 0x001F}}),
       opaque, 8, "bmp"});
  fixtures.push_back(
      {"bmp 16-bit 5-5-5", PictureKind::bmp, make_bmp(opaque, {.bits = 16}), opaque, 8, "bmp"});
  fixtures.push_back({"bmp 8-bit", PictureKind::bmp, make_bmp(many), to_picture(many), 0, "bmp"});
  fixtures.push_back({"bmp 4-bit", PictureKind::bmp, make_bmp(sixteen, {.bits = 4}),
                      to_picture(sixteen), 0, "bmp"});
  fixtures.push_back(
      {"bmp 1-bit", PictureKind::bmp, make_bmp(two, {.bits = 1}), to_picture(two), 0, "bmp"});
  fixtures.push_back({"bmp 8-bit with a core header", PictureKind::bmp,
                      make_bmp(many, {.header = BmpHeader::core}), to_picture(many), 0, "bmp"});
  fixtures.push_back({"bmp 8-bit run-length", PictureKind::bmp,
                      make_bmp(many, {.rows = BmpRows::run_length}), to_picture(many), 0, "bmp"});
  fixtures.push_back({"bmp 4-bit run-length", PictureKind::bmp,
                      make_bmp(sixteen, {.bits = 4, .rows = BmpRows::run_length}),
                      to_picture(sixteen), 0, "bmp"});
}

void add_icons(std::vector<Fixture>& fixtures) {
  const IndexedPicture small = sample_indexed(16, 16, 200);
  const IndexedPicture sixteen = sample_indexed(16, 16, 16);
  const Picture rgba = sample_picture(24, 20, true);
  const Picture wide = sample_picture(40, 30, true);
  fixtures.push_back(
      {"icon: the larger of an 8-bit and a 32-bit image",
       PictureKind::icon,
       make_icon(IconType::icon, {{icon_bitmap(small, 8, 7), 16, 16}, {icon_bitmap(rgba), 24, 20}}),
       rgba,
       0,
       "ico",
       1,
       {{16, 16}}});
  fixtures.push_back(
      {"icon: a PNG image larger than the bitmap",
       PictureKind::icon,
       make_icon(IconType::icon, {{icon_bitmap(sixteen, 4, 3), 16, 16}, {make_png(wide), 40, 30}}),
       wide,
       0,
       "ico",
       1,
       {{16, 16}}});
  fixtures.push_back({"icon: 4-bit with a transparency mask", PictureKind::icon,
                      make_icon(IconType::icon, {{icon_bitmap(sixteen, 4, 3), 16, 16}}),
                      to_picture(sixteen, 3), 0, "ico"});
  fixtures.push_back({"cursor", PictureKind::cursor,
                      make_icon(IconType::cursor, {{icon_bitmap(rgba), 24, 20}}), rgba, 0, "cur"});
}

void add_pcx(std::vector<Fixture>& fixtures) {
  const IndexedPicture many = sample_indexed(13, 7, 256);
  const IndexedPicture two = sample_indexed(13, 7, 2);
  const Picture opaque = sample_picture(13, 7, false);
  fixtures.push_back({"pcx 8-bit", PictureKind::pcx, make_pcx(many), to_picture(many), 0, ""});
  fixtures.push_back({"pcx 24-bit", PictureKind::pcx, make_pcx(opaque), opaque, 0, ""});
  fixtures.push_back({"pcx black and white", PictureKind::pcx, make_pcx_black_and_white(two),
                      black_and_white(two), 0, ""});
}

}  // namespace

std::vector<Fixture> picture_fixtures() {
  std::vector<Fixture> fixtures;
  add_png(fixtures);
  add_jpeg(fixtures);
  add_gif(fixtures);
  add_bmp(fixtures);
  add_icons(fixtures);
  add_pcx(fixtures);
  return fixtures;
}

::testing::AssertionResult same_picture(const Picture& actual, const Picture& expected,
                                        int tolerance) {
  if (actual.width != expected.width || actual.height != expected.height ||
      actual.pixels.size() != expected.pixels.size()) {
    return ::testing::AssertionFailure()
           << "size " << actual.width << "x" << actual.height << ", expected " << expected.width
           << "x" << expected.height;
  }
  int mismatches = 0;
  std::ostringstream first;
  for (std::size_t i = 0; i < actual.pixels.size(); ++i) {
    const std::uint32_t a = actual.pixels[i];
    const std::uint32_t e = expected.pixels[i];
    if ((a >> 24) == 0 && (e >> 24) == 0) {
      continue;
    }
    bool near = true;
    for (int shift = 0; shift < 32; shift += 8) {
      near = near && std::abs(component(a, shift) - component(e, shift)) <= tolerance;
    }
    if (!near && mismatches++ == 0) {
      first << std::hex << "pixel (" << std::dec << i % static_cast<std::size_t>(actual.width)
            << ", " << i / static_cast<std::size_t>(actual.width) << std::hex << ") is 0x" << a
            << ", expected 0x" << e;
    }
  }
  if (mismatches > 0) {
    return ::testing::AssertionFailure() << mismatches << " pixels differ; " << first.str();
  }
  return ::testing::AssertionSuccess();
}

}  // namespace hc::test
