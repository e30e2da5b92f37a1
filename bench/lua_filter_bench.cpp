// A per-pixel filter over 1024 x 1024 (get_rgb then set_rgb on every pixel) run through
// PMR_LuaFilterRun, next to the same loop written in C over the same buffers. This program is built
// once for each Lua (lua_filter_bench_luajit, lua_filter_bench_lua51); bench/run_lua_bench.sh runs
// both and prints the ratio.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "engine/engine_state.h"
#include "palmora/palmora.h"

namespace {

constexpr int32_t kSide = 1024;

const char* kFilter = R"lua(
for y = 0, height - 1 do
  for x = 0, width - 1 do
    local r, g, b = get_rgb(x, y)
    set_rgb(x, y, b, r, g)
  end
end
)lua";

std::string ScriptPath() {
  static std::string path = [] {
    std::string p = "/tmp/palmora-bench-filter-" + std::to_string(getpid()) + ".lua";
    std::ofstream(p) << kFilter;
    return p;
  }();
  return path;
}

void SetUpCanvas() {
  PMR_DeleteImage();
  PMR_CreateImage(nullptr, kSide, kSide, 16, 0);
  PMR_CreateLayer(1, kSide, kSide);
  PMR_SetLayerOptions(1, 1, 0, 100, "Normal");
  PMR_SetLayer(1);
  PMR_IPLAllocSrcBuffer32();
  PMR_IPLAllocDstBuffer32();
  auto& buffers = engine::State().processingBuffers;
  const std::size_t bytes = std::size_t(kSide) * kSide * 4;
  for (std::size_t i = 0; i < bytes; ++i) buffers.src32[i] = uint8_t(i * 31);
}

void BM_LuaPerPixelFilter(benchmark::State& state) {
  SetUpCanvas();
  const std::string path = ScriptPath();
  for (auto _ : state) {
    PMR_LuaFilterRun(path.c_str(), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  }
  state.counters["Mpx_per_s"] = benchmark::Counter(double(kSide) * kSide * state.iterations() / 1e6,
                                                   benchmark::Counter::kIsRate);
  state.SetLabel(PALMORA_LUAJIT ? "LuaJIT" : "Lua 5.1");
}
BENCHMARK(BM_LuaPerPixelFilter)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same work in C: read the source, write the destination with channels rotated, per pixel
// with the same clipping and the same conversion to numbers and back.
void BM_CPerPixelFilter(benchmark::State& state) {
  SetUpCanvas();
  const auto& buffers = engine::State().processingBuffers;
  for (auto _ : state) {
    for (int32_t y = 0; y < kSide; ++y) {
      for (int32_t x = 0; x < kSide; ++x) {
        const uint8_t* p = buffers.src32 + (std::size_t(y) * kSide + x) * 4;
        const double r = p[0] / 255.0, g = p[1] / 255.0, b = p[2] / 255.0;
        uint8_t* q = buffers.dst32 + (std::size_t(y) * kSide + x) * 4;
        q[0] = uint8_t(b * 255.0);
        q[1] = uint8_t(r * 255.0);
        q[2] = uint8_t(g * 255.0);
      }
    }
    benchmark::ClobberMemory();
  }
  state.counters["Mpx_per_s"] = benchmark::Counter(double(kSide) * kSide * state.iterations() / 1e6,
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CPerPixelFilter)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
