// The three handlers against the demo service, with the window replaced by plain data.

#include "workflow/workflow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/workflow/fake_controls.h"
#include "text/bytes.h"
#include "text/gbk.h"
#include "tools/demo_data.h"
#include "tools/demo_service.h"
#include "workflow/date_time.h"

namespace hc {
namespace {

using demo::Comment;

std::string gbk(std::string_view utf8) {
  return utf8_to_gbk(utf8);
}

DemoAnswer page_answer(std::string body) {
  return {200, "text/html; charset=utf-8", std::move(body)};
}
DemoAnswer json_answer(std::string body) {
  return {200, "application/json", std::move(body)};
}

constexpr std::string_view chart_path = "/discover/toplist";
std::string comments_path(std::string_view thread_id) {
  return "/weapi/v1/resource/comments/" + std::string(thread_id);
}

class WorkflowTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(service_.start()); }

  FakeControls::List& songs() { return controls_.list(ListView::SongList); }
  FakeControls::List& comments() { return controls_.list(ListView::CommentList); }

  // One song row whose comment-thread id is the given one, selected.
  void select_song(std::string_view thread_id, std::string_view title_utf8 = "晴天") {
    const int row = controls_.insert_row(ListView::SongList);
    controls_.set_cell_text(ListView::SongList, row, 2, gbk("《" + std::string(title_utf8) + "》"));
    controls_.set_cell_text(ListView::SongList, row, 4, std::string(thread_id));
    songs().selected = row;
  }

  void answer_comments(std::string_view thread_id, const demo::Thread& thread) {
    service_.set_answer(comments_path(thread_id),
                        json_answer(demo::comments_json(thread, service_.root_url())));
  }

  std::vector<std::string> requested_paths() const {
    std::vector<std::string> paths;
    for (const RecordedRequest& request : service_.requests()) {
      paths.push_back(request.path());
    }
    return paths;
  }

  DemoService service_;
  FakeControls controls_;
  Workflow workflow() { return Workflow(controls_, settings_for_root(service_.root_url())); }
};

// --- the chart ---------------------------------------------------------------------------

TEST_F(WorkflowTest, ChartAddsARowPerSongAndASecondClickAppendsItAgain) {
  Workflow handlers = workflow();
  handlers.load_chart();
  const std::vector<demo::Song>& expected = demo::chart_songs();
  ASSERT_EQ(songs().rows.size(), expected.size());
  EXPECT_EQ(controls_.busy_calls(), (std::vector<bool>{true, false}));

  handlers.load_chart();
  ASSERT_EQ(songs().rows.size(), 2 * expected.size());
  for (std::size_t copy = 0; copy < 2; ++copy) {
    for (std::size_t i = 0; i < expected.size(); ++i) {
      const demo::Song& song = expected[i];
      const auto& row = songs().rows[copy * expected.size() + i];
      const std::string artist = song.artists.empty() ? "" : song.artists.front();
      EXPECT_EQ(row, (std::vector<std::string>{std::to_string(i + 1), gbk(artist),
                                               gbk("《" + song.name + "》"),
                                               std::to_string(song.id), song.comment_thread_id()}))
          << "row " << i;
      EXPECT_EQ(songs().images[copy * expected.size() + i], -1);
    }
  }
  // Titles with characters outside GBK arrive with "?" in their place.
  EXPECT_EQ(gbk_to_utf8(songs().rows[5][2]), "《??? ??》");
}

TEST_F(WorkflowTest, ChartPages) {
  const std::string three_songs =
      R"([{"name":"晴天","id":186016,"artists":[{"name":"周杰伦"}],"commentThreadId":"R_SO_4_186016"},)"
      R"({"name":"夜曲","id":186017,"artists":[],"commentThreadId":"R_SO_4_186017"},)"
      R"({"id":7,"artists":[{"name":"无名"},{"name":"第二位"}]}])";
  struct Case {
    const char* what;
    std::string page;
    int rows;
  };
  const std::vector<Case> cases = {
      {"markers in capitals",
       "<html><TEXTAREA ID=\"SONG-LIST-PRE-DATA\" Style=\"DISPLAY:NONE;\">" + three_songs +
           "</TextArea></html>",
       3},
      {"markers as written",
       "<textarea id=\"song-list-pre-data\" style=\"display:none;\">" + three_songs + "</textarea>",
       3},
      {"no start marker",
       "<textarea id=\"other\" style=\"display:none;\">" + three_songs + "</textarea>", 0},
      {"no end marker",
       "<textarea id=\"song-list-pre-data\" style=\"display:none;\">" + three_songs, 0},
      {"empty array", "<textarea id=\"song-list-pre-data\" style=\"display:none;\">[]</textarea>",
       0},
      {"not JSON", "<textarea id=\"song-list-pre-data\" style=\"display:none;\">[{name:</textarea>",
       0},
      {"an object, not an array",
       "<textarea id=\"song-list-pre-data\" style=\"display:none;\">{\"name\":\"x\"}</textarea>",
       0},
      {"empty page", "", 0},
  };
  Workflow handlers = workflow();
  for (const Case& c : cases) {
    songs() = FakeControls::List{5, {{"1", "a", "b", "c", "d"}}, {-1}, -1};
    service_.set_answer(std::string(chart_path), page_answer(c.page));
    handlers.load_chart();
    ASSERT_EQ(songs().rows.size(), 1u + static_cast<std::size_t>(c.rows)) << c.what;
    EXPECT_EQ(songs().rows[0][1], "a") << c.what << ": the rows before stay";
    for (int i = 1; i <= c.rows; ++i) {
      EXPECT_EQ(songs().rows[static_cast<std::size_t>(i)][0], std::to_string(i)) << c.what;
    }
  }
  // The last page with songs: an empty artists array, a song without name or thread id.
  service_.set_answer(std::string(chart_path), page_answer(cases[1].page));
  songs() = FakeControls::List{5, {}, {}, -1};
  handlers.load_chart();
  ASSERT_EQ(songs().rows.size(), 3u);
  EXPECT_EQ(songs().rows[0], (std::vector<std::string>{"1", gbk("周杰伦"), gbk("《晴天》"),
                                                       "186016", "R_SO_4_186016"}));
  EXPECT_EQ(songs().rows[1][1], "");
  EXPECT_EQ(songs().rows[2], (std::vector<std::string>{"3", gbk("无名"), gbk("《》"), "7", ""}));
}

