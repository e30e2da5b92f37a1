// PMR_Render of a 1920 x 1080 view over four visible layers (Normal with mixed alpha, Multiply,
// Screen, an alpha mode) and a paint layer, with transparency left for the checkerboard: at 1:1,
// zoomed out (step 4) and zoomed in (replication 3).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/engine_state.h"
#include "palmora/palmora.h"

namespace {

constexpr int kW = 1920, kH = 1080;

void Fill(int index, uint32_t seed, bool mixedAlpha) {
  std::vector<uint16_t> px(std::size_t(kW) * kH * 4);
  uint32_t r = seed;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      uint16_t* p = &px[(std::size_t(y) * kW + x) * 4];
      r = r * 1664525u + 1013904223u;
      p[0] = uint16_t((x * 37 + seed * 1000) & 0xFFFF);
      p[1] = uint16_t((y * 61 + seed * 3000) & 0xFFFF);
      p[2] = uint16_t(r >> 16);
      // Large regions of each kind: transparent, opaque and soft.
      const int region = ((x / 97) + (y / 53) + int(seed)) % 4;
      p[3] = !mixedAlpha ? 65535 : region == 0 ? 0 : region == 1 ? 65535 : uint16_t(r & 0xFFFF);
    }
  PMR_SetRGBA64Layer(px.data(), kW * 8, index);
}

struct Scene {
  Scene() {
    PMR_CreateImage(nullptr, kW, kH, 64, 0);
    const char* modes[] = {"Normal", "Normal", "Multiply", "Screen", "Alpha Shader"};
    for (int i = 0; i <= 5; ++i) PMR_CreateLayer(i, kW, kH);
    PMR_SetLayerOptions(1, 0, 0, 100, "Normal");  // no background: the checkerboard shows
    for (int i = 2; i <= 5; ++i) {
      PMR_SetLayerOptions(i, 1, 0, i == 3 ? 80 : 100, modes[i - 1]);
      Fill(i, uint32_t(i), true);
    }
    PMR_SetLayer(2);
    PMR_CreatePaintLayer(100, "Normal");
    // A stroke's worth of paint: a band across the middle.
    auto& paint = engine::State().paintLayer;
    for (int y = 500; y < 580; ++y)
      for (int x = 0; x < kW; ++x) {
        uint16_t* p = paint.pixels + (std::size_t(y) * kW + x) * 4;
        p[0] = 0xFF00, p[1] = 0x8000, p[2] = 0, p[3] = uint16_t(std::abs(540 - y) * 1600);
      }
    PMR_SetViewSize(kW, kH);
    target.resize(std::size_t(kW) * kH * 3);
  }
  std::vector<uint8_t> target;
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

void Run(benchmark::State& state, int factor, float step, int width, int height, int outW, int outH) {
  Scene& scene = TheScene();
  PMR_SetScale(factor, step);
  for (auto _ : state) {
    PMR_Render(scene.target.data(), kW * 3, 0, 0, width, height);
    benchmark::ClobberMemory();
  }
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["Mpx/s"] = benchmark::Counter(double(state.iterations()) * outW * outH / 1e6,
                                               benchmark::Counter::kIsRate);
}

void BM_Render_OneToOne(benchmark::State& state) { Run(state, 1, 1.0f, kW, kH, kW, kH); }
void BM_Render_Step4(benchmark::State& state) { Run(state, 1, 4.0f, kW, kH, kW / 4, kH / 4); }
void BM_Render_Replicate3(benchmark::State& state) { Run(state, 3, 1.0f, kW / 3, kH / 3, kW, kH); }

BENCHMARK(BM_Render_OneToOne)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Render_Step4)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Render_Replicate3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
