#include "app/picture/dib.h"

#include <algorithm>
#include <array>
#include <vector>

#include "app/picture/byte_reader.h"
#include "app/picture/decoders.h"

namespace hc {
namespace {

constexpr std::uint32_t plain_rows = 0;
constexpr std::uint32_t rle8 = 1;
constexpr std::uint32_t rle4 = 2;
constexpr std::uint32_t bit_fields = 3;
constexpr std::uint32_t alpha_bit_fields = 6;

constexpr std::size_t core_header_size = 12;
constexpr std::size_t info_header_size = 40;
constexpr std::size_t os2_header_size = 64;

struct DibHeader {
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool top_down = false;
  int bit_count = 0;
  std::uint32_t compression = plain_rows;
  std::uint32_t colours_used = 0;
  // red, green, blue, alpha
  std::array<std::uint32_t, 4> masks{};
  // The alpha of each pixel comes from its bits (32-bit rows, or an alpha mask).
  bool alpha_in_pixels = false;
  std::size_t palette_offset = 0;
  std::size_t palette_entry_size = 4;
};

bool sound_format(const DibHeader& header, DibUse use) {
  switch (header.bit_count) {
    case 1:
      return header.compression == plain_rows;
    case 4:
      return header.compression == plain_rows ||
             (header.compression == rle4 && use == DibUse::bmp_file);
    case 8:
      return header.compression == plain_rows ||
             (header.compression == rle8 && use == DibUse::bmp_file);
    case 24:
      return header.compression == plain_rows;
    case 16:
    case 32:
      return header.compression == plain_rows || header.compression == bit_fields ||
             header.compression == alpha_bit_fields;
    default:
      return false;
  }
}

void set_default_masks(DibHeader& header) {
  if (header.bit_count == 16) {
    header.masks = {0x7C00, 0x03E0, 0x001F, 0};
  } else if (header.bit_count == 32) {
    header.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    header.alpha_in_pixels = true;
  }
}

// Bit-field masks follow a 40-byte header, or sit inside the longer headers.
void read_masks(ByteReader& in, std::size_t header_size, DibHeader& header) {
  header.masks[0] = in.u32le();
  header.masks[1] = in.u32le();
  header.masks[2] = in.u32le();
  const bool alpha_given =
      header_size == info_header_size ? header.compression == alpha_bit_fields : header_size >= 56;
  header.masks[3] = alpha_given ? in.u32le() : 0;
  header.alpha_in_pixels = header.masks[3] != 0;
}

std::optional<DibHeader> read_header(std::span<const std::uint8_t> dib, DibUse use) {
  ByteReader in(dib);
  const std::uint32_t header_size = in.u32le();
  DibHeader header;
  if (header_size == core_header_size) {
    header.width = in.u16le();
    header.height = in.u16le();
    in.skip(2);  // planes
    header.bit_count = in.u16le();
    header.palette_entry_size = 3;
  } else if (header_size >= info_header_size && header_size <= dib.size()) {
    header.width = in.s32le();
    header.height = in.s32le();
    in.skip(2);  // planes
    header.bit_count = in.u16le();
    header.compression = in.u32le();
    in.skip(12);  // image size and resolution
    header.colours_used = in.u32le();
    in.skip(4);  // important colours
    if (header_size == os2_header_size && header.compression >= bit_fields) {
      return std::nullopt;  // OS/2 uses these numbers for its own compressions
    }
  } else {
    return std::nullopt;
  }
  if (!in.ok()) {
    return std::nullopt;
  }
  header.top_down = header.height < 0;
  if (header.top_down) {
    header.height = -header.height;
  }
  if (use == DibUse::icon) {
    header.height /= 2;  // the rows are followed by as many rows of transparency mask
  }
  if (header.width <= 0 || header.height <= 0 || !sound_format(header, use)) {
    return std::nullopt;
  }

  set_default_masks(header);
  if (header.compression == bit_fields || header.compression == alpha_bit_fields) {
    ByteReader masks(dib, info_header_size);
    read_masks(masks, header_size, header);
    if (!masks.ok()) {
      return std::nullopt;
    }
    header.palette_offset = std::max<std::size_t>(header_size, masks.position());
  } else {
    header.palette_offset = header_size;
  }
  return header;
}

std::vector<std::uint32_t> read_palette(std::span<const std::uint8_t> dib, const DibHeader& header,
                                        std::optional<std::size_t> pixel_offset, bool& ok) {
  ok = true;
  if (header.bit_count > 8) {
    return {};
  }
  const std::size_t full = std::size_t{1} << header.bit_count;
  std::size_t count =
      header.colours_used > 0 && header.colours_used < full ? header.colours_used : full;
  // Some writers list fewer colours than they declare; the rows' start tells.
  if (pixel_offset && *pixel_offset > header.palette_offset) {
    count = std::min(count, (*pixel_offset - header.palette_offset) / header.palette_entry_size);
  }
  ByteReader in(dib, header.palette_offset);
  std::vector<std::uint32_t> palette(count);
  for (std::uint32_t& colour : palette) {
    const std::uint8_t blue = in.u8();
    const std::uint8_t green = in.u8();
    const std::uint8_t red = in.u8();
    in.skip(header.palette_entry_size - 3);
    colour = argb(255, red, green, blue);
  }
  ok = in.ok();
  return palette;
}

// One colour component under a bit-field mask, scaled to 0..255.
class Channel {
 public:
  explicit Channel(std::uint32_t mask) : mask_(mask) {
    while (mask_ != 0 && ((mask_ >> shift_) & 1) == 0) {
      ++shift_;
    }
  }
  std::uint32_t operator()(std::uint32_t pixel) const {
    if (mask_ == 0) {
      return 0;
    }
    const std::uint32_t value = (pixel & mask_) >> shift_;
    const std::uint32_t top = mask_ >> shift_;
    if (top == 255) {
      return value;  // the usual eight bits need no scaling
    }
    return static_cast<std::uint32_t>((std::uint64_t{value} * 255 + top / 2) / top);
  }