TEST_F(WorkflowTest, ChartRequestThatFailsLeavesTheListAsItWas) {
  service_.stop();  // nothing listens on its port any more
  Workflow handlers(controls_, settings_for_root(service_.root_url()));
  songs() = FakeControls::List{5, {{"1", "a", "b", "c", "d"}}, {-1}, -1};
  handlers.load_chart();
  EXPECT_EQ(songs().rows.size(), 1u);
  EXPECT_EQ(controls_.busy_calls(), (std::vector<bool>{true, false}));
}

// --- the comments ------------------------------------------------------------------------

TEST_F(WorkflowTest, HotCommentsThenPlainOnesNumberedOnInOneList) {
  const demo::Thread thread{demo::make_comments(15, 11, true), demo::make_comments(20, 12, false)};
  answer_comments("R_SO_4_1", thread);
  select_song("R_SO_4_1");
  Workflow handlers = workflow();
  for (int click = 0; click < 2; ++click) {  // a second click rebuilds the same list
    handlers.load_hot_comments();
    ASSERT_EQ(comments().rows.size(), 35u);
    for (std::size_t i = 0; i < 35; ++i) {
      const bool hot = i < 15;
      const Comment& c = hot ? thread.hot[i] : thread.plain[i - 15];
      EXPECT_EQ(comments().rows[i],
                (std::vector<std::string>{std::to_string(i + 1), gbk(c.nickname), gbk(c.content),
                                          format_date_time(timestamp_to_time(c.time)),
                                          service_.root_url() + c.avatar_path,
                                          std::to_string(c.liked_count)}))
          << "row " << i;
      EXPECT_EQ(comments().images[i], hot ? 0 : -1) << "row " << i;
    }
  }
  EXPECT_EQ(requested_paths(), (std::vector<std::string>(2, comments_path("R_SO_4_1"))));
}

TEST_F(WorkflowTest, CommentAnswers) {
  struct Case {
    const char* what;
    std::string answer;
    std::vector<std::vector<std::string>> rows;  // UTF-8
    std::vector<int> images;
  };
  const std::vector<Case> cases = {
      {"no hot comments, three plain ones",
       R"({"hotComments":[],"comments":[{"content":"a","likedCount":1},{"content":"b"},{"content":"c"}]})",
       {{"1", "", "a", "1970年1月1日8时", "", "1"},
        {"2", "", "b", "1970年1月1日8时", "", ""},
        {"3", "", "c", "1970年1月1日8时", "", ""}},
       {-1, -1, -1}},
      {"times: milliseconds, seconds, short, missing, empty",
       R"({"hotComments":[{"time":1579000000000,"user":{"nickname":"夜猫子🦉","avatarUrl":"http://x/1.png"}}],)"
       R"("comments":[{"time":1579000000},{"time":1234},{},{"time":""}]})",
       {{"1", "夜猫子?", "", "2020年1月14日19时6分40秒", "http://x/1.png", ""},
        {"2", "", "", "2020年1月14日19时6分40秒", "", ""},
        {"3", "", "", "1970年1月1日8时20分34秒", "", ""},
        {"4", "", "", "1970年1月1日8时", "", ""},
        {"5", "", "", "1970年1月1日8时", "", ""}},
       {0, -1, -1, -1, -1}},
      {"text with a line break and a character GBK lacks",
       "{\"hotComments\":[{\"content\":\"第一行\\n第二行 😢\",\"likedCount\":120034}]}",
       {{"1", "", "第一行\n第二行 ?", "1970年1月1日8时", "", "120034"}},
       {0}},
      {"no comment arrays", R"({"code":-460,"msg":"cheating"})", {}, {}},
      {"not JSON", "<html>502 Bad Gateway</html>", {}, {}},
      {"nothing", "", {}, {}},
  };
  select_song("R_SO_4_2");
  Workflow handlers = workflow();
  for (const Case& c : cases) {
    comments() = FakeControls::List{6, {{"old", "", "", "", "", ""}}, {0}, 0};
    service_.set_answer(comments_path("R_SO_4_2"), json_answer(c.answer));
    handlers.load_hot_comments();
    std::vector<std::vector<std::string>> shown;
    for (const auto& row : comments().rows) {
      std::vector<std::string> cells;
      for (const std::string& cell : row) {
        cells.push_back(gbk_to_utf8(cell));
      }
      shown.push_back(cells);
    }
    EXPECT_EQ(shown, c.rows) << c.what;
    EXPECT_EQ(comments().images, c.images) << c.what;
  }
}

