// Speed of the own effects on a 2048 x 2048 photograph-like picture, in megapixels per second:
// through PMR_IPLImageProcess with its route (refresh, premultiply where the effect does, the
// effect, write-back through the mask), beside a plain pass that reads the layer as RGBA32 and
// writes it back (the frame's own cost), and the effects alone on plain buffers. The CPU column
// is the whole process's CPU time (every band thread), so work / CPU time is the rate one core
// gives, which holds even while other programs share the machine.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <deque>
#include <cstring>
#include <functional>
#include <opencv2/imgproc.hpp>
#include <string>
#include <vector>

#include "../tests/support/photo_picture.h"
#include "bench_timing.h"
#include "palmora/palmora.h"
#include "process/effect_registry.h"
#include "process/effects/run_own_effect.h"

namespace {

constexpr int kSide = 2048;

const std::vector<uint8_t>& Photo() {
  static const std::vector<uint8_t> photo = palmora_test::PhotoPicture(kSide, kSide);
  return photo;
}

struct Setting {
  const char* name;
  process::OwnEffectArguments args;
};

process::OwnEffectArguments Args(std::initializer_list<int> sliders,
                                 std::initializer_list<int> options = {}) {
  process::OwnEffectArguments a;
  int i = 0;
  for (int s : sliders) a.sliders[i++] = s;
  i = 0;
  for (int o : options) a.options[i++] = o;
  return a;
}

void SetRate(benchmark::State& state) {
  state.counters["MP/s"] = benchmark::Counter(double(kSide) * kSide * state.iterations() / 1e6,
                                              benchmark::Counter::kIsRate);
}

void OwnEffect(benchmark::State& state, Setting setting) {
  std::vector<uint8_t> src = Photo(), dst(src.size());
  for (auto _ : state) {
    process::RunOwnEffectOnBuffers(setting.name, src.data(), dst.data(), kSide, kSide,
                                   setting.args);
    benchmark::DoNotOptimize(dst.data());
  }
  SetRate(state);
}

// A canvas with the photograph in layer 2 and the processing buffers 32, made once.
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
  PMR_LoadRGBA32Layer(Photo().data(), kSide * 4, 2, 0, 0, kSide, kSide, 0);
  PMR_IPLAllocSrcBuffer32();
  PMR_IPLAllocDstBuffer32();
}

void FramePass(benchmark::State& state) {
  MakeCanvasOnce();
  std::vector<uint8_t> buffer(std::size_t(kSide) * kSide * 4);
  for (auto _ : state) {
    PMR_GetRGBA32Layer(buffer.data(), kSide * 4, 2);
    PMR_LoadRGBA32Layer(buffer.data(), kSide * 4, 2, 0, 0, kSide, kSide, 1);
  }
  SetRate(state);
}
BENCHMARK(FramePass)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// "MP/s" is megapixels per wall second; "MP/CPU-s" per second of the process's CPU time (every
// thread's), the rate that holds while other programs share the machine. One untimed run first:
// a host runs effects again and again, and the engine keeps their scratch memory between runs.
void Dispatched(benchmark::State& state, Setting setting) {
  MakeCanvasOnce();
  const process::OwnEffectArguments& a = setting.args;
  auto run = [&] {
    PMR_IPLImageProcess(0, setting.name, 0, a.sliders[0], a.sliders[1], a.sliders[2], a.sliders[3],
                        a.sliders[4], a.sliders[5], a.options[0], a.options[1], a.options[2],
                        a.options[3], a.options[4], a.options[5], a.options[6], a.options[7], 0, 0,
                        0, nullptr);
  };
  run();
  double cpu = 0;
  for (auto _ : state) {
    // Every run starts from the photograph, not from the previous run's result.
    state.PauseTiming();
    PMR_LoadRGBA32Layer(Photo().data(), kSide * 4, 2, 0, 0, kSide, kSide, 0);
    state.ResumeTiming();
    cpu += bench_timing::TimeOf(run).cpu;
  }
  SetRate(state);
  if (cpu > 0) state.counters["MP/CPU-s"] = double(kSide) * kSide * state.iterations() / 1e6 / cpu;
}

