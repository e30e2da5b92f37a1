// Compositing throughput on a 4096 x 4096 canvas: flattening eight layers (Normal, Multiply) and
// merging one layer into another (Normal, Multiply, Soft Light, Screen, Overlay), on one thread
// and on two. Each figure is given as a ratio to a memcpy-based pass that moves the same bytes on
// the same threads (every composite pass reads two planes and writes one; the flattening's
// background step reads one and writes one), so "vs_memcpy" = memcpy time / merge time. Every
// iteration times, back to back, the memcpy pass, the merge with the per-rule vector kernels
// turned off (the batched path, "before"), the merge held to AVX2 (four-pixel kernels, "avx2")
// and the merge as it ships on this machine ("after"); the ratios are medians of the
// per-iteration ratios. On a shared machine the wall clock mostly measures the
// other programs, so the ratios are also given on the process's CPU time ("_cpu").
//
// The layers hold "mixed alpha": each row is cut into runs of 16..512 pixels that are clear
// (35 %), opaque (35 %) or partly transparent with a random alpha per pixel (30 %), as painted
// layers with soft edges are. Run: ./build/bench/merge_bench
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <random>
#include <vector>

#include "bench_timing.h"
#include "engine/engine_state.h"
#include "palmora/palmora.h"
#include "render/composite_internal.h"
#include "engine/parallel_rows.h"
#include "platform/cpu_features_internal.h"