 private:
  std::uint32_t mask_;
  int shift_ = 0;
};

class PixelRows {
 public:
  PixelRows(std::span<const std::uint8_t> dib, const DibHeader& header,
            std::vector<std::uint32_t> palette, Picture& picture)
      : dib_(dib),
        header_(header),
        palette_(std::move(palette)),
        picture_(picture),
        red_(header.masks[0]),
        green_(header.masks[1]),
        blue_(header.masks[2]),
        alpha_(header.masks[3]) {}

  // Row r of the file, counted from the start of the pixel data.
  std::uint32_t* row(std::int64_t file_row) {
    const std::int64_t y = header_.top_down ? file_row : header_.height - 1 - file_row;
    return picture_.pixels.data() + y * header_.width;
  }

  std::uint32_t colour(std::size_t index) const {
    return index < palette_.size() ? palette_[index] : opaque_black;
  }

  // Bytes from one plain row to the next: whole 32-bit words.
  std::size_t stride() const { return (row_bits() + 31) / 32 * 4; }

  // Plain rows; gives how many whole rows the bytes held.
  std::int64_t decode_plain(std::size_t offset) {
    const std::size_t step = stride();
    const std::size_t row_bytes = (row_bits() + 7) / 8;
    std::int64_t rows = 0;
    for (; rows < header_.height; ++rows) {
      const std::size_t start = offset + static_cast<std::size_t>(rows) * step;
      if (start > dib_.size() || dib_.size() - start < row_bytes) {
        break;
      }
      decode_row(dib_.subspan(start, row_bytes), row(rows));
    }
    return rows;
  }

  // Run-length rows (RLE8, RLE4); pixels that the runs skip stay transparent. Gives whether
  // anything was drawn or the end-of-picture mark was reached.
  bool decode_runs(std::size_t offset) {
    ByteReader in(dib_, offset);
    std::int64_t x = 0;
    std::int64_t file_row = 0;
    bool drew = false;
    while (file_row < header_.height) {
      const std::uint8_t count = in.u8();
      const std::uint8_t value = in.u8();
      if (!in.ok()) {
        return drew;
      }
      if (count > 0) {
        for (int i = 0; i < count; ++i) {
          put_run_pixel(x++, file_row, run_index(value, i));
        }
        drew = true;
        continue;
      }
      if (value == 0) {  // end of row
        x = 0;
        ++file_row;
      } else if (value == 1) {  // end of picture
        return true;
      } else if (value == 2) {  // move right and up
        x += in.u8();
        file_row += in.u8();
      } else {  // literal indices, padded to a word
        const std::size_t bytes = header_.compression == rle8 ? value : (value + 1u) / 2;
        const auto literal = in.take(bytes + bytes % 2);
        for (int i = 0; i < value; ++i) {
          const std::size_t byte = header_.compression == rle8 ? static_cast<std::size_t>(i)
                                                               : static_cast<std::size_t>(i) / 2;
          if (byte >= literal.size()) {
            break;
          }
          put_run_pixel(x++, file_row,
                        run_index(literal[byte], header_.compression == rle8 ? 0 : i));
          drew = true;
        }
      }
    }
    return true;
  }

  // With alpha bits that are all zero, the writer meant no alpha at all. Gives whether that
  // was so (and the rows were made opaque).
  bool make_opaque_when_alpha_unused(std::int64_t rows) {
    for (std::int64_t r = 0; r < rows; ++r) {
      const std::uint32_t* line = row(r);
      for (std::int64_t x = 0; x < header_.width; ++x) {
        if ((line[x] >> 24) != 0) {
          return false;
        }
      }
    }
    for (std::int64_t r = 0; r < rows; ++r) {
      std::uint32_t* line = row(r);
      for (std::int64_t x = 0; x < header_.width; ++x) {
        line[x] |= opaque_black;
      }
    }
    return true;
  }

