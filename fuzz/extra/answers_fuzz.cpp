// A fuzzed response body read the way the handlers read it: converted from UTF-8 to GBK, then
// either as a chart page (the song array cut out between the text area's markers, parsed, and
// each song read by its four paths) or as a comment answer (parsed, each comment read by its
// five paths and its time turned into the time text). The first byte chooses which.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "json/script_json.h"
#include "text/bytes.h"
#include "text/find.h"
#include "text/markers.h"
#include "text/rules.h"
#include "web/charset.h"
#include "workflow/date_time.h"
#include "workflow/gbk_texts.h"

namespace {

// Enough rows to reach every kind of element a small input can hold.
constexpr int max_rows = 64;

void check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

void read_chart(hc::ScriptJson& json, const std::string& page) {
  const std::string data = hc::text_between(page, hc::gbk::song_data_start, hc::gbk::song_data_end,
                                            1, /*ignore_case=*/true);
  check(data.size() <= page.size());
  json.parse(data);
  const int songs = json.count();
  check(songs >= 0);
  for (int i = 0; i < songs && i < max_rows; ++i) {
    const std::string song = "[" + std::to_string(i);
    for (const char* member : {"].artists[0].name", "].name", "].id", "].commentThreadId"}) {
      (void)json.get_text(song + member);
    }
  }
}

void read_comments(hc::ScriptJson& json, const std::string& answer) {
  json.parse(answer);
  for (const char* array : {"hotComments", "comments"}) {
    const int count = json.count(array);
    check(count >= 0);
    for (int i = 0; i < count && i < max_rows; ++i) {
      const std::string element = std::string(array) + "[" + std::to_string(i);
      for (const char* member :
           {"].user.nickname", "].content", "].user.avatarUrl", "].likedCount"}) {
        (void)json.get_text(element + member);
      }
      const std::string stamp = json.get_text(element + "].time");
      const std::string time =
          hc::format_date_time(hc::timestamp_to_time(hc::text_to_int64(stamp)));
      // At least "Y年M月D日": a year, a month and a day, each a number and its character.
      check(time.size() >= 9 && hc::contains(time, hc::gbk::day));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  const hc::Bytes body(data + 1, data + size);
  const hc::Bytes converted = hc::convert_charset(body);
  const std::string text = hc::text_from_bytes(converted);
  hc::ScriptJson json;
  if (data[0] % 2 == 0) {
    read_chart(json, text);
  } else {
    read_comments(json, text);
  }
  return 0;
}
