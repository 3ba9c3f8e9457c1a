// Decoding speed of each kind: an avatar the size of the box (64 x 56) and a larger picture.

#include <benchmark/benchmark.h>

#include "app/picture/picture.h"
#include "tests/picture/picture_makers.h"

namespace {

using hc::PictureKind;
using hc::test::FileBytes;

FileBytes file_of(PictureKind kind, int width, int height) {
  using namespace hc::test;
  const hc::Picture picture = sample_picture(width, height, kind == PictureKind::png);
  const IndexedPicture indexed = sample_indexed(width, height, 256);
  switch (kind) {
    case PictureKind::jpeg:
      return make_jpeg(picture);
    case PictureKind::png:
      return make_png(picture);
    case PictureKind::gif:
      return make_gif(indexed);
    case PictureKind::bmp:
      return make_bmp(picture);
    case PictureKind::icon:
      return make_icon(IconType::icon,
                       {{icon_bitmap(sample_picture(width, height, true)), width, height}});
    case PictureKind::pcx:
      return make_pcx(indexed);
    default:
      return {};
  }
}

void decode(benchmark::State& state, PictureKind kind) {
  const auto width = static_cast<int>(state.range(0));
  const auto height = static_cast<int>(state.range(1));
  const FileBytes bytes = file_of(kind, width, height);
  for (auto _ : state) {
    auto picture = hc::decode_picture(bytes);
    benchmark::DoNotOptimize(picture);
  }
  state.SetItemsProcessed(state.iterations() * width * height);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

void sizes(benchmark::internal::Benchmark* benchmark) {
  benchmark->Args({64, 56})->Args({640, 480});
}

BENCHMARK_CAPTURE(decode, jpeg, PictureKind::jpeg)->Apply(sizes);
BENCHMARK_CAPTURE(decode, png, PictureKind::png)->Apply(sizes);
BENCHMARK_CAPTURE(decode, gif, PictureKind::gif)->Apply(sizes);
BENCHMARK_CAPTURE(decode, bmp, PictureKind::bmp)->Apply(sizes);
BENCHMARK_CAPTURE(decode, icon, PictureKind::icon)->Apply(sizes);
BENCHMARK_CAPTURE(decode, pcx, PictureKind::pcx)->Apply(sizes);

}  // namespace
