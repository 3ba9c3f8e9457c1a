// GIF: the first image of the file, drawn on a transparent canvas the size of the logical
// screen (grown to hold the image where the image reaches past it).

#include <algorithm>
#include <array>
#include <cstddef>

#include "app/picture/byte_reader.h"
#include "app/picture/decoders.h"

namespace hc {
namespace {

constexpr int max_code_width = 12;
constexpr int max_codes = 1 << max_code_width;

struct ColourTable {
  // Indices past the table's end show as black.
  std::array<std::uint32_t, 256> colours;
};

bool read_colour_table(ByteReader& in, int count, ColourTable& table) {
  table.colours.fill(opaque_black);
  for (int i = 0; i < count; ++i) {
    const std::uint8_t red = in.u8();
    const std::uint8_t green = in.u8();
    const std::uint8_t blue = in.u8();
    table.colours[static_cast<std::size_t>(i)] = argb(255, red, green, blue);
  }
  return in.ok();
}

// Skips a chain of data sub-blocks up to its zero-length end.
bool skip_sub_blocks(ByteReader& in) {
  for (;;) {
    const std::uint8_t length = in.u8();
    if (!in.ok()) {
      return false;
    }
    if (length == 0) {
      return true;
    }
    in.skip(length);
  }
}

// Hands out the bytes of a chain of data sub-blocks one by one; nothing after the zero-length
// block or the end of the file.
class SubBlockBytes {
 public:
  explicit SubBlockBytes(ByteReader& in) : in_(in) {}

  std::optional<std::uint8_t> next() {
    while (left_in_block_ == 0) {
      if (ended_) {
        return std::nullopt;
      }
      left_in_block_ = in_.u8();
      if (!in_.ok() || left_in_block_ == 0) {
        ended_ = true;
        left_in_block_ = 0;
      }
    }
    const std::uint8_t byte = in_.u8();
    if (!in_.ok()) {
      ended_ = true;
      left_in_block_ = 0;
      return std::nullopt;
    }
    --left_in_block_;
    return byte;
  }

 private:
  ByteReader& in_;
  int left_in_block_ = 0;
  bool ended_ = false;
};

struct ImageFrame {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool interlaced = false;
};

// Puts colour indices on the canvas in the order the image sends them: row by row, or in the
// four interlace passes.
class FrameWriter {
 public:
  FrameWriter(Picture& canvas, const ImageFrame& frame, const ColourTable& colours, int transparent)
      : canvas_(canvas), frame_(frame), colours_(colours), transparent_(transparent) {}

  bool full() const { return row_ >= frame_.height; }
  bool wrote_any() const { return wrote_any_; }

  void put(std::uint8_t index) {
    if (full()) {
      return;
    }
    if (index != transparent_) {
      const auto y = static_cast<std::size_t>(frame_.top + row_);
      const auto x = static_cast<std::size_t>(frame_.left + column_);
      canvas_.pixels[y * static_cast<std::size_t>(canvas_.width) + x] = colours_.colours[index];
    }
    wrote_any_ = true;
    if (++column_ == frame_.width) {
      column_ = 0;
      next_row();
    }
  }

 private:
  void next_row() {
    static constexpr std::array<int, 4> first_row = {0, 4, 2, 1};
    static constexpr std::array<int, 4> row_step = {8, 8, 4, 2};
    if (!frame_.interlaced) {
      ++row_;
      return;
    }
    row_ += row_step[pass_];
    while (row_ >= frame_.height && pass_ < 3) {
      ++pass_;
      row_ = first_row[pass_];
    }
  }

  Picture& canvas_;
  const ImageFrame& frame_;
  const ColourTable& colours_;
  int transparent_;
  int row_ = 0;
  int column_ = 0;
  std::size_t pass_ = 0;
  bool wrote_any_ = false;
};

// Variable-width LZW as GIF uses it: codes from 1 + min_code_size bits up to 12, a clear code
// that restarts the table, an end code, and a table that stays as it is once full.
class LzwDecoder {
 public:
  LzwDecoder(SubBlockBytes& data, int min_code_size)
      : data_(data), min_code_size_(min_code_size), clear_(1 << min_code_size) {
    for (int code = 0; code < clear_; ++code) {
      suffix_[static_cast<std::size_t>(code)] = static_cast<std::uint8_t>(code);
    }
    restart();
  }

  // Decodes until the end code, a bad code, the end of the data or a full frame.
  void decode(FrameWriter& out) {
    while (!out.full()) {
      const std::optional<int> code = read_code();
      if (!code || *code == clear_ + 1) {
        return;
      }
      if (*code == clear_) {
        restart();
        continue;
      }
      if (!emit(*code, out)) {
        return;
      }
    }
  }

 private:
  void restart() {
    width_ = min_code_size_ + 1;
    next_ = clear_ + 2;
    previous_ = -1;
  }

  std::optional<int> read_code() {
    while (bit_count_ < width_) {
      const std::optional<std::uint8_t> byte = data_.next();
      if (!byte) {
        return std::nullopt;
      }
      bits_ |= static_cast<std::uint32_t>(*byte) << bit_count_;
      bit_count_ += 8;
    }
    const int code = static_cast<int>(bits_ & ((1u << width_) - 1));
    bits_ >>= width_;
    bit_count_ -= width_;
    return code;
  }

