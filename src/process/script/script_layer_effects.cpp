#include "process/script/script_layer_effects.h"

#include <cmath>
#include <cstring>

#include "process/script/script_effect_run.h"

namespace process {
namespace {

enum : uint32_t {
  kDivider = 17,
  kCarpet = 18,
  kEdge = 19,
  kVoxel = 22,
  kMaximum = 25,
  kMinimum = 26,
  kBump = 27,
  kColorize = 28,
  kGlass = 39,
  kSeamless = 52,
  kScratch = 56,
};

double P(const EffectCall& call, int k) { return call.Percent(k); }
double Seed(const EffectCall& call) { return double(call.options[0]); }

}  // namespace

bool ColorizeBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return RunScriptEffect(kColorize, {{1, P(call, 1)}, {4, double(call.Colour())}}, pixels, width,
                         height);
}

bool ScratchBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return RunScriptEffect(kScratch,
                         {{0, Seed(call)},
                          {1, P(call, 1) * 2},
                          {2, P(call, 2)},
                          {3, double(call.scriptValue)},
                          {4, double(call.Colour())},
                          {5, P(call, 3) * 0.2}},
                         pixels, width, height);
}

bool DividerBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return RunScriptEffect(kDivider,
                         {{1, double(call.options[2])},
                          {2, double(call.options[3])},
                          {4, double(call.Colour())},
                          {5, P(call, 1) * 0.5},
                          {6, P(call, 2)}},
                         pixels, width, height);
}

bool CarpetBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return RunScriptEffect(kCarpet, {{0, Seed(call)}, {1, 2 + P(call, 1) * 0.62}, {2, P(call, 2)}},
                         pixels, width, height);
}

bool GlassBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return RunScriptEffect(
      kGlass, {{0, Seed(call)}, {1, P(call, 1) * 0.5}, {2, 2 + P(call, 2) * 1.26}, {5, P(call, 3)}},
      pixels, width, height);
}

bool VoxelBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return RunScriptEffect(kVoxel, {{1, 2 + P(call, 1) * 0.62}, {2, P(call, 2)}}, pixels, width,
                         height);
}

bool SeamlessBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return RunScriptEffect(kSeamless, {{1, P(call, 1)}}, pixels, width, height);
}

bool EdgeBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return RunScriptEffect(kEdge, {{1, P(call, 1) * 4}, {2, call.options[2] == 1 ? 1.0 : 0.0}},
                         pixels, width, height);
}

bool BumpBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return RunScriptEffect(
      kBump, {{1, P(call, 1) * 4}, {2, P(call, 2) * 3.6}, {5, P(call, 3) * 0.9}, {6, P(call, 4)}},
      pixels, width, height);
}

bool MaximumBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return RunScriptEffect(kMaximum, {{1, std::floor(P(call, 1) * 0.5)}}, pixels, width, height);
}

bool MinimumBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
                 int32_t height) {
  std::memcpy(destination, source, size_t(width) * size_t(height) * 4);
  return RunScriptEffect(kMinimum, {{1, std::floor(P(call, 1) * 0.5)}}, destination, width, height);
}

}  // namespace process