#define OWN(label, ...)                                      \
  BENCHMARK_CAPTURE(Dispatched, label, Setting{__VA_ARGS__}) \
      ->Unit(benchmark::kMillisecond)                        \
      ->UseRealTime()                                        \
      ->MeasureProcessCPUTime();                             \
  BENCHMARK_CAPTURE(OwnEffect, label, Setting{__VA_ARGS__})  \
      ->Unit(benchmark::kMillisecond)                        \
      ->UseRealTime()                                        \
      ->MeasureProcessCPUTime()

OWN(AntiAlias, "Anti Alias", Args({500, 500, 700, 700}));
OWN(AdaptiveBlur, "Adaptive Blur", Args({900, 500, 500}));
OWN(DetailBlur, "Detail Blur", Args({50}));
OWN(ValueBlur, "Value Blur", Args({500, 500}));
OWN(NoiseReduction, "Noise Reduction", Args({500, 100}));
OWN(NoiseReductionRGB, "Noise Reduction RGB", Args({500, 100, 500, 100, 500, 100}));
OWN(HyperContrast, "Hyper Contrast", Args({600}));
OWN(AdjustLab, "Adjust Lab", Args({550, 450, 520}));
OWN(Channel, "Channel", Args({}, {0, 0, 1}));
OWN(Fader, "Fader", Args({500, 700, 300, 800}, {0, 0, 0, 1, 1, 1}));
OWN(FaderOverContent, "Fader", Args({500, 700, 300, 800}, {0, 0, 1, 1, 1, 1}));
OWN(BasicThreshold, "Basic Threshold", Args({500}));
OWN(LineArtCleaner, "Line Art Cleaner", Args({500, 50}));
OWN(Clamp, "Clamp", Args({200, 0, 800, 1000}, {0, 0, 1, 1, 1, 0}));
OWN(BasRelief, "Bas Relief", Args({300}, {0}));
OWN(Vignette, "Vignette", Args({0, 0, 0, 500}, {0, 0, 1}));
OWN(Borderize, "Borderize", Args({100, 100}));
OWN(Reflection, "Reflection", Args({400, 800, 500, 250}, {0, 0, 0, 1}));
OWN(MaskDetail, "Mask Detail", Args({100, 500}));
#define DISPATCHED(label, ...)                               \
  BENCHMARK_CAPTURE(Dispatched, label, Setting{__VA_ARGS__}) \
      ->Unit(benchmark::kMillisecond)                        \
      ->UseRealTime()                                        \
      ->MeasureProcessCPUTime()
#define PLAIN(label, ...)                                   \
  BENCHMARK_CAPTURE(OwnEffect, label, Setting{__VA_ARGS__}) \
      ->Unit(benchmark::kMillisecond)                       \
      ->UseRealTime()                                       \
      ->MeasureProcessCPUTime()
DISPATCHED(SmartBlur, "Smart Blur", Args({500, 100}));
DISPATCHED(AdjustHSL, "Adjust HSL", Args({600, 550, 500}));
DISPATCHED(AdjustHSV, "Adjust HSV", Args({600, 550, 500}));
PLAIN(Grayscale, "Grayscale", Args({}));
PLAIN(Invert, "Invert", Args({}));

