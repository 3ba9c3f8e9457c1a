#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <string>

#include <gtest/gtest.h>

#include "app/picture/picture.h"
#include "tests/picture/fixtures.h"

namespace hc::test {
namespace {

FileBytes bytes_of(std::string_view text) {
  return FileBytes(text.begin(), text.end());
}

// Every byte of a literal that may hold zero bytes, without its terminating zero.
template <std::size_t N>
FileBytes literal(const char (&text)[N]) {
  return FileBytes(text, text + N - 1);
}

void put32(FileBytes& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
}

std::optional<Picture> read_with_qt(const FileBytes& bytes, const std::string& format, int image) {
  QByteArray data(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, format.c_str());
  if (image > 0 && !reader.jumpToImage(image)) {
    return std::nullopt;
  }
  const QImage read = reader.read().convertToFormat(QImage::Format_ARGB32);
  if (read.isNull()) {
    return std::nullopt;
  }
  Picture picture{read.width(), read.height(), {}};
  for (int y = 0; y < read.height(); ++y) {
    for (int x = 0; x < read.width(); ++x) {
      picture.pixels.push_back(read.pixel(x, y));
    }
  }
  return picture;
}

TEST(DecodePicture, DecodesEveryKindToItsPixels) {
  for (const Fixture& fixture : picture_fixtures()) {
    SCOPED_TRACE(fixture.name);
    EXPECT_EQ(picture_kind(fixture.bytes), fixture.kind);
    const auto picture = decode_picture(fixture.bytes);
    ASSERT_TRUE(picture.has_value());
    EXPECT_TRUE(same_picture(*picture, fixture.expected, fixture.tolerance));
  }
}

// Our writers make the test files; Qt's readers confirm that the files hold what we expect.
TEST(PictureFixtures, QtReadsTheSamePictures) {
  for (const Fixture& fixture : picture_fixtures()) {
    if (fixture.qt_format.empty()) {
      continue;
    }
    SCOPED_TRACE(fixture.name);
    const auto picture = read_with_qt(fixture.bytes, fixture.qt_format, fixture.qt_image);
    ASSERT_TRUE(picture.has_value());
    // Qt may keep alpha premultiplied, which costs a step or two of colour.
    EXPECT_TRUE(same_picture(*picture, fixture.expected, std::max(fixture.tolerance, 3)));
  }
}

TEST(DecodePicture, DecodesHandBuiltCorners) {
  constexpr std::uint32_t red = 0xFFFF0000;
  constexpr std::uint32_t green = 0xFF00FF00;
  constexpr std::uint32_t blue = 0xFF0000FF;

  // A 4x2 RLE4 bitmap: a run alternating two colours, then a jump that skips two pixels.
  FileBytes rle4 = {'B', 'M'};
  put32(rle4, 0);
  put32(rle4, 0);
  put32(rle4, 14 + 40 + 16);
  for (const std::uint32_t field : {40u, 4u, 2u, 0x00040001u, 2u, 12u, 0u, 0u, 4u, 0u}) {
    put32(rle4, field);
  }
  for (const std::uint32_t colour : {0u, red, green, blue}) {
    put32(rle4, colour & 0xFFFFFF);
  }
  rle4.insert(rle4.end(), {0x04, 0x12, 0, 0, 0, 2, 2, 0, 0x02, 0x33, 0, 1});

  // A 3x2 PCX whose one run goes on from the first scan line into the second.
  FileBytes pcx(128, 0);
  pcx[0] = 0x0A;
  pcx[1] = 5;
  pcx[2] = 1;
  pcx[3] = 8;
  pcx[8] = 2;   // right
  pcx[10] = 1;  // bottom
  pcx[65] = 1;  // planes
  pcx[66] = 4;  // bytes per line
  pcx.insert(pcx.end(), {0xC8, 5, 0x0C});
  FileBytes palette(768, 0);
  palette[15] = 10;
  palette[16] = 20;
  palette[17] = 30;
  pcx.insert(pcx.end(), palette.begin(), palette.end());

  // A 2x1 32-bit icon whose alpha bytes are all zero: its mask decides instead.
  FileBytes icon = {0, 0, 1, 0, 1, 0, 2, 1, 0, 0, 1, 0, 32, 0};
  put32(icon, 40 + 8 + 4);
  put32(icon, 22);
  for (const std::uint32_t field : {40u, 2u, 2u, 0x00200001u, 0u, 0u, 0u, 0u, 0u, 0u}) {
    put32(icon, field);
  }
  icon.insert(icon.end(), {0x10, 0x20, 0x30, 0, 0x40, 0x50, 0x60, 0, 0x40, 0, 0, 0});

  const struct {
    const char* name;
    FileBytes bytes;
    Picture expected;
  } cases[] = {
      {"rle4 runs and jumps", rle4, {4, 2, {0, 0, blue, blue, red, green, red, green}}},
      {"pcx run across scan lines", pcx, {3, 2, std::vector<std::uint32_t>(6, 0xFF0A141E)}},
      {"icon mask without alpha", icon, {2, 1, {0xFF302010, 0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto picture = decode_picture(c.bytes);
    ASSERT_TRUE(picture.has_value());
    EXPECT_TRUE(same_picture(*picture, c.expected, 0));
  }
}

TEST(DecodePicture, GivesNothingForBytesThatHoldNoPicture) {
  FileBytes bad_crc = make_png(sample_picture(4, 4, false));
  bad_crc[29] ^= 1;  // the header chunk's checksum
  FileBytes jpeg_compression = make_bmp(sample_picture(4, 4, false));
  jpeg_compression[30] = 4;
  FileBytes run_length_24 = make_bmp(sample_picture(4, 4, false));
  run_length_24[30] = 1;
  FileBytes odd_header = make_bmp(sample_picture(4, 4, false));
  odd_header[14] = 20;
  FileBytes icon_past_end =
      make_icon(IconType::icon, {{icon_bitmap(sample_picture(4, 4, true)), 4, 4}});
  icon_past_end[18] = 0xE8;
  icon_past_end[19] = 0x03;  // offset 1000
  FileBytes pcx_header_only = make_pcx(sample_indexed(4, 4, 8));
  pcx_header_only.resize(128);

  const struct {
    const char* name;
    FileBytes bytes;
  } cases[] = {
      {"empty", {}},
      {"seven bytes of a JPEG header", {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A}},
      {"a 404 page", bytes_of("<!DOCTYPE html>\n<html><head><title>404 Not Found</title></head>"
                              "<body><h1>Not Found</h1></body></html>\n")},
      {"plain text", bytes_of("no picture here, only words")},
      {"PNG signature alone", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}},
      {"PNG header with a wrong checksum", bad_crc},
      {"JPEG markers without an image", {0xFF, 0xD8, 0xFF, 0xD9, 0, 0, 0, 0}},
      {"GIF ending before any image", literal("GIF89a\1\0\1\0\0\0\0;")},
      {"GIF without any colour table",
       literal("GIF89a\1\0\1\0\0\0\0,\0\0\0\0\1\0\1\0\0\2\2\x44\1\0;")},
      {"GIF with a code size of 12",
       literal("GIF89a\1\0\1\0\x80\0\0\0\0\0\xff\xff\xff,\0\0\0\0\1\0\1\0\0\x0c\2\0\0\0;")},
      {"BMP with JPEG compression", jpeg_compression},
      {"BMP of 24 bits with run-length rows", run_length_24},
      {"BMP with an unknown header size", odd_header},
      {"icon whose image lies past the end", icon_past_end},
      {"icon whose directory is missing", {0, 0, 1, 0, 5, 0, 0, 0}},
      {"PCX without any scan line", pcx_header_only},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(decode_picture(c.bytes).has_value());
  }
}

TEST(PictureKind, IsToldByTheLeadingBytes) {
  const struct {
    FileBytes bytes;
    PictureKind kind;
  } cases[] = {
      {{}, PictureKind::unknown},
      {{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A}, PictureKind::unknown},  // seven bytes
      {{0xFF, 0xD8, 0, 0, 0, 0, 0, 0}, PictureKind::jpeg},
      {bytes_of("BM000000"), PictureKind::bmp},
      {{0x89, 'P', 'N', 'G', 0, 0, 0, 0}, PictureKind::png},
      {bytes_of("GIF87a00"), PictureKind::gif},
      {bytes_of("GIF89a00"), PictureKind::gif},
      {bytes_of("GIF88a00"), PictureKind::unknown},
      {{0, 0, 1, 0, 1, 0, 0, 0}, PictureKind::icon},
      {{0, 0, 1, 0, 0, 0, 0, 0}, PictureKind::unknown},  // no images
      {{0, 0, 2, 0, 0, 1, 0, 0}, PictureKind::cursor},   // 256 images
      {{0, 0, 2, 0, 0, 0, 0, 0}, PictureKind::unknown},
      {{0, 0, 3, 0, 1, 0, 0, 0}, PictureKind::unknown},
      {{0x0A, 5, 1, 8, 0, 0, 0, 0}, PictureKind::pcx},
      {{0x0A, 0, 1, 8, 0, 0, 0, 0}, PictureKind::pcx},
      {{0x0A, 1, 1, 8, 0, 0, 0, 0}, PictureKind::pcx},
      {{0x0A, 6, 1, 8, 0, 0, 0, 0}, PictureKind::unknown},  // no such version
      {{0x0A, 5, 0, 8, 0, 0, 0, 0}, PictureKind::unknown},  // not run-length coded
      {{0x0A, 3, 1, 1, 0, 0, 0, 0}, PictureKind::pcx},
      {{0x0A, 5, 1, 1, 0, 0, 0, 0}, PictureKind::unknown},  // 1 bit only in version 3
      {{0x0A, 5, 1, 4, 0, 0, 0, 0}, PictureKind::unknown},
      {bytes_of("<html><body>"), PictureKind::unknown},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(picture_kind(c.bytes), c.kind) << ::testing::PrintToString(c.bytes);
  }
}

TEST(PictureSize, IsAllowedUpTo8192ASideAnd32MillionPixels) {
  const struct {
    std::int64_t width;
    std::int64_t height;
    bool allowed;
  } cases[] = {
      {1, 1, true},        {8192, 1, true},    {1, 8192, true},     {8193, 1, false},
      {1, 8193, false},    {8000, 4000, true}, {8000, 4001, false}, {5657, 5657, false},
      {8192, 8192, false}, {0, 10, false},     {10, 0, false},      {-1, 10, false},
      {10, -1, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(picture_size_allowed(c.width, c.height), c.allowed) << c.width << "x" << c.height;
  }
}

}  // namespace
}  // namespace hc::test
