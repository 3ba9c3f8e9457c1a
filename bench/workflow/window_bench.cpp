// The three clicks end to end: the handler on the real window (offscreen), its request to a
// server on 127.0.0.1 that answers at once with bytes made beforehand, and the repaint that
// follows. What a user waits for, less the real network. Each click is measured at a few sizes;
// the per-row counter shows how the cost grows with them.

#include <QApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/avatar_box.h"
#include "app/list_view_widget.h"
#include "app/main_window.h"
#include "app/window_controls.h"
#include "tests/hostile/raw_server.h"
#include "tools/demo_data.h"
#include "workflow/workflow.h"

namespace hc {
namespace {

constexpr const char* chart_path = "/discover/toplist";
constexpr const char* comments_path = "/weapi/v1/resource/comments/";
constexpr const char* avatar_path = "/avatar/bench.png";

hostile::Reply answer(std::string_view content_type, std::string_view body) {
  return hostile::send_bytes(hostile::http_response(200, content_type, body));
}

// The demo catalogue repeated to any length, each song with an id of its own.
std::vector<demo::Song> songs(int count) {
  const std::vector<demo::Song>& catalogue = demo::chart_songs();
  std::vector<demo::Song> list;
  list.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    demo::Song song = catalogue[static_cast<std::size_t>(i) % catalogue.size()];
    song.id = 1400000000 + i;
    list.push_back(std::move(song));
  }
  return list;
}

// At most 15 hot comments, as the service gives, and the rest plain.
demo::Thread comments(int count) {
  const int hot = std::min(count, 15);
  return {demo::make_comments(hot, 1, true), demo::make_comments(count - hot, 2, false)};
}

// One shown window and one server for every benchmark of the program; main() makes it once
// the application exists.
struct Bench {
  Bench() {
    server.start();
    workflow.emplace(controls, settings_for_root(server.root_url()));
    window.show_centred();
    QApplication::processEvents();
  }

  // The handler, then what the window does before it is idle again.
  template <typename Handler>
  void click(Handler handler) {
    ((*workflow).*handler)();
    QApplication::processEvents();
  }

  hostile::RawServer server;
  MainWindow window;
  WindowControls controls{window};
  std::optional<Workflow> workflow;  // once the server has its port
};

Bench* current_bench = nullptr;

Bench& bench() {
  return *current_bench;
}

// Every benchmark sets the same counters (the CSV output wants them so). scripts/bench takes the
// difference between two sizes over the rows added, the cost of a row without the fixed cost of
// a click.
void set_row_counters(benchmark::State& state, int rows) {
  state.counters["rows"] = rows;
  state.counters["per_row"] = benchmark::Counter(
      rows, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The button: the chart page with range(0) songs, five cells a row. SongList keeps every row
// it is given, so it is emptied (outside the measured time) before each click.
void BM_ChartClick(benchmark::State& state) {
  Bench& b = bench();
  const int count = static_cast<int>(state.range(0));
  b.server.set_reply(chart_path,
                     answer("text/html; charset=utf-8", demo::chart_page(songs(count))));
  for (auto _ : state) {
    state.PauseTiming();
    b.controls.delete_all_rows(ListView::SongList);
    QApplication::processEvents();
    state.ResumeTiming();
    b.click(&Workflow::load_chart);
  }
  if (b.controls.row_count(ListView::SongList) != count) {
    state.SkipWithError("the chart was not listed whole");
  }
  set_row_counters(state, count);
}
BENCHMARK(BM_ChartClick)->Arg(200)->Arg(2000)->Arg(10000)->Unit(benchmark::kMillisecond);

// A song: an answer of range(0) comments, six cells a row; the handler empties the list itself.
void BM_SongClick(benchmark::State& state) {
  Bench& b = bench();
  const int count = static_cast<int>(state.range(0));
  b.server.set_reply(chart_path, answer("text/html; charset=utf-8", demo::chart_page(songs(1))));
  b.server.set_reply(
      comments_path,
      answer("application/json", demo::comments_json(comments(count), b.server.root_url())));
  b.controls.delete_all_rows(ListView::SongList);
  b.click(&Workflow::load_chart);
  b.window.song_list().selectRow(0);
  for (auto _ : state) {
    b.click(&Workflow::load_hot_comments);
  }
  if (b.controls.row_count(ListView::CommentList) != count) {
    state.SkipWithError("the comments were not listed whole");
  }
  set_row_counters(state, count);
}
BENCHMARK(BM_SongClick)->Arg(35)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);

// A comment: its details and a PNG avatar downloaded and shown (one row, the clicked one).
void BM_CommentClick(benchmark::State& state) {
  Bench& b = bench();
  demo::Thread thread = comments(35);
  thread.hot[0].avatar_path = avatar_path;
  const std::vector<std::uint8_t> png = demo::avatar_png(3);
  b.server.set_reply(avatar_path, answer("image/png", std::string(png.begin(), png.end())));
  b.server.set_reply(comments_path,
                     answer("application/json", demo::comments_json(thread, b.server.root_url())));
  b.server.set_reply(chart_path, answer("text/html; charset=utf-8", demo::chart_page(songs(1))));
  b.controls.delete_all_rows(ListView::SongList);
  b.click(&Workflow::load_chart);
  b.window.song_list().selectRow(0);
  b.click(&Workflow::load_hot_comments);
  b.window.comment_list().selectRow(0);
  for (auto _ : state) {
    b.click(&Workflow::show_comment);
  }
  if (!b.window.avatar_box().has_picture()) {
    state.SkipWithError("the avatar was not shown");
  }
  set_row_counters(state, 1);
}
BENCHMARK(BM_CommentClick)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace hc

int main(int argc, char** argv) {
  // The window is real but drawn off screen, so that no display is needed and every run draws
  // the same way.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  hc::Bench bench;
  hc::current_bench = &bench;
  benchmark::RunSpecifiedBenchmarks();
  hc::current_bench = nullptr;
  benchmark::Shutdown();
  return 0;
}
