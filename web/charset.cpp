#include "web/charset.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>

namespace hc {
namespace {

constexpr const char* default_from_charset = "UTF-8";
constexpr const char* default_to_charset = "GBK";
constexpr char16_t byte_order_mark = u'\uFEFF';

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// A converter that writes "?" for characters its charset lacks, as the Windows code pages do.
Converter open_converter(const std::string& name) {
  UErrorCode status = U_ZERO_ERROR;
  Converter converter(ucnv_open(name.c_str(), &status));
  if (U_FAILURE(status)) {
    return nullptr;
  }
  UErrorCode ignored = U_ZERO_ERROR;  // charsets such as UTF-16 cannot take it, nor need it
  ucnv_setSubstChars(converter.get(), "?", 1, &ignored);
  return converter;
}

// Runs one ICU conversion call over the whole input, growing the output until it fits.
template <typename Output, typename Input, typename Call>
std::optional<Output> convert_whole(const Input& input, std::size_t first_size, Call call) {
  Output output(first_size, {});
  auto source = input.data();
  auto target = output.data();
  for (;;) {
    UErrorCode status = U_ZERO_ERROR;
    call(&target, output.data() + output.size(), &source, input.data() + input.size(), &status);
    if (status != U_BUFFER_OVERFLOW_ERROR) {
      if (U_FAILURE(status)) {
        return std::nullopt;
      }
      break;
    }
    const auto used = static_cast<std::size_t>(target - output.data());
    output.resize(output.size() * 2);
    target = output.data() + used;
  }
  output.resize(static_cast<std::size_t>(target - output.data()));
  return output;
}

std::optional<std::u16string> decode(UConverter* converter, std::string_view input) {
  return convert_whole<std::u16string>(
      input, input.size() + 16,
      [converter](UChar** target, const UChar* target_end, const char** source,
                  const char* source_end, UErrorCode* status) {
        ucnv_toUnicode(converter, target, target_end, source, source_end, nullptr, true, status);
      });
}

std::optional<std::string> encode(UConverter* converter, std::u16string_view input) {
  return convert_whole<std::string>(
      input, input.size() * 2 + 16,
      [converter](char** target, const char* target_end, const UChar** source,
                  const UChar* source_end, UErrorCode* status) {
        ucnv_fromUnicode(converter, target, target_end, source, source_end, nullptr, true, status);
      });
}

bool same_charset(UConverter* a, UConverter* b) {
  UErrorCode status_a = U_ZERO_ERROR;
  UErrorCode status_b = U_ZERO_ERROR;
  return std::strcmp(ucnv_getName(a, &status_a), ucnv_getName(b, &status_b)) == 0;
}

// The whole conversion; nothing when a charset is unknown or a step fails.
std::optional<std::string> reencode(std::string_view data, const std::string& from_charset,
                                    const std::string& to_charset) {
  const Converter from = open_converter(from_charset);
  const Converter gbk = open_converter(default_to_charset);
  const Converter to = open_converter(to_charset);
  if (!from || !gbk || !to) {
    return std::nullopt;
  }

  auto unicode = decode(from.get(), data);
  if (!unicode) {
    return std::nullopt;
  }
  // A byte order mark says how the bytes are stored; it is not part of the content.
  if (!unicode->empty() && unicode->front() == byte_order_mark) {
    unicode->erase(0, 1);
  }

  auto text = encode(gbk.get(), *unicode);
  if (!text || same_charset(gbk.get(), to.get())) {
    return text;
  }
  const auto narrowed = decode(gbk.get(), *text);
  if (!narrowed) {
    return std::nullopt;
  }
  return encode(to.get(), *narrowed);
}

}  // namespace

Bytes convert_charset(const Bytes& data, std::string& from_charset, std::string& to_charset,
                      std::optional<std::int64_t> skip_bytes) {
  if (from_charset.empty()) {
    from_charset = default_from_charset;
  }
  if (to_charset.empty()) {
    to_charset = default_to_charset;
  }
  if (data.empty()) {
    return {};
  }
  const std::string_view input(reinterpret_cast<const char*>(data.data()), data.size());
  const auto converted = reencode(input, from_charset, to_charset);
  if (!converted) {
    return {};
  }
  std::size_t skipped = 0;
  if (skip_bytes && *skip_bytes > 0) {
    skipped = static_cast<std::size_t>(
        std::min<std::uint64_t>(static_cast<std::uint64_t>(*skip_bytes), converted->size()));
  }
  return Bytes(converted->begin() + static_cast<std::ptrdiff_t>(skipped), converted->end());
}

Bytes convert_charset(const Bytes& data) {
  std::string from_charset;
  std::string to_charset;
  return convert_charset(data, from_charset, to_charset);
}

}  // namespace hc
