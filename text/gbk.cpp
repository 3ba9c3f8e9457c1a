#include "text/gbk.h"

#include <unicode/ucnv.h>

#include <array>
#include <memory>

namespace hc {
namespace {

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter open_converter(const char* name) {
  UErrorCode status = U_ZERO_ERROR;
  Converter converter(ucnv_open(name, &status));
  if (U_FAILURE(status)) {
    return nullptr;
  }
  return converter;
}

// Opening a converter costs far more than a short conversion, and texts cross to the toolkit
// many times per click, so each thread keeps one pair. The GBK side writes "?" for characters
// it lacks, as the Windows code page does.
struct Converters {
  Converter gbk = open_converter("GBK");
  Converter utf8 = open_converter("UTF-8");

  Converters() {
    if (gbk) {
      UErrorCode status = U_ZERO_ERROR;
      ucnv_setSubstChars(gbk.get(), "?", 1, &status);
    }
  }
};

Converters& converters() {
  thread_local Converters instance;
  return instance;
}

std::string convert(UConverter* to, UConverter* from, std::string_view input) {
  if (input.empty() || to == nullptr || from == nullptr) {
    return {};
  }
  // GBK needs at most two bytes per UTF-16 unit and UTF-8 at most three, so three bytes out
  // for every byte in is always enough.
  std::string output(input.size() * 3 + 4, '\0');
  std::array<UChar, 1024> pivot{};
  UChar* pivot_source = pivot.data();
  UChar* pivot_target = pivot.data();
  char* target = output.data();
  const char* source = input.data();
  UErrorCode status = U_ZERO_ERROR;
  ucnv_convertEx(to, from, &target, output.data() + output.size(), &source,
                 input.data() + input.size(), pivot.data(), &pivot_source, &pivot_target,
                 pivot.data() + pivot.size(), true, true, &status);
  if (U_FAILURE(status)) {
    return {};
  }
  output.resize(static_cast<std::size_t>(target - output.data()));
  return output;
}

}  // namespace

std::string gbk_to_utf8(std::string_view gbk) {
  auto& c = converters();
  return convert(c.utf8.get(), c.gbk.get(), gbk);
}

std::string utf8_to_gbk(std::string_view utf8) {
  auto& c = converters();
  return convert(c.gbk.get(), c.utf8.get(), utf8);
}

}  // namespace hc
