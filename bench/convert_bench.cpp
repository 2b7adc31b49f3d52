// SPDX-License-Identifier: GPL-3.0-or-later
// Time of one conversion pass over a preview (144 x 81 pixels): the nearest
// palette entry for every pixel, with and without error diffusion, once the
// palette search has met the picture's colours and from a fresh search; and a
// whole conversion of a 1000 x 750 picture (scaling included).
//
//   orvane-convert-bench [benchmark flags]
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "convert/convert.h"
#include "display/palette.h"
#include "sample_data.h"

namespace {

using namespace orvane::convert;

std::vector<Rgb8> shippedColours() {
  std::vector<Rgb8> colours;
  for (int e = 0; e <= 150; ++e) {
    const auto& c = orvane::defaultPalette()[static_cast<std::size_t>(e)];
    colours.push_back({static_cast<std::uint8_t>(c.r), static_cast<std::uint8_t>(c.g), static_cast<std::uint8_t>(c.b)});
  }
  return colours;
}

// A photo-like picture: smooth colour fields with a little grain.
SourcePicture photo(int width, int height) {
  std::vector<std::uint8_t> bytes;
  orvane::sample::Rng rng(5);
  std::normal_distribution<double> grain(0, 6);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const double u = double(x) / width, v = double(y) / height;
      const double c[3] = {128 + 110 * std::sin(6 * u + 2 * v), 120 + 100 * std::cos(5 * v - 3 * u),
                           110 + 90 * std::sin(4 * (u + v))};
      for (double channel : c) bytes.push_back(static_cast<std::uint8_t>(std::clamp(channel + grain(rng), 0.0, 255.0)));
      bytes.push_back(255);
    }
  return ownedPicture(width, height, std::move(bytes));
}

std::vector<Linear> scaledCanvas() {
  std::vector<Linear> canvas(kCanvasPixels);
  const SourcePicture source = photo(1000, 750);
  areaAverage(source, planFit(source.width, source.height, FitMode::Crop), canvas);
  return canvas;
}

void pass(benchmark::State& state, Dither dither, bool fresh) {
  const std::vector<Linear> canvas = scaledCanvas();
  const auto colours = shippedColours();
  PaletteMatcher warm(colours);
  orvane::IndexPicture out;
  std::vector<Linear> work = canvas;
  mapToPalette(work, {0, 0, kTargetWidth, kTargetHeight}, warm, dither, out);
  for (auto _ : state) {
    work = canvas;
    if (fresh) {
      PaletteMatcher matcher(colours);
      mapToPalette(work, {0, 0, kTargetWidth, kTargetHeight}, matcher, dither, out);
    } else {
      mapToPalette(work, {0, 0, kTargetWidth, kTargetHeight}, warm, dither, out);
    }
    benchmark::DoNotOptimize(out);
  }
}

void BM_NearestPass(benchmark::State& state) { pass(state, Dither::None, false); }
void BM_DitheredPass(benchmark::State& state) { pass(state, Dither::FloydSteinberg, false); }
void BM_DitheredPassFreshSearch(benchmark::State& state) { pass(state, Dither::FloydSteinberg, true); }

void BM_FullSearchPass(benchmark::State& state) {  // the same pass comparing with every entry, for scale
  const std::vector<Linear> canvas = scaledCanvas();
  PaletteMatcher matcher(shippedColours());
  for (auto _ : state) {
    int sum = 0;
    for (const Linear& c : canvas) sum += matcher.nearestByFullSearch(c);
    benchmark::DoNotOptimize(sum);
  }
}

void BM_Convert1000x750(benchmark::State& state) {
  const SourcePicture source = photo(1000, 750);
  const auto colours = shippedColours();
  for (auto _ : state) {
    PaletteMatcher matcher(colours);
    auto done = convertPicture(source, matcher, {});
    benchmark::DoNotOptimize(done);
  }
}

BENCHMARK(BM_NearestPass)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DitheredPass)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DitheredPassFreshSearch)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullSearchPass)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Convert1000x750)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
