// Whole-stack geometry through the exports: resizing a four-layer stack and turning it, next to
// OpenCV turning one 8-bit picture of the same size.
#include <benchmark/benchmark.h>

#include <opencv2/core.hpp>

#include <cstdint>
#include <vector>

#include "palmora/palmora.h"

namespace {

constexpr int32_t kSide = 2048;
constexpr int32_t kLayers = 4;  // background and three layers

void MakeStack() {
  PMR_DeleteImage();
  PMR_CreateImage(nullptr, kSide, kSide, 32, 0);
  std::vector<uint16_t> pixels(size_t(kSide) * kSide * 4);
  uint32_t x = 1;
  for (auto& sample : pixels)
    sample = static_cast<uint16_t>((x = x * 1664525u + 1013904223u) >> 16);
  for (int32_t index = 0; index <= kLayers; ++index) {
    PMR_CreateLayer(index, kSide, kSide);
    PMR_SetLayerOptions(index, 1, 0, 100, "Normal");  // also makes the slot count in the stack
    if (index >= 2) PMR_SetRGBA64Layer(pixels.data(), kSide * 8, index);
  }
  PMR_SetLayer(2);
}

void StackResize(benchmark::State& state, const char* filter) {
  for (auto _ : state) {
    state.PauseTiming();
    MakeStack();
    state.ResumeTiming();
    PMR_IPLResize(kSide / 2, kSide / 2, filter);
  }
  state.counters["MP/s"] = benchmark::Counter(double(kSide) * kSide * kLayers * 1e-6,
                                              benchmark::Counter::kIsIterationInvariantRate);
  PMR_DeleteImage();
}
void ResizeStackLanczos3(benchmark::State& state) { StackResize(state, "Lanczos3"); }
void ResizeStackAreaAverage(benchmark::State& state) { StackResize(state, "Area Average"); }

void RotateStackRight(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    MakeStack();
    state.ResumeTiming();
    PMR_IPLRotateRight();
  }
  state.counters["MP/s"] = benchmark::Counter(double(kSide) * kSide * kLayers * 1e-6,
                                              benchmark::Counter::kIsIterationInvariantRate);
  PMR_DeleteImage();
}

void OpenCvRotateFourPictures(benchmark::State& state) {
  cv::Mat in(kSide, kSide, CV_8UC4, cv::Scalar(1, 2, 3, 4)), out;
  for (auto _ : state)
    for (int i = 0; i < kLayers; ++i) cv::rotate(in, out, cv::ROTATE_90_CLOCKWISE);
  state.counters["MP/s"] = benchmark::Counter(double(kSide) * kSide * kLayers * 1e-6,
                                              benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(ResizeStackLanczos3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ResizeStackAreaAverage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RotateStackRight)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(OpenCvRotateFourPictures)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