// The library effects, each through PMR_IPLImageProcess with its route.
DISPATCHED(Blur, "Blur", Args({1000}));
DISPATCHED(BlurMore, "Blur More", Args({0}));
DISPATCHED(GaussianBlur, "Gaussian Blur", Args({100}));
DISPATCHED(GaussianBlurWide, "Gaussian Blur", Args({500}));
DISPATCHED(MotionBlur, "Motion Blur", Args({200, 100}));
DISPATCHED(MotionBlur2, "Motion Blur 2", Args({200, 100}));
DISPATCHED(RadialBlur, "Radial Blur", Args({100, 500, 500}));
DISPATCHED(RadialBlur2, "Radial Blur 2", Args({100, 500, 500}));
DISPATCHED(ZoomBlur, "Zoom Blur", Args({100, 500, 500}));
DISPATCHED(ZoomBlur2, "Zoom Blur 2", Args({100, 500, 500}));
DISPATCHED(ArithmeticMean, "Arithmetic Mean", Args({100}));
DISPATCHED(Midpoint, "Midpoint", Args({100}));
DISPATCHED(Mosaic, "Mosaic", Args({200}));
DISPATCHED(OilPaint, "Oil Paint", Args({500, 500}));
DISPATCHED(OilPaintRound, "Oil Paint", Args({500, 500}, {0, 0, 1}));
DISPATCHED(Stipple, "Stipple", Args({500}, {0, 1}));
DISPATCHED(SurfaceBlur, "Surface Blur", Args({200, 300}));
DISPATCHED(NoiseReduction2, "Noise Reduction 2", Args({300}));
DISPATCHED(GrayscaleLibrary, "Grayscale", Args({}));
DISPATCHED(Negative, "Negative", Args({}));
DISPATCHED(Posterize, "Posterize", Args({100}));
DISPATCHED(Solarize, "Solarize", Args({500}));
DISPATCHED(WatercolorTint, "Watercolor Tint", Args({700}));
DISPATCHED(DustAndScratches, "Dust and Scratches", Args({100, 100}));
DISPATCHED(Halftone, "Halftone", Args({200, 500}));
DISPATCHED(ColorNoise, "Color Noise", Args({300}));
DISPATCHED(HugoNoise, "Hugo Noise", Args({300, 200}));
DISPATCHED(PerlinNoise, "Perlin Noise", Args({500, 300, 500}));
DISPATCHED(Sharpen, "Sharpen", Args({500}));
DISPATCHED(SharpenMore, "Sharpen More", Args({500}));
DISPATCHED(UnsharpMask, "Unsharp Mask", Args({200, 300, 20}));
DISPATCHED(Bevel, "Bevel", Args({300, 600}));
DISPATCHED(Crackle, "Crackle", Args({400, 300, 700}));
DISPATCHED(Emboss, "Emboss", Args({375, 300}));
DISPATCHED(Fingerprint, "Fingerprint", Args({300, 600}));
DISPATCHED(Gausy, "Gausy", Args({300, 600}));
DISPATCHED(Edge2, "Edge2", Args({250, 300, 200}));
DISPATCHED(GeometricMean, "Geometric Mean", Args({100}));
DISPATCHED(HarmonicMean, "Harmonic Mean", Args({100}));
DISPATCHED(Maximum2, "Maximum2", Args({100}));
DISPATCHED(Minimum2, "Minimum2", Args({100}));
DISPATCHED(Median, "Median", Args({100}));
DISPATCHED(HDRI, "HDRI", Args({300, 500, 500}));
DISPATCHED(Reduce, "Reduce", Args({500}));
DISPATCHED(FrostedGlass, "Frosted Glass", Args({300}));

