// The real window (offscreen) and its handlers against a server that misbehaves. Each case ends
// with the result the handlers give for it, no crash, a heap back where it was, and a window
// that lists a chart, comments and an avatar again afterwards.

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/avatar_box.h"
#include "app/list_view_widget.h"
#include "app/main_window.h"
#include "app/window_controls.h"
#include "tests/hostile/hostile_bodies.h"
#include "tests/hostile/live_heap.h"
#include "tests/hostile/raw_server.h"
#include "text/gbk.h"
#include "tools/demo_data.h"
#include "web/internet_testing.h"
#include "workflow/workflow.h"

namespace hc {
namespace {

using namespace std::chrono_literals;
using hostile::RawConnection;
using hostile::ReceivedRequest;
using hostile::Reply;

constexpr const char* chart_path = "/discover/toplist";
constexpr const char* comments_path = "/weapi/v1/resource/comments/";
constexpr const char* normal_avatar_path = "/avatar/normal.png";
constexpr const char* html = "text/html; charset=utf-8";
constexpr const char* json = "application/json";

// What the heap may hold after a case beyond what it held before: the few rows that the
// checks add, and what the toolkit caches. Every case's own data is far larger.
constexpr std::size_t heap_slack = 2 * 1024 * 1024;

std::vector<demo::Song> normal_songs() {
  return {demo::chart_songs().begin(), demo::chart_songs().begin() + 3};
}

demo::Thread normal_thread() {
  demo::Thread thread{demo::make_comments(2, 7, true), demo::make_comments(3, 8, false)};
  thread.hot[0].avatar_path = normal_avatar_path;
  return thread;
}

// The text as the window shows it: through GBK, so characters GBK lacks are "?".
std::string shown(const std::string& utf8) {
  return gbk_to_utf8(utf8_to_gbk(utf8));
}

Reply answer(std::string_view content_type, std::string_view body,
             std::string_view extra_header_lines = {}) {
  return hostile::send_bytes(hostile::http_response(200, content_type, body, extra_header_lines));
}

// The head of a response that promises the whole body, then only the bytes up to cut, then a
// TCP reset.
Reply reset_at(std::string_view content_type, std::string body, std::size_t cut) {
  std::string response = hostile::http_response(200, content_type, body);
  response.resize(response.size() - body.size() + cut);
  return [response = std::move(response)](RawConnection& connection, const ReceivedRequest&) {
    connection.send(response);
    connection.pause(50ms);
    connection.reset();
  };
}

// The head, then the first three bytes of the body one a second, then an orderly close.
Reply trickle_then_close(std::string_view content_type, std::string body) {
  std::string response = hostile::http_response(200, content_type, body);
  const std::string head = response.substr(0, response.size() - body.size());
  return [head, body = std::move(body)](RawConnection& connection, const ReceivedRequest&) {
    connection.send(head);
    for (std::size_t i = 0; i < 3; ++i) {
      if (!connection.pause(1s) || !connection.send(body.substr(i, 1))) {
        return;
      }
    }
  };
}

// A JSON body sent compressed although the request did not ask for it.
Reply gzip_unasked(std::string_view content_type, std::string_view body) {
  return answer(content_type, hostile::gzip(body), "Content-Encoding: gzip\r\n");
}

class HostileServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.start());
    serve_normal_answers();
    workflow.emplace(controls, settings_for_root(server.root_url()));
    // Wired as the program wires them.
    QObject::connect(&window, &MainWindow::fetch_button_clicked,
                     [this] { workflow->load_chart(); });
    QObject::connect(&window, &MainWindow::song_list_clicked,
                     [this] { workflow->load_hot_comments(); });
    QObject::connect(&window, &MainWindow::comment_list_clicked,
                     [this] { workflow->show_comment(); });
    ASSERT_TRUE(window.show_centred());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // One ordinary round first, so that what the toolkit sets up on first use is in place
    // before the heap is measured.
    expect_window_answers();
    heap_before = hostile::live_heap_bytes();
  }

  void TearDown() override {
    internet_testing::set_receive_timeout(30s);
    if (HasFatalFailure()) {
      return;
    }
    expect_window_answers();
    const std::size_t heap_after = hostile::live_heap_bytes();
    EXPECT_LE(heap_after, heap_before + heap_slack)
        << "the heap grew by " << (heap_after - heap_before) << " bytes";
  }

  void serve_normal_answers() {
    server.clear_replies();
    server.set_reply(chart_path, answer(html, demo::chart_page(normal_songs())));
    server.set_reply(comments_path,
                     answer(json, demo::comments_json(normal_thread(), server.root_url())));
    const auto png = demo::avatar_png(1);
    server.set_reply(normal_avatar_path, answer("image/png", std::string(png.begin(), png.end())));
  }

  // A chart, a song's comments and a comment with its avatar, through real clicks.
  void expect_window_answers() {
    serve_normal_answers();
    const int first = controls.row_count(ListView::SongList);
    click_button();
    ASSERT_EQ(controls.row_count(ListView::SongList), first + 3);
    EXPECT_EQ(cell(ListView::SongList, first + 2, 2), "《" + shown(normal_songs()[2].name) + "》");
    click_row(window.song_list(), first + 1);
    ASSERT_EQ(controls.row_count(ListView::CommentList), 5);
    click_row(window.comment_list(), 0);
    EXPECT_EQ(window.nickname_label().text().toStdString(), shown(normal_thread().hot[0].nickname));
    EXPECT_TRUE(window.avatar_box().has_picture());
    EXPECT_FALSE(QApplication::overrideCursor());
  }

  void click_button() { QTest::mouseClick(&window.fetch_button(), Qt::LeftButton); }

  void click_row(ListViewWidget& list, int row) {
    const QModelIndex index = list.model()->index(row, 0);
    list.scrollTo(index);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(index).center());
  }

  std::string cell(ListView list, int row, int column) {
    return gbk_to_utf8(controls.cell_text(list, row, column));
  }

  hostile::RawServer server;  // started before the window, stopped after it
  MainWindow window;
  WindowControls controls{window};
  std::optional<Workflow> workflow;
  std::size_t heap_before = 0;
};

