#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace hc {

// A comment's time as the clock on the wall at UTC+8 showed it, whatever this machine's zone.
using DateTime = std::chrono::local_seconds;

// A stamp of exactly ten digits is taken as seconds; any other stamp contributes the number
// written by its first ten characters (a 13-digit millisecond stamp loses its last three
// digits). Seconds stay 64-bit, so dates after 2038 come out right.
DateTime timestamp_to_time(std::int64_t stamp);

// "2020年1月14日19时6分40秒" in GBK: no zero padding, and the time part stops at the last
// field that is not zero ("2020年1月1日8时", or the date alone at midnight).
std::string format_date_time(DateTime time);

}  // namespace hc
