// Speed of the own effects on a 2048 x 2048 photograph-like picture, in megapixels per second.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "../tests/support/photo_picture.h"
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

void OwnEffect(benchmark::State& state, Setting setting) {
  std::vector<uint8_t> src = Photo(), dst(src.size());
  for (auto _ : state) {
    process::RunOwnEffectOnBuffers(setting.name, src.data(), dst.data(), kSide, kSide,
                                   setting.args);
    benchmark::DoNotOptimize(dst.data());
  }
  state.counters["MP/s"] = benchmark::Counter(double(kSide) * kSide * state.iterations() / 1e6,
                                              benchmark::Counter::kIsRate);
}

#define OWN(label, ...) \
  BENCHMARK_CAPTURE(OwnEffect, label, Setting{__VA_ARGS__})->Unit(benchmark::kMillisecond)

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
OWN(BasicThreshold, "Basic Threshold", Args({500}));
OWN(LineArtCleaner, "Line Art Cleaner", Args({500, 50}));
OWN(Clamp, "Clamp", Args({200, 0, 800, 1000}, {0, 0, 1, 1, 1, 0}));
OWN(BasRelief, "Bas Relief", Args({300}, {0}));
OWN(Vignette, "Vignette", Args({0, 0, 0, 500}, {0, 0, 1}));
OWN(Borderize, "Borderize", Args({100, 100}));
OWN(Reflection, "Reflection", Args({400, 800, 500, 250}, {0, 0, 0, 1}));
OWN(MaskDetail, "Mask Detail", Args({100, 500}));
OWN(Grayscale, "Grayscale", Args({}));
OWN(Invert, "Invert", Args({}));

}  // namespace

BENCHMARK_MAIN();
