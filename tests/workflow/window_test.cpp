// End to end: the real window (offscreen), the handlers, and the demo service.

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/avatar_box.h"
#include "app/list_view_model.h"
#include "app/list_view_widget.h"
#include "app/main_window.h"
#include "app/window_controls.h"
#include "text/gbk.h"
#include "tools/demo_data.h"
#include "tools/demo_service.h"
#include "workflow/workflow.h"

namespace hc {
namespace {

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(service.start());
    workflow.emplace(controls, settings_for_root(service.root_url()));
    // Wired as the program wires them.
    QObject::connect(&window, &MainWindow::fetch_button_clicked,
                     [this] { workflow->load_chart(); });
    QObject::connect(&window, &MainWindow::song_list_clicked,
                     [this] { workflow->load_hot_comments(); });
    QObject::connect(&window, &MainWindow::comment_list_clicked,
                     [this] { workflow->show_comment(); });
    ASSERT_TRUE(window.show_centred());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  void click_button() { QTest::mouseClick(&window.fetch_button(), Qt::LeftButton); }

  void click_row(ListViewWidget& list, int row) {
    const QModelIndex index = list.model()->index(row, 0);
    list.scrollTo(index);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(index).center());
  }

  void click_below_rows(ListViewWidget& list) {
    list.scrollToTop();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, {20, list.viewport()->height() - 5});
  }

  std::string cell(ListView list, int row, int column) {
    return gbk_to_utf8(controls.cell_text(list, row, column));
  }

  DemoService service;  // started before the window, stopped after it
  MainWindow window;
  WindowControls controls{window};
  std::optional<Workflow> workflow;
};

TEST_F(EndToEndTest, ButtonListsTheChartAndASecondClickAppendsIt) {
  const std::vector<demo::Song>& songs = demo::chart_songs();
  const int count = static_cast<int>(songs.size());
  click_button();
  ASSERT_EQ(controls.row_count(ListView::SongList), count);
  click_button();
  ASSERT_EQ(controls.row_count(ListView::SongList), 2 * count);
  for (int row : {0, 1, count - 1, count, 2 * count - 1}) {
    const demo::Song& song = songs[static_cast<std::size_t>(row % count)];
    EXPECT_EQ(cell(ListView::SongList, row, 0), std::to_string(row % count + 1));
    EXPECT_EQ(cell(ListView::SongList, row, 1), song.artists.empty() ? "" : song.artists[0]);
    EXPECT_EQ(cell(ListView::SongList, row, 2), "《" + song.name + "》");
    EXPECT_EQ(cell(ListView::SongList, row, 3), std::to_string(song.id));
    EXPECT_EQ(cell(ListView::SongList, row, 4), song.comment_thread_id());
  }
  EXPECT_FALSE(QApplication::overrideCursor());
}

TEST_F(EndToEndTest, SongClickListsCommentsAndCommentClickShowsThem) {
  std::vector<demo::Comment> hot = demo::make_comments(15, 31, true);
  std::vector<demo::Comment> plain = demo::make_comments(20, 32, false);
  hot[2].avatar_path = "/avatar/4.png";
  hot[3].avatar_path = "/avatar/5.jpg";
  hot[4].avatar_path = std::string(demo::missing_avatar_path);
  const std::string thread_id = demo::chart_songs()[1].comment_thread_id();
  service.set_answer(
      "/weapi/v1/resource/comments/" + thread_id,
      {200, "application/json", demo::comments_json({hot, plain}, service.root_url())});

  click_button();
  click_row(window.song_list(), 1);
  ASSERT_EQ(controls.row_count(ListView::CommentList), 35);
  const ListViewModel& model = window.comment_list().list_model();
  for (int row = 0; row < 35; ++row) {
    EXPECT_EQ(cell(ListView::CommentList, row, 0), std::to_string(row + 1));
    EXPECT_EQ(model.image(row), row < 15 ? 0 : -1) << "row " << row;
  }
  EXPECT_EQ(cell(ListView::CommentList, 15, 1), gbk_to_utf8(utf8_to_gbk(plain[0].nickname)));

  const std::string title = "《" + demo::chart_songs()[1].name + "》";
  struct Case {
    int row;
    bool picture;
  };
  for (const Case& c : {Case{2, true}, Case{4, false}, Case{3, true}, Case{4, false}}) {
    click_row(window.comment_list(), c.row);
    const demo::Comment& comment = hot[static_cast<std::size_t>(c.row)];
    EXPECT_EQ(window.nickname_label().text().toStdString(),
              gbk_to_utf8(utf8_to_gbk(comment.nickname)));
    EXPECT_EQ(window.content_box().toPlainText().toStdString(),
              gbk_to_utf8(utf8_to_gbk(comment.content)) + "\n\n-----" + title);
    EXPECT_EQ(window.avatar_box().has_picture(), c.picture) << "row " << c.row;
  }
  EXPECT_FALSE(QApplication::overrideCursor());
}

// With a short chart and a short comment list, so that there is empty space to click on.
TEST_F(EndToEndTest, ClicksOnEmptySpace) {
  const std::vector<demo::Song> songs(demo::chart_songs().begin(), demo::chart_songs().begin() + 3);
  service.set_answer("/discover/toplist", {200, "text/html", demo::chart_page(songs)});
  std::vector<demo::Comment> plain = demo::make_comments(3, 41, false);
  plain[1].avatar_path = "/avatar/9.jpg";
  service.set_answer(
      "/weapi/v1/resource/comments/" + songs[0].comment_thread_id(),
      {200, "application/json", demo::comments_json({{}, plain}, service.root_url())});
  click_button();
  click_row(window.song_list(), 0);
  ASSERT_EQ(controls.row_count(ListView::CommentList), 3);

  // Below the comments: no nickname, no picture, and the separator with the song title.
  click_row(window.comment_list(), 1);
  ASSERT_TRUE(window.avatar_box().has_picture());
  service.clear_requests();
  click_below_rows(window.comment_list());
  EXPECT_EQ(window.nickname_label().text(), QString());
  EXPECT_FALSE(window.avatar_box().has_picture());
  EXPECT_EQ(window.content_box().toPlainText().toStdString(), "\n\n-----《" + songs[0].name + "》");
  EXPECT_TRUE(service.requests().empty());

  // Below the songs: the request goes out with an empty id, and the comments are gone.
  click_below_rows(window.song_list());
  EXPECT_EQ(controls.row_count(ListView::CommentList), 0);
  const std::vector<RecordedRequest> requests = service.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].target, "/weapi/v1/resource/comments/?csrf_token=");
}

}  // namespace
}  // namespace hc