TEST_F(WorkflowTest, ClickOnEmptySpaceAsksWithAnEmptyIdAndEmptiesTheList) {
  select_song("R_SO_4_3");
  songs().selected = -1;
  comments() = FakeControls::List{6, {{"1", "n", "c", "t", "u", "5"}}, {0}, 0};
  workflow().load_hot_comments();
  EXPECT_TRUE(comments().rows.empty());
  const std::vector<RecordedRequest> requests = service_.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_EQ(requests[0].target, "/weapi/v1/resource/comments/?csrf_token=");
}

// --- the details -------------------------------------------------------------------------

TEST_F(WorkflowTest, CommentClickShowsNicknameTextWithSongTitleAndAvatar) {
  std::vector<Comment> plain = demo::make_comments(4, 21, false);
  plain[0].avatar_path = "/avatar/6.png";
  plain[1].avatar_path = "/avatar/7.jpg";
  plain[2].avatar_path = std::string(demo::missing_avatar_path);
  plain[3].avatar_path = "/avatar/8.png";
  answer_comments("R_SO_4_4", demo::Thread{{}, plain});
  select_song("R_SO_4_4", "夜曲");
  Workflow handlers = workflow();
  handlers.load_hot_comments();
  ASSERT_EQ(comments().rows.size(), 4u);

  // The picture box gets the bytes exactly as downloaded; for the missing avatar that is the
  // 404 HTML page, which the box shows as no picture (see the window tests).
  const std::string not_found_start = "<!DOCTYPE html>";
  struct Case {
    int row;
    Bytes picture;
  };
  for (const Case& c : {Case{0, demo::avatar_png(6)}, Case{1, demo::avatar_jpeg(7)},
                        Case{3, demo::avatar_png(8)}, Case{2, bytes_from_text(not_found_start)}}) {
    comments().selected = c.row;
    handlers.show_comment();
    const Comment& comment = plain[static_cast<std::size_t>(c.row)];
    EXPECT_EQ(controls_.text(TextControl::NicknameLabel), gbk(comment.nickname));
    EXPECT_EQ(controls_.text(TextControl::ContentBox),
              gbk(comment.content + "\r\n\r\n-----《夜曲》"));
    const Bytes& shown = controls_.picture();
    EXPECT_EQ(Bytes(shown.begin(), shown.begin() + std::min(shown.size(), c.picture.size())),
              c.picture)
        << "row " << c.row;
    EXPECT_EQ(service_.requests().back().path(), comment.avatar_path);
  }
  EXPECT_EQ(controls_.busy_calls().size(), 2u + 2u * 4u);

  // The song selection moved (by keyboard) without reloading: its title is shown.
  select_song("R_SO_4_5", "稻香");
  comments().selected = 1;
  handlers.show_comment();
  EXPECT_EQ(controls_.text(TextControl::ContentBox),
            gbk(plain[1].content + "\r\n\r\n-----《稻香》"));

  // No song selected: the text ends with the separator.
  songs().selected = -1;
  handlers.show_comment();
  EXPECT_EQ(controls_.text(TextControl::ContentBox), gbk(plain[1].content + "\r\n\r\n-----"));
}

TEST_F(WorkflowTest, CommentClickOnEmptySpaceClearsLabelAndPictureWithoutARequest) {
  select_song("R_SO_4_6", "稻香");
  comments() = FakeControls::List{
      6, {{"1", "n", "c", "t", service_.root_url() + "/avatar/1.jpg", "5"}}, {0}, -1};
  workflow().show_comment();
  EXPECT_EQ(controls_.text(TextControl::NicknameLabel), "");
  EXPECT_EQ(controls_.picture_calls(), 1);
  EXPECT_TRUE(controls_.picture().empty());
  EXPECT_EQ(controls_.text(TextControl::ContentBox), gbk("\r\n\r\n-----《稻香》"));
  EXPECT_TRUE(service_.requests().empty());
}

}  // namespace
}  // namespace hc
