#include "tools/demo_data.h"

#include <array>
#include <cstdio>

namespace hc::demo {
namespace {

// A small deterministic generator, so every run serves the same catalogue.
class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {}

  std::uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
  template <typename T, std::size_t N>
  const T& pick(const std::array<T, N>& items) {
    return items[static_cast<std::size_t>(below(static_cast<int>(N)))];
  }

 private:
  std::uint32_t state_;
};

std::uint32_t hash_text(std::string_view text) {
  std::uint32_t hash = 2166136261u;
  for (const char c : text) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  }
  return hash;
}

constexpr std::array<std::string_view, 40> title_words = {
    "晴天",   "夜曲",   "稻香",     "海阔天空", "光年之外",     "起风了", "告白气球", "平凡之路",
    "后来",   "小幸运", "演员",     "岁月神偷", "南山南",       "成都",   "消愁",     "漠河舞厅",
    "孤勇者", "少年",   "星辰大海", "错位时空", "春风十里",     "旧梦",   "雨巷",     "远方",
    "红豆",   "月光",   "归途",     "花海",     "雪落下的声音", "青花",   "蝴蝶",     "追光者",
    "夏夜",   "山海",   "故乡",     "灯火",     "长街",         "白鸽",   "纸飞机",   "晚风"};

constexpr std::array<std::string_view, 12> title_tails = {
    "", "", "", "", " (Live)", "（伴奏）", " - 钢琴版", "（女声版）", " Remix", "·续", "", ""};

// Titles that the GBK code page cannot show whole.
constexpr std::array<std::string_view, 6> foreign_titles = {
    "사랑의 노래", "星空 🎧", "𠀋的回忆", "Café 夜色 ✨", "🌙 月亮代表我的心", "봄날 春日"};

constexpr std::array<std::string_view, 36> artist_names = {
    "周杰伦",       "陈奕迅",   "林俊杰",   "邓紫棋",     "毛不易",       "薛之谦",
    "李荣浩",       "王菲",     "五月天",   "赵雷",       "朴树",         "许嵩",
    "张学友",       "莫文蔚",   "孙燕姿",   "蔡健雅",     "华晨宇",       "周深",
    "李健",         "汪苏泷",   "房东的猫", "花粥",       "陈粒",         "马頔",
    "Taylor Swift", "Coldplay", "Adele",    "Ed Sheeran", "米津玄師",     "Aimer",
    "아이유",       "BTS",      "告五人",   "落日飞车",   "草东没有派对", "G.E.M."};

constexpr std::array<std::string_view, 12> album_words = {
    "叶惠美", "十一月的萧邦", "范特西",   "寓言",       "新的心跳", "不将就",
    "乘风",   "我是歌手",     "无与伦比", "平凡的一天", "夏日漱石", "单曲"};

constexpr std::array<std::string_view, 32> nicknames = {
    "云村小透明",    "晚风",          "听歌的猫",  "momo",       "陈同学",   "一只咸鱼",
    "夜猫子🦉", "Lonely_Planet", "不吃香菜",  "阿黄",       "北方的南", "小王同学",
    "故事的小黄花",  "Sunny☀️",   "山间月",    "奶茶三分糖", "路人甲",   "江南烟雨",
    "木木",          "星河",          "김민지",    "雨后彩虹",   "旧时光",   "Mr.Right",
    "风吹麦浪",      "半岛铁盒",      "橘子汽水🍊", "清欢",       "nobody",   "浮生若梦",
    "小鹿乱撞",      "𠀋字辈"};