namespace {

using bench_timing::CpuNow;
using bench_timing::Median;
using bench_timing::Seconds;
using bench_timing::Span;
using bench_timing::TimeOf;

constexpr int32_t kSide = 4096;
constexpr int64_t kPixels = int64_t{kSide} * kSide;
constexpr std::size_t kRowBytes = std::size_t(kSide) * 8;
constexpr int32_t kFirstLayer = 1, kLastLayer = 8;  // background + seven layers

void FillMixed(uint16_t* plane, uint32_t seed, bool opaqueEverywhere) {
  std::mt19937 rng(seed);
  for (int32_t y = 0; y < kSide; ++y) {
    uint16_t* row = plane + std::size_t(y) * kSide * 4;
    int32_t x = 0;
    while (x < kSide) {
      const int32_t run = std::min<int32_t>(kSide - x, 16 + int32_t(rng() % 497));
      const uint32_t kind = opaqueEverywhere ? 1 : rng() % 100;
      for (int32_t i = 0; i < run; ++i, ++x) {
        uint16_t* p = row + 4 * x;
        const uint32_t bits = rng();
        p[0] = uint16_t(bits);
        p[1] = uint16_t(bits >> 16);
        p[2] = uint16_t(rng());
        p[3] = kind < 35 ? 0 : kind < 70 ? 65535 : uint16_t(1 + rng() % 65534);
      }
    }
  }
}

struct Canvas {
  Canvas() {
    PMR_CreateImage(nullptr, kSide, kSide, 64, 0);
    for (int32_t index = kFirstLayer; index <= kLastLayer + 1; ++index) {
      PMR_CreateLayer(index, kSide, kSide);
      PMR_SetLayerOptions(index, index <= kLastLayer, 0, 100, "Normal");
      FillMixed(engine::State().layers[index].pixels, 1000 + index, index == 1);
    }
    buffer.resize(std::size_t(kPixels) * 4);
    saved.resize(std::size_t(kPixels) * 4);
  }
  std::vector<uint16_t> buffer;
  std::vector<uint16_t> saved;
};

Canvas& TheCanvas() {
  static Canvas canvas;
  return canvas;
}

void SetModes(const char* mode) {
  for (int32_t index = 2; index <= kLastLayer + 1; ++index) {
    PMR_SetLayerOptions(index, index <= kLastLayer, 0, 100, mode);
  }
}

// The memcpy-based pass: per row, read the destination (into a row that stays in cache) and copy
// the source over it. With readDestination false it is a plain copy, read one, write one.
void MemcpyPass(uint16_t* destination, const uint16_t* source, bool readDestination) {
  struct Context {
    uint16_t* destination;
    const uint16_t* source;
    bool readDestination;
  } context{destination, source, readDestination};
  auto band = [&context](int32_t first, int32_t end) {
    thread_local std::vector<uint16_t> scratch(std::size_t(kSide) * 4);
    for (int32_t y = first; y < end; ++y) {
      uint16_t* d = context.destination + std::size_t(y) * kSide * 4;
      if (context.readDestination) std::memcpy(scratch.data(), d, kRowBytes);
      std::memcpy(d, context.source + std::size_t(y) * kSide * 4, kRowBytes);
      benchmark::DoNotOptimize(scratch.data());
    }
  };
  engine::ForRowBands(kSide, std::size_t(kRowBytes) * 2, band, 8);
}

// Per-iteration times of the three sides, reported as medians of ratios.
struct Timings {
  std::vector<double> beforeVsMemcpy, avx2VsMemcpy, afterVsMemcpy, speedup;
  std::vector<double> beforeVsMemcpyCpu, avx2VsMemcpyCpu, afterVsMemcpyCpu;
  double after = 0;
  void Add(Span memcpy, Span before, Span avx2, Span after_) {
    beforeVsMemcpy.push_back(memcpy.wall / before.wall);
    avx2VsMemcpy.push_back(memcpy.wall / avx2.wall);
    afterVsMemcpy.push_back(memcpy.wall / after_.wall);
    speedup.push_back(before.wall / after_.wall);
    beforeVsMemcpyCpu.push_back(memcpy.cpu / before.cpu);
    avx2VsMemcpyCpu.push_back(memcpy.cpu / avx2.cpu);
    afterVsMemcpyCpu.push_back(memcpy.cpu / after_.cpu);
    after += after_.wall;
  }
};

void Report(benchmark::State& state, const Timings& t, int64_t pixels) {
  platform::SetCpuLevelForTesting(platform::CpuLevel::kAvx512);
  engine::SetRowBandThreadsForTesting(0);
  state.counters["MP/s"] = double(pixels) * double(state.iterations()) / t.after / 1e6;
  state.counters["vs_memcpy_before"] = Median(t.beforeVsMemcpy);
  state.counters["vs_memcpy_avx2"] = Median(t.avx2VsMemcpy);
  state.counters["vs_memcpy"] = Median(t.afterVsMemcpy);
  state.counters["vs_memcpy_before_cpu"] = Median(t.beforeVsMemcpyCpu);
  state.counters["vs_memcpy_avx2_cpu"] = Median(t.avx2VsMemcpyCpu);
  state.counters["vs_memcpy_cpu"] = Median(t.afterVsMemcpyCpu);
  state.counters["speedup"] = Median(t.speedup);
}

// Times fn below AVX2 (the row kernels off, the batches on the baseline processor), at AVX2, then
// with everything the machine has; reset() runs untimed before each.
template <class Fn, class Reset>
void ThreeLevels(Fn&& fn, Reset&& reset, Span& before, Span& avx2, Span& after) {
  const platform::CpuLevel levels[] = {platform::CpuLevel::kSse41, platform::CpuLevel::kAvx2,
                                       platform::CpuLevel::kAvx512};
  Span* spans[] = {&before, &avx2, &after};
  for (int i = 0; i < 3; ++i) {
    reset();
    platform::SetCpuLevelForTesting(levels[i]);
    *spans[i] = TimeOf(fn);
  }
  platform::SetCpuLevelForTesting(platform::CpuLevel::kAvx512);
}

void FlattenBench(benchmark::State& state, const char* mode) {
  Canvas& canvas = TheCanvas();
  SetModes(mode);
  engine::SetRowBandThreadsForTesting(int32_t(state.range(0)));
  const auto& layers = engine::State().layers;
  Timings t;
  for (auto _ : state) {
    const Span baseline = TimeOf([&] {
      MemcpyPass(canvas.buffer.data(), layers[1].pixels, false);
      for (int32_t index = 2; index <= kLastLayer; ++index) {
        MemcpyPass(canvas.buffer.data(), layers[index].pixels, true);
      }
    });
    Span before, avx2, after;
    ThreeLevels([&] { PMR_Merge(canvas.buffer.data()); }, [] {}, before, avx2, after);
    state.SetIterationTime(after.wall);
    t.Add(baseline, before, avx2, after);
  }
  Report(state, t, kPixels * (kLastLayer - kFirstLayer + 1));
}

void MergeLayerBench(benchmark::State& state, const char* mode) {
  Canvas& canvas = TheCanvas();
  SetModes("Normal");
  PMR_SetLayerOptions(3, 1, 0, 100, mode);
  engine::SetRowBandThreadsForTesting(int32_t(state.range(0)));
  auto& layers = engine::State().layers;
  uint16_t* destination = layers[kLastLayer + 1].pixels;  // a hidden layer, nothing masks layer 3
  std::memcpy(canvas.saved.data(), destination, std::size_t(kPixels) * 8);
  Timings t;
  for (auto _ : state) {
    const Span baseline = TimeOf([&] { MemcpyPass(canvas.buffer.data(), layers[3].pixels, true); });
    Span before, avx2, after;
    ThreeLevels([&] { PMR_MergeLayer(3, kLastLayer + 1); },
                [&] { std::memcpy(destination, canvas.saved.data(), std::size_t(kPixels) * 8); },
                before, avx2, after);
    state.SetIterationTime(after.wall);
    t.Add(baseline, before, avx2, after);
  }
  std::memcpy(destination, canvas.saved.data(), std::size_t(kPixels) * 8);
  Report(state, t, kPixels);
}

void BM_MergeEightLayersNormal(benchmark::State& state) { FlattenBench(state, "Normal"); }
void BM_MergeEightLayersMultiply(benchmark::State& state) { FlattenBench(state, "Multiply"); }
void BM_MergeLayerNormal(benchmark::State& state) { MergeLayerBench(state, "Normal"); }
void BM_MergeLayerMultiply(benchmark::State& state) { MergeLayerBench(state, "Multiply"); }
void BM_MergeLayerSoftLight(benchmark::State& state) { MergeLayerBench(state, "Soft Light"); }
void BM_MergeLayerScreen(benchmark::State& state) { MergeLayerBench(state, "Screen"); }
void BM_MergeLayerOverlay(benchmark::State& state) { MergeLayerBench(state, "Overlay"); }

#define MERGE_BENCH(fn)               \
  BENCHMARK(fn)                       \
      ->UseManualTime()               \
      ->Unit(benchmark::kMillisecond) \
      ->Iterations(5)                 \
      ->ArgName("threads")            \
      ->Arg(1)                        \
      ->Arg(2)
MERGE_BENCH(BM_MergeEightLayersNormal);
MERGE_BENCH(BM_MergeEightLayersMultiply);
MERGE_BENCH(BM_MergeLayerNormal);
MERGE_BENCH(BM_MergeLayerMultiply);
MERGE_BENCH(BM_MergeLayerSoftLight);
MERGE_BENCH(BM_MergeLayerScreen);
MERGE_BENCH(BM_MergeLayerOverlay);

}  // namespace

BENCHMARK_MAIN();
