#include <algorithm>
#include <array>

#include "app/picture/byte_reader.h"
#include "app/picture/decoders.h"
#include "app/picture/dib.h"

namespace hc {
namespace {

constexpr std::array<std::uint8_t, 8> png_signature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

bool holds_png(std::span<const std::uint8_t> image) {
  return image.size() >= png_signature.size() &&
         std::equal(png_signature.begin(), png_signature.end(), image.begin());
}

struct Candidate {
  std::span<const std::uint8_t> image;
  std::int64_t pixels = 0;
  int bit_count = 0;
};

// The size an embedded image declares: a PNG's header chunk, or the bitmap header.
std::optional<Candidate> size_of(std::span<const std::uint8_t> image) {
  Candidate candidate{image};
  if (holds_png(image)) {
    ByteReader in(image, 16);  // signature, chunk length and type
    const std::uint32_t width = in.u32be();
    const std::uint32_t height = in.u32be();
    if (!in.ok() || !picture_size_allowed(width, height)) {
      return std::nullopt;
    }
    candidate.pixels = std::int64_t{width} * height;
    candidate.bit_count = 32;
    return candidate;
  }
  const auto size = dib_size(image, DibUse::icon);
  if (!size || !picture_size_allowed(size->width, size->height)) {
    return std::nullopt;
  }
  candidate.pixels = size->width * size->height;
  candidate.bit_count = size->bit_count;
  return candidate;
}

bool better(const Candidate& a, const Candidate& b) {
  return a.pixels != b.pixels ? a.pixels > b.pixels : a.bit_count > b.bit_count;
}

}  // namespace

// Icons and cursors share one layout: a zero word, the type (1 icon, 2 cursor), the number of
// images, then a 16-byte entry per image whose last two words give the image's length and
// offset. Of the images whose headers are sound, the largest is decoded; the deepest colour
// breaks a tie, then the earlier entry.
std::optional<Picture> decode_icon(std::span<const std::uint8_t> bytes) {
  ByteReader in(bytes);
  const std::uint16_t reserved = in.u16le();
  const std::uint16_t type = in.u16le();
  const std::uint16_t count = in.u16le();
  if (!in.ok() || reserved != 0 || (type != 1 && type != 2) || count == 0) {
    return std::nullopt;
  }
  std::optional<Candidate> best;
  for (int i = 0; i < count; ++i) {
    in.skip(8);  // size, colours, hot spot or planes and depth: the image's own header tells
    const std::uint32_t length = in.u32le();
    const std::uint32_t offset = in.u32le();
    if (!in.ok()) {
      break;  // a directory cut short: the entries before the cut still count
    }
    if (offset >= bytes.size()) {
      continue;
    }
    const auto image = bytes.subspan(offset, std::min<std::size_t>(length, bytes.size() - offset));
    const auto candidate = size_of(image);
    if (candidate && (!best || better(*candidate, *best))) {
      best = candidate;
    }
  }
  if (!best) {
    return std::nullopt;
  }
  if (holds_png(best->image)) {
    return decode_png(best->image);
  }
  return decode_dib(best->image, std::nullopt, DibUse::icon);
}

}  // namespace hc