  // An icon's 1-bit mask after its rows: a set bit makes the pixel transparent. Rows the file
  // lacks stay as they are.
  void apply_icon_mask(std::size_t offset, std::int64_t rows) {
    const std::size_t stride = (static_cast<std::size_t>(header_.width) + 31) / 32 * 4;
    const std::size_t row_bytes = (static_cast<std::size_t>(header_.width) + 7) / 8;
    for (std::int64_t r = 0; r < rows; ++r) {
      const std::size_t start = offset + static_cast<std::size_t>(r) * stride;
      if (start > dib_.size() || dib_.size() - start < row_bytes) {
        return;
      }
      std::uint32_t* line = row(r);
      for (std::int64_t x = 0; x < header_.width; ++x) {
        if ((dib_[start + static_cast<std::size_t>(x / 8)] >> (7 - x % 8) & 1) != 0) {
          line[x] = 0;
        }
      }
    }
  }

 private:
  std::size_t row_bits() const {
    return static_cast<std::size_t>(header_.width) * static_cast<std::size_t>(header_.bit_count);
  }

  std::size_t run_index(std::uint8_t value, int i) const {
    if (header_.compression == rle8) {
      return value;
    }
    return i % 2 == 0 ? value >> 4 : value & 0x0F;
  }

  void put_run_pixel(std::int64_t x, std::int64_t file_row, std::size_t index) {
    if (x < header_.width && file_row < header_.height) {
      row(file_row)[x] = colour(index);
    }
  }

  void decode_row(std::span<const std::uint8_t> bytes, std::uint32_t* out) {
    const auto width = static_cast<std::size_t>(header_.width);
    switch (header_.bit_count) {
      case 1:
      case 4:
      case 8: {
        const auto bits = static_cast<std::size_t>(header_.bit_count);
        const std::size_t per_byte = 8 / bits;
        const std::uint32_t index_mask = (1u << bits) - 1;
        for (std::size_t x = 0; x < width; ++x) {
          const std::size_t shift = 8 - bits * (x % per_byte + 1);
          out[x] = colour(bytes[x / per_byte] >> shift & index_mask);
        }
        break;
      }
      case 24:
        for (std::size_t x = 0; x < width; ++x) {
          out[x] = argb(255, bytes[3 * x + 2], bytes[3 * x + 1], bytes[3 * x]);
        }
        break;
      case 16:
        for (std::size_t x = 0; x < width; ++x) {
          out[x] = from_masks(static_cast<std::uint32_t>(bytes[2 * x] | bytes[2 * x + 1] << 8));
        }
        break;
      case 32:
        for (std::size_t x = 0; x < width; ++x) {
          const std::uint8_t* p = &bytes[4 * x];
          out[x] = from_masks(static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16) |
                              static_cast<std::uint32_t>(p[3]) << 24);
        }
        break;
      default:
        break;
    }
  }

  std::uint32_t from_masks(std::uint32_t pixel) const {
    const std::uint32_t alpha = header_.alpha_in_pixels ? alpha_(pixel) : 255;
    return argb(alpha, red_(pixel), green_(pixel), blue_(pixel));
  }

  std::span<const std::uint8_t> dib_;
  const DibHeader& header_;
  std::vector<std::uint32_t> palette_;
  Picture& picture_;
  Channel red_;
  Channel green_;
  Channel blue_;
  Channel alpha_;
};

}  // namespace

std::optional<DibSize> dib_size(std::span<const std::uint8_t> dib, DibUse use) {
  const auto header = read_header(dib, use);
  if (!header) {
    return std::nullopt;
  }
  return DibSize{header->width, header->height, header->bit_count};
}

std::optional<Picture> decode_dib(std::span<const std::uint8_t> dib,
                                  std::optional<std::size_t> pixel_offset, DibUse use) {
  const auto header = read_header(dib, use);
  if (!header || !picture_size_allowed(header->width, header->height)) {
    return std::nullopt;
  }
  if (pixel_offset && *pixel_offset > dib.size()) {
    pixel_offset.reset();
  }
  bool palette_ok = false;
  auto palette = read_palette(dib, *header, pixel_offset, palette_ok);
  if (!palette_ok) {
    return std::nullopt;
  }
  const std::size_t rows_offset =
      pixel_offset.value_or(header->palette_offset + palette.size() * header->palette_entry_size);

  auto picture = blank_picture(header->width, header->height);
  if (!picture) {
    return std::nullopt;
  }
  PixelRows rows(dib, *header, std::move(palette), *picture);
  if (header->compression == rle8 || header->compression == rle4) {
    if (!rows.decode_runs(rows_offset)) {
      return std::nullopt;
    }
    return picture;
  }

  const std::int64_t rows_done = rows.decode_plain(rows_offset);
  if (rows_done == 0) {
    return std::nullopt;
  }
  const bool own_alpha = header->alpha_in_pixels && !rows.make_opaque_when_alpha_unused(rows_done);
  // An icon's mask counts only where its pixels carry no alpha of their own.
  if (use == DibUse::icon && !own_alpha) {
    rows.apply_icon_mask(rows_offset + static_cast<std::size_t>(header->height) * rows.stride(),
                         rows_done);
  }
  return picture;
}

}  // namespace hc
