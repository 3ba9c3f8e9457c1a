#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/window_controls.h"

namespace hc {
namespace {

// One application and one shown window for every benchmark of the program.
struct ShownWindow {
  ShownWindow() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    application = std::make_unique<QApplication>(argc, argv);
    window = std::make_unique<MainWindow>();
    controls = std::make_unique<WindowControls>(*window);
    window->show_centred();
    QApplication::processEvents();
  }

  int argc = 1;
  char name[12] = "hotcomments";
  char* argv[2] = {name, nullptr};
  std::unique_ptr<QApplication> application;
  std::unique_ptr<MainWindow> window;
  std::unique_ptr<WindowControls> controls;
};

ShownWindow& shown_window() {
  static ShownWindow instance;
  return instance;
}

// What the comment loader does for one answer: clear the list, then append rows of six cells,
// then the window lays out and paints once the handler returns.
void BM_FillCommentList(benchmark::State& state) {
  WindowControls& controls = *shown_window().controls;
  const int rows = static_cast<int>(state.range(0));
  const std::string text(60, 'x');
  for (auto _ : state) {
    controls.delete_all_rows(ListView::CommentList);
    for (int i = 0; i < rows; ++i) {
      const int row = controls.insert_row(ListView::CommentList);
      controls.set_cell_text(ListView::CommentList, row, 0, std::to_string(row + 1));
      controls.set_cell_text(ListView::CommentList, row, 1, "nickname");
      controls.set_cell_text(ListView::CommentList, row, 2, text);
      controls.set_cell_text(ListView::CommentList, row, 3, "2024-01-02 03:04:05");
      controls.set_cell_text(ListView::CommentList, row, 4, "http://127.0.0.1/avatar.jpg");
      controls.set_cell_text(ListView::CommentList, row, 5, "12345");
      if (i < 15) {
        controls.set_row_image(ListView::CommentList, row, 0);
      }
    }
    QApplication::processEvents();
    benchmark::DoNotOptimize(controls.row_count(ListView::CommentList));
  }
  state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_FillCommentList)->Arg(100)->Arg(10'000)->Unit(benchmark::kMillisecond);

// The chart loader appends to SongList without clearing it.
void BM_AppendToSongList(benchmark::State& state) {
  WindowControls& controls = *shown_window().controls;
  const int rows = static_cast<int>(state.range(0));
  for (auto _ : state) {
    for (int i = 0; i < rows; ++i) {
      const int row = controls.insert_row(ListView::SongList);
      controls.set_cell_text(ListView::SongList, row, 0, std::to_string(row + 1));
      controls.set_cell_text(ListView::SongList, row, 2, "title");
      controls.set_cell_text(ListView::SongList, row, 4, "R_SO_4_1");
    }
    QApplication::processEvents();
  }
  state.SetItemsProcessed(state.iterations() * rows);
  state.counters["rows_at_end"] = controls.row_count(ListView::SongList);
  controls.delete_all_rows(ListView::SongList);
}
BENCHMARK(BM_AppendToSongList)->Arg(10'000)->Unit(benchmark::kMillisecond);

// Reading one cell, as the details handler does on every click.
void BM_CellText(benchmark::State& state) {
  WindowControls& controls = *shown_window().controls;
  controls.delete_all_rows(ListView::SongList);
  const int row = controls.insert_row(ListView::SongList);
  controls.set_cell_text(ListView::SongList, row, 2, "\xA1\xB6\xC7\xE7\xCC\xEC\xA1\xB7");
  for (auto _ : state) {
    benchmark::DoNotOptimize(controls.cell_text(ListView::SongList, row, 2));
  }
}
BENCHMARK(BM_CellText);

}  // namespace
}  // namespace hc
