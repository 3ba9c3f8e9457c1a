// The handlers from click to filled list, against the demo service on 127.0.0.1: what a user
// waits for, less the real network.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "tests/workflow/fake_controls.h"
#include "tools/demo_data.h"
#include "tools/demo_service.h"
#include "workflow/date_time.h"
#include "workflow/workflow.h"

namespace hc {
namespace {

void BM_TimeText(benchmark::State& state) {
  std::int64_t stamp = 1388505600000;
  for (auto _ : state) {
    benchmark::DoNotOptimize(format_date_time(timestamp_to_time(stamp)));
    stamp += 86399999;
  }
}
BENCHMARK(BM_TimeText);

// The whole chart of the demo service: one request, a 300-song array, 1500 cells.
void BM_LoadChart(benchmark::State& state) {
  DemoService service;
  if (!service.start()) {
    state.SkipWithError("demo service did not start");
    return;
  }
  FakeControls controls;
  Workflow workflow(controls, settings_for_root(service.root_url()));
  for (auto _ : state) {
    controls.list(ListView::SongList).rows.clear();
    workflow.load_chart();
  }
  state.counters["rows"] = static_cast<double>(controls.row_count(ListView::SongList));
}
BENCHMARK(BM_LoadChart)->Unit(benchmark::kMillisecond);

// One song's comments: 15 hot and 20 plain, 35 rows of six cells.
void BM_LoadHotComments(benchmark::State& state) {
  DemoService service;
  if (!service.start()) {
    state.SkipWithError("demo service did not start");
    return;
  }
  service.set_answer(
      "/weapi/v1/resource/comments/R_SO_4_1",
      {200, "application/json",
       demo::comments_json({demo::make_comments(15, 1, true), demo::make_comments(20, 2, false)},
                           service.root_url())});
  FakeControls controls;
  const int row = controls.insert_row(ListView::SongList);
  controls.set_cell_text(ListView::SongList, row, 4, "R_SO_4_1");
  controls.list(ListView::SongList).selected = row;
  Workflow workflow(controls, settings_for_root(service.root_url()));
  for (auto _ : state) {
    workflow.load_hot_comments();
  }
  state.counters["rows"] = static_cast<double>(controls.row_count(ListView::CommentList));
}
BENCHMARK(BM_LoadHotComments)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace hc
