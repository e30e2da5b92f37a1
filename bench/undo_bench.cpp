// Undo history and canvas creation on a 4096 x 4096 canvas, each beside the plain memory work it
// cannot avoid: a whole-canvas commit moves the rectangle twice (back buffer to the step, layer to
// the back buffer), an undo or redo three times; creating the canvas and four layers fills their
// planes once. The *_ratio counters give our time over the copies' time (1.0 is the floor).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "engine/heap.h"
#include "palmora/palmora.h"

namespace {

constexpr int32_t kSide = 4096;
constexpr std::size_t kLayerBytes = std::size_t(kSide) * kSide * 8;

void SetUpCanvas() {
  PMR_DeleteImage();
  PMR_CreateImage(nullptr, kSide, kSide, 128, 0);
  PMR_CreateLayer(1, kSide, kSide);
  PMR_CreateLayer(2, kSide, kSide);
  PMR_SetLayerOptions(2, 1, 0, 100, "Normal");
  PMR_SetLayer(2);
  PMR_SetUndoLevels(4);
  PMR_SetUndoMB(4096);
}

double TimeCopies(int copies) {
  static std::vector<char> a(kLayerBytes, 1), b(kLayerBytes, 2);
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < copies; ++i) {
    std::memcpy(i % 2 ? a.data() : b.data(), i % 2 ? b.data() : a.data(), kLayerBytes);
    benchmark::ClobberMemory();
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_MemcpyLayer(benchmark::State& state) {
  for (auto _ : state) state.SetIterationTime(TimeCopies(1));
  state.SetBytesProcessed(int64_t(state.iterations()) * kLayerBytes);
}
BENCHMARK(BM_MemcpyLayer)->UseManualTime()->Unit(benchmark::kMillisecond);

// Measured once the history is full, as it is for most of a painting session: every commit then
// first gives up the oldest step.
void BM_SaveUndoBufferWholeCanvas(benchmark::State& state) {
  SetUpCanvas();
  for (int i = 0; i < 4; ++i) PMR_SaveUndoBuffer(1, 0);
  double ours = 0, copies = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    PMR_SaveUndoBuffer(1, 0);
    const double t =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(t);
    ours += t;
    state.PauseTiming();
    copies += TimeCopies(2);
    state.ResumeTiming();
  }
  state.counters["ratio_to_2_memcpy"] = ours / copies;
  PMR_DeleteImage();
}
BENCHMARK(BM_SaveUndoBufferWholeCanvas)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

void BM_UndoRedoWholeCanvas(benchmark::State& state) {
  SetUpCanvas();
  PMR_SaveUndoBuffer(1, 0);
  double ours = 0, copies = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (PMR_CanUndo())
      PMR_Undo();
    else
      PMR_Redo();
    const double t =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(t);
    ours += t;
    copies += TimeCopies(3);
  }
  state.counters["ratio_to_3_memcpy"] = ours / copies;
  PMR_DeleteImage();
}
BENCHMARK(BM_UndoRedoWholeCanvas)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_CreateImageAndFourLayers(benchmark::State& state) {
  // The canvas's own planes (back buffers 10 bytes a pixel, mask 2) plus four layers of 8.
  const std::size_t bytes = std::size_t(kSide) * kSide * (10 + 2 + 4 * 8);
  static std::vector<char> target(bytes);
  double ours = 0, fills = 0, freshFills = 0;
  for (auto _ : state) {
    PMR_DeleteImage();
    const auto start = std::chrono::steady_clock::now();
    PMR_CreateImage(nullptr, kSide, kSide, 128, 0);
    for (int32_t index = 1; index <= 4; ++index) PMR_CreateLayer(index, kSide, kSide);
    const double t =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(t);
    ours += t;
    const auto fillStart = std::chrono::steady_clock::now();
    std::memset(target.data(), state.iterations() & 0xFF, bytes);
    benchmark::ClobberMemory();
    fills += std::chrono::duration<double>(std::chrono::steady_clock::now() - fillStart).count();
    // The same bytes freshly obtained from the system: the kernel must supply zeroed pages first.
    const auto freshStart = std::chrono::steady_clock::now();
    void* fresh = engine::AllocateBytes(bytes);
    std::memset(fresh, 1, bytes);
    benchmark::ClobberMemory();
    engine::ReleaseBytes(fresh);
    freshFills +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - freshStart).count();
  }
  state.counters["ratio_to_memset"] = ours / fills;
  state.counters["ratio_to_fresh_memset"] = ours / freshFills;
  PMR_DeleteImage();
}
BENCHMARK(BM_CreateImageAndFourLayers)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(6);

}  // namespace

BENCHMARK_MAIN();
