// The merge exports: what they pass to the compositing routine, the flattening, the merged colour
// pick, the paint-layer merge, and the refusals of bad input.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "render/layer_merge.h"
#include "support/engine_fixture.h"

namespace {

using engine::State;
using palmora_test::ReadLayer;
using palmora_test::WriteLayer;

struct Px {
  uint16_t r, g, b, a;
  bool operator==(const Px&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Px& p) {
  return out << '(' << p.r << ',' << p.g << ',' << p.b << ',' << p.a << ')';
}

class MergeExports : public palmora_test::EngineTest {
 protected:
  static constexpr int32_t kW = 7, kH = 5;

  // Layers 0..top, all visible Normal at 100 %; slot 1 opaque white, the others clear.
  void SetUp() override {
    EngineTest::SetUp();
    MakeCanvas(kW, kH, 5, 2);
  }

  static void Fill(int32_t layer, Px p) {
    std::vector<uint16_t> pixels(std::size_t(kW) * kH * 4);
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
      pixels[i] = p.r, pixels[i + 1] = p.g, pixels[i + 2] = p.b, pixels[i + 3] = p.a;
    }
    WriteLayer(layer, pixels);
  }
  static void Put(int32_t layer, int32_t x, int32_t y, Px p) {
    uint16_t* q = State().layers[layer].pixels + (std::size_t(y) * kW + x) * 4;
    q[0] = p.r, q[1] = p.g, q[2] = p.b, q[3] = p.a;
  }
  static Px At(int32_t layer, int32_t x, int32_t y) {
    const uint16_t* q = State().layers[layer].pixels + (std::size_t(y) * kW + x) * 4;
    return {q[0], q[1], q[2], q[3]};
  }
  static Px At(const std::vector<uint16_t>& buffer, int32_t width, int32_t x, int32_t y) {
    const uint16_t* q = &buffer[(std::size_t(y) * width + x) * 4];
    return {q[0], q[1], q[2], q[3]};
  }
  static void Options(int32_t layer, const char* mode, int32_t visible = 1, int32_t percent = 100,
                      int32_t lock = 0) {
    PMR_SetLayerOptions(layer, visible, lock, percent, mode);
  }
  // Every layer's pixels, to check that a refused call changed nothing.
  static std::vector<std::vector<uint16_t>> Snapshot() {
    std::vector<std::vector<uint16_t>> all;
    for (const auto& layer : State().layers) {
      all.emplace_back(
          layer.pixels ? layer.pixels : nullptr,
          layer.pixels ? layer.pixels + std::size_t(layer.width) * layer.height * 4 : nullptr);
    }
    const auto& paint = State().paintLayer;
    all.emplace_back(
        paint.pixels ? paint.pixels : nullptr,
        paint.pixels ? paint.pixels + std::size_t(paint.width) * paint.height * 4 : nullptr);
    return all;
  }
};

// Half-transparent black over opaque 0xFF00 grey: X = 1 - Sa = 32767 / 65535 on the 65280
// scale is 32639.50..., truncated; the alpha stays 65535.
TEST_F(MergeExports, MergeLayerBlendsWithTheSourceModeAndOpacity) {
  Fill(3, {65280, 65280, 65280, 65535});
  Fill(2, {0, 0, 0, 32768});
  Options(4, "Normal", 0);
  Options(5, "Normal", 0);
  PMR_MergeLayer(2, 3);
  EXPECT_EQ(At(3, 0, 0), (Px{32639, 32639, 32639, 65535}));

  // At 0 % a layer still carries alpha >> 8: an opaque pixel over clear comes out with alpha 255.
  Fill(2, {1, 2, 3, 65535});
  Fill(3, {0, 0, 0, 0});
  Options(2, "Normal", 1, 0);
  PMR_MergeLayer(2, 3);
  EXPECT_EQ(At(3, 4, 4), (Px{1, 2, 3, 255}));
}

TEST_F(MergeExports, LayerMaskAboveScalesTheAlphaOfTheLayerBelowOnly) {
  Fill(2, {100, 200, 300, 65535});
  Fill(3, {65535, 0, 0, 65535});   // mean 21845
  Put(3, 1, 0, {65535, 0, 0, 0});  // a clear mask pixel leaves the alpha alone
  Options(3, "Layer Mask");
  Options(4, "Normal", 0);
  Options(5, "Normal", 0);
  EXPECT_EQ(render::FindLayerMaskAbove(2), 3);
  PMR_MergeLayer(2, 5);
  // (65535 x 21845) >> 16 = 21844, copied onto the clear destination.
  EXPECT_EQ(At(5, 0, 0), (Px{100, 200, 300, 21844}));
  EXPECT_EQ(At(5, 1, 0), (Px{100, 200, 300, 65535}));

  // A hidden layer in between does not count; a visible one does, and the mask is ignored.
  PMR_SwapLayers(3, 4);  // mask now in 4, hidden Normal layer in 3
  EXPECT_EQ(render::FindLayerMaskAbove(2), 4);
  Options(3, "Normal", 1);
  EXPECT_EQ(render::FindLayerMaskAbove(2), 0);
  EXPECT_EQ(render::FindLayerMaskAbove(4), 0);   // nothing visible above the mask itself
  EXPECT_EQ(render::FindLayerMaskAbove(-1), 0);  // bad indices find nothing
  EXPECT_EQ(render::FindLayerMaskAbove(64), 0);
}

// A mask layer of another size cannot be laid over the layer below pixel for pixel: it is not
// applied, and the layer merges unmasked.
TEST_F(MergeExports, LayerMaskOfAnotherSizeIsNotApplied) {
  Fill(2, {100, 200, 300, 65535});
  PMR_CreateLayer(3, kW - 3, kH);
  Options(3, "Layer Mask");
  Options(4, "Normal", 0);
  Options(5, "Normal", 0);
  EXPECT_EQ(render::FindLayerMaskAbove(2), 3);
  PMR_MergeLayer(2, 5);
  EXPECT_EQ(At(5, kW - 1, kH - 1), (Px{100, 200, 300, 65535}));
}

// Merging a "Layer Mask" layer itself adds no colour: covered destination pixels stay, clear
// ones become (0, 0, 0, 0).
TEST_F(MergeExports, LayerMaskLayerMergedLikeAnyOtherAddsNoColour) {
  Fill(2, {500, 600, 700, 40000});
  Put(2, 3, 3, {9, 9, 9, 0});
  Fill(3, {65535, 65535, 65535, 65535});
  Options(3, "Layer Mask");
  PMR_MergeLayer(3, 2);
  EXPECT_EQ(At(2, 0, 0), (Px{500, 600, 700, 40000}));
  EXPECT_EQ(At(2, 3, 3), (Px{0, 0, 0, 0}));
}

TEST_F(MergeExports, LayersOfTheSameAlphaModeMergeByReplacement) {
  PMR_SetAlphaLayerOpacity(50);
  Fill(2, {10, 20, 30, 40000});
  Fill(3, {1000, 2000, 3000, 20000});
  Put(3, 0, 0, {1, 1, 1, 0});  // uncovered: the lower layer stays
  Options(2, "Alpha Normal");
  Options(3, "Alpha Normal");
  PMR_MergeLayer(3, 2);
  EXPECT_EQ(At(2, 1, 0), (Px{1000, 2000, 3000, 20000}));
  EXPECT_EQ(At(2, 0, 0), (Px{10, 20, 30, 40000}));

  // Over a Normal layer the same source takes alpha K = 32767 instead.
  Options(2, "Normal");
  Fill(2, {0, 0, 0, 0});
  PMR_MergeLayer(3, 2);
  EXPECT_EQ(At(2, 1, 0), (Px{1000, 2000, 3000, 32767}));
}

TEST_F(MergeExports, MergeLayerIntoRectWritesOnlyTheCanvasPartOfTheRectangle) {
  for (int32_t y = 0; y < kH; ++y) {
    for (int32_t x = 0; x < kW; ++x) Put(2, x, y, {uint16_t(x), uint16_t(y), 7, 65535});
  }
  // A 4 x 3 rectangle at (-2, 3): canvas columns 0..1, rows 3..4 exist.
  std::vector<uint16_t> buffer(4 * 3 * 4, 0xABCD);
  PMR_MergeLayerIntoRect(2, buffer.data(), -2, 3, 4, 3);
  for (int32_t j = 0; j < 3; ++j) {
    for (int32_t i = 0; i < 4; ++i) {
      const int32_t cx = -2 + i, cy = 3 + j;
      const Px want = (cx >= 0 && cy < kH) ? Px{uint16_t(cx), uint16_t(cy), 7, 65535}
                                           : Px{0xABCD, 0xABCD, 0xABCD, 0xABCD};
      EXPECT_EQ(At(buffer, 4, i, j), want) << i << "," << j;
    }
  }
  // Whole canvas into a canvas-sized buffer.
  std::vector<uint16_t> whole(kW * kH * 4, 0);
  PMR_MergeLayerInto(2, whole.data());
  EXPECT_EQ(At(whole, kW, 6, 4), (Px{6, 4, 7, 65535}));
}

TEST_F(MergeExports, BadArgumentsAreRefusedWithoutEffect) {
  palmora_test::PaintPattern(2, 1);
  palmora_test::PaintPattern(3, 2);
  PMR_CreateLayer(7, kW + 1, kH);  // a layer of another size
  PMR_SetLayerOptions(7, 1, 0, 100, "Normal");
  PMR_CreatePaintLayer(100, "Normal");
  State().paintLayer.changed = {0, 0, kW, kH};
  palmora_test::PaintPattern(1, 3);
  const auto before = Snapshot();

  for (int32_t bad : {-1, 64, 6, 7}) {  // out of range, empty slot, wrong size
    PMR_MergeLayer(bad, 3);
    PMR_MergeLayer(2, bad);
    PMR_MergePaintLayer(bad);
  }
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(State().paintLayer.changed.right, kW);  // the paint layer was not merged or cleared

  std::vector<uint16_t> buffer(kW * kH * 4, 0x5555);
  const auto untouched = buffer;
  for (int32_t bad : {-1, 64, 6, 7}) {
    PMR_MergeLayerIntoRect(bad, buffer.data(), 0, 0, kW, kH);
    PMR_MergeLayerInto(bad, buffer.data());
  }
  PMR_MergeLayerIntoRect(2, buffer.data(), 0, 0, 0, kH);
  PMR_MergeLayerIntoRect(2, buffer.data(), 0, 0, kW, -3);
  PMR_MergeLayerIntoRect(2, buffer.data(), kW, 0, 4, 4);  // wholly right of the canvas
  PMR_MergeRect(buffer.data(), 0, 0, -1, kH);
  PMR_MergeRect(buffer.data(), 0, 0, 0x40000000, 0x40000000);  // a buffer no host can have
  PMR_MergeLayerIntoRect(2, nullptr, 0, 0, kW, kH);
  PMR_MergeLayerInto(2, nullptr);
  PMR_MergeRect(nullptr, 0, 0, kW, kH);
  PMR_Merge(nullptr);
  EXPECT_EQ(buffer, untouched);
  EXPECT_EQ(Snapshot(), before);
  EXPECT_STREQ(PMR_GetLastError(), "");
}

TEST_F(MergeExports, FlatteningStacksVisibleLayersOverTheBackground) {
  Fill(0, {1, 1, 1, 65535});  // the tracing image is never part of it
  Fill(2, {0, 0, 0, 65535});
  Put(2, 0, 0, {0, 0, 0, 0});
  Fill(3, {0, 0, 0, 0});
  Put(3, 1, 0, {900, 800, 700, 65535});
  Fill(4, {5, 5, 5, 65535});
  Options(4, "Normal", 0);  // hidden
  PMR_CreatePaintLayer(100, "Normal");
  std::memset(State().paintLayer.pixels, 0x77, std::size_t(kW) * kH * 8);

  std::vector<uint16_t> buffer(kW * kH * 4, 0x1234);
  PMR_Merge(buffer.data());
  EXPECT_EQ(At(buffer, kW, 0, 0), (Px{65535, 65535, 65535, 65535}));  // background shows
  EXPECT_EQ(At(buffer, kW, 1, 0), (Px{900, 800, 700, 65535}));
  EXPECT_EQ(At(buffer, kW, 2, 0), (Px{0, 0, 0, 65535}));

  // Without the background the flattening starts from transparent black.
  Options(1, "Normal", 0);
  PMR_Merge(buffer.data());
  EXPECT_EQ(At(buffer, kW, 0, 0), (Px{0, 0, 0, 0}));
  EXPECT_EQ(At(buffer, kW, 1, 0), (Px{900, 800, 700, 65535}));

  // The merged colour pick packs the high bytes as alpha, red, green, blue.
  EXPECT_EQ(PMR_GetColorAtMerged(1, 0), 0xFF030302u);
  EXPECT_EQ(PMR_GetColorAtMerged(0, 0), 0x00000000u);
  EXPECT_EQ(PMR_GetColorAtMerged(-1, 0), 0xFFFFFFu);
  EXPECT_EQ(PMR_GetColorAtMerged(0, kH), 0xFFFFFFu);
}

TEST_F(MergeExports, FlatteningARectangleBeyondTheCanvasClearsTheOutsidePart) {
  Fill(2, {300, 200, 100, 65535});
  Fill(1, {7, 7, 7, 65535});
  std::vector<uint16_t> buffer(3 * 4 * 4, 0x9999);
  PMR_MergeRect(buffer.data(), kW - 2, -1, 3, 4);  // columns 5, 6, (7); rows (-1), 0, 1, 2
  for (int32_t j = 0; j < 4; ++j) {
    for (int32_t i = 0; i < 3; ++i) {
      const bool inside = i < 2 && j >= 1;
      const Px want = inside ? Px{300, 200, 100, 65535} : Px{0, 0, 0, 0};
      EXPECT_EQ(At(buffer, 3, i, j), want) << i << "," << j;
    }
  }
}

// Layers the flattening cannot use are passed over: a background without pixels leaves
// transparent black, a layer of another size is left out.
TEST_F(MergeExports, FlatteningSkipsLayersItCannotRead) {
  PMR_DeleteLayer(1);
  PMR_CreateLayer(3, kW, kH + 2);
  std::memset(State().layers[3].pixels, 0xFF, std::size_t(kW) * (kH + 2) * 8);
  Fill(2, {0, 0, 0, 0});
  Put(2, 2, 2, {40, 50, 60, 65535});
  std::vector<uint16_t> buffer(kW * kH * 4, 0x4444);
  PMR_Merge(buffer.data());
  EXPECT_EQ(At(buffer, kW, 2, 2), (Px{40, 50, 60, 65535}));
  EXPECT_EQ(At(buffer, kW, 0, 0), (Px{0, 0, 0, 0}));
}

// Texturize modes have nothing to texture on a clear destination; Normal copies onto it.
TEST_F(MergeExports, TextureModesClearTransparentDestinationPixels) {
  Fill(3, {65535, 1, 2, 65535});
  for (const char* mode : {"Texturize", "Texturize2", "Texturize3", "Normal"}) {
    Options(3, mode);
    std::vector<uint16_t> buffer(kW * kH * 4, 500);
    for (std::size_t i = 3; i < buffer.size(); i += 4) buffer[i] = 0;
    PMR_MergeLayerInto(3, buffer.data());
    const Px want = std::string(mode) == "Normal" ? Px{65535, 1, 2, 65535} : Px{0, 0, 0, 0};
    EXPECT_EQ(At(buffer, kW, 1, 1), want) << mode;
  }
  // Mode names are exact: a different case or a trailing blank selects Normal.
  EXPECT_EQ(PMR_SetLayerOptions(3, 1, 0, 100, "texturize"), 0);
  EXPECT_EQ(PMR_SetLayerOptions(3, 1, 0, 100, "Multiply "), 0);
  EXPECT_EQ(PMR_SetLayerOptions(3, 1, 0, 100, "Multiply"), 1);
}

TEST_F(MergeExports, MergedColourPickReportsMemoryFailure) {
  engine::SetAllocationCeilingForTesting(4);
  EXPECT_EQ(PMR_GetColorAtMerged(1, 1), 0u);
  EXPECT_STREQ(PMR_GetLastError(), "PMR_GetColorAtMerged Excpt");
}

TEST_F(MergeExports, AlphaLayerOpacityIsAPercentOf65535) {
  EXPECT_EQ(State().alphaLayerOpacity, 65535);
  EXPECT_EQ(PMR_SetAlphaLayerOpacity(50), 32767);
  EXPECT_EQ(PMR_SetAlphaLayerOpacity(29), 19005);  // 0.29 x 65535 = 19005.15
  EXPECT_EQ(PMR_SetAlphaLayerOpacity(0), 0);
  // Outside 0..100 the value would wrap in 16 bits; it is limited instead.
  EXPECT_EQ(PMR_SetAlphaLayerOpacity(150), 65535);
  EXPECT_EQ(PMR_SetAlphaLayerOpacity(-20), 0);
  EXPECT_EQ(State().alphaLayerOpacity, 0);
}

TEST_F(MergeExports, PaintLayerMergesItsChangedRectangleThenClears) {
  Fill(3, {100, 100, 100, 30000});
  PMR_CreatePaintLayer(100, "Normal");
  const auto untouched = ReadLayer(3);
  PMR_ClearPaintLayer();
  PMR_MergePaintLayer(3);  // an empty rectangle composites nothing
  EXPECT_EQ(ReadLayer(3), untouched);

  std::memset(State().paintLayer.pixels, 0, std::size_t(kW) * kH * 8);
  for (int32_t y = 0; y < kH; ++y) {
    for (int32_t x = 0; x < kW; ++x) {
      uint16_t* p = State().paintLayer.pixels + (std::size_t(y) * kW + x) * 4;
      p[0] = 4000, p[1] = 5000, p[2] = 6000, p[3] = 65535;
    }
  }
  State().paintLayer.changed = {1, 1, 3, 2};  // columns 1..2 of row 1
  // The current layer (2) is alpha locked: the merge keeps the destination's alpha although the
  // destination itself is not locked.
  Options(2, "Normal", 1, 100, 1);
  PMR_MergePaintLayer(3);
  EXPECT_EQ(At(3, 1, 1), (Px{4000, 5000, 6000, 30000}));
  EXPECT_EQ(At(3, 2, 1), (Px{4000, 5000, 6000, 30000}));
  EXPECT_EQ(At(3, 3, 1), (Px{100, 100, 100, 30000}));
  EXPECT_EQ(At(3, 1, 0), (Px{100, 100, 100, 30000}));
  EXPECT_EQ(State().paintLayer.changed.left, kW);  // emptied
  EXPECT_EQ(State().paintLayer.pixels[4 * (kW + 1) + 3], 0);

  // Without a current layer nothing is locked.
  State().currentLayer = nullptr;
  State().paintLayer.pixels[3] = 65535;
  State().paintLayer.changed = {0, 0, 1, 1};
  PMR_MergePaintLayer(3);
  EXPECT_EQ(At(3, 0, 0), (Px{0, 0, 0, 65535}));
}

}  // namespace