  // Writes the string of one code and adds the table entry it implies. False on a code the
  // table does not hold yet.
  bool emit(int code, FrameWriter& out) {
    if (previous_ < 0) {
      if (code >= clear_) {
        return false;
      }
      out.put(static_cast<std::uint8_t>(code));
      previous_ = code;
      previous_first_ = static_cast<std::uint8_t>(code);
      return true;
    }
    if (code > next_ || (code == next_ && next_ == max_codes)) {
      return false;
    }
    std::size_t depth = 0;
    int walk = code;
    if (code == next_) {
      // The code being defined right now: the previous string and its own first byte.
      stack_[depth++] = previous_first_;
      walk = previous_;
    }
    while (walk >= clear_) {
      stack_[depth++] = suffix_[static_cast<std::size_t>(walk)];
      walk = prefix_[static_cast<std::size_t>(walk)];
    }
    const auto first = static_cast<std::uint8_t>(walk);
    stack_[depth++] = first;
    while (depth > 0) {
      out.put(stack_[--depth]);
    }
    if (next_ < max_codes) {
      prefix_[static_cast<std::size_t>(next_)] = static_cast<std::uint16_t>(previous_);
      suffix_[static_cast<std::size_t>(next_)] = first;
      ++next_;
      if (next_ >= 1 << width_ && width_ < max_code_width) {
        ++width_;
      }
    }
    previous_ = code;
    previous_first_ = first;
    return true;
  }

  SubBlockBytes& data_;
  int min_code_size_;
  int clear_;
  int width_ = 0;
  int next_ = 0;
  int previous_ = -1;
  std::uint8_t previous_first_ = 0;
  std::uint32_t bits_ = 0;
  int bit_count_ = 0;
  std::array<std::uint16_t, max_codes> prefix_{};
  std::array<std::uint8_t, max_codes> suffix_{};
  // A string is at most one byte per table entry plus one.
  std::array<std::uint8_t, max_codes + 1> stack_{};
};

std::optional<Picture> decode_frame(ByteReader& in, int screen_width, int screen_height,
                                    const std::optional<ColourTable>& global_colours,
                                    int transparent) {
  ImageFrame frame;
  frame.left = in.u16le();
  frame.top = in.u16le();
  frame.width = in.u16le();
  frame.height = in.u16le();
  const std::uint8_t flags = in.u8();
  frame.interlaced = (flags & 0x40) != 0;
  if (!in.ok() || frame.width == 0 || frame.height == 0) {
    return std::nullopt;
  }
  std::optional<ColourTable> local_colours;
  if ((flags & 0x80) != 0) {
    local_colours.emplace();
    if (!read_colour_table(in, 2 << (flags & 7), *local_colours)) {
      return std::nullopt;
    }
  }
  const std::optional<ColourTable>& colours = local_colours ? local_colours : global_colours;
  const int min_code_size = in.u8();
  if (!in.ok() || !colours || min_code_size < 2 || min_code_size > 8) {
    return std::nullopt;
  }

  auto canvas = blank_picture(std::max(screen_width, frame.left + frame.width),
                              std::max(screen_height, frame.top + frame.height));
  if (!canvas) {
    return std::nullopt;
  }
  FrameWriter writer(*canvas, frame, *colours, transparent);
  SubBlockBytes data(in);
  LzwDecoder(data, min_code_size).decode(writer);
  if (!writer.wrote_any()) {
    return std::nullopt;
  }
  return canvas;
}

}  // namespace

std::optional<Picture> decode_gif(std::span<const std::uint8_t> bytes) {
  ByteReader in(bytes);
  const auto signature = in.take(6);
  const std::array<std::uint8_t, 3> gif = {'G', 'I', 'F'};
  if (!in.ok() || !std::equal(gif.begin(), gif.end(), signature.begin())) {
    return std::nullopt;
  }
  const int screen_width = in.u16le();
  const int screen_height = in.u16le();
  const std::uint8_t flags = in.u8();
  in.skip(2);  // background colour and aspect ratio
  std::optional<ColourTable> global_colours;
  if ((flags & 0x80) != 0) {
    global_colours.emplace();
    if (!read_colour_table(in, 2 << (flags & 7), *global_colours)) {
      return std::nullopt;
    }
  }

  int transparent = -1;
  for (;;) {
    const std::uint8_t block = in.u8();
    if (!in.ok()) {
      return std::nullopt;
    }
    if (block == 0x2C) {
      return decode_frame(in, screen_width, screen_height, global_colours, transparent);
    }
    if (block != 0x21) {
      return std::nullopt;  // the trailer before any image, or garbage
    }
    const std::uint8_t label = in.u8();
    if (label == 0xF9) {
      // Graphic control: its first sub-block holds flags, delay and the transparent index.
      const std::uint8_t length = in.u8();
      const auto control = in.take(length);
      if (!in.ok()) {
        return std::nullopt;
      }
      if (length >= 4) {
        transparent = (control[0] & 1) != 0 ? control[3] : -1;
      }
      if (length == 0) {
        continue;  // that was already the end of the chain
      }
    }
    if (!skip_sub_blocks(in)) {
      return std::nullopt;
    }
  }
}

}  // namespace hc
