#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "brush/brush_fixture.h"
#include "engine/engine_state.h"

namespace {

using brush_test::BrushTest;
using engine::State;

// The circle: centre (m, m) with m = s / 2, radius s / 2, a rim of edge / 255 of the
// radius falling linearly to 0, scaled, optionally inverted.
std::vector<uint16_t> ReferenceCircle(int32_t s, int32_t maxBrush, int edge, float scale,
                                      bool invert) {
  std::vector<uint16_t> plane(std::size_t(maxBrush) * maxBrush, 0);
  const double R = s * 0.5, soft = edge / 255.0 * R, inner = R - soft;
  const int32_t m = s / 2;
  for (int32_t y = 0; y < s; ++y) {
    for (int32_t x = 0; x < s; ++x) {
      const double d = std::sqrt(double((x - m) * (x - m) + (y - m) * (y - m)));
      if (d > R) continue;
      double v = 65535;
      if (edge != 0 && d > inner)
        v = std::min(65535.0, std::max(0.0, (soft - (d - inner)) / soft * 65535));
      const double stored = invert ? std::fabs(v - 65535) * scale : v * scale;
      plane[std::size_t(y) * maxBrush + x] = uint16_t(std::min(65535.0, std::trunc(stored)));
    }
  }
  return plane;
}

class BrushShape : public BrushTest {
 protected:
  std::vector<uint16_t> Shape() const {
    const auto& s = State();
    return brush_test::Copy(s.shapeBuffer, std::size_t(s.maxBrushSize) * s.maxBrushSize);
  }
  static void SetShapeTool(float scale, int edge, bool invert) {
    PMR_SetTool(scale, 0, 0, 0, edge, 0, 0, 0, 0, 0, 0, invert, 0, "", "", 0);
  }
};

TEST_F(BrushShape, CirclesFollowCentreRadiusAndRim) {
  MakeBrushCanvas(16, 16, 33, 1);
  for (int32_t size : {1, 2, 3, 4, 7, 10, 16, 33}) {
    for (int edge : {0, 1, 100, 255}) {
      for (bool invert : {false, true}) {
        PMR_SetSize(size);
        SetShapeTool(0.75f, edge, invert);
        ASSERT_EQ(Shape(), ReferenceCircle(size, 33, edge, 0.75f, invert))
            << "size " << size << " edge " << edge << " invert " << invert;
      }
    }
  }
}

TEST_F(BrushShape, HandCheckedPixels) {
  MakeBrushCanvas(16, 16, 8, 1);
  SetShapeTool(1.0f, 0, false);
  EXPECT_EQ(State().shapeBuffer[0], 65535);  // size 1: one full pixel
  PMR_SetSize(4);
  SetShapeTool(1.0f, 0, false);
  const uint16_t* s = State().shapeBuffer;
  EXPECT_EQ(s[2 * 8 + 0], 65535);  // (0, 2) lies at exactly R = 2 from the centre (2, 2)
  EXPECT_EQ(s[0], 0);              // (0, 0) is 2.83 away
  EXPECT_EQ(s[3 * 8 + 3], 65535);
  SetShapeTool(1.0f, 255, false);  // the whole radius is rim: 65535 at the centre, 0 at R
  EXPECT_EQ(s[2 * 8 + 2], 65535);
  EXPECT_EQ(s[2 * 8 + 1], 32767);
  EXPECT_EQ(s[2 * 8 + 0], 0);
  SetShapeTool(1.0f, 0, true);  // a hard inverted circle is empty
  EXPECT_TRUE(std::all_of(s, s + 64, [](uint16_t v) { return v == 0; }));
  SetShapeTool(2.0f, 0, false);  // a scale above 1 saturates instead of wrapping
  EXPECT_EQ(s[3 * 8 + 3], 65535);
  SetShapeTool(-1.0f, 0, false);
  EXPECT_EQ(s[3 * 8 + 3], 0);
}

// A name that is neither a script nor a picture gives the circle.
TEST_F(BrushShape, UnreadableNamesFallBackToTheCircle) {
  MakeBrushCanvas(16, 16, 12, 12);
  PMR_SetBrushShape("/no/such/shape.png", 30);
  EXPECT_EQ(Shape(), ReferenceCircle(12, 12, 0, 1.0f, false));
  PMR_SetBrushShape_ORIGINAL("x", 0);  // one character: no picture
  EXPECT_EQ(Shape(), ReferenceCircle(12, 12, 0, 1.0f, false));
  PMR_SetBrushShape(nullptr, 0);
  EXPECT_EQ(Shape(), ReferenceCircle(12, 12, 0, 1.0f, false));
}

}  // namespace
