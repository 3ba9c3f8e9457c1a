// Speed of cutting the song data out of a large page, and of turning a large UTF-8 body into
// GBK text.

#include <benchmark/benchmark.h>

#include <string>

#include "text/bytes.h"
#include "text/markers.h"
#include "web/charset.h"

namespace {

constexpr std::size_t page_size = 10 * 1024 * 1024;

// A GBK page of list markup with Chinese titles, and the hidden data area near its end.
const std::string& page() {
  static const std::string text = [] {
    const std::string row =
        "<li class=\"item\"><a href=\"/song?id=1234567\" title=\"\xB8\xE8\xC7\xFA\">"
        "\xB8\xE8\xC7\xFA\xC3\xFB\xD7\xD6 - Artist</a><span class=\"s-fc3\">03:45</span></li>\n";
    std::string result;
    result.reserve(page_size + 4096);
    while (result.size() < page_size - 2048) {
      result += row;
    }
    result +=
        "<textarea id=\"song-list-pre-data\" style=\"display:none;\">"
        "[{\"name\":\"\xB8\xE8\",\"id\":1}]</textarea>\n";
    while (result.size() < page_size) {
      result += row;
    }
    return result;
  }();
  return text;
}

// UTF-8 text of Chinese and ASCII, about half of each by bytes.
const hc::Bytes& utf8_body() {
  static const hc::Bytes bytes = [] {
    const std::string piece =
        "{\"content\":\"\xE8\xBF\x99\xE9\xA6\x96\xE6\xAD\x8C\xE7\x9C\x9F\xE5\xA5\xBD\xE5\x90\xAC"
        "\",\"user\":{\"nickname\":\"\xE5\xB0\x8F\xE6\x98\x8E\",\"avatarUrl\":"
        "\"http://p1.example/a.jpg\"},\"likedCount\":1234,\"time\":1579000000000},";
    std::string text;
    text.reserve(page_size + piece.size());
    while (text.size() < page_size) {
      text += piece;
    }
    return hc::Bytes(text.begin(), text.end());
  }();
  return bytes;
}

void text_between_late_markers(benchmark::State& state) {
  const std::string& text = page();
  const bool ignore_case = state.range(0) != 0;
  for (auto _ : state) {
    std::string data =
        hc::text_between(text, "<textarea id=\"song-list-pre-data\" style=\"display:none;\">",
                         "</textarea>", 1, ignore_case);
    benchmark::DoNotOptimize(data);
    if (data.empty()) {
      state.SkipWithError("the data area was not found");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(text_between_late_markers)->ArgName("ignore_case")->Arg(0)->Arg(1);

void convert_charset_utf8_to_gbk(benchmark::State& state) {
  const hc::Bytes& body = utf8_body();
  for (auto _ : state) {
    hc::Bytes text = hc::convert_charset(body);
    benchmark::DoNotOptimize(text);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body.size()));
}
BENCHMARK(convert_charset_utf8_to_gbk);

}  // namespace
