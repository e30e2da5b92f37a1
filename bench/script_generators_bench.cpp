// How long each picture-script generator takes to fill a 2048 x 2048 picture with its default
// values, against the 200 ms a painter may wait for a full-canvas fill. The "of limit" counter is
// each run's time divided by that limit (below 1 is in time); run with repetitions and read the
// median. Wall time counts: the fills that split their rows share them over the pool's threads.
// Beside it, "cpu of limit" is the whole process's CPU time (every thread) over the limit: what
// one core alone would take, which holds even while other programs load the machine. Beside the
// picture-script runner's generators is the library's "Perlin Noise", which fills the picture
// with clouds the same way (a three-byte picture, its default values).
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <cstdint>
#include <vector>

#include "imaging/noise_filters.h"
#include "imaging/picture_script.h"

namespace {

constexpr uint32_t kSide = 2048;
constexpr double kLimitSeconds = 0.200;

// Times fill() per iteration against the limit, wall and process CPU.
template <class Fill>
void AgainstTheLimit(benchmark::State& state, Fill&& fill) {
  double ratios = 0, cpuRatios = 0;
  for (auto _ : state) {
    const std::clock_t cpuStart = std::clock();
    const auto start = std::chrono::steady_clock::now();
    const bool ok = fill();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!ok) state.SkipWithError("the generator refused");
    state.SetIterationTime(seconds);
    ratios += seconds / kLimitSeconds;
    cpuRatios += double(std::clock() - cpuStart) / CLOCKS_PER_SEC / kLimitSeconds;
  }
  state.counters["of limit"] = ratios / double(state.iterations());
  state.counters["cpu of limit"] = cpuRatios / double(state.iterations());
}

void Generator(benchmark::State& state, uint32_t id) {
  std::vector<uint8_t> picture(size_t{kSide} * kSide * 4, 128);
  AgainstTheLimit(state, [&] {
    const bool ok = imaging::ISL_Initialize() && imaging::ISL_AddEffect(id, 1) &&
                    imaging::ISL_ExecuteScriptOnImage(picture.data(), kSide, kSide);
    imaging::ISL_Finish();
    return ok;
  });
}

// The library's Perlin clouds at the effect's defaults: amount 50 %, features 84 pixels, five
// octaves.
void LibraryPerlinNoise(benchmark::State& state) {
  const size_t rowBytes = size_t{kSide} * 3;
  std::vector<uint8_t> source(rowBytes * kSide, 128), destination(rowBytes * kSide);
  AgainstTheLimit(state, [&] {
    return imaging::ISE3GeneratePerlinNoise(source.data(), kSide, kSide, uint32_t(rowBytes),
                                            destination.data(), uint32_t(rowBytes), 50, 84.0, 5,
                                            0) != 0;
  });
}

}  // namespace

#define PALMORA_GENERATOR(id, name) \
  BENCHMARK_CAPTURE(Generator, name, id)->UseManualTime()->Unit(benchmark::kMillisecond)
PALMORA_GENERATOR(1, Lines);
PALMORA_GENERATOR(2, Circles);
PALMORA_GENERATOR(3, Rectangles);
PALMORA_GENERATOR(4, Splines);
PALMORA_GENERATOR(5, Plasma);
PALMORA_GENERATOR(11, PerlinNoise);
PALMORA_GENERATOR(20, Blobs);
PALMORA_GENERATOR(21, Noise);
PALMORA_GENERATOR(24, SinePlasma);
PALMORA_GENERATOR(37, Worms);
PALMORA_GENERATOR(42, Pattern);
PALMORA_GENERATOR(43, Points);
PALMORA_GENERATOR(55, FractalPlasma);
PALMORA_GENERATOR(58, Trees);
PALMORA_GENERATOR(59, Fibers);
BENCHMARK(LibraryPerlinNoise)
    ->Name("Generator/LibraryPerlinNoise")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
