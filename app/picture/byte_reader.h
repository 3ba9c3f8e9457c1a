#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace hc {

// Reads numbers from untrusted bytes. A read past the end gives 0 and leaves the reader failed
// for good, so a header can be read field by field and checked once with ok().
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes, std::size_t position = 0)
      : bytes_(bytes), position_(position) {}

  bool ok() const { return ok_; }
  std::size_t position() const { return position_; }
  std::size_t remaining() const {
    return position_ < bytes_.size() ? bytes_.size() - position_ : 0;
  }

  std::uint8_t u8() {
    if (!has(1)) {
      return 0;
    }
    return bytes_[position_++];
  }

  std::uint16_t u16le() {
    if (!has(2)) {
      return 0;
    }
    const auto value = static_cast<std::uint16_t>(bytes_[position_] | bytes_[position_ + 1] << 8);
    position_ += 2;
    return value;
  }

  std::uint32_t u32le() {
    if (!has(4)) {
      return 0;
    }
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
      value = value << 8 | bytes_[position_ + static_cast<std::size_t>(i)];
    }
    position_ += 4;
    return value;
  }

  std::int32_t s32le() { return static_cast<std::int32_t>(u32le()); }

  std::uint32_t u32be() {
    if (!has(4)) {
      return 0;
    }
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
      value = value << 8 | bytes_[position_ + i];
    }
    position_ += 4;
    return value;
  }

  // The next count bytes; fewer (and a failed reader) when the bytes end first.
  std::span<const std::uint8_t> take(std::size_t count) {
    if (!ok_) {
      return {};
    }
    const std::size_t available = remaining();
    if (count > available) {
      ok_ = false;
      count = available;
    }
    auto piece = bytes_.subspan(position_ < bytes_.size() ? position_ : bytes_.size(), count);
    position_ += count;
    return piece;
  }

  void skip(std::size_t count) { take(count); }

 private:
  bool has(std::size_t count) {
    if (!ok_ || count > remaining()) {
      ok_ = false;
      return false;
    }
    return true;
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
  bool ok_ = true;
};

}  // namespace hc
