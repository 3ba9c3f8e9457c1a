#pragma once

#include <string_view>

namespace hc::gbk {

// Every GBK constant of the handlers, as bytes. Source files are UTF-8, so a Chinese literal
// written directly in code would be the wrong bytes; these are the only copies.

inline constexpr std::string_view open_title = "\xA1\xB6";   // 《
inline constexpr std::string_view close_title = "\xA1\xB7";  // 》

inline constexpr std::string_view year = "\xC4\xEA";    // 年
inline constexpr std::string_view month = "\xD4\xC2";   // 月
inline constexpr std::string_view day = "\xC8\xD5";     // 日
inline constexpr std::string_view hour = "\xCA\xB1";    // 时
inline constexpr std::string_view minute = "\xB7\xD6";  // 分
inline constexpr std::string_view second = "\xC3\xEB";  // 秒

// The chart page carries its songs as JSON inside this hidden text area.
inline constexpr std::string_view song_data_start =
    "<textarea id=\"song-list-pre-data\" style=\"display:none;\">";
inline constexpr std::string_view song_data_end = "</textarea>";

// Between a comment's text and the song title in the details box.
inline constexpr std::string_view details_separator = "\r\n\r\n-----";

}  // namespace hc::gbk
