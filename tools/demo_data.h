#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hc::demo {

// The demo service's made-up catalogue. Texts are UTF-8, as the service sends them; a few
// titles, nicknames and comments hold characters that GBK lacks (emoji, Hangul, rare CJK).

struct Song {
  std::int64_t id = 0;
  std::string name;
  std::vector<std::string> artists;  // may be empty
  std::string album;
  std::string comment_thread_id() const { return "R_SO_4_" + std::to_string(id); }
};

struct Comment {
  std::string nickname;
  std::string content;      // may hold line breaks
  std::int64_t time = 0;    // milliseconds since the epoch (a few are seconds)
  std::string avatar_path;  // on the demo service, e.g. "/avatar/12.png"
  std::int64_t liked_count = 0;
};

// A few hundred songs; the same list on every run.
const std::vector<Song>& chart_songs();

// The chart page: HTML whose hidden text area holds the songs as a JSON array.
std::string chart_page(const std::vector<Song>& songs);

// The songs as the JSON array that the chart page embeds.
std::string songs_json(const std::vector<Song>& songs);

// The comments of a thread, the same on every run: most threads have 15 hot and 20 plain
// comments, every ninth or so has no hot comments and three plain ones.
struct Thread {
  std::vector<Comment> hot;
  std::vector<Comment> plain;
};
Thread thread_comments(std::string_view thread_id);

// n comments numbered from first; the pattern the generated threads use.
std::vector<Comment> make_comments(int n, std::uint32_t seed, bool hot);

// The comment API's answer; avatar addresses are the paths put after root_url.
std::string comments_json(const Thread& thread, std::string_view root_url);

// Avatar pictures, made here: "/avatar/<n>.png" and "/avatar/<n>.jpg".
std::vector<std::uint8_t> avatar_png(int n);
std::vector<std::uint8_t> avatar_jpeg(int n);

inline constexpr std::string_view missing_avatar_path = "/avatar/missing.jpg";

std::string json_quote(std::string_view utf8);

}  // namespace hc::demo
