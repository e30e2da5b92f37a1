// The clipboard store and pastes, each beside the operation it is held to, timed in turns:
//   ToStore / FromStore: a 4096 x 4096 RGBA32 picture put on the clipboard and read into the
//     import buffer, against a memcpy of its 64 MiB (limit: 2 x memcpy);
//   Paste: the picture pasted into a layer at (0, 0), against PMR_LoadRGBA32Layer of the same
//     rectangle (limit: 1.5 x the load).
// Each iteration times both sides back to back; the ratio counter is the median of the per-
// iteration ratios ours / peer (below the limit passes).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "palmora/palmora.h"

namespace {

constexpr int32_t kSide = 4096;
constexpr std::size_t kBytes = std::size_t(kSide) * kSide * 4;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// An opaque picture with every byte touched.
std::vector<uint8_t>& Picture() {
  static std::vector<uint8_t> p = [] {
    std::vector<uint8_t> v(kBytes);
    uint32_t x = 12345;
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = uint8_t((x = x * 214013 + 2531011) >> 16);
    for (std::size_t i = 3; i < v.size(); i += 4) v[i] = 255;
    return v;
  }();
  return p;
}

double MemcpySeconds() {
  static std::vector<uint8_t> a(kBytes, 1), b(kBytes, 2);
  const auto start = Clock::now();
  std::memcpy(b.data(), a.data(), kBytes);
  benchmark::ClobberMemory();
  return Seconds(start);
}

void SetUp() {
  static bool ready = false;
  if (ready) return;
  ::unsetenv("DISPLAY");  // the process's own store, not a desktop
  PMR_CreateImage(nullptr, kSide, kSide, 64, 0);
  PMR_CreateLayer(1, kSide, kSide);
  PMR_CreateLayer(2, kSide, kSide);
  PMR_SetLayerOptions(2, 1, 0, 100, "Normal");
  PMR_SetLayer(2);
  Picture();
  MemcpySeconds();
  ready = true;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

template <class Ours, class Peer>
void Compare(benchmark::State& state, Ours ours, Peer peer, double limit) {
  SetUp();
  ours();  // first touch of every block outside the timing
  std::vector<double> ratios;
  for (auto _ : state) {
    auto start = Clock::now();
    ours();
    benchmark::ClobberMemory();
    const double t = Seconds(start);
    state.SetIterationTime(t);
    const double p = peer();
    ratios.push_back(t / p);
  }
  state.counters["ratio"] = Median(ratios);
  state.counters["limit"] = limit;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}

void ToStore(benchmark::State& state) {
  Compare(state, [] { PMR_RGBA32ToClipboardRect(Picture().data(), 0, 0, kSide, kSide, 0); },
          MemcpySeconds, 2.0);
}

void FromStore(benchmark::State& state) {
  SetUp();
  PMR_RGBA32ToClipboardRect(Picture().data(), 0, 0, kSide, kSide, 0);
  Compare(state, [] { PMR_FromClipboard(); }, MemcpySeconds, 2.0);
}

void Paste(benchmark::State& state) {
  SetUp();
  PMR_RGBA32ToClipboardRect(Picture().data(), 0, 0, kSide, kSide, 0);
  Compare(
      state, [] { PMR_FromClipboardInto(0, 0, 0); },
      [] {
        const auto start = Clock::now();
        PMR_LoadRGBA32Layer(Picture().data(), kSide * 4, 2, 0, 0, kSide, kSide, 1);
        benchmark::ClobberMemory();
        return Seconds(start);
      },
      1.5);
}

BENCHMARK(ToStore)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(FromStore)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(Paste)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

}  // namespace

BENCHMARK_MAIN();
