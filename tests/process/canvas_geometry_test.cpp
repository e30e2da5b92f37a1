#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "imaging/imaging.h"
#include "support/engine_fixture.h"

namespace {

using palmora_test::EngineTest;

// 8-bit copy of a layer of any size, straight from its record.
std::vector<uint8_t> LayerBytes(int32_t index) {
  const engine::LayerRecord& layer = engine::State().layers[index];
  std::vector<uint8_t> bytes(size_t(layer.width) * layer.height * 4);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(layer.pixels[i] >> 8);
  return bytes;
}

std::pair<int32_t, int32_t> LayerSize(int32_t index) {
  const engine::LayerRecord& layer = engine::State().layers[index];
  return {layer.width, layer.height};
}

// Opaque pixels whose colour encodes their position, so placements can be read back.
void PaintPositions(int32_t index, uint8_t tag) {
  const auto& s = engine::State();
  std::vector<uint16_t> pixels(size_t(s.canvasWidth) * s.canvasHeight * 4);
  for (int32_t y = 0; y < s.canvasHeight; ++y)
    for (int32_t x = 0; x < s.canvasWidth; ++x) {
      uint16_t* p = &pixels[(size_t(y) * s.canvasWidth + x) * 4];
      p[0] = uint16_t(x << 8);
      p[1] = uint16_t(y << 8);
      p[2] = uint16_t(tag << 8);
      p[3] = 0xFF00;
    }
  palmora_test::WriteLayer(index, pixels);
}

class CanvasGeometry : public EngineTest {
 protected:
  std::vector<std::vector<uint8_t>> Snapshot() {
    std::vector<std::vector<uint8_t>> layers;
    for (int i = 1; i <= engine::State().topLayerIndex; ++i) layers.push_back(LayerBytes(i));
    return layers;
  }
};

TEST_F(CanvasGeometry, ResizeMatchesTheLibraryOnEachLayerAndNamesSelectCodes) {
  MakeCanvas(12, 9, 3);
  palmora_test::PaintPattern(2, 4);
  PaintPositions(3, 1);
  const std::vector<uint8_t> layer2 = LayerBytes(2);
  PMR_IPLResize(7, 5, "Mitchell");
  EXPECT_EQ(LayerSize(1), std::make_pair(7, 5));
  EXPECT_EQ(LayerSize(3), std::make_pair(7, 5));
  std::vector<uint8_t> expected(7 * 5 * 4);
  ASSERT_TRUE(
      imaging::is5_ResizeImage(layer2.data(), 12, 9, 48, expected.data(), 7, 5, 28, 4, 9, 0));
  const std::vector<uint8_t> got = LayerBytes(2);
  for (size_t i = 0; i < got.size(); i += 4) {  // alpha 0 pixels are stored as transparent black
    if (expected[i + 3] != 0) {
      ASSERT_TRUE(std::equal(&got[i], &got[i] + 4, &expected[i])) << i;
    }
  }
  EXPECT_EQ(engine::State().canvasWidth, 12);  // the canvas size is the host's to change
}

TEST_F(CanvasGeometry, UnknownFilterIsLanczos3AndNearestNeighborIsBilinear) {
  auto resized = [&](const char* name) {
    palmora_test::ResetEngine();
    MakeCanvas(10, 10);
    palmora_test::PaintPattern(2, 9);
    PMR_IPLResize(6, 14, name);
    return LayerBytes(2);
  };
  EXPECT_EQ(resized("no such filter"), resized("Lanczos3"));
  EXPECT_EQ(resized("lanczos3"), resized("Lanczos3"));  // names are case-sensitive
  EXPECT_EQ(resized("Nearest Neighbor"), resized("Bilinear"));
  EXPECT_NE(resized("Box"), resized("Lanczos3"));
}

TEST_F(CanvasGeometry, PageAnchorsPlaceTheOldPictureWithTheOddPixelRightAndBelow) {
  struct Case {
    const char* anchor;
    int32_t x, y;  // where old (0, 0) lands on a 4x4 -> 7x8 page
  } cases[] = {{"TL", 0, 0},
               {"TC", 1, 0},
               {"TR", 3, 0},
               {"ML", 0, 2},
               {"MC", 1, 2},
               {"MR", 3, 2},
               {"BL", 0, 4},
               {"BC", 1, 4},
               {"BR", 3, 4},
               // Any other text anchors the page top left.
               {"XX", 0, 0},
               {"mc", 0, 0},
               {"MCX", 0, 0},
               {"", 0, 0}};
  for (const Case& c : cases) {
    palmora_test::ResetEngine();
    MakeCanvas(4, 4);
    PaintPositions(2, 5);
    PMR_IPLResizePage(7, 8, c.anchor, 10, 20, 30);
    ASSERT_EQ(LayerSize(2), std::make_pair(7, 8));
    const auto page = LayerBytes(2), background = LayerBytes(1);
    for (int32_t y = 0; y < 8; ++y)
      for (int32_t x = 0; x < 7; ++x) {
        const uint8_t* p = &page[(y * 7 + x) * 4];
        const uint8_t* b = &background[(y * 7 + x) * 4];
        const bool inside = x >= c.x && x < c.x + 4 && y >= c.y && y < c.y + 4;
        if (inside) {
          ASSERT_EQ(p[0], x - c.x) << c.anchor;
          ASSERT_EQ(p[1], y - c.y) << c.anchor;
          ASSERT_EQ(b[0], 255);  // the old white background
        } else {
          ASSERT_EQ(p[3], 0) << c.anchor;  // other layers: transparent
          ASSERT_EQ(b[0], 10);
          ASSERT_EQ(b[2], 30);
          ASSERT_EQ(b[3], 255);
        }
      }
  }
}

TEST_F(CanvasGeometry, ShrinkingPageCutsWithNegativeOffsets) {
  MakeCanvas(5, 5);
  PaintPositions(2, 1);
  PMR_IPLResizePage(2, 2, "MC", 0, 0, 0);  // offsets (2 - 5) / 2 = -1, truncated toward zero
  const auto page = LayerBytes(2);
  EXPECT_EQ(page[0], 1);
  EXPECT_EQ(page[1], 1);
}

TEST_F(CanvasGeometry, CropKeepsTheRectangle) {
  MakeCanvas(8, 6);
  PaintPositions(2, 1);
  PMR_IPLCrop(2, 1, 7, 4);
  ASSERT_EQ(LayerSize(2), std::make_pair(5, 3));
  const auto crop = LayerBytes(2);
  EXPECT_EQ(crop[0], 2);
  EXPECT_EQ(crop[1], 1);
  EXPECT_EQ(crop[(2 * 5 + 4) * 4], 6);
  EXPECT_EQ(crop[(2 * 5 + 4) * 4 + 1], 3);
}

TEST_F(CanvasGeometry, RotateLeftThenRightRestoresEveryLayer) {
  MakeCanvas(7, 4, 3);
  palmora_test::PaintPattern(2, 3);
  PaintPositions(3, 2);
  const auto before = Snapshot();
  PMR_IPLRotateLeft();
  EXPECT_EQ(LayerSize(2), std::make_pair(4, 7));
  const auto turned = LayerBytes(3);
  EXPECT_EQ(turned[0], 6);  // anticlockwise: the top-right corner comes to the top-left
  EXPECT_EQ(turned[1], 0);
  // The canvas itself stays 7 x 4 until the host follows; make it follow before turning back.
  engine::State().canvasWidth = 4;
  engine::State().canvasHeight = 7;
  engine::State().canvasStride = 16;
  PMR_IPLRotateRight();
  engine::State().canvasWidth = 7;
  engine::State().canvasHeight = 4;
  engine::State().canvasStride = 28;
  const auto after = Snapshot();
  for (size_t layer = 0; layer < before.size(); ++layer)
    for (size_t i = 0; i < before[layer].size(); i += 4)
      if (before[layer][i + 3] != 0) {
        ASSERT_TRUE(std::equal(&before[layer][i], &before[layer][i] + 4, &after[layer][i]))
            << layer;
      }
}

TEST_F(CanvasGeometry, AlphaLockedLayersHaveTheirAlphaRebuiltAndStayLocked) {
  MakeCanvas(4, 2);
  std::vector<uint16_t> pixels(4 * 2 * 4, 0x8000);
  pixels[3] = 0xFF00;  // only pixel (0, 0) opaque
  palmora_test::WriteLayer(2, pixels);
  PMR_SetLayerOptions(2, 1, 1, 100, "Normal");
  PMR_IPLRotateRight();  // clockwise: (0, 0) goes to the top-right of the 2 x 4 result
  const auto turned = LayerBytes(2);
  EXPECT_EQ(turned[(0 * 2 + 1) * 4 + 3], 0xFF);
  EXPECT_EQ(turned[3], 0x80);
  EXPECT_EQ(engine::State().layers[2].alphaLock, 1);
  PMR_IPLCrop(0, 0, 1, 1);
  EXPECT_EQ(engine::State().layers[2].alphaLock, 1);
}

TEST_F(CanvasGeometry, SeamCarvingNarrowsAndMayShortenWithoutOverrunningItsBlock) {
  MakeCanvas(12, 8);
  palmora_test::PaintPattern(2, 6);
  PMR_IPLSeamCarvingRGBA(9, 5, 0);  // the carve writes 8 rows; the layer keeps 5
  EXPECT_EQ(LayerSize(2), std::make_pair(9, 5));
  EXPECT_EQ(LayerSize(1), std::make_pair(9, 5));
  const auto white = LayerBytes(1);
  EXPECT_EQ(white, std::vector<uint8_t>(9 * 5 * 4, 255));
  palmora_test::ResetEngine();
  MakeCanvas(6, 3);
  PMR_IPLSeamCarvingRGBA(8, 5, 0);
  const auto taller = LayerBytes(1);
  EXPECT_EQ(taller[(4 * 8) * 4 + 3], 0);  // rows beyond the old height are transparent
  EXPECT_EQ(taller[3], 255);
}

// A carve far wider than the picture, or wider than any canvas, is refused at once; Escape stops a
// long carve between two seams. Either way the layers stay as they were.
TEST_F(CanvasGeometry, SeamCarvingRefusesRunawayWidthsAndStopsOnEscape) {
  MakeCanvas(61, 7);
  palmora_test::PaintPattern(2, 3);
  const auto before = Snapshot();
  for (const int32_t width : {65536, 10001, 61 * 4 + 1}) {
    PMR_SetLastError("");
    PMR_IPLSeamCarvingRGBA(width, 7, 0);
    EXPECT_STREQ(PMR_GetLastError(), "IPLResize Excpt") << width;
    EXPECT_EQ(Snapshot(), before) << width;
  }
  PMR_SignalEscape();
  PMR_IPLSeamCarvingRGBA(61 * 4, 7, 0);
  EXPECT_STREQ(PMR_GetLastError(), "IPLResize Excpt");
  EXPECT_EQ(Snapshot(), before);
  // Without Escape the same carve goes through.
  PMR_IPLSeamCarvingRGBA(61 * 4, 7, 0);
  EXPECT_EQ(LayerSize(2), std::make_pair(61 * 4, 7));
}

TEST_F(CanvasGeometry, BadSizesRectanglesAndAnchorsChangeNothing) {
  MakeCanvas(6, 5, 3);
  palmora_test::PaintPattern(2, 1);
  palmora_test::PaintPattern(3, 2);
  const auto before = Snapshot();
  PMR_IPLResize(0, 5, "Box");
  PMR_IPLResize(-3, 5, "Box");
  PMR_IPLResize(1 << 30, 1 << 30, "Box");
  PMR_IPLResize(4, 4, nullptr);
  PMR_IPLSeamCarvingRGBA(0, 5, 0);
  PMR_IPLResizePage(-8, 8, "MC", 1, 2, 3);
  PMR_IPLCrop(-1, 0, 4, 4);
  PMR_IPLCrop(0, 0, 7, 4);
  PMR_IPLCrop(4, 0, 2, 4);  // inverted
  PMR_IPLCrop(2, 2, 2, 4);  // empty
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(LayerSize(2), std::make_pair(6, 5));
}

TEST_F(CanvasGeometry, LayerWhosePlaneCannotBeAllocatedKeepsItsPixels) {
  MakeCanvas(16, 16);
  palmora_test::PaintPattern(2, 7);
  const auto before = Snapshot();
  // The two 8-bit work blocks fit under the ceiling; the new 16-bit planes do not.
  engine::SetAllocationCeilingForTesting(20 * 20 * 4 + 64);
  PMR_IPLResize(20, 20, "Box");
  engine::SetAllocationCeilingForTesting(0);
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(LayerSize(2), std::make_pair(16, 16));
  EXPECT_STREQ(PMR_GetLastError(), "IPLResize Excpt");
}

TEST_F(CanvasGeometry, PanWithoutEdgesLeavesUncoveredColumnsAlone) {
  MakeCanvas(16, 3);
  PaintPositions(2, 9);
  const auto before = LayerBytes(2);
  PMR_IPLAllocSrcBuffer32();
  PMR_IPLAllocDstBuffer32();
  PMR_IPLPan(10, 0, 0, 0, 0, 0, 0, 0);
  const auto after = LayerBytes(2);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 10; ++x)
      for (int c = 0; c < 4; ++c)
        ASSERT_EQ(after[(y * 16 + x) * 4 + c], before[(y * 16 + x) * 4 + c]);
  EXPECT_NEAR(after[(1 * 16 + 12) * 4], 2, 1);  // column 12 now shows old column 2
}

TEST_F(CanvasGeometry, PanWithWrapBringsTheRightEdgeRoundAndNeedsBothBuffers) {
  MakeCanvas(8, 2);
  PaintPositions(2, 9);
  const auto before = LayerBytes(2);
  PMR_IPLPan(3, 0, 1, 0, 0, 0, 0, 0);  // no buffers yet: nothing
  EXPECT_EQ(LayerBytes(2), before);
  PMR_IPLAllocSrcBuffer32();
  PMR_IPLAllocDstBuffer32();
  PMR_IPLPan(3, 0, 1, 0, 0, 0, 0, 0);
  const auto after = LayerBytes(2);
  EXPECT_NEAR(after[0], 5, 1);  // column 0 shows old column 8 - 3
  EXPECT_NEAR(after[3 * 4], 0, 1);
}

}  // namespace