constexpr std::array<std::string_view, 24> phrases = {"第一次听就哭了",
                                                      "单曲循环了一整个夏天",
                                                      "高三那年每天晚自习都在听",
                                                      "前奏一响，青春回来了",
                                                      "听到这首歌想起了一个人",
                                                      "评论比歌还好听",
                                                      "有没有人和我一样，凌晨三点还在听",
                                                      "歌词写得太好了：“后来我总算学会了如何去爱”",
                                                      "愿你走出半生，归来仍是少年 🌟",
                                                      "今天也是想你的一天 😢",
                                                      "2024年了还有人在听吗？",
                                                      "副歌部分绝了 👍👍👍",
                                                      "从网吧到现在，一听就是十年",
                                                      "妈妈问我为什么跪着听歌",
                                                      "这首歌陪我度过了最难的日子",
                                                      "毕业快乐，各奔东西",
                                                      "Love this song so much ❤️",
                                                      "这才是好音乐 <3 & 真诚",
                                                      "耳机里的整个宇宙",
                                                      "他唱的是歌，我听的是自己",
                                                      "“晚安，世界”",
                                                      "背景音乐一出来就知道是谁",
                                                      "사랑해요 — 来自首尔的问候",
                                                      "楼上的你说得对"};

// Comment times range over a decade; a few are far in the future to show that dates after
// 2038 come out right, and one is a ten-digit stamp in seconds.
constexpr std::int64_t first_time_ms = 1388505600000;  // 2014-01-01 00:00 at UTC+8
constexpr std::int64_t decade_ms = 315360000000;
constexpr std::int64_t future_time_ms = 2240524800000;  // 2040-12-31

std::string number(std::int64_t value) {
  return std::to_string(value);
}

std::string song_title(int index, Random& random) {
  if (index % 37 == 5) {
    return std::string(
        foreign_titles[static_cast<std::size_t>(index / 37) % foreign_titles.size()]);
  }
  std::string title(random.pick(title_words));
  if (random.below(4) == 0) {
    title += random.pick(title_words);
  }
  title += random.pick(title_tails);
  return title;
}

}  // namespace

const std::vector<Song>& chart_songs() {
  static const std::vector<Song> songs = [] {
    std::vector<Song> list;
    Random random(3778678);
    for (int i = 0; i < 300; ++i) {
      Song song;
      song.id = 1400000000 + static_cast<std::int64_t>(i) * 7919;
      song.name = song_title(i, random);
      if (i % 101 != 57) {  // one song in a hundred credits nobody
        song.artists.emplace_back(random.pick(artist_names));
        if (random.below(6) == 0) {
          song.artists.emplace_back(random.pick(artist_names));
        }
      }
      song.album = random.pick(album_words);
      list.push_back(std::move(song));
    }
    return list;
  }();
  return songs;
}

std::string json_quote(std::string_view utf8) {
  std::string quoted = "\"";
  for (const char c : utf8) {
    switch (c) {
      case '"':
        quoted += "\\\"";
        break;
      case '\\':
        quoted += "\\\\";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '\t':
        quoted += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
          quoted += escape;
        } else {
          quoted += c;
        }
    }
  }
  quoted += '"';
  return quoted;
}

std::string songs_json(const std::vector<Song>& songs) {
  std::string json = "[";
  for (std::size_t i = 0; i < songs.size(); ++i) {
    const Song& song = songs[i];
    if (i > 0) {
      json += ",";
    }
    json += "{\"name\":" + json_quote(song.name) + ",\"id\":" + number(song.id) +
            ",\"position\":" + number(static_cast<std::int64_t>(i) + 1) +
            ",\"alias\":[],\"status\":0,\"fee\":8,\"duration\":" +
            number(180000 + static_cast<std::int64_t>(i % 97) * 1371) + ",\"artists\":[";
    for (std::size_t a = 0; a < song.artists.size(); ++a) {
      if (a > 0) {
        json += ",";
      }
      json += "{\"id\":" + number(6452 + static_cast<std::int64_t>(a) * 13 + song.id % 1000) +
              ",\"name\":" + json_quote(song.artists[a]) + ",\"tns\":[],\"alias\":[]}";
    }
    json += "],\"album\":{\"id\":" + number(song.id / 3) + ",\"name\":" + json_quote(song.album) +
            "},\"commentThreadId\":" + json_quote(song.comment_thread_id()) + "}";
  }
  json += "]";
  return json;
}

