// The distortions on a 2048 x 2048 RGBA picture: each library transform and polygon warp in
// megapixels per second of wall time (MP/s) and of processor time over all threads (MP/cpu-s),
// and Spin next to ImageMagick's -swirl measured in the same run (the
// peer runs as its own program on raw pixels; its rate is the swirl's time over a plain copy's,
// so reading and writing the file do not count against it). Ratios are medians of pairs run one
// after the other.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "imaging/polygon_warp.h"
#include "imaging/transforms.h"

namespace {

constexpr uint32_t kSide = 2048;
constexpr double kMegapixels = double(kSide) * kSide * 1e-6;

const std::vector<uint8_t>& Picture() {
  static const std::vector<uint8_t> picture = [] {
    std::vector<uint8_t> px(size_t{kSide} * kSide * 4);
    uint32_t x = 1;
    for (auto& b : px) b = uint8_t((x = x * 1664525u + 1013904223u) >> 24);
    return px;
  }();
  return picture;
}

double Seconds(const std::function<void()>& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

const double c = kSide / 2.0, radius = kSide / 2.0;
const std::pair<const char*, std::function<int32_t()>> kTransforms[] = {
    {"Elliptical", [] { return imaging::is5_AddEllipticalTransform(kSide, kSide, 1, 0); }},
    {"Lens", [] { return imaging::is5_AddLensTransform(kSide, kSide, c, c, radius, 0.8, 0); }},
    {"Marble", [] { return imaging::is5_AddMarbleTransform(kSide, kSide, 400, 40, 3, 2); }},
    {"Offset", [] { return imaging::is5_AddOffsetTransform(kSide, kSide, 300, 200, 1); }},
    {"Pinch", [] { return imaging::is5_AddPinchTransform(kSide, kSide, c, c, radius, 0.7, 0); }},
    {"Ripple", [] { return imaging::is5_AddRippleTransform(kSide, kSide, c, c, 80, 12, 0, 2); }},
    {"Spin", [] { return imaging::is5_AddSpinTransform(kSide, kSide, c, c, radius, 180, 0); }},
    {"Spin Wave", [] { return imaging::is5_AddSpinWaveTransform(kSide, kSide, c, c, 300, 10, 2); }},
    {"Wave", [] { return imaging::is5_AddWaveTransform(kSide, kSide, 200, 20, 30, 0, 2); }},
    {"Wow", [] { return imaging::is5_AddWowTransform(kSide, kSide, c, c, 5, 0.3, 0, 0); }},
    {"Zig Zag", [] { return imaging::is5_AddZigZagTransform(kSide, kSide, 150, 20, 150, 20, 2); }},
};

// Megapixels per second of wall time, and per second of processor time summed over the pool's
// threads (the figure that holds when other programs share the machine).
void ReportRates(benchmark::State& state, double cpuSeconds) {
  state.counters["MP/s"] =
      benchmark::Counter(kMegapixels, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["MP/cpu-s"] =
      kMegapixels * double(state.iterations()) / std::max(cpuSeconds, 1e-9);
}

void Transform(benchmark::State& state) {
  const auto& [name, add] = kTransforms[state.range(0)];
  state.SetLabel(name);
  const std::vector<uint8_t>& in = Picture();
  std::vector<uint8_t> out(in.size());
  imaging::is5_ClearAllTransforms();
  if (!add()) state.SkipWithError("refused");
  const double cpuStart = bench_timing::CpuNow();
  for (auto _ : state)
    imaging::is5_TransformProcess(in.data(), kSide, kSide, 4, kSide * 4, out.data(), kSide * 4, 1,
                                  0xFF000000u, 0);
  ReportRates(state, bench_timing::CpuNow() - cpuStart);
}

void PolygonWarp(benchmark::State& state) {
  const std::vector<uint8_t>& in = Picture();
  std::vector<uint8_t> out(in.size());
  const double s = kSide;
  const double from[] = {0, 0, s, 0, s, s, 0, s};
  const double to[] = {s * 0.2, 0, s * 0.8, s * 0.05, s, s, 0, s * 0.9};
  const double cpuStart = bench_timing::CpuNow();
  for (auto _ : state)
    imaging::is5_PolygonWarpImage(in.data(), kSide, kSide, 4, kSide * 4, out.data(), kSide * 4,
                                  from, to, 4, 1, 0);
  ReportRates(state, bench_timing::CpuNow() - cpuStart);
}

// The peer: ImageMagick's convert on raw RGBA pixels, with and without -swirl 180.
bool RunConvert(const std::string& in, const std::string& out, bool swirl) {
  const std::string size = std::to_string(kSide) + "x" + std::to_string(kSide);
  const std::string command = "convert -size " + size + " -depth 8 rgba:" + in +
                              (swirl ? " -swirl 180" : "") + " rgba:" + out + " 2>/dev/null";
  return std::system(command.c_str()) == 0;
}

void SpinAgainstSwirl(benchmark::State& state) {
  const std::vector<uint8_t>& in = Picture();
  std::vector<uint8_t> out(in.size());
  const std::string inFile = "/tmp/palmora_warps_bench_in.rgba";
  const std::string outFile = "/tmp/palmora_warps_bench_out.rgba";
  if (FILE* f = std::fopen(inFile.c_str(), "wb")) {
    std::fwrite(in.data(), 1, in.size(), f);
    std::fclose(f);
  }
  if (!RunConvert(inFile, outFile, true)) {
    state.SkipWithError("ImageMagick's convert is not installed (scripts/install-bench-deps.sh)");
    return;
  }
  imaging::is5_ClearAllTransforms();
  imaging::is5_AddSpinTransform(kSide, kSide, c, c, radius, 180, 0);
  std::vector<double> ratios, ours, theirs;
  for (auto _ : state) {
    const double spin = Seconds([&] {
      imaging::is5_TransformProcess(in.data(), kSide, kSide, 4, kSide * 4, out.data(), kSide * 4, 1,
                                    0xFF000000u, 0);
    });
    const double copy = Seconds([&] { RunConvert(inFile, outFile, false); });
    const double swirl = Seconds([&] { RunConvert(inFile, outFile, true); });
    const double peer = std::max(swirl - copy, 1e-6);
    ratios.push_back(peer / spin);
    ours.push_back(kMegapixels / spin);
    theirs.push_back(kMegapixels / peer);
    state.SetIterationTime(spin);
  }
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
  };
  state.counters["spin MP/s"] = median(ours);
  state.counters["swirl MP/s"] = median(theirs);
  state.counters["spin / swirl"] = median(ratios);
  std::remove(inFile.c_str());
  std::remove(outFile.c_str());
}

}  // namespace

// Rows run on the pool: rates are over wall time, not the calling thread's processor time.
BENCHMARK(Transform)
    ->DenseRange(0, int(std::size(kTransforms)) - 1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PolygonWarp)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(SpinAgainstSwirl)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
