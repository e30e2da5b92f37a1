// Stroke throughput of a whole painting: the demo's paint script (about 600 strokes and 36,000
// dabs with every brush) replayed through the host onto a fresh 960 x 640 sheet, and the same
// script parsed alone.
#include <benchmark/benchmark.h>

#include "canvas.h"
#include "data_folder.h"
#include "paint_replay.h"
#include "palmora/palmora.h"

namespace {

const host::PaintScript& DemoScript() {
  static const host::PaintScript script = host::ReadPaintScript(host::DataPath("paint/demo.srp"));
  return script;
}

void ParseDemoScript(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(host::ReadPaintScript(host::DataPath("paint/demo.srp")));
}
BENCHMARK(ParseDemoScript)->Unit(benchmark::kMillisecond);

void ReplayDemoScript(benchmark::State& state) {
  const host::PaintScript& script = DemoScript();
  std::size_t dabs = 0;
  for (auto _ : state) {
    host::Canvas canvas(960, 640, script.seed);
    PMR_Clear(255, 255, 255, 255);
    dabs += host::ReplayPaintScript(canvas, script, "demo.srp", nullptr).dabs;
  }
  state.counters["dabs/s"] = benchmark::Counter(double(dabs), benchmark::Counter::kIsRate);
}
BENCHMARK(ReplayDemoScript)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
