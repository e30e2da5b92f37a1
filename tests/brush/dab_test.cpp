#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "brush/brush_fixture.h"
#include "brush/dab_vector_kernels.h"
#include "brush/tool_state.h"
#include "engine/engine_state.h"
#include "engine/undo_history.h"
#include "platform/cpu_features_internal.h"

namespace {

using brush_test::BrushTest;
using brush_test::Copy;
using brush_test::FillRandom;
using engine::State;

constexpr int32_t kRules[] = {32,  33,  0,   34,  35,  36,  37,  38,  39,  40,  41,  42,
                              43,  44,  45,  46,  47,  48,  249, 250, 251, 252, 255, 256,
                              257, 258, 259, 260, 261, 262, 295, 340, 387, 388, 100, 300};

// Names the first differing sample (pixel and channel) instead of dumping whole planes.
void ExpectSame(const std::vector<uint16_t>& engine, const std::vector<uint16_t>& reference,
                const char* plane, const std::string& what) {
  ASSERT_EQ(engine.size(), reference.size());
  const auto diff = std::mismatch(engine.begin(), engine.end(), reference.begin());
  if (diff.first == engine.end()) return;
  const std::size_t i = std::size_t(diff.first - engine.begin());
  ADD_FAILURE() << what << ": " << plane << " pixel " << i / 4 << " channel " << i % 4
                << ": engine " << *diff.first << ", reference " << *diff.second;
}

class Dab : public BrushTest {
 protected:
  std::vector<uint16_t> Target() const {
    const auto& s = State();
    const auto* layer = s.paintLayer.pixels ? &s.paintLayer : s.currentLayer;
    return Copy(layer->pixels, std::size_t(s.canvasWidth) * s.canvasHeight * 4);
  }
  std::vector<uint16_t> Blend() const {
    const auto& s = State();
    return Copy(s.blendBuffer, std::size_t(s.maxBrushSize) * s.maxBrushSize * 4);
  }
  // Runs one engine dab and the reference dab from the same world and compares what they leave.
  void ExpectDabMatchesReference(int32_t x, int32_t y, int32_t red, int32_t green, int32_t blue,
                                 const std::string& what) {
    brush_ref::DabWorld world = brush_test::WorldFromEngine();
    const auto& t = brush::Tool();
    int64_t colour[4] = {red & 0xFF00, green & 0xFF00, blue & 0xFF00, 65535};
    if (t.eraseModeOn) colour[0] = colour[1] = colour[2] = 65535, colour[3] = 0;
    PMR_DrawDabGrit(x, y, red, green, blue);
    brush_ref::ColourDab(world, x, y, colour);
    ExpectSame(Target(), world.target, "target", what);
    ExpectSame(Blend(), world.blend, "blend buffer", what);
  }
};

// Deterministic dabs (no random colour) in every combination of the settings that shape a dab,
// over random pixels, shapes and carried paint, against the reference model.
TEST_F(Dab, MatchesTheReferenceModelOverRandomPixelsAndSettings) {
  std::mt19937 rng(7);
  const int32_t maxBrush = 24, width = 37, height = 29;
  MakeBrushCanvas(width, height, maxBrush, 1);
  auto& s = State();
  for (int round = 0; round < 3000; ++round) {
    // The second half runs the scalar kernels only.
    platform::SetCpuLevelForTesting(round < 1500 ? platform::CpuLevel::kAvx512
                                                 : platform::CpuLevel::kScalar);
    // A fresh tool, layer 2 current, no paint layer, texture or mask.
    brush::Tool() = brush::ToolState{};
    PMR_DeletePaintLayer();
    PMR_DeleteTexture();
    PMR_SetLayer(2);
    s.maskEnabled = 1;
    std::fill_n(s.maskPlane, width * height, 65535);
    const int32_t size = 1 + int32_t(rng() % maxBrush);
    PMR_SetSize(size);
    PMR_SetAlpha(100);
    FillRandom(s.currentLayer->pixels, std::size_t(width) * height * 4, rng);
    FillRandom(s.shapeBuffer, std::size_t(maxBrush) * maxBrush, rng);
    FillRandom(s.blendBuffer, std::size_t(maxBrush) * maxBrush * 4, rng);
    const bool blend = rng() % 2;
    const int32_t grit = rng() % 4 == 0 ? 1 + int32_t(rng() % 6) : 0;
    // A long drawing length keeps the window the tool built, which the reference reads too.
    PMR_SetTool(1.0f, grit, 160, 200, 0, 0, 1000, blend ? 1 + int32_t(rng() % 256) : 0, 0,
                int32_t(rng() % 2), 0, 0, 0, "", "", 0);
    if (grit) PMR_SetDensity(int32_t(rng() % 257));
    // SetTool rebuilt the shape; put random coverage back.
    FillRandom(s.shapeBuffer, std::size_t(maxBrush) * maxBrush, rng);
    const int32_t rule = kRules[rng() % std::size(kRules)];
    PMR_SetMixMode(rule, int32_t(rng() % 257));
    PMR_SetColorBanks(rng() % 256, rng() % 256, rng() % 256, rng() % 256, rng() % 256, rng() % 256,
                      rng() % 256, rng() % 256, rng() % 256, rng() % 256, rng() % 256, rng() % 256);
    if (rng() % 3 == 0) PMR_SetScaleSize(1 + int32_t(rng() % size));
    if (rng() % 3 == 0) PMR_SetAlpha(int32_t(rng() % 100));
    if (rng() % 4 == 0) PMR_SetRotateBrushMode(1, int32_t(rng() % 360));
    if (rng() % 6 == 0) PMR_SetSolidBrushMode(1);
    if (rng() % 4 == 0) PMR_SetImageBrushMode(1);
    if (rng() % 3 == 0) PMR_SetBlendPrimaryColorStrength(1 + int32_t(rng() % 255));
    if (rng() % 5 == 0) PMR_TempDisableBlend();
    if (rng() % 6 == 0) PMR_SetEraseModeOn();
    if (rng() % 6 == 0) PMR_SetColorLocked(1);
    if (rng() % 6 == 0) PMR_SetAlphaLocked(1);
    if (rng() % 5 == 0) PMR_SetBlobLocked(1);
    if (rng() % 6 == 0) PMR_SetAlphaLevel(int32_t(rng() % 65536));
    if (rng() % 4 == 0) {
      FillRandom(s.layers[3].pixels, std::size_t(width) * height * 4, rng);
      ASSERT_EQ(PMR_CreateTexture(3), width);
    }
    if (rng() % 3 == 0) FillRandom(s.maskPlane, std::size_t(width) * height, rng);
    if (rng() % 4 == 0) s.maskEnabled = 0;
    if (rng() % 4 == 0) {
      PMR_CreatePaintLayer(100, "Normal");
      FillRandom(s.paintLayer.pixels, std::size_t(width) * height * 4, rng);
    } else if (rng() % 4 == 0) {
      PMR_SetLayer(1);  // the background: colour only
    }
    const int32_t x = int32_t(rng() % (width + 20)) - 10, y = int32_t(rng() % (height + 20)) - 10;
    const std::string what = "round " + std::to_string(round) + " rule " + std::to_string(rule) +
                             " blend " + std::to_string(brush::Tool().blendStrength) + " remix " +
                             std::to_string(brush::Tool().blendRemix) + " erase " +
                             std::to_string(brush::Tool().eraseModeOn) + " image " +
                             std::to_string(brush::Tool().imageBrushMode) + " primary " +
                             std::to_string(brush::Tool().blendPrimaryColorStrength) + " off " +
                             std::to_string(brush::Tool().blendOffOnce) + " level " +
                             std::to_string(brush::Tool().alphaLevel) + " blob " +
                             std::to_string(brush::Tool().blobLocked) + " solid " +
                             std::to_string(brush::Tool().solidBrushMode) + " paintlayer " +
                             std::to_string(s.paintLayer.pixels != nullptr);
    ExpectDabMatchesReference(x, y, int32_t(rng() % 65536), int32_t(rng() % 65536),
                              int32_t(rng() % 65536), what);
    if (HasFailure()) break;
  }
  platform::SetCpuLevelForTesting(platform::CpuLevel::kAvx512);
}

TEST_F(Dab, PlainPaintOverAClearPixelLaysTheSourceAndCoverageTimesAlpha) {
  MakeBrushCanvas(8, 8, 8, 1);
  State().shapeBuffer[0] = 40000;
  PMR_DrawDabGrit(3, 4, 0x1234, 0x5678, 0x9ABC);
  const uint16_t* p = State().layers[2].pixels + (4 * 8 + 3) * 4;
  EXPECT_EQ(p[0], 0x1200);
  EXPECT_EQ(p[1], 0x5600);
  EXPECT_EQ(p[2], 0x9A00);
  EXPECT_EQ(p[3], (40000u * 65535u) >> 16);
}

// Hand-computed "over": a = 32768 of white-alpha paint (0xFF00) over an opaque pixel of 0x1000.
TEST_F(Dab, PlainPaintOverAnOpaquePixelFollowsTheIntegerOverRule) {
  MakeBrushCanvas(4, 4, 4, 1);
  auto& s = State();
  s.shapeBuffer[0] = 32768;
  uint16_t* p = s.layers[2].pixels;
  p[0] = p[1] = p[2] = 0x1000, p[3] = 65535;
  PMR_DrawDabGrit(0, 0, 0xFF00, 0xFF00, 0xFF00);
  // p = 32768 * 65535 >> 16 = 32767; q = 32768; na = 65535;
  // kept = ((4096 * 65535 >> 16) * 32768) with low bits cleared = 4095 * 32768 = 134184960;
  // laid = (32767 * 65280 >> 16) << 16 = 32638 << 16 = 2138963968; n = 2273148928 / 65535.
  EXPECT_EQ(p[0], 2273148928u / 65535u);
  EXPECT_EQ(p[3], 65535);
}

// "Over" of near-white paint onto an almost clear pixel reaches 65536 in the integer rule; the
// engine limits it to white instead of wrapping to black.
TEST_F(Dab, PlainPaintNeverWrapsPastWhite) {
  MakeBrushCanvas(4, 4, 4, 1);
  auto& s = State();
  s.shapeBuffer[0] = 65535;
  PMR_SetColorVary(2);  // lifts the colour to 65535 on some dabs
  uint16_t* p = s.layers[2].pixels;
  for (int attempt = 0; attempt < 20; ++attempt) {
    p[0] = p[1] = p[2] = 65535, p[3] = 1;
    PMR_SetColor16(65535, 65535, 65535);
    PMR_DrawDabGrit(0, 0, 0xFFFF, 0xFFFF, 0xFFFF);
    EXPECT_GE(p[0], 65280) << attempt;
  }
}

TEST_F(Dab, OpacityPercentScalesCoverage) {
  MakeBrushCanvas(4, 4, 4, 1);
  auto& s = State();
  s.shapeBuffer[0] = 65535;
  PMR_SetAlpha(50);
  EXPECT_EQ(brush::Tool().alphaScaled, 64);
  PMR_DrawDabGrit(0, 0, 0, 0, 0);
  EXPECT_EQ(s.layers[2].pixels[3], ((65535u * 64 >> 7) * 65535u) >> 16);
}

TEST_F(Dab, LayersZeroAndOneNeverChangeAlphaWithoutAPaintLayer) {
  MakeBrushCanvas(6, 6, 6, 3);
  auto& s = State();
  PMR_SetLayer(1);
  s.layers[1].pixels[(1 * 6 + 1) * 4 + 3] = 1000;
  PMR_DrawDabGrit(1, 1, 0, 0, 0);
  EXPECT_EQ(s.layers[1].pixels[(1 * 6 + 1) * 4 + 0], 0);
  EXPECT_EQ(s.layers[1].pixels[(1 * 6 + 1) * 4 + 3], 1000);
}

TEST_F(Dab, ErasingUnderTheBlobLock) {
  MakeBrushCanvas(4, 4, 4, 1);
  auto& s = State();
  s.shapeBuffer[0] = 65535;
  uint16_t* p = s.layers[2].pixels;
  PMR_SetBlobLocked(1);
  p[3] = 0x1000;
  PMR_SetEraseModeOn();
  PMR_DrawDabGrit(0, 0, 0, 0, 0);
  EXPECT_EQ(p[3], 0x1000);  // faint pixels are left alone
  p[3] = 0x8000;
  PMR_SetEraseModeOn();
  PMR_DrawDabGrit(0, 0, 0, 0, 0);
  EXPECT_EQ(p[3], 0x23FF);                  // solid ones keep a faint remainder
  EXPECT_EQ(brush::Tool().eraseModeOn, 0);  // the one-shot flag is spent
}

TEST_F(Dab, SolidModePaintsEveryCoveredPixelFully) {
  MakeBrushCanvas(4, 4, 4, 2);
  auto& s = State();
  s.shapeBuffer[0] = 1, s.shapeBuffer[1] = 0, s.shapeBuffer[4] = 300, s.shapeBuffer[5] = 65535;
  PMR_SetSolidBrushMode(1);
  PMR_DrawDabGrit(1, 1, 0, 0, 0);
  const uint16_t* p = s.layers[2].pixels;
  EXPECT_EQ(p[(0 * 4 + 0) * 4 + 3], 65534);  // (65535 * 65535) >> 16
  EXPECT_EQ(p[(0 * 4 + 1) * 4 + 3], 0);
  EXPECT_EQ(p[(1 * 4 + 0) * 4 + 3], 65534);
}

TEST_F(Dab, ScaledSizeOneSamplesTheFirstIndexedShapePixel) {
  MakeBrushCanvas(6, 6, 10, 10);
  auto& s = State();
  PMR_SetScaleSize(4);
  EXPECT_EQ(std::vector<int32_t>(brush::Tool().sizeIndex, brush::Tool().sizeIndex + 4),
            (std::vector<int32_t>{1, 3, 6, 8}));
  PMR_SetScaleSize(1);
  std::fill_n(s.shapeBuffer, 100, 0);
  s.shapeBuffer[5 * 10 + 5] = 65535;  // sizeIndex[0] = 5 for one dab pixel out of ten
  PMR_DrawDabGrit(2, 3, 0, 0, 0);
  EXPECT_EQ(s.layers[2].pixels[(3 * 6 + 2) * 4 + 3], 65534);
  int painted = 0;
  for (int i = 0; i < 36; ++i) painted += s.layers[2].pixels[i * 4 + 3] != 0;
  EXPECT_EQ(painted, 1);
}

TEST_F(Dab, ChangedRectanglesGrowEvenForDabsOffTheCanvas) {
  MakeBrushCanvas(20, 20, 8, 8);
  auto& s = State();
  PMR_CreatePaintLayer(100, "Normal");
  const auto before = Copy(s.paintLayer.pixels, 20 * 20 * 4);
  PMR_DrawDabGrit(-30, 5, 0, 0, 0);  // wholly left of the canvas
  EXPECT_EQ(Copy(s.paintLayer.pixels, 20 * 20 * 4), before);
  EXPECT_EQ(s.paintLayer.changed.left, 0);
  EXPECT_EQ(s.paintLayer.changed.top, 1);
  EXPECT_EQ(s.paintLayer.changed.bottom, 9);
  PMR_DrawDabGrit(10, 10, 0, 0, 0);
  EXPECT_EQ(s.paintLayer.changed.right, 14);
  EXPECT_EQ(s.undo.pending.left, 0);
  EXPECT_EQ(s.undo.pending.top, 1);
  EXPECT_EQ(s.undo.pending.right, 14);
  EXPECT_EQ(s.undo.pending.bottom, 14);
}

TEST_F(Dab, RemixingWhiteOverWhiteNeverWraps) {
  MakeBrushCanvas(4, 4, 4, 2);
  auto& s = State();
  SetPlainTool(128, 1);
  std::fill_n(s.layers[2].pixels, 4 * 4 * 4, 65535);
  std::fill_n(s.blendBuffer, 4 * 4 * 4, 65535);
  std::fill_n(s.shapeBuffer, 16, 65535);
  PMR_DrawDabGrit(1, 1, 0, 0, 0);
  for (int i = 0; i < 4 * 4; ++i) EXPECT_EQ(s.blendBuffer[i * 4], 65535) << i;
}

}  // namespace
