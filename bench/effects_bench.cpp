// Speed of the own effects on a 2048 x 2048 photograph-like picture, in megapixels per second:
// through PMR_IPLImageProcess with its route (refresh, premultiply where the effect does, the
// effect, write-back through the mask), beside a plain pass that reads the layer as RGBA32 and
// writes it back (the frame's own cost), and the effects alone on plain buffers. The CPU column
// is the whole process's CPU time (every band thread), so work / CPU time is the rate one core
// gives, which holds even while other programs share the machine.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "../tests/support/photo_picture.h"
#include "palmora/palmora.h"
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

void Dispatched(benchmark::State& state, Setting setting) {
  MakeCanvasOnce();
  const process::OwnEffectArguments& a = setting.args;
  for (auto _ : state) {
    // Every run starts from the photograph, not from the previous run's result.
    state.PauseTiming();
    PMR_LoadRGBA32Layer(Photo().data(), kSide * 4, 2, 0, 0, kSide, kSide, 0);
    state.ResumeTiming();
    PMR_IPLImageProcess(0, setting.name, 0, a.sliders[0], a.sliders[1], a.sliders[2],
                        a.sliders[3], a.sliders[4], a.sliders[5], a.options[0], a.options[1],
                        a.options[2], a.options[3], a.options[4], a.options[5], a.options[6],
                        a.options[7], 0, 0, 0, nullptr);
  }
  SetRate(state);
}

#define OWN(label, ...)                                                                   \
  BENCHMARK_CAPTURE(Dispatched, label, Setting{__VA_ARGS__})->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime(); \
  BENCHMARK_CAPTURE(OwnEffect, label, Setting{__VA_ARGS__})->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()

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
#define DISPATCHED(label, ...) \
  BENCHMARK_CAPTURE(Dispatched, label, Setting{__VA_ARGS__})->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()
#define PLAIN(label, ...) \
  BENCHMARK_CAPTURE(OwnEffect, label, Setting{__VA_ARGS__})->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()
DISPATCHED(SmartBlur, "Smart Blur", Args({500, 100}));
DISPATCHED(AdjustHSL, "Adjust HSL", Args({600, 550, 500}));
DISPATCHED(AdjustHSV, "Adjust HSV", Args({600, 550, 500}));
PLAIN(Grayscale, "Grayscale", Args({}));
PLAIN(Invert, "Invert", Args({}));

}  // namespace

BENCHMARK_MAIN();
