// The numbered effects of the picture-script runner. Each effect is one row: its number, its
// name, the default of each value slot and the function that runs it. Adding an effect adds a
// row (and its function); nothing else changes.
#pragma once

#include <array>
#include <cstdint>

#include "imaging/script/script_model.h"

namespace imaging::script {

using EffectFn = bool (*)(const Picture& picture, const std::array<double, kScriptValueSlots>& values);

struct EffectInfo {
  uint32_t id;
  const char* name;
  std::array<double, kScriptValueSlots> defaults;
  EffectFn run;
};

// The row of an effect number, or null.
const EffectInfo* FindEffect(uint32_t id);

// Runs the enabled effects of the list on the picture in order. False when one fails.
bool RunEffects(const std::vector<EffectEntry>& effects, const Picture& picture);

// The effects (each in its own file).
bool RunPlasma(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunPerlinNoise(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunNoise(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunEmboss(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunTurn(const Picture& picture, const std::array<double, kScriptValueSlots>& values);

}  // namespace imaging::script
