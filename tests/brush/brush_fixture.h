// Helpers of the brush tests: a canvas with a plain tool, random planes with the values that
// matter (clear and opaque pixels), and the reference world copied out of the engine.
#pragma once

#include <cstring>
#include <random>
#include <vector>

#include "brush/brush_reference.h"
#include "brush/tool_state.h"
#include "engine/engine_state.h"
#include "support/engine_fixture.h"

namespace brush_test {

class BrushTest : public palmora_test::EngineTest {
 protected:
  // A canvas of layers 0..3 (1 white, the rest clear) with layer 2 current, and a hard round
  // brush of the given side at full opacity.
  void MakeBrushCanvas(int32_t width, int32_t height, int32_t maxBrushSize, int32_t brushSize) {
    PMR_CreateImage(nullptr, width, height, maxBrushSize, 0);
    for (int32_t index = 0; index <= 3; ++index) {
      ASSERT_EQ(PMR_CreateLayer(index, width, height), 1);
      PMR_SetLayerOptions(index, 1, 0, 100, "Normal");
    }
    PMR_SetLayer(2);
    PMR_SetSize(brushSize);
    PMR_SetAlpha(100);
    SetPlainTool();
  }
  static void SetPlainTool(int32_t blendStrength = 0, int32_t remix = 0) {
    PMR_SetTool(1.0f, 0, 0, 0, 0, 0, 0, blendStrength, 0, remix, 0, 0, 0, "", "", 0);
  }
};

// 16-bit samples with a good share of the extremes, which take their own paths.
inline uint16_t RandomSample(std::mt19937& rng) {
  const uint32_t r = rng();
  switch (r % 8) {
    case 0:
      return 0;
    case 1:
      return 65535;
    case 2:
      return 65280;
    default:
      return uint16_t(r >> 16);
  }
}

inline void FillRandom(uint16_t* samples, std::size_t count, std::mt19937& rng) {
  for (std::size_t i = 0; i < count; ++i) samples[i] = RandomSample(rng);
}

inline std::vector<uint16_t> Copy(const uint16_t* samples, std::size_t count) {
  return std::vector<uint16_t>(samples, samples + count);
}

// The world a colour dab would see now, with the tool's settings.
inline brush_ref::DabWorld WorldFromEngine() {
  const engine::EngineState& s = engine::State();
  const brush::ToolState& t = brush::Tool();
  brush_ref::DabWorld w;
  w.width = s.canvasWidth;
  w.height = s.canvasHeight;
  w.maxBrush = s.maxBrushSize;
  const engine::LayerRecord* target = s.paintLayer.pixels ? &s.paintLayer : s.currentLayer;
  const std::size_t canvas = std::size_t(w.width) * w.height;
  const std::size_t brush = std::size_t(w.maxBrush) * w.maxBrush;
  w.target = Copy(target->pixels, canvas * 4);
  w.blend = Copy(s.blendBuffer, brush * 4);
  w.shape = Copy(s.shapeBuffer, brush);
  w.mask = Copy(s.maskPlane, canvas);
  w.maskEnabled = s.maskEnabled != 0;
  if (s.textureImage) w.texture.assign(s.textureImage, s.textureImage + canvas);
  if (t.gritSize != 0) {
    w.grit = s.gritBuffers[t.gritPosition.buffer] + t.gritPosition.offset;
    w.density = t.density;
  }
  w.brushSize = t.brushSize;
  w.scaledSize = t.scaledSize;
  w.sizeIndex.assign(t.sizeIndex, t.sizeIndex + brush::kSizeIndexLength);
  w.alphaPercent = t.alphaPercent;
  w.alphaScaled = t.alphaScaled;
  w.solid = t.solidBrushMode != 0;
  w.imageBrush = t.imageBrushMode != 0;
  w.rotate = t.rotateBrushMode == 1;
  w.sine = t.rotateSine;
  w.cosine = t.rotateCosine;
  w.blendStrength = t.blendStrength;
  w.blendInverse = t.blendStrengthInverse;
  w.primary = t.blendPrimaryColorStrength;
  w.primaryInverse = t.blendPrimaryColorInverse;
  w.remix = t.blendRemix != 0;
  w.blendOff = t.blendOffOnce != 0;
  w.erase = t.eraseModeOn != 0;
  w.rule.mode = t.mixMode;
  w.rule.amount = t.mixAmount;
  w.rule.shift = t.mixShift;
  for (int k = 0; k < 4; ++k) {
    for (int c = 0; c < 3; ++c) w.rule.bank[k][c] = engine::State().colorBanks[c][k];
  }
  w.colorLocked = t.colorLocked != 0;
  w.blobLocked = t.blobLocked != 0;
  w.alphaLevel = t.alphaLevel;
  w.alphaWritable =
      s.paintLayer.pixels != nullptr ||
      (s.currentLayer->alphaLock == 0 && t.alphaLocked == 0 && s.currentLayerIndex > 1);
  return w;
}

}  // namespace brush_test
