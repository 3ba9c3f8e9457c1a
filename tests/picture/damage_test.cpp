// Untrusted bytes: files cut short, and files declaring sizes beyond the limits.

#include <algorithm>
#include <array>
#include <string>

#include <gtest/gtest.h>

#include "app/picture/picture.h"
#include "tests/picture/fixtures.h"
#include "tests/picture/largest_allocation.h"

namespace hc::test {
namespace {

const Fixture& fixture_named(const std::vector<Fixture>& fixtures, const std::string& name) {
  const auto found = std::find_if(fixtures.begin(), fixtures.end(),
                                  [&](const Fixture& f) { return f.name == name; });
  if (found == fixtures.end()) {
    ADD_FAILURE() << "no fixture " << name;
    return fixtures.front();
  }
  return *found;
}

FileBytes first_bytes(const FileBytes& bytes, std::size_t count) {
  return FileBytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

Picture row_of(const Picture& picture, int y) {
  const auto start = picture.pixels.begin() + static_cast<std::ptrdiff_t>(y) * picture.width;
  return {picture.width, 1, std::vector<std::uint32_t>(start, start + picture.width)};
}

bool declared_size(const Fixture& fixture, const Picture& picture) {
  const std::pair size{picture.width, picture.height};
  return size == std::pair{fixture.expected.width, fixture.expected.height} ||
         std::find(fixture.smaller_images.begin(), fixture.smaller_images.end(), size) !=
             fixture.smaller_images.end();
}

// Every cut of the small files, and a spread of cuts of the larger ones, under the sanitizers
// in the checked build: no crash, no read past the bytes, and never a picture of a size the
// file does not declare (an icon cut inside its largest image may show a smaller one).
TEST(DamagedPicture, CutFilesGiveNothingOrAPictureOfADeclaredSize) {
  for (const Fixture& fixture : picture_fixtures()) {
    SCOPED_TRACE(fixture.name);
    const std::size_t size = fixture.bytes.size();
    const std::size_t step = std::max<std::size_t>(1, size / 400);
    int wrong = 0;
    for (std::size_t cut = 0; cut < size; cut += cut < 300 ? 1 : step) {
      const auto picture = decode_picture(first_bytes(fixture.bytes, cut));
      const bool sound = !picture || (cut >= 8 && declared_size(fixture, *picture));
      if (!sound && wrong++ == 0) {
        ADD_FAILURE() << "cut at " << cut << " of " << size << " gave a " << picture->width << "x"
                      << picture->height << " picture";
      }
    }
  }
}

TEST(DamagedPicture, CutInsideThePixelsKeepsWhatCameBefore) {
  const auto fixtures = picture_fixtures();
  const struct {
    const char* fixture;
    // Bytes kept, as a share of the file.
    double kept;
    // A row the kept bytes hold, and a row they do not (-1: not checked, JPEG fills it in).
    int whole_row;
    int empty_row;
  } cases[] = {
      {"png rgba", 0.7, 0, 6},
      {"jpeg baseline", 0.9, 0, -1},  // its tables take the first 70%
      {"gif code table cleared when full", 0.3, 0, 199},
      {"bmp 24-bit", 0.6, 6, 0},  // rows go from the bottom up
      {"cursor", 0.5, 19, 0},
      {"pcx 24-bit", 0.6, 0, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fixture);
    const Fixture& fixture = fixture_named(fixtures, c.fixture);
    const auto cut = static_cast<std::size_t>(static_cast<double>(fixture.bytes.size()) * c.kept);
    const auto picture = decode_picture(first_bytes(fixture.bytes, cut));
    ASSERT_TRUE(picture.has_value());
    EXPECT_TRUE(same_picture(row_of(*picture, c.whole_row), row_of(fixture.expected, c.whole_row),
                             fixture.tolerance));
    if (c.empty_row >= 0) {
      const Picture empty = row_of(*picture, c.empty_row);
      EXPECT_TRUE(std::all_of(empty.pixels.begin(), empty.pixels.end(),
                              [](std::uint32_t pixel) { return pixel == 0; }));
    }
    // A cut inside the headers leaves nothing to show.
    EXPECT_FALSE(decode_picture(first_bytes(fixture.bytes, 20)).has_value());
  }
}

// A file of each kind holding a real picture of the given size.
std::vector<std::pair<PictureKind, FileBytes>> files_of_size(int width, int height) {
  const Picture picture = sample_picture(width, height, true);
  const IndexedPicture indexed = sample_indexed(width, height, 16);
  return {
      {PictureKind::png, make_png(picture)},
      {PictureKind::jpeg, make_jpeg(picture)},
      {PictureKind::gif, make_gif(indexed)},
      {PictureKind::bmp, make_bmp(picture)},
      {PictureKind::icon, make_icon(IconType::icon, {{icon_bitmap(picture), width, height}})},
      {PictureKind::cursor, make_icon(IconType::cursor, {{make_png(picture), width, height}})},
      {PictureKind::pcx, make_pcx(indexed)},
  };
}

TEST(DamagedPicture, DeclaredSizesBeyondTheLimitsAreRefusedBeforeAllocating) {
  constexpr std::size_t small_allocation = 1 << 20;
  const struct {
    int width;
    int height;
  } too_large[] = {{8193, 2}, {2, 8193}, {5657, 5657}, {65535, 65535}};

  for (const auto& [width, height] : {std::pair{8192, 2}, std::pair{2, 8192}}) {
    for (const auto& [kind, bytes] : files_of_size(width, height)) {
      SCOPED_TRACE(::testing::Message()
                   << "kind " << static_cast<int>(kind) << ", " << width << "x" << height);
      const auto at_limit = decode_picture(bytes);
      ASSERT_TRUE(at_limit.has_value());
      EXPECT_EQ(at_limit->width, width);
      EXPECT_EQ(at_limit->height, height);
      for (const auto& size : too_large) {
        SCOPED_TRACE(::testing::Message() << "declared " << size.width << "x" << size.height);
        const FileBytes oversized = with_declared_size(kind, bytes, size.width, size.height);
        LargestAllocation largest;
        EXPECT_FALSE(decode_picture(oversized).has_value());
        EXPECT_LT(largest.bytes(), small_allocation);
      }
    }
  }
}

// A progressive file with its last scan repeated: each scan is a pass over the whole picture,
// so a file of thousands of scans would keep the window busy for long.
FileBytes with_last_scan_repeated(const FileBytes& jpeg, int times) {
  const std::array<std::uint8_t, 2> start_of_scan = {0xFF, 0xDA};
  const auto last_scan =
      std::find_end(jpeg.begin(), jpeg.end(), start_of_scan.begin(), start_of_scan.end());
  FileBytes out(jpeg.begin(), jpeg.end() - 2);  // without the end marker
  for (int i = 0; i < times; ++i) {
    out.insert(out.end(), last_scan, jpeg.end() - 2);
  }
  out.insert(out.end(), {0xFF, 0xD9});
  return out;
}

TEST(DamagedPicture, JpegWithTooManyScansIsRefused) {
  const Picture picture = sample_picture(32, 24, false);
  const FileBytes progressive = make_jpeg(picture, {JpegColour::rgb, true});
  const auto few = decode_picture(with_last_scan_repeated(progressive, 20));
  ASSERT_TRUE(few.has_value());
  EXPECT_TRUE(same_picture(*few, picture, 12));
  EXPECT_FALSE(decode_picture(with_last_scan_repeated(progressive, 200)).has_value());
}

TEST(DamagedPicture, ThePixelLimitIncludesItsLastPixel) {
  // One whole row of pixels, the rest cut off: 8000 x 4000 is exactly the limit.
  const FileBytes bmp = make_bmp(sample_picture(8000, 1, false));
  const auto largest = decode_picture(with_declared_size(PictureKind::bmp, bmp, 8000, 4000));
  ASSERT_TRUE(largest.has_value());
  EXPECT_EQ(largest->width, 8000);
  EXPECT_EQ(largest->height, 4000);
  EXPECT_FALSE(decode_picture(with_declared_size(PictureKind::bmp, bmp, 8000, 4001)).has_value());
}

}  // namespace
}  // namespace hc::test
