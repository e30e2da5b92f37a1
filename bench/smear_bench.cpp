// The smearing effects (Value Blur, Noise Reduction, Smart Blur, Anti Alias) on a 2048 x 2048
// photograph-like layer through PMR_IPLImageProcess, on one thread and on two, beside the frame
// pass that reads the layer as RGBA32 and writes it back. Each iteration times, back to back, the
// frame pass, the effect with the pair rule taken line by line ("before") and the effect with
// several lines at once on vector registers ("after"); reported are the after rate in megapixels
// per second and the medians of the per-iteration ratios: frame time / effect time ("vs_frame",
// before and after) and before time / after time ("speedup"). On a shared machine the wall clock
// mostly measures the other programs, so the same figures are also given on the process's CPU
// time (every thread's): "MP/s_cpu" is the rate one busy core gives.
// Run: ./build/bench/smear_bench --benchmark_min_time=0.1
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

#include "../tests/support/photo_picture.h"
#include "engine/parallel_rows.h"
#include "palmora/palmora.h"
#include "process/effects/smear_rules.h"
#include "platform/cpu_features_internal.h"

namespace {

constexpr int kSide = 2048;

const std::vector<uint8_t>& Photo() {
  static const std::vector<uint8_t> photo = palmora_test::PhotoPicture(kSide, kSide);
  return photo;
}

void MakeCanvasOnce() {
  static bool made = false;
  if (made) return;
  made = true;
  PMR_CreateImage(nullptr, kSide, kSide, 32, 0);
  for (int32_t index = 0; index <= 2; ++index) {
    PMR_CreateLayer(index, kSide, kSide);
    PMR_SetLayerOptions(index, 1, 0, 100, "Normal");
  }
  PMR_SetLayer(2);
  PMR_IPLAllocSrcBuffer32();
  PMR_IPLAllocDstBuffer32();
}

struct Span {
  double wall, cpu;
};

double CpuNow() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

template <class Fn>
Span Seconds(Fn&& fn) {
  const auto start = std::chrono::steady_clock::now();
  const double cpuStart = CpuNow();
  fn();
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
          CpuNow() - cpuStart};
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Smear {
  const char* name;
  int sliders[6];
};

void Run(benchmark::State& state, Smear smear) {
  MakeCanvasOnce();
  engine::SetRowBandThreadsForTesting(int32_t(state.range(0)));
  std::vector<uint8_t> buffer(std::size_t(kSide) * kSide * 4);
  const auto load = [] {
    PMR_LoadRGBA32Layer(Photo().data(), kSide * 4, 2, 0, 0, kSide, kSide, 0);
  };
  const auto effect = [&smear] {
    const int* s = smear.sliders;
    PMR_IPLImageProcess(0, smear.name, 0, s[0], s[1], s[2], s[3], s[4], s[5], 0, 0, 0, 0, 0, 0, 0,
                        0, 0, 0, 0, nullptr);
  };
  std::vector<double> beforeVsFrame, afterVsFrame, speedup, afterVsFrameCpu, speedupCpu;
  double afterWall = 0, afterCpu = 0;
  for (auto _ : state) {
    const Span frame = Seconds([&] {
      PMR_GetRGBA32Layer(buffer.data(), kSide * 4, 2);
      PMR_LoadRGBA32Layer(buffer.data(), kSide * 4, 2, 0, 0, kSide, kSide, 1);
    });
    load();
    platform::SetCpuLevelForTesting(platform::CpuLevel::kSse41);
    const Span before = Seconds(effect);
    platform::SetCpuLevelForTesting(platform::CpuLevel::kAvx512);
    load();
    const Span after = Seconds(effect);
    state.SetIterationTime(after.wall);
    afterWall += after.wall;
    afterCpu += after.cpu;
    beforeVsFrame.push_back(frame.wall / before.wall);
    afterVsFrame.push_back(frame.wall / after.wall);
    speedup.push_back(before.wall / after.wall);
    afterVsFrameCpu.push_back(frame.cpu / after.cpu);
    speedupCpu.push_back(before.cpu / after.cpu);
  }
  engine::SetRowBandThreadsForTesting(0);
  const double megapixels = double(kSide) * kSide * double(state.iterations()) / 1e6;
  state.counters["MP/s"] = megapixels / afterWall;
  state.counters["MP/s_cpu"] = megapixels / afterCpu;
  state.counters["vs_frame_before"] = Median(beforeVsFrame);
  state.counters["vs_frame"] = Median(afterVsFrame);
  state.counters["vs_frame_cpu"] = Median(afterVsFrameCpu);
  state.counters["speedup"] = Median(speedup);
  state.counters["speedup_cpu"] = Median(speedupCpu);
}

#define SMEAR(label, ...)                           \
  BENCHMARK_CAPTURE(Run, label, Smear{__VA_ARGS__}) \
      ->UseManualTime()                             \
      ->Iterations(5)                               \
      ->Unit(benchmark::kMillisecond)               \
      ->ArgName("threads")                          \
      ->Arg(1)                                      \
      ->Arg(2)

SMEAR(ValueBlur, "Value Blur", {500, 500});
SMEAR(NoiseReduction, "Noise Reduction", {500, 100});
SMEAR(SmartBlur, "Smart Blur", {500, 100});
SMEAR(AntiAlias, "Anti Alias", {500, 500, 700, 700});

}  // namespace

BENCHMARK_MAIN();
