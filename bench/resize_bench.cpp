// Resize throughput of the library's filters next to OpenCV's on a 4096 x 4096 RGBA picture.
// Counters report output megapixels per second.
#include <benchmark/benchmark.h>

#include <opencv2/imgproc.hpp>

#include <cstdint>
#include <random>
#include <vector>

#include "imaging/imaging.h"

namespace {

constexpr uint32_t kSide = 4096;

const std::vector<uint8_t>& Picture() {
  static const std::vector<uint8_t> pixels = [] {
    std::vector<uint8_t> p(size_t{kSide} * kSide * 4);
    std::mt19937 random(7);
    for (size_t i = 0; i < p.size(); ++i) p[i] = static_cast<uint8_t>(random() >> 24);
    return p;
  }();
  return pixels;
}

void Report(benchmark::State& state, uint32_t outSide) {
  state.counters["MP/s"] = benchmark::Counter(double(outSide) * outSide * 1e-6,
                                              benchmark::Counter::kIsIterationInvariantRate);
}

void LibraryResize(benchmark::State& state, uint32_t filter) {
  const uint32_t outSide = static_cast<uint32_t>(state.range(0));
  std::vector<uint8_t> out(size_t{outSide} * outSide * 4, 1);
  const uint8_t* in = Picture().data();
  for (auto _ : state) {
    int32_t ok = imaging::is5_ResizeImage(in, kSide, kSide, kSide * 4, out.data(), outSide, outSide,
                                          outSide * 4, 4, filter, 0);
    benchmark::DoNotOptimize(ok);
  }
  Report(state, outSide);
}

void OpenCvResize(benchmark::State& state, int interpolation) {
  const int outSide = static_cast<int>(state.range(0));
  const cv::Mat in(kSide, kSide, CV_8UC4, const_cast<uint8_t*>(Picture().data()));
  cv::Mat out(outSide, outSide, CV_8UC4, cv::Scalar::all(1));
  for (auto _ : state) {
    cv::resize(in, out, out.size(), 0, 0, interpolation);
    benchmark::DoNotOptimize(out.data);
  }
  Report(state, static_cast<uint32_t>(outSide));
}

void Lanczos3(benchmark::State& state) { LibraryResize(state, 8); }
void AreaAverage(benchmark::State& state) { LibraryResize(state, 15); }
void OpenCvLanczos4(benchmark::State& state) { OpenCvResize(state, cv::INTER_LANCZOS4); }
void OpenCvArea(benchmark::State& state) { OpenCvResize(state, cv::INTER_AREA); }

BENCHMARK(Lanczos3)->Arg(2048)->Arg(8192)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(OpenCvLanczos4)->Arg(2048)->Arg(8192)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(AreaAverage)->Arg(2048)->Arg(8192)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(OpenCvArea)->Arg(2048)->Arg(8192)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
