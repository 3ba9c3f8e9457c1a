#include "workflow/date_time.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "workflow/gbk_texts.h"

namespace hc {
namespace {

constexpr std::chrono::seconds utc_offset = std::chrono::hours(8);
constexpr std::size_t seconds_digits = 10;

std::int64_t stamp_seconds(std::int64_t stamp) {
  std::string digits = std::to_string(stamp);
  if (digits.size() == seconds_digits) {
    return stamp;
  }
  // The decimal text of an integer: its first ten characters always read as a whole number.
  const std::size_t length = std::min(digits.size(), seconds_digits);
  std::int64_t seconds = 0;
  std::from_chars(digits.data(), digits.data() + length, seconds);
  return seconds;
}

void append_number(std::string& text, long long number, std::string_view unit) {
  text += std::to_string(number);
  text += unit;
}

}  // namespace

DateTime timestamp_to_time(std::int64_t stamp) {
  return DateTime(std::chrono::seconds(stamp_seconds(stamp)) + utc_offset);
}

std::string format_date_time(DateTime time) {
  using namespace std::chrono;
  const auto day_start = floor<days>(time);
  const year_month_day date(day_start);
  const hh_mm_ss clock(time - day_start);

  std::string text;
  append_number(text, static_cast<int>(date.year()), gbk::year);
  append_number(text, static_cast<unsigned>(date.month()), gbk::month);
  append_number(text, static_cast<unsigned>(date.day()), gbk::day);

  const long long hour = clock.hours().count();
  const long long minute = clock.minutes().count();
  const long long second = clock.seconds().count();
  if (second != 0) {
    append_number(text, hour, gbk::hour);
    append_number(text, minute, gbk::minute);
    append_number(text, second, gbk::second);
  } else if (minute != 0) {
    append_number(text, hour, gbk::hour);
    append_number(text, minute, gbk::minute);
  } else if (hour != 0) {
    append_number(text, hour, gbk::hour);
  }
  return text;
}

}  // namespace hc