std::string chart_page(const std::vector<Song>& songs) {
  return "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
         "<title>热歌榜 - 演示音乐服务</title>\n</head>\n<body>\n"
         "<div class=\"g-bd\"><h2>云音乐热歌榜</h2><p>每周四更新</p>\n"
         "<ul class=\"f-hide\"><li>榜单加载中……</li></ul>\n"
         "<textarea id=\"song-list-pre-data\" style=\"display:none;\">" +
         songs_json(songs) +
         "</textarea>\n"
         "<textarea id=\"other-data\" style=\"display:none;\">[]</textarea>\n"
         "</div>\n</body>\n</html>\n";
}

std::vector<Comment> make_comments(int n, std::uint32_t seed, bool hot) {
  std::vector<Comment> comments;
  Random random(seed);
  for (int i = 0; i < n; ++i) {
    Comment comment;
    comment.nickname = random.pick(nicknames);
    comment.content = random.pick(phrases);
    if (random.below(3) == 0) {
      comment.content += "\n";
      comment.content += random.pick(phrases);
    }
    const auto spread = static_cast<std::int64_t>(random.next()) * 73;
    comment.time = first_time_ms + spread % decade_ms;
    const int picture = random.below(40);
    if (i % 11 == 7) {
      comment.avatar_path = std::string(missing_avatar_path);
    } else {
      comment.avatar_path = "/avatar/" + number(picture) + (picture % 2 == 0 ? ".png" : ".jpg");
    }
    comment.liked_count = hot ? 1000 + random.below(200000) : random.below(50);
    comments.push_back(std::move(comment));
  }
  if (n > 3 && !hot) {
    comments[2].time = future_time_ms;
    comments[3].time = comments[3].time / 1000;  // a stamp in seconds
  }
  return comments;
}

Thread thread_comments(std::string_view thread_id) {
  const std::uint32_t seed = hash_text(thread_id);
  Thread thread;
  if (seed % 9 == 0) {
    thread.plain = make_comments(3, seed, false);
  } else {
    thread.hot = make_comments(15, seed, true);
    thread.plain = make_comments(20, seed + 1, false);
  }
  return thread;
}

namespace {

void append_comments(std::string& json, const std::vector<Comment>& comments,
                     std::string_view root_url, std::int64_t first_id) {
  json += "[";
  for (std::size_t i = 0; i < comments.size(); ++i) {
    const Comment& comment = comments[i];
    if (i > 0) {
      json += ",";
    }
    json += "{\"user\":{\"locationInfo\":null,\"avatarUrl\":" +
            json_quote(std::string(root_url) + comment.avatar_path) +
            ",\"nickname\":" + json_quote(comment.nickname) +
            ",\"userId\":" + number(10000 + first_id + static_cast<std::int64_t>(i)) +
            ",\"vipType\":0},\"beReplied\":[],\"commentId\":" +
            number(first_id + static_cast<std::int64_t>(i)) +
            ",\"content\":" + json_quote(comment.content) + ",\"time\":" + number(comment.time) +
            ",\"likedCount\":" + number(comment.liked_count) + ",\"liked\":false}";
  }
  json += "]";
}

}  // namespace

std::string comments_json(const Thread& thread, std::string_view root_url) {
  std::string json =
      "{\"isMusician\":false,\"userId\":-1,\"topComments\":[],\"moreHot\":true,"
      "\"hotComments\":";
  append_comments(json, thread.hot, root_url, 5000000);
  json += ",\"code\":200,\"comments\":";
  append_comments(json, thread.plain, root_url, 6000000);
  json +=
      ",\"total\":" + number(static_cast<std::int64_t>(thread.hot.size() + thread.plain.size())) +
      ",\"more\":false}";
  return json;
}

}  // namespace hc::demo
