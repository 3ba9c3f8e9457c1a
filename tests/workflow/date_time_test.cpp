#include "workflow/date_time.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <ostream>

#include "text/gbk.h"

namespace hc {
namespace {

struct StampCase {
  std::int64_t stamp;
  const char* shown;  // UTF-8 here, GBK in the program
  friend void PrintTo(const StampCase& c, std::ostream* out) { *out << c.stamp; }
};

class TimeText : public ::testing::TestWithParam<StampCase> {};

TEST_P(TimeText, RendersTheStampAtUtcPlusEight) {
  EXPECT_EQ(gbk_to_utf8(format_date_time(timestamp_to_time(GetParam().stamp))), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Stamps, TimeText,
    ::testing::Values(
        // milliseconds; the time part stops at the last field that is not zero
        StampCase{1579000000000, "2020年1月14日19时6分40秒"},
        StampCase{1577836800000, "2020年1月1日8时"}, StampCase{1577808000000, "2020年1月1日"},
        StampCase{1577809800000, "2020年1月1日0时30分"},
        // ten digits are seconds; fewer digits are seconds too
        StampCase{1579000000, "2020年1月14日19时6分40秒"},
        StampCase{1234, "1970年1月1日8时20分34秒"}, StampCase{0, "1970年1月1日8时"},
        // past the 32-bit range of seconds
        StampCase{2147483648, "2038年1月19日11时14分8秒"},
        StampCase{4102444800000, "2100年1月1日8时"},
        StampCase{9999999999, "2286年11月21日1时46分39秒"},
        StampCase{std::numeric_limits<std::int64_t>::max(), "2262年4月12日7时47分16秒"},
        // negative stamps: the sign counts as one of the first ten characters
        StampCase{-1, "1970年1月1日7时59分59秒"},
        StampCase{-1234567890, "1966年2月2日10时26分51秒"},
        StampCase{std::numeric_limits<std::int64_t>::min(), "1940年10月10日3时13分17秒"}));

TEST(TimeTextZone, IgnoresTheMachinesTimeZone) {
  const char* old_zone = std::getenv("TZ");
  const std::string saved = old_zone != nullptr ? old_zone : "";
  for (const char* zone : {"America/Los_Angeles", "Asia/Kolkata", "UTC"}) {
    ::setenv("TZ", zone, 1);
    ::tzset();
    EXPECT_EQ(gbk_to_utf8(format_date_time(timestamp_to_time(1579000000000))),
              "2020年1月14日19时6分40秒")
        << zone;
  }
  if (old_zone != nullptr) {
    ::setenv("TZ", saved.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
}

}  // namespace
}  // namespace hc
