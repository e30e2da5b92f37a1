// The numbered effects of the picture-script runner. Each effect is one row: its number, its
// name, the default of each value slot and the function that runs it. Adding an effect adds a
// row (and its function); nothing else changes.
#pragma once

#include <array>
#include <cstdint>

#include "imaging/script/script_model.h"

namespace imaging::script {

using EffectFn = bool (*)(const Picture& picture,
                          const std::array<double, kScriptValueSlots>& values);

struct EffectInfo {
  uint32_t id;
  const char* name;
  std::array<double, kScriptValueSlots> defaults;
  EffectFn run;
};

// The row of an effect number, or null.
const EffectInfo* FindEffect(uint32_t id);

// Whether the effect does everything that can fail before it writes the picture, so that a
// refusal leaves the picture as it was: the generators, which paint aside and lay down last.
bool WritesOnlyOnceDone(uint32_t id);

// Runs the enabled effects of the list on the picture in order. False when one fails.
bool RunEffects(const std::vector<EffectEntry>& effects, const Picture& picture);

// The effects (each in its own file).
bool RunPlasma(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunPerlinNoise(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunNoise(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunEmboss(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunTurn(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
// Generators: shapes and fills laid onto the picture by the mix mode of slot 14.
bool RunLines(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunCircles(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunRectangles(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunSplines(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunBlobs(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunSinePlasma(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunWorms(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunPattern(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunPoints(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunFractalPlasma(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunTrees(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunFibers(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
// Filters that rework the picture.
bool RunDivider(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunCarpet(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunEdge(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunVoxel(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunMaximum(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunMinimum(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunBump(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunColorize(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunGlass(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunSeamless(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunScratch(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
// The distortions.
bool RunTwirl(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunSineDistortion(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunWaves(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunKaleidoscope(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunZoom(const Picture& picture, const std::array<double, kScriptValueSlots>& values);
bool RunTilt(const Picture& picture, const std::array<double, kScriptValueSlots>& values);

}  // namespace imaging::script
