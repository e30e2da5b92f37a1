#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/find_unused_colour.h"
#include "support/engine_fixture.h"

namespace {

using palmora_test::EngineTest;

class ProcessingFrame : public EngineTest {
 protected:
  // A texture plane of the canvas size filled with value.
  void SetTexture(uint8_t value) {
    auto& s = engine::State();
    const size_t bytes = size_t(s.canvasWidth) * s.canvasHeight;
    s.textureImage = engine::AllocatePlane<uint8_t>(bytes);
    std::memset(s.textureImage, value, bytes);
  }
  void SetMask(uint16_t value) {
    auto& s = engine::State();
    ASSERT_NE(s.maskPlane, nullptr);
    std::fill(s.maskPlane, s.maskPlane + size_t(s.canvasWidth) * s.canvasHeight, value);
    s.maskEnabled = 1;
  }
  // 8-bit copy of a layer of any size, straight from its record.
  static std::vector<uint8_t> LayerBytes(int32_t index) {
    const engine::LayerRecord& layer = engine::State().layers[index];
    std::vector<uint8_t> bytes(size_t(layer.width) * layer.height * 4);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(layer.pixels[i] >> 8);
    return bytes;
  }
};

TEST_F(ProcessingFrame, PreThenPostFilterGivesBackFullChannels) {
  uint8_t pixels[] = {255, 100, 0, 128, 255, 7, 9, 0, 200, 201, 202, 255};
  PMR_AdjustRGBA32PreFilter(pixels, 3, 1);
  EXPECT_EQ(pixels[0], 128);  // (255 + 1) x 128 / 255 = 128.5, truncated
  EXPECT_EQ(pixels[1], 50);   // 101 x 128 / 255 = 50.7
  PMR_AdjustRGBA32PostFilter(pixels, 3, 1);
  EXPECT_EQ(pixels[0], 255);
  const uint8_t untouched[] = {255, 7, 9, 0, 200, 201, 202, 255};
  EXPECT_EQ(std::memcmp(pixels + 4, untouched, 8), 0);  // alpha 0 and 255 are skipped

  uint8_t opaque[] = {100, 50, 25, 255};
  PMR_AdjustRGBA32ForAlphaComp(0, opaque);  // flag 0: nothing
  EXPECT_EQ(opaque[0], 100);
}

TEST_F(ProcessingFrame, SixteenBitFiltersScaleByAlphaWithoutTheAddedOne) {
  uint16_t pixels[] = {40000, 65535, 3, 65535, 40000, 1000, 0, 0, 1000, 2000, 3000, 32768};
  PMR_AdjustRGBA64PreFilter(pixels, 3, 1);
  EXPECT_EQ(pixels[0], 40000);  // alpha 65535 keeps colour
  EXPECT_EQ(pixels[4], 40000);  // alpha 0 is skipped
  EXPECT_EQ(pixels[8], uint16_t(1000 * 32768 * 0.000015259021896696422));
  PMR_AdjustRGBA64PostFilter(pixels, 3, 1);
  EXPECT_NEAR(pixels[8], 1000, 2);
}

TEST_F(ProcessingFrame, TextureAndMaskWeighAlpha) {
  MakeCanvas(4, 2);
  std::vector<uint8_t> buffer(4 * 2 * 4, 255);
  PMR_AdjustRGBA32ByMaskAndTexture(buffer.data(), 4, 2);  // neither: nothing
  EXPECT_EQ(buffer, std::vector<uint8_t>(32, 255));

  SetTexture(127);  // weight 65023: 255 x 65023 / 65535 = 253.0
  PMR_AdjustRGBA32ByMaskAndTexture(buffer.data(), 4, 2);
  EXPECT_EQ(buffer[3], 253);
  EXPECT_EQ(buffer[0], 255);  // colour untouched
  std::fill(buffer.begin(), buffer.end(), 255);
  std::memset(engine::State().textureImage, 128, 8);
  PMR_AdjustRGBA32ByMaskAndTexture(buffer.data(), 4, 2);
  EXPECT_EQ(buffer[3], 255);

  engine::ReleasePlane(engine::State().textureImage);
  SetMask(32768);  // weight 65535 x 32768 >> 16 = 32767: 255 becomes 127
  PMR_AdjustRGBA32ByMaskAndTexture(buffer.data(), 4, 2);
  EXPECT_EQ(buffer[3], 127);
}

TEST_F(ProcessingFrame, RectAdjustFollowsTheCanvasPositionAndBuffersLargerThanTheCanvasStayInside) {
  MakeCanvas(4, 3);
  SetMask(65535);
  engine::State().maskPlane[1 * 4 + 0] = 0;  // canvas (0, 1) protected
  std::vector<uint8_t> rect(3 * 3 * 4, 200);
  // The buffer's pixel (0, 0) lies at canvas (-1, 0): canvas (0, 1) is buffer (1, 1).
  PMR_AdjustRGBA32RectByMaskAndTexture(rect.data(), -1, 0, 3, 3);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(rect[i * 4 + 3], i == 4 ? 0 : 200) << i;

  // Wider and taller than the canvas: pixels beyond it keep their alpha (and nothing is read
  // outside the mask).
  std::vector<uint8_t> wide(6 * 5 * 4, 200);
  PMR_AdjustRGBA32ByMaskAndTexture(wide.data(), 6, 5);
  EXPECT_EQ(wide[(1 * 6 + 0) * 4 + 3], 0);
  EXPECT_EQ(wide[(4 * 6 + 5) * 4 + 3], 200);
}

TEST_F(ProcessingFrame, SourceBufferFollowsTheCurrentLayerAndSetNeedsABuffer) {
  MakeCanvas(3, 2);
  std::vector<uint8_t> picture(3 * 2 * 4, 42);
  PMR_IPLSetSrcBuffer32(picture.data());  // no buffer yet: nothing
  EXPECT_EQ(engine::State().processingBuffers.src32, nullptr);
  PMR_IPLAllocSrcBuffer32();
  uint8_t* src = engine::State().processingBuffers.src32;
  ASSERT_NE(src, nullptr);
  EXPECT_EQ(src[0], 0);  // layer 2 is transparent black
  PMR_IPLSetSrcBuffer32(picture.data());
  EXPECT_EQ(src[5], 42);
  PMR_IPLUpdateSrcBuffer32();
  EXPECT_EQ(src[5], 0);
  PMR_IPLAllocSrcBuffer24();
  ASSERT_NE(engine::State().processingBuffers.src24, nullptr);
  PMR_IPLFreeSrcBuffer32();
  PMR_IPLFreeSrcBuffer24();
  EXPECT_EQ(engine::State().processingBuffers.src32, nullptr);
  EXPECT_EQ(engine::State().processingBuffers.src24, nullptr);
}

// The mask cuts the source buffer's alpha by its high byte: 0 clears, 255 keeps, anything between
// scales by (hb + 1) / 256; colour stays. Off, or without a buffer, nothing happens.
TEST_F(ProcessingFrame, MaskCutsTheSourceBufferAlphaOnlyWhileInForce) {
  MakeCanvas(4, 1);
  PMR_ApplyMaskToAlpha_IPLSrcRGBA();  // no buffer yet: nothing, no failure
  EXPECT_STREQ(PMR_GetLastError(), "");
  PMR_IPLAllocSrcBuffer32();
  const uint8_t picture[] = {10, 20, 30, 200, 40, 50, 60, 200, 70, 80, 90, 200, 1, 2, 3, 255};
  PMR_IPLSetSrcBuffer32(picture);
  auto& s = engine::State();
  const uint16_t mask[] = {0, 65280, 32768, 65279};
  std::copy(std::begin(mask), std::end(mask), s.maskPlane);
  uint8_t* src = s.processingBuffers.src32;

  s.maskEnabled = 0;
  PMR_ApplyMaskToAlpha_IPLSrcRGBA();
  EXPECT_EQ(std::memcmp(src, picture, sizeof picture), 0);

  s.maskEnabled = 1;
  PMR_ApplyMaskToAlpha_IPLSrcRGBA();
  // 200 x 129 / 256 = 100.8 and 255 x 255 / 256 = 254.0: both truncate.
  const uint8_t expected[] = {10, 20, 30, 0, 40, 50, 60, 200, 70, 80, 90, 100, 1, 2, 3, 254};
  EXPECT_EQ(std::memcmp(src, expected, sizeof expected), 0);
}

TEST_F(ProcessingFrame, AllocationFailureLeavesNoBufferAndRecordsTheMessage) {
  MakeCanvas(64, 64);
  PMR_IPLAllocDstBuffer32();
  engine::SetAllocationCeilingForTesting(1024);
  PMR_IPLAllocDstBuffer32();
  EXPECT_EQ(engine::State().processingBuffers.dst32, nullptr);
  EXPECT_STREQ(PMR_GetLastError(), "IPLAllocDstBuffer32 Excpt");
}

TEST_F(ProcessingFrame, FlipsMirrorEveryLayerAndTwiceRestore) {
  MakeCanvas(5, 3, 3);
  palmora_test::PaintPattern(2, 1);
  palmora_test::PaintPattern(3, 2);
  const std::vector<uint8_t> before2 = LayerBytes(2), before3 = LayerBytes(3);
  const std::vector<uint16_t> mask(engine::State().maskPlane, engine::State().maskPlane + 15);
  PMR_IPLFlipHorizontal();
  const std::vector<uint8_t> after = LayerBytes(2);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      for (int c = 0; c < 4; ++c) {
        const uint8_t expected = before2[(y * 5 + 4 - x) * 4 + c];
        // A pixel of alpha 0 is loaded as transparent black.
        const uint8_t alpha = before2[(y * 5 + 4 - x) * 4 + 3];
        ASSERT_EQ(after[(y * 5 + x) * 4 + c], alpha == 0 ? 0 : expected);
      }
  PMR_IPLFlipHorizontal();
  PMR_IPLFlipVertical();
  PMR_IPLFlipVertical();
  const std::vector<uint8_t> after3 = LayerBytes(3);
  for (size_t i = 0; i < before3.size(); i += 4) {
    if (before3[i + 3] != 0) {
      ASSERT_TRUE(std::equal(&before3[i], &before3[i] + 4, &after3[i])) << i;
    }
  }
  EXPECT_TRUE(std::equal(mask.begin(), mask.end(), engine::State().maskPlane));
}

TEST_F(ProcessingFrame, FlipMirrorsTheAlphaOfAnAlphaLockedLayer) {
  // The plain write-back keeps a locked layer's alpha, which would leave the alpha unflipped under
  // mirrored colour; the flip moves alpha with the colour and keeps the lock.
  MakeCanvas(4, 1);
  std::vector<uint16_t> row = {0x1000, 0x1000, 0x1000, 0xFF00, 0x2000, 0x2000, 0x2000, 0x8000,
                               0x3000, 0x3000, 0x3000, 0x4000, 0x4000, 0x4000, 0x4000, 0x2000};
  palmora_test::WriteLayer(2, row);
  PMR_SetLayerOptions(2, 1, 1, 100, "Normal");
  PMR_IPLFlipHorizontal();
  const std::vector<uint8_t> flipped = LayerBytes(2);
  EXPECT_EQ(flipped[0], 0x40);
  EXPECT_EQ(flipped[3], 0x20);  // alpha came along
  EXPECT_EQ(flipped[15], 0xFF);
  EXPECT_EQ(engine::State().layers[2].alphaLock, 1);
}

// The search as the rule states it: for each (b, g), clear a table, mark byte 0 of every pixel
// whose bytes 1 and 2 are (g, b), take the first unmarked value.
uint32_t ReferenceUnusedColour(const std::vector<uint8_t>& pixels) {
  for (uint32_t b = 0; b < 256; ++b)
    for (uint32_t g = 0; g < 256; ++g) {
      bool marked[256] = {};
      for (size_t i = 0; i < pixels.size(); i += 4)
        if (pixels[i + 1] == g && pixels[i + 2] == b) marked[pixels[i]] = true;
      for (uint32_t r = 0; r < 256; ++r)
        if (!marked[r]) return r | g << 8 | b << 16;
    }
  return 256;
}

TEST_F(ProcessingFrame, FindUnusedColourTakesTheFirstFreeColourInScanOrder) {
  MakeCanvas(32, 16);
  std::vector<uint8_t> pixels(32 * 16 * 4, 0);
  for (size_t i = 0; i < 512; ++i) pixels[i * 4] = uint8_t(i);  // every red with g = b = 0
  for (size_t i = 256; i < 300; ++i) pixels[i * 4 + 1] = 1;     // and 44 reds with g = 1
  for (size_t i = 300; i < 512; ++i) pixels[i * 4 + 2] = 9;
  EXPECT_EQ(engine::FindUnusedColour(pixels.data()), ReferenceUnusedColour(pixels));
  std::fill(pixels.begin(), pixels.end(), 7);
  EXPECT_EQ(engine::FindUnusedColour(pixels.data()), 0u);  // no (0, 0, 0) pixel
  EXPECT_EQ(engine::FindUnusedColour(nullptr), 256u);
}

}  // namespace
