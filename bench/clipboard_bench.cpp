// The clipboard store and pastes, each beside the operation it is held to, timed in turns:
//   ToStore / FromStore: a 4096 x 4096 RGBA32 picture put on the clipboard and read into the
//     import buffer, against a memcpy of its 64 MiB (limit: 2 x memcpy);
//   Paste: the picture pasted into a layer at (0, 0), against PMR_LoadRGBA32Layer of the same
//     rectangle (limit: 1.5 x the load).
// Each iteration times both sides back to back; the ratio counter is the median of the per-
// iteration ratios ours / peer (below the limit passes). On a shared machine the wall clock
// mostly measures the other processes, so cpu_ratio does the same with the process's CPU time
// (both sides may use the row threads).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "palmora/palmora.h"

namespace {

constexpr int32_t kSide = 4096;
constexpr std::size_t kBytes = std::size_t(kSide) * kSide * 4;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double CpuNow() {
  timespec t;
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Wall and CPU seconds of one run.
struct Times {
  double wall, cpu;
};
template <class Fn>
Times Time(Fn&& fn) {
  const double cpu = CpuNow();
  const auto start = Clock::now();
  fn();
  benchmark::ClobberMemory();
  return {Seconds(start), CpuNow() - cpu};
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

void Memcpy() {
  static std::vector<uint8_t> a(kBytes, 1), b(kBytes, 2);
  std::memcpy(b.data(), a.data(), kBytes);
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
  Memcpy();
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
  peer();
  std::vector<double> wall, cpu;
  for (auto _ : state) {
    const Times o = Time(ours);
    state.SetIterationTime(o.wall);
    const Times p = Time(peer);
    wall.push_back(o.wall / p.wall);
    cpu.push_back(o.cpu / p.cpu);
  }
  state.counters["ratio"] = Median(wall);
  state.counters["cpu_ratio"] = Median(cpu);
  state.counters["limit"] = limit;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}

void ToStore(benchmark::State& state) {
  Compare(
      state, [] { PMR_RGBA32ToClipboardRect(Picture().data(), 0, 0, kSide, kSide, 0); }, Memcpy,
      2.0);
}

void FromStore(benchmark::State& state) {
  SetUp();
  PMR_RGBA32ToClipboardRect(Picture().data(), 0, 0, kSide, kSide, 0);
  Compare(
      state, [] { PMR_FromClipboard(); }, Memcpy, 2.0);
}

void Paste(benchmark::State& state) {
  SetUp();
  PMR_RGBA32ToClipboardRect(Picture().data(), 0, 0, kSide, kSide, 0);
  Compare(
      state, [] { PMR_FromClipboardInto(0, 0, 0); },
      [] { PMR_LoadRGBA32Layer(Picture().data(), kSide * 4, 2, 0, 0, kSide, kSide, 1); }, 1.5);
}

BENCHMARK(ToStore)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(FromStore)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(Paste)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

}  // namespace

BENCHMARK_MAIN();
