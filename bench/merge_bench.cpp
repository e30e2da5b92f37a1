// Compositing throughput on a 4096 x 4096 canvas: flattening eight layers (Normal, Multiply) and
// merging one layer into another (Normal, Multiply, Soft Light). Each figure is also given as a ratio to a
// memcpy-based pass that moves the same bytes on the same threads (every composite pass reads
// two planes and writes one; the flattening's background step reads one and writes one), so
// "vs_memcpy" = memcpy time / merge time.
//
// The layers hold "mixed alpha": each row is cut into runs of 16..512 pixels that are clear
// (35 %), opaque (35 %) or partly transparent with a random alpha per pixel (30 %), as painted
// layers with soft edges are. Run: ./build/bench/merge_bench
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <random>
#include <vector>

#include "engine/engine_state.h"
#include "palmora/palmora.h"
#include "engine/parallel_rows.h"

namespace {

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

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
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

template <class Fn>
double TimeOf(Fn&& fn) {
  const auto start = std::chrono::steady_clock::now();
  fn();
  return Seconds(start);
}

// Every iteration times the memcpy-based equivalent right before the merge, so that both see the
// same machine (other work on a shared machine moves both). Reported: mean rates and the ratio
// of the mean times, plus the best merge rate.
struct Timings {
  double merge = 0, memcpy = 0, bestMerge = 1e30;
  void Add(double mergeSeconds, double memcpySeconds) {
    merge += mergeSeconds;
    memcpy += memcpySeconds;
    bestMerge = std::min(bestMerge, mergeSeconds);
  }
};

void Report(benchmark::State& state, const Timings& t, int64_t pixels) {
  const double runs = double(state.iterations());
  state.counters["MP/s"] = double(pixels) / (t.merge / runs) / 1e6;
  state.counters["best_MP/s"] = double(pixels) / t.bestMerge / 1e6;
  state.counters["memcpy_MP/s"] = double(pixels) / (t.memcpy / runs) / 1e6;
  state.counters["vs_memcpy"] = t.memcpy / t.merge;
}

void FlattenBench(benchmark::State& state, const char* mode) {
  Canvas& canvas = TheCanvas();
  SetModes(mode);
  const auto& layers = engine::State().layers;
  Timings t;
  for (auto _ : state) {
    const double baseline = TimeOf([&] {
      MemcpyPass(canvas.buffer.data(), layers[1].pixels, false);
      for (int32_t index = 2; index <= kLastLayer; ++index) {
        MemcpyPass(canvas.buffer.data(), layers[index].pixels, true);
      }
    });
    const double seconds = TimeOf([&] { PMR_Merge(canvas.buffer.data()); });
    state.SetIterationTime(seconds);
    t.Add(seconds, baseline);
  }
  Report(state, t, kPixels * (kLastLayer - kFirstLayer + 1));
}

void MergeLayerBench(benchmark::State& state, const char* mode) {
  Canvas& canvas = TheCanvas();
  SetModes("Normal");
  PMR_SetLayerOptions(3, 1, 0, 100, mode);
  auto& layers = engine::State().layers;
  uint16_t* destination = layers[kLastLayer + 1].pixels;  // a hidden layer, nothing masks layer 3
  std::memcpy(canvas.saved.data(), destination, std::size_t(kPixels) * 8);
  Timings t;
  for (auto _ : state) {
    std::memcpy(destination, canvas.saved.data(), std::size_t(kPixels) * 8);
    const double baseline =
        TimeOf([&] { MemcpyPass(canvas.buffer.data(), layers[3].pixels, true); });
    const double seconds = TimeOf([&] { PMR_MergeLayer(3, kLastLayer + 1); });
    state.SetIterationTime(seconds);
    t.Add(seconds, baseline);
  }
  std::memcpy(destination, canvas.saved.data(), std::size_t(kPixels) * 8);
  Report(state, t, kPixels);
}

void BM_MergeEightLayersNormal(benchmark::State& state) { FlattenBench(state, "Normal"); }
void BM_MergeEightLayersMultiply(benchmark::State& state) { FlattenBench(state, "Multiply"); }
void BM_MergeLayerNormal(benchmark::State& state) { MergeLayerBench(state, "Normal"); }
void BM_MergeLayerMultiply(benchmark::State& state) { MergeLayerBench(state, "Multiply"); }
void BM_MergeLayerSoftLight(benchmark::State& state) { MergeLayerBench(state, "Soft Light"); }

BENCHMARK(BM_MergeEightLayersNormal)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(BM_MergeEightLayersMultiply)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(BM_MergeLayerNormal)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(BM_MergeLayerMultiply)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(BM_MergeLayerSoftLight)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

}  // namespace

BENCHMARK_MAIN();
