#pragma once

#include <Qt>

#include <array>

namespace hc {

// One column of a list: its title, the alignment of its title and cells, and its width. A
// column of width 0 is hidden; it only holds a value for later use.
struct ListColumn {
  const char* title;  // UTF-8
  Qt::AlignmentFlag alignment;
  int width;
};

inline constexpr std::array<ListColumn, 5> kSongListColumns{{
    {"序号", Qt::AlignLeft, 50},
    {"作者", Qt::AlignLeft, 50},
    {"标题", Qt::AlignHCenter, 200},
    {"id", Qt::AlignLeft, 0},
    {"commentThreadId", Qt::AlignLeft, 0},
}};

inline constexpr std::array<ListColumn, 6> kCommentListColumns{{
    {"序号", Qt::AlignLeft, 50},
    {"评论人", Qt::AlignHCenter, 100},
    {"内容", Qt::AlignHCenter, 200},
    {"时间", Qt::AlignLeft, 150},
    {"头像地址", Qt::AlignLeft, 0},
    {"赞", Qt::AlignLeft, 50},
}};

}  // namespace hc