// A library effect through PMR_IPLImageProcess against its OpenCV peer on the same picture, the
// two run in turn (their order alternating) in every iteration; the counter is the median of
// the per-iteration ratios (effect / peer) of the process's CPU time, every thread's included,
// which holds while other programs share the cores and stretch the wall time.
void AgainstPeer(benchmark::State& state, Setting setting,
                 std::function<void(const cv::Mat&, cv::Mat&)> peer, bool rgb) {
  MakeCanvasOnce();
  const process::OwnEffectArguments& a = setting.args;
  cv::Mat photo(kSide, kSide, CV_8UC4, const_cast<uint8_t*>(Photo().data()));
  cv::Mat input = photo.clone();
  if (rgb) cv::cvtColor(photo, input, cv::COLOR_RGBA2RGB);
  cv::Mat output;
  std::vector<double> ratios;
  auto cpuSeconds = [] {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec * 1e-9;
  };
  bool effectFirst = true;
  for (auto _ : state) {
    PMR_LoadRGBA32Layer(Photo().data(), kSide * 4, 2, 0, 0, kSide, kSide, 0);
    PMR_IPLUpdateSrcBuffer32();
    auto runEffect = [&] {
      const double t0 = cpuSeconds();
      PMR_IPLImageProcess(0, setting.name, 0, a.sliders[0], a.sliders[1], a.sliders[2],
                          a.sliders[3], a.sliders[4], a.sliders[5], a.options[0], a.options[1],
                          a.options[2], a.options[3], a.options[4], a.options[5], a.options[6],
                          a.options[7], 0, 0, 0, nullptr);
      return cpuSeconds() - t0;
    };
    auto runPeer = [&] {
      const double t0 = cpuSeconds();
      peer(input, output);
      benchmark::DoNotOptimize(output.data);
      return cpuSeconds() - t0;
    };
    double effect, alone;
    if (effectFirst)
      effect = runEffect(), alone = runPeer();
    else
      alone = runPeer(), effect = runEffect();
    effectFirst = !effectFirst;
    ratios.push_back(effect / alone);
  }
  std::nth_element(ratios.begin(), ratios.begin() + ratios.size() / 2, ratios.end());
  state.counters["ratio"] = ratios[ratios.size() / 2];
}

#define PEER(label, rgb, peer, ...)                                      \
  BENCHMARK_CAPTURE(AgainstPeer, label, Setting{__VA_ARGS__}, peer, rgb) \
      ->Unit(benchmark::kMillisecond)                                    \
      ->UseRealTime()                                                    \
      ->MeasureProcessCPUTime()

// Gaussian Blur at slider 10 %: radius 4.6 pixels, the Gaussian's sigma.
PEER(
    GaussianBlurVsOpenCV, false,
    [](const cv::Mat& in, cv::Mat& out) {
      cv::GaussianBlur(in, out, cv::Size(0, 0), 4.6, 4.6, cv::BORDER_REPLICATE);
    },
    "Gaussian Blur", Args({100}));
// Median at slider 10 %: radius 2, a 5 x 5 square.
PEER(
    MedianVsOpenCV, false, [](const cv::Mat& in, cv::Mat& out) { cv::medianBlur(in, out, 5); },
    "Median", Args({100}));
// Surface Blur at sliders 20 % and 30 %: diameter 7, colour sigma 35, space sigma 3.5.
PEER(
    SurfaceBlurVsOpenCV, true,
    [](const cv::Mat& in, cv::Mat& out) {
      cv::bilateralFilter(in, out, 7, 35, 3.5, cv::BORDER_REPLICATE);
    },
    "Surface Blur", Args({200, 300}));

// Every row of the catalogue through PMR_IPLImageProcess with its described defaults (the
// sliders and options a painter gets before touching anything), named "Default/<effect>", so
// that one run reports each effect's rate. Effects that read a text file are left out.
void RegisterEveryEffectAtItsDefaults() {
  for (const process::EffectDescriptor& effect : process::EffectCatalogue()) {
    if (effect.Reads() & process::kReadsText) continue;
    Setting setting{nullptr, {}};
    for (const process::EffectParameter& p : effect.parameters) {
      if (p.kind == process::ArgumentKind::kSlider) setting.args.sliders[p.number - 1] = p.standard;
      if (p.kind == process::ArgumentKind::kOption) setting.args.options[p.number - 1] = p.standard;
    }
    static std::deque<std::string> names;  // the settings point into these; a deque keeps them put
    names.emplace_back(effect.name);
    setting.name = names.back().c_str();
    benchmark::RegisterBenchmark(("Default/" + names.back()).c_str(), Dispatched, setting)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MeasureProcessCPUTime();
  }
}

}  // namespace

int main(int argc, char** argv) {
  RegisterEveryEffectAtItsDefaults();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