// 50 MB of near misses of the start marker before the real text area: the whole page is read,
// converted and searched, and its three songs are listed.
TEST_F(HostileServerTest, ChartPageOf50MegabytesIsReadWhole) {
  const std::string near_miss =
      "<textarea id=\"song-list-pre-dat\" style=\"display:none;\">[{\"name\":\"x\"}]</textarea>\n";
  std::string page;
  page.reserve(50 * 1024 * 1024 + 4096);
  while (page.size() < 50 * 1024 * 1024) {
    page += near_miss;
  }
  page += demo::chart_page(normal_songs());
  server.set_reply(chart_path, answer(html, page));
  page = {};

  const int first = controls.row_count(ListView::SongList);
  click_button();
  ASSERT_EQ(controls.row_count(ListView::SongList), first + 3);
  const demo::Song song = normal_songs()[0];
  EXPECT_EQ(cell(ListView::SongList, first, 0), "1");
  EXPECT_EQ(cell(ListView::SongList, first, 1), shown(song.artists.at(0)));
  EXPECT_EQ(cell(ListView::SongList, first, 2), "《" + shown(song.name) + "》");
  EXPECT_EQ(cell(ListView::SongList, first, 4), song.comment_thread_id());
}

// Answers to the button that carry no usable chart: the list keeps the rows it had.
TEST_F(HostileServerTest, BrokenChartAnswersAddNoRows) {
  const std::string page = demo::chart_page(normal_songs());
  // Inside the song array, between the two markers.
  const std::size_t in_array = page.find("</textarea>") - 40;
  const std::string script_page =
      "<textarea id=\"song-list-pre-data\" style=\"display:none;\">"
      "(function () { return [{name: 'ran', commentThreadId: 'R_SO_4_1'}]; })()</textarea>";
  const std::string nested_page = "<textarea id=\"song-list-pre-data\" style=\"display:none;\">" +
                                  hostile::nested_array(100000) + "</textarea>";
  const struct {
    const char* name;
    Reply reply;
  } cases[] = {
      {"reset inside the song array", reset_at(html, page, in_array)},
      {"three bytes a second, then closed", trickle_then_close(html, page)},
      {"gzip without being asked", gzip_unasked(html, page)},
      {"a script in the text area", answer(html, script_page)},
      {"an array nested 100,000 deep", answer(html, nested_page)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    server.set_reply(chart_path, c.reply);
    const int rows = controls.row_count(ListView::SongList);
    click_button();
    EXPECT_EQ(controls.row_count(ListView::SongList), rows);
    expect_window_answers();
  }
}

// Answers to a song click that carry no usable comments: the old rows go, no new ones come.
TEST_F(HostileServerTest, BrokenCommentAnswersEmptyTheList) {
  const std::string body = demo::comments_json(
      {demo::make_comments(15, 1, true), demo::make_comments(20, 2, false)}, server.root_url());
  const std::string deep =
      "{\"hotComments\":[{\"content\":\"a\",\"user\":" + hostile::nested_array(100000) +
      "}],\"comments\":[]}";
  const std::string script =
      "(function () { return {hotComments: [{content: 'ran'}], comments: []}; })()";
  const struct {
    const char* name;
    Reply reply;
  } cases[] = {
      {"reset half-way", reset_at(json, body, body.size() / 2)},
      {"three bytes a second, then closed", trickle_then_close(json, body)},
      {"gzip without being asked", gzip_unasked(json, body)},
      {"nested 100,000 deep", answer(json, deep)},
      {"a script instead of JSON", answer(json, script)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    server.set_reply(comments_path, c.reply);
    server.clear_requests();
    ASSERT_EQ(controls.row_count(ListView::CommentList), 5);
    click_row(window.song_list(), 0);
    EXPECT_EQ(controls.row_count(ListView::CommentList), 0);
    for (const ReceivedRequest& request : server.requests()) {
      EXPECT_FALSE(request.has_header("Accept-Encoding")) << request.head;
    }
    expect_window_answers();
  }
}

// A server that sends one byte and then nothing: the transfer is given up after the receive
// time-out, and the server sees the connection closed while it still waits.
TEST_F(HostileServerTest, StalledAnswerIsGivenUp) {
  internet_testing::set_receive_timeout(1s);
  std::atomic<bool> closed_by_client = false;
  server.set_reply(comments_path,
                   [&closed_by_client](RawConnection& connection, const ReceivedRequest&) {
                     connection.send(
                         "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n"
                         "Content-Length: 1000\r\n\r\n{");
                     closed_by_client = !connection.pause(60s);
                   });
  click_row(window.song_list(), 0);
  EXPECT_EQ(controls.row_count(ListView::CommentList), 0);
  internet_testing::set_receive_timeout(30s);
  expect_window_answers();  // served after the stalled connection has been let go
  EXPECT_TRUE(closed_by_client);
}

// A response header block beyond the 5000 bytes the request routine keeps: the headers and
// their cookies are lost, the body is not.
TEST_F(HostileServerTest, LongResponseHeaderBlockStillGivesTheChart) {
  const std::string page = demo::chart_page(normal_songs());
  std::string cookies;
  for (int i = 0; i < 1000; ++i) {
    cookies += "Set-Cookie: c" + std::to_string(i) + "=" + std::string(60, 'v') + "; Path=/\r\n";
  }
  const struct {
    const char* name;
    std::string lines;
  } cases[] = {
      {"one line of 6000 bytes", "X-Padding: " + std::string(6000, 'p') + "\r\n"},
      {"1000 Set-Cookie lines", cookies},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    server.set_reply(chart_path, answer(html, page, c.lines));
    const int rows = controls.row_count(ListView::SongList);
    click_button();
    EXPECT_EQ(controls.row_count(ListView::SongList), rows + 3);
    expect_window_answers();
  }
}

// Bytes that are not UTF-8 in an answer become "?", and the characters around them arrive.
TEST_F(HostileServerTest, InvalidUtf8ShowsAsQuestionMarks) {
  const std::string invalid[] = {"\xff\xfe", "\xc0\xaf", "\xed\xa0\x80", "\xe6\x97", "\x80"};
  std::string body = "{\"hotComments\":[],\"comments\":[";
  for (std::size_t i = 0; i < std::size(invalid); ++i) {
    body += (i == 0 ? "" : ",");
    body += "{\"user\":{\"nickname\":\"n" + std::to_string(i) + "\"},\"content\":\"before " +
            invalid[i] + " after\",\"likedCount\":" + std::to_string(i) + "}";
  }
  body += "]}";
  server.set_reply(comments_path, answer(json, body));
  click_row(window.song_list(), 0);
  ASSERT_EQ(controls.row_count(ListView::CommentList), static_cast<int>(std::size(invalid)));
  for (int row = 0; row < static_cast<int>(std::size(invalid)); ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(cell(ListView::CommentList, row, 1), "n" + std::to_string(row));
    const std::string content = cell(ListView::CommentList, row, 2);
    EXPECT_TRUE(content.starts_with("before ?")) << content;
    EXPECT_TRUE(content.ends_with("? after")) << content;
    EXPECT_EQ(content.find_first_not_of("? ", 6), content.size() - 5) << content;
    EXPECT_EQ(cell(ListView::CommentList, row, 5), std::to_string(row));
  }
}

// Avatars whose headers claim pictures of billions of pixels: the box stays empty (the
// previous picture gone as well), the nickname and text are shown.
TEST_F(HostileServerTest, HugePictureClaimsLeaveTheAvatarEmpty) {
  const struct {
    const char* path;
    std::string bytes;
  } pictures[] = {
      {"/huge.png", hostile::huge_png(100000, 100000)},
      {"/huge.bmp", hostile::huge_bmp(100000, 100000)},
      {"/huge.gif", hostile::huge_gif()},
      {"/huge.jpg", hostile::huge_jpeg()},
  };
  demo::Thread thread = normal_thread();
  thread.plain = demo::make_comments(static_cast<int>(std::size(pictures)), 9, false);
  for (std::size_t i = 0; i < std::size(pictures); ++i) {
    thread.plain[i].avatar_path = pictures[i].path;
    server.set_reply(pictures[i].path, answer("image/png", pictures[i].bytes));
  }
  server.set_reply(comments_path, answer(json, demo::comments_json(thread, server.root_url())));
  click_row(window.song_list(), 0);
  ASSERT_EQ(controls.row_count(ListView::CommentList), 2 + static_cast<int>(std::size(pictures)));

  for (std::size_t i = 0; i < std::size(pictures); ++i) {
    SCOPED_TRACE(pictures[i].path);
    click_row(window.comment_list(), 0);
    ASSERT_TRUE(window.avatar_box().has_picture());
    click_row(window.comment_list(), 2 + static_cast<int>(i));
    EXPECT_FALSE(window.avatar_box().has_picture());
    EXPECT_EQ(window.nickname_label().text().toStdString(), shown(thread.plain[i].nickname));
    EXPECT_TRUE(window.content_box().toPlainText().toStdString().starts_with(
        shown(thread.plain[i].content)));
  }
}

}  // namespace
}  // namespace hc
