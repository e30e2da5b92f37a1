#include "process/script/script_generators.h"

#include <algorithm>
#include <cmath>

#include "process/script/script_effect_run.h"

namespace process {
namespace {

// Runner effect numbers.
enum : uint32_t {
  kLines = 1,
  kCircles = 2,
  kRectangles = 3,
  kSplines = 4,
  kPlasma = 5,
  kPerlinNoise = 11,
  kBlobs = 20,
  kNoise = 21,
  kSinePlasma = 24,
  kWorms = 37,
  kPattern = 42,
  kPoints = 43,
  kFractalPlasma = 55,
  kTrees = 58,
  kFibers = 59,
};

double P(const EffectCall& call, int k) { return call.Percent(k); }

}  // namespace

// The slots every generator takes the same way: 0 the seed (option 1), 3 the script value, 4 the
// effect colour, 5 colour variation (slider 3), 6 opacity (slider 4), 14 the mix mode (option 2);
// then the generator's own.
#define PALMORA_RUN_GENERATOR(id, ...)                              \
  RunScriptEffect(id,                                               \
                  {{0, double(call.options[0])},                    \
                   {3, double(call.scriptValue)},                   \
                   {4, double(call.Colour())},                      \
                   {5, P(call, 3)},                                 \
                   {6, P(call, 4)},                                 \
                   {14, double(GeneratorMixMode(call.options[1]))}, \
                   __VA_ARGS__},                                    \
                  pixels, width, height)

bool LinesBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return PALMORA_RUN_GENERATOR(kLines, {1, P(call, 1) * 0.4}, {2, P(call, 2) * 2});
}

bool PointsBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return PALMORA_RUN_GENERATOR(kPoints, {1, P(call, 1) * 0.5}, {2, P(call, 2)});
}

bool CirclesBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return PALMORA_RUN_GENERATOR(kCircles, {1, P(call, 1)}, {2, P(call, 2) * 0.5});
}

bool RectanglesBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return PALMORA_RUN_GENERATOR(kRectangles, {1, P(call, 1)}, {2, P(call, 2) * 0.5},
                               {7, P(call, 5) * 1.8});
}

bool SplinesBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return PALMORA_RUN_GENERATOR(kSplines, {1, P(call, 1) * 0.4},
                               {2, std::round(2 + P(call, 2) * 0.3)});
}

bool WormsBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return PALMORA_RUN_GENERATOR(kWorms, {1, P(call, 1) * 0.6}, {2, P(call, 2) * 2}, {7, P(call, 5)});
}

bool FibersBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return PALMORA_RUN_GENERATOR(kFibers, {1, P(call, 1) * 2}, {2, P(call, 2) * 3.6},
                               {7, P(call, 5) * 1.8}, {8, P(call, 6) * 0.2});
}

bool TreesBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return PALMORA_RUN_GENERATOR(kTrees, {1, P(call, 1) * 2}, {2, P(call, 2) * 0.9}, {9, P(call, 5)},
                               {8, std::round(1 + P(call, 6) * 0.11)});
}

bool GenerateNoiseBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return PALMORA_RUN_GENERATOR(kNoise, {1, P(call, 1)}, {2, call.options[2] == 1 ? 1.0 : 0.0});
}

bool BlobsBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return PALMORA_RUN_GENERATOR(kBlobs, {1, P(call, 1)}, {2, P(call, 2)});
}

// Plasma and Perlin noise keep their own slot meanings: they fill the picture whole and take
// the script value as their palette phase and persistence.
bool PlasmaBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return PALMORA_RUN_GENERATOR(kPlasma, {1, P(call, 1)}, {2, P(call, 2) * 0.1});
}

bool SinePlasmaBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return PALMORA_RUN_GENERATOR(kSinePlasma, {1, std::round(1 + P(call, 1) * 0.63)},
                               {2, P(call, 2) * 0.1}, {7, std::round(1 + P(call, 5) * 0.15)});
}

bool FractalPlasmaBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return PALMORA_RUN_GENERATOR(kFractalPlasma, {1, std::round(1 + P(call, 1) * 0.63)},
                               {2, std::round(1 + P(call, 2) * 0.09)}, {7, P(call, 5)},
                               {8, P(call, 6) * 0.1});
}

bool GeneratePerlinNoiseBody(const EffectCall& call, uint8_t* pixels, int32_t width,
                             int32_t height) {
  // Slot 5 is its high colour, so the shared slots do not apply.
  return RunScriptEffect(kPerlinNoise,
                         {{0, double(call.options[0])},
                          {1, std::max(2.0, P(call, 1) * 5.12)},
                          {2, std::round(1 + P(call, 2) * 0.09)},
                          {3, double(call.scriptValue)},
                          {4, double(call.Colour())}},
                         pixels, width, height);
}

bool PatternBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return PALMORA_RUN_GENERATOR(kPattern, {1, 2 + P(call, 1) * 2.54}, {2, double(call.options[2])});
}

#undef PALMORA_RUN_GENERATOR

}  // namespace process
