#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "support/engine_fixture.h"

namespace {

using engine::State;
using palmora_test::EngineTest;

constexpr int32_t kW = 40, kH = 30;

class Drawing : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    MakeCanvas(kW, kH);
    PMR_SetLastError("");
  }
  static std::vector<uint8_t> Layer8(int32_t index = 2) {
    std::vector<uint8_t> pixels(kW * kH * 4);
    EXPECT_EQ(PMR_GetRGBA32Layer(pixels.data(), kW * 4, index), 1);
    return pixels;
  }
  static const uint8_t* At(const std::vector<uint8_t>& pixels, int x, int y) {
    return &pixels[(y * kW + x) * 4];
  }
};

TEST_F(Drawing, RectanglesCoverExactlyTheirColumnsAndRows) {
  struct Case {
    int x0, y0, x1, y1;
    int left, right;  // inclusive columns
  };
  for (const Case& c :
       {Case{10, 10, 20, 20, 10, 19}, Case{20, 20, 10, 10, 11, 20}, Case{5, 25, 6, 3, 5, 5}}) {
    PMR_Clear(0, 0, 0, 0);
    PMR_IPLRectangle(200, 100, 50, c.x0, c.y0, c.x1, c.y1, 100);
    const std::vector<uint8_t> after = Layer8();
    const int top = std::min(c.y0, c.y1), bottom = std::max(c.y0, c.y1);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const bool inside = x >= c.left && x <= c.right && y >= top && y <= bottom;
        const uint8_t* p = At(after, x, y);
        ASSERT_EQ(p[3], inside ? 255 : 0) << c.x0 << "," << c.y0 << " at " << x << "," << y;
        if (inside) {
          ASSERT_TRUE(p[0] == 200 && p[1] == 100 && p[2] == 50) << x << "," << y;
        }
      }
  }
  EXPECT_STREQ(PMR_GetLastError(), "");
}

TEST_F(Drawing, OpacityAndTheMaskLimitTheShape) {
  // On the white background: opacity 0 leaves it, 50 % lands between white and the colour.
  PMR_SetLayer(1);
  PMR_IPLRectangle(0, 0, 0, 0, 0, kW, kH, 0);
  EXPECT_EQ(At(Layer8(1), 5, 5)[0], 255);
  PMR_IPLRectangle(0, 0, 0, 0, 0, kW, kH, 50);
  const int half = At(Layer8(1), 5, 5)[0];
  EXPECT_GT(half, 100);
  EXPECT_LT(half, 155);
  // The mask protects the left half of the canvas.
  PMR_SetLayer(2);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW / 2; ++x) State().maskPlane[y * kW + x] = 0;
  PMR_EnableMask(1);
  PMR_IPLRectangle(9, 9, 9, 0, 0, kW, kH, 100);
  const std::vector<uint8_t> after = Layer8();
  EXPECT_EQ(At(after, 3, 3)[3], 0);
  EXPECT_EQ(At(after, kW - 3, 3)[3], 255);
}

TEST_F(Drawing, EllipsesFillTheirBoxInTheirOwnColour) {
  PMR_IPLEllipse(255, 0, 0, 10, 5, 11, 25, 100);  // one column wide: half-width 2 about column 12
  std::vector<uint8_t> after = Layer8();
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      // The smooth edge may reach one pixel past the box, faintly.
      if (x < 9 || x > 15) {
        ASSERT_EQ(At(after, x, y)[3], 0) << x << "," << y;
      }
    }
  const uint8_t* centre = At(after, 12, 15);
  EXPECT_EQ(centre[0], 255);
  EXPECT_EQ(centre[2], 0);  // red, not blue
  EXPECT_EQ(centre[3], 255);
  EXPECT_EQ(At(after, 12, 2)[3], 0);
  // A larger ellipse: inside full, its box's corners untouched.
  PMR_Clear(0, 0, 0, 0);
  PMR_IPLEllipse(0, 0, 255, 20, 20, 0, 0, 100);
  after = Layer8();
  EXPECT_EQ(At(after, 10, 10)[3], 255);
  EXPECT_EQ(At(after, 10, 10)[2], 255);
  EXPECT_EQ(At(after, 1, 0)[3], 0);
  EXPECT_EQ(At(after, 19, 19)[3], 0);
}

TEST_F(Drawing, GradientsRunAlongTheLineOrAroundTheStart) {
  PMR_IPLGradient(0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0, 0, 2, 0, 0, kW, 0, "Linear");
  std::vector<uint8_t> after = Layer8();
  for (int x = 1; x < kW; ++x) {
    ASSERT_GE(At(after, x, 7)[0], At(after, x - 1, 7)[0]);
    ASSERT_EQ(At(after, x, 7)[0], At(after, x, 20)[0]);  // the same across the line
    ASSERT_EQ(At(after, x, 7)[3], 255);
  }
  EXPECT_LT(At(after, 0, 0)[0], 10);
  EXPECT_GT(At(after, kW - 1, 0)[0], 245);

  // Any other kind, even "linear", is radial about the start.
  PMR_IPLGradient(255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 2, 20, 15, 30, 15, "linear");
  after = Layer8();
  EXPECT_EQ(At(after, 20, 15)[0], 255);
  EXPECT_EQ(At(after, 25, 15)[0], At(after, 15, 15)[0]);
  EXPECT_EQ(At(after, 25, 15)[0], At(after, 20, 20)[0]);
  EXPECT_EQ(At(after, 39, 29)[2], 255);

  // Four colours sit at 0, 33, 66 and 99 %: the last one already at 99 %.
  // Pixel 38 of a 39-pixel line (97.4 %) lies between 20 at 66 % and 250 at 99 %.
  PMR_IPLGradient(0, 0, 0, 10, 10, 10, 20, 20, 20, 250, 0, 0, 4, 0, 0, 39, 0, "Linear");
  after = Layer8();
  EXPECT_EQ(At(after, 38, 0)[0], 239);
  EXPECT_EQ(At(after, 39, 0)[0], 250);
}

