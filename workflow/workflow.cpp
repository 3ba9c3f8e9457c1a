#include "workflow/workflow.h"

#include <string>
#include <string_view>
#include <utility>

#include "json/script_json.h"
#include "text/markers.h"
#include "text/rules.h"
#include "web/download.h"
#include "workflow/date_time.h"
#include "workflow/gbk_texts.h"
#include "workflow/requests.h"

namespace hc {
namespace {

// The busy cursor shows for as long as the handler waits on the network.
class BusyWhileWaiting {
 public:
  explicit BusyWhileWaiting(Controls& controls) : controls_(controls) { controls_.set_busy(true); }
  ~BusyWhileWaiting() { controls_.set_busy(false); }
  BusyWhileWaiting(const BusyWhileWaiting&) = delete;
  BusyWhileWaiting& operator=(const BusyWhileWaiting&) = delete;

 private:
  Controls& controls_;
};

// CommentList's columns, and the member each reads from a comment.
enum CommentColumn {
  number_column = 0,
  nickname_column,
  content_column,
  time_column,
  avatar_column,
  liked_column,
};

constexpr std::pair<CommentColumn, std::string_view> comment_fields[] = {
    {nickname_column, "].user.nickname"}, {content_column, "].content"},  {time_column, "].time"},
    {avatar_column, "].user.avatarUrl"},  {liked_column, "].likedCount"},
};

std::string time_text(std::string_view stamp) {
  return format_date_time(timestamp_to_time(text_to_int64(stamp)));
}

void fill_comment_row(Controls& controls, ScriptJson& json, int row, std::string_view array,
                      int index) {
  const std::string element = std::string(array) + "[" + std::to_string(index);
  for (const auto& [column, member] : comment_fields) {
    std::string value = json.get_text(element + std::string(member));
    if (column == time_column) {
      value = time_text(value);
    }
    controls.set_cell_text(ListView::CommentList, row, column, value);
  }
}

}  // namespace

Workflow::Workflow(Controls& controls, ServiceSettings settings)
    : controls_(controls), settings_(std::move(settings)) {}

void Workflow::load_chart() {
  ScriptJson json;
  std::string page;
  {
    BusyWhileWaiting busy(controls_);
    page = fetch_chart_page(settings_);
  }
  const std::string data =
      text_between(page, gbk::song_data_start, gbk::song_data_end, 1, /*ignore_case=*/true);
  json.parse(data);

  const auto list = ListView::SongList;
  const int songs = json.count();
  for (int i = 1; i <= songs; ++i) {
    const int row = controls_.insert_row(list);
    controls_.set_cell_text(list, row, 0, std::to_string(i));
    const std::string song = "[" + std::to_string(i - 1);
    controls_.set_cell_text(list, row, 1, json.get_text(song + "].artists[0].name"));
    const std::string title = json.get_text(song + "].name");
    controls_.set_cell_text(list, row, 2,
                            std::string(gbk::open_title) + title + std::string(gbk::close_title));
    controls_.set_cell_text(list, row, 3, json.get_text(song + "].id"));
    controls_.set_cell_text(list, row, 4, json.get_text(song + "].commentThreadId"));
  }
}

void Workflow::load_hot_comments() {
  ScriptJson json;
  const int song_row = controls_.selected_row(ListView::SongList);
  const std::string thread_id = controls_.cell_text(ListView::SongList, song_row, 4);
  std::string answer;
  {
    BusyWhileWaiting busy(controls_);
    answer = fetch_comments(settings_, thread_id);
  }
  json.parse(answer);

  // The old rows stay while the request runs and go only now.
  const auto list = ListView::CommentList;
  controls_.delete_all_rows(list);

  const int hot = json.count("hotComments");
  for (int i = 1; i <= hot; ++i) {
    const int row = controls_.insert_row(list);
    controls_.set_cell_text(list, row, number_column, std::to_string(i));
    controls_.set_row_image(list, row, 0);
    fill_comment_row(controls_, json, row, "hotComments", i - 1);
  }
  // Plain comments go on numbering after the hot ones, and show no image.
  const int plain = json.count("comments");
  for (int i = 1; i <= plain; ++i) {
    const int row = controls_.insert_row(list);
    controls_.set_cell_text(list, row, number_column, std::to_string(controls_.row_count(list)));
    fill_comment_row(controls_, json, row, "comments", i - 1);
  }
}

void Workflow::show_comment() {
  const auto comments = ListView::CommentList;
  const int row = controls_.selected_row(comments);
  controls_.set_text(TextControl::NicknameLabel,
                     controls_.cell_text(comments, row, nickname_column));

  Bytes picture;
  {
    BusyWhileWaiting busy(controls_);
    picture = download_bytes(controls_.cell_text(comments, row, avatar_column));
  }
  controls_.set_picture(picture);

  const int song_row = controls_.selected_row(ListView::SongList);
  controls_.set_text(TextControl::ContentBox,
                     controls_.cell_text(comments, row, content_column) +
                         std::string(gbk::details_separator) +
                         controls_.cell_text(ListView::SongList, song_row, 2));
}

}  // namespace hc