TEST_F(Drawing, GradientOfOneColourFades) {
  PMR_IPLGradient(0, 128, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kW, 0, "Linear");
  std::vector<uint8_t> after = Layer8();
  EXPECT_LT(At(after, 0, 3)[3], 10);
  EXPECT_GT(At(after, kW - 1, 3)[3], 245);
  PMR_Clear(0, 0, 0, 0);
  PMR_IPLGradient(0, 128, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, kW, 0, "Linear");
  after = Layer8();
  EXPECT_GT(At(after, 0, 3)[3], 245);
  EXPECT_LT(At(after, kW - 1, 3)[3], 10);
  EXPECT_EQ(At(after, 0, 3)[1], 128);
}

TEST_F(Drawing, PushWarpMovesThePictureUnderOnePointToAnother) {
  // Vertical stripes: column x has red 6 x.
  std::vector<uint8_t> pixels(kW * kH * 4);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      uint8_t* p = &pixels[(y * kW + x) * 4];
      p[0] = uint8_t(6 * x), p[1] = 0, p[2] = 0, p[3] = 255;
    }
  ASSERT_EQ(PMR_LoadRGBA32Layer(pixels.data(), kW * 4, 2, 0, 0, kW, kH, 0), 1);
  PMR_WarpPointToPoint(10, 15, 14, 15);  // no buffers yet: nothing
  EXPECT_EQ(Layer8(), pixels);
  PMR_IPLAllocSrcBuffer32();
  PMR_IPLAllocDstBuffer32();
  PMR_WarpPointToPoint(10, 15, 14, 15);
  const std::vector<uint8_t> after = Layer8();
  EXPECT_EQ(At(after, 14, 15)[0], 60);  // the colour from under (10, 15)
  EXPECT_LT(At(after, 12, 15)[0], 72);  // pulled along, less further out
  EXPECT_EQ(At(after, 35, 15)[0], 6 * 35);
  EXPECT_EQ(At(after, 14, 2)[0], 6 * 14);
  PMR_IPLFreeSrcBuffer32();
  PMR_IPLFreeDstBuffer32();
}

TEST_F(Drawing, BufferBlurSpreadsByRadiusAndStrength) {
  const int w = 9, h = 7;
  std::vector<uint8_t> dot(w * h * 3, 0);
  dot[(3 * w + 4) * 3] = 255;
  std::vector<uint8_t> buffer = dot;
  PMR_BlurMoreBufferRGB24(buffer.data(), w, h, 4, 100);  // radius 4 / 5 = 0
  EXPECT_EQ(buffer, dot);
  PMR_BlurMoreBufferRGB24(buffer.data(), w, h, 10, 0);
  EXPECT_EQ(buffer, dot);
  PMR_BlurMoreBufferRGB24(buffer.data(), w, h, 10, 100);
  EXPECT_LT(buffer[(3 * w + 4) * 3], 255);
  EXPECT_GT(buffer[(3 * w + 5) * 3], 0);
  EXPECT_EQ(buffer[(3 * w + 5) * 3], buffer[(3 * w + 3) * 3]);
  std::vector<uint8_t> half = dot;
  PMR_BlurMoreBufferRGB24(half.data(), w, h, 10, 50);
  EXPECT_GT(half[(3 * w + 4) * 3], buffer[(3 * w + 4) * 3]);
  PMR_BlurMoreBufferRGB24(nullptr, w, h, 10, 50);
  PMR_BlurMoreBufferRGB24(half.data(), 0, h, 10, 50);
  PMR_BlurMoreBufferRGB24(half.data(), w, h, -10, 50);
  EXPECT_STREQ(PMR_GetLastError(), "");
}

TEST_F(Drawing, FailuresAndMissingLayersChangeNothing) {
  const std::vector<uint16_t> before = palmora_test::ReadLayer(2);
  engine::SetAllocationCeilingForTesting(64);
  PMR_IPLRectangle(1, 2, 3, 0, 0, 10, 10, 100);
  EXPECT_STREQ(PMR_GetLastError(), "IPLRectangle Excpt");
  PMR_IPLEllipse(1, 2, 3, 0, 0, 10, 10, 100);
  EXPECT_STREQ(PMR_GetLastError(), "IPLEllipse Excpt");
  PMR_IPLGradient(0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 2, 0, 0, 5, 5, "Linear");
  EXPECT_STREQ(PMR_GetLastError(), "IPLGradient Excpt");
  engine::SetAllocationCeilingForTesting(0);
  EXPECT_EQ(palmora_test::ReadLayer(2), before);
  PMR_DeleteImage();
  PMR_IPLRectangle(1, 2, 3, 0, 0, 10, 10, 100);
  PMR_IPLGradient(0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 2, 0, 0, 5, 5, nullptr);
  PMR_WarpPointToPoint(0, 0, 1, 1);
}

}  // namespace
