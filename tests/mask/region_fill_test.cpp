#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "mask/region_fill_terms.h"
#include "support/engine_fixture.h"

namespace {

using engine::State;
using palmora_test::EngineTest;

constexpr int32_t kW = 12, kH = 8;

// Layer pictures in 8 bits, as the fill sees and writes them.
std::vector<uint8_t> Read8(int32_t index) {
  std::vector<uint8_t> pixels(kW * kH * 4);
  EXPECT_EQ(PMR_GetRGBA32Layer(pixels.data(), kW * 4, index), 1);
  return pixels;
}
void Write8(int32_t index, const std::vector<uint8_t>& pixels) {
  ASSERT_EQ(PMR_LoadRGBA32Layer(pixels.data(), kW * 4, index, 0, 0, kW, kH, 0), 1);
}
void Set(std::vector<uint8_t>& pixels, int x, int y, uint32_t rgba) {
  for (int c = 0; c < 4; ++c) pixels[(y * kW + x) * 4 + c] = uint8_t(rgba >> (24 - 8 * c));
}
uint32_t Get(const std::vector<uint8_t>& pixels, int x, int y) {
  const uint8_t* p = &pixels[(y * kW + x) * 4];
  return uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

// Two red areas (columns 0..3 and 8..11) split by a blue band, everything half transparent.
std::vector<uint8_t> TwoRedAreas() {
  std::vector<uint8_t> pixels(kW * kH * 4);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) Set(pixels, x, y, x >= 4 && x < 8 ? 0x0000FF80 : 0xFF000080);
  return pixels;
}
bool LeftArea(int x) { return x < 4; }
bool RightArea(int x) { return x >= 8; }

class RegionFill : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    MakeCanvas(kW, kH);
    Write8(2, TwoRedAreas());
    PMR_SetLastError("");
  }
};

TEST_F(RegionFill, ConnectedModesReachOneAreaAndNonConnectedModesBoth) {
  struct Case {
    const char* mode;
    bool bothAreas;
    uint32_t inside;  // what a reached pixel becomes
  };
  const Case cases[] = {
      {"Paint Connected", false, 0x00FF00FF},     // the colour, opaque
      {"Paint Non-connected", true, 0x00FF0080},  // the colour; alpha kept
      {"Erase Connected", false, 0x00000000},     // transparent (colour of no account)
      {"Erase Non-connected", true, 0x00000000},
  };
  for (const Case& c : cases) {
    Write8(2, TwoRedAreas());
    PMR_IPLFloodFill(0, 255, 0, 1, 1, 0, c.mode);
    const std::vector<uint8_t> after = Read8(2);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const bool reached = LeftArea(x) || (c.bothAreas && RightArea(x));
        const uint32_t was = x >= 4 && x < 8 ? 0x0000FF80 : 0xFF000080;
        const uint32_t got = Get(after, x, y);
        if (reached && c.inside == 0) {
          ASSERT_EQ(got & 0xFF, 0u) << c.mode << " " << x << "," << y;
        } else {
          ASSERT_EQ(got, reached ? c.inside : was) << c.mode << " " << x << "," << y;
        }
      }
  }
  EXPECT_STREQ(PMR_GetLastError(), "");
}

TEST_F(RegionFill, ErasingOnTheBackgroundRepaintsWithThePaper) {
  Write8(1, TwoRedAreas());
  PMR_SetLayer(1);
  PMR_IPLFloodFill(250, 240, 230, 9, 3, 0, "Erase Connected");
  const std::vector<uint8_t> after = Read8(1);
  EXPECT_EQ(Get(after, 9, 3) >> 8, 0xFAF0E6u);
  EXPECT_EQ(Get(after, 1, 3), 0xFF000080u);
  PMR_IPLFloodFill(250, 240, 230, 1, 3, 0, "Erase Non-connected");
  EXPECT_EQ(Get(Read8(1), 1, 3) >> 8, 0xFAF0E6u);
}

TEST_F(RegionFill, ToleranceJoinsNearColoursAndTheMaskLimitsTheFill) {
  // A uniform layer with one slightly different pixel; the mask protects the bottom half.
  std::vector<uint8_t> pixels(kW * kH * 4);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) Set(pixels, x, y, 0x404040FF);
  Set(pixels, 5, 1, 0x444040FF);  // squared distance 16
  Write8(2, pixels);
  for (int i = kW * kH / 2; i < kW * kH; ++i) State().maskPlane[i] = 0;
  PMR_EnableMask(1);
  // t = 8: L = trunc(8 x 0.00002 x 195075) = 31 joins the pixel at distance 16.
  PMR_IPLFloodFill(10, 20, 30, 0, 0, 8, "Paint Connected");
  std::vector<uint8_t> after = Read8(2);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      ASSERT_EQ(Get(after, x, y), y < kH / 2 ? 0x0A141EFFu : Get(pixels, x, y));
  // t = 4 (L = 15) leaves it out.
  Write8(2, pixels);
  PMR_EnableMask(0);
  PMR_IPLFloodFill(10, 20, 30, 0, 0, 4, "Paint Connected");
  after = Read8(2);
  EXPECT_EQ(Get(after, 5, 1), 0x444040FFu);
  EXPECT_EQ(Get(after, 6, 1), 0x0A141EFFu);
  EXPECT_EQ(Get(after, 11, 7), 0x0A141EFFu);
}

TEST_F(RegionFill, AlphaModesFollowTheAlphaAndSkipTheBackground) {
  // Alpha 0x80 on the left, 0x90 in the middle band, 0x80 on the right; colours all different.
  std::vector<uint8_t> pixels(kW * kH * 4);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      Set(pixels, x, y,
          uint32_t(x * 20) << 24 | uint32_t(y * 30) << 16 | (x >= 4 && x < 8 ? 0x90 : 0x80));
  Write8(2, pixels);
  PMR_IPLFloodFill(1, 2, 3, 0, 0, 0, "Paint Alpha Connected");
  std::vector<uint8_t> after = Read8(2);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      ASSERT_EQ(Get(after, x, y), LeftArea(x) ? 0x010203FFu : Get(pixels, x, y));
  Write8(2, pixels);
  PMR_IPLFloodFill(1, 2, 3, 0, 0, 0, "Paint Alpha Non-Connected");
  after = Read8(2);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      ASSERT_EQ(Get(after, x, y), LeftArea(x) || RightArea(x) ? 0x010203FFu : Get(pixels, x, y));

  // Neither on the background nor on the tracing image.
  for (const int32_t layer : {1, 0}) {
    SCOPED_TRACE(layer);
    Write8(layer, pixels);
    PMR_SetLayer(layer);
    const std::vector<uint16_t> unchanged = palmora_test::ReadLayer(layer);
    std::vector<uint16_t> maskBefore(State().maskPlane, State().maskPlane + kW * kH);
    PMR_IPLFloodFill(1, 2, 3, 0, 0, 0, "Paint Alpha Connected");
    PMR_IPLMaskWand(0, 0, 0, 100, "Alpha Connected");
    EXPECT_EQ(palmora_test::ReadLayer(layer), unchanged);
    EXPECT_EQ(std::vector<uint16_t>(State().maskPlane, State().maskPlane + kW * kH), maskBefore);
  }
}

// Before any layer is current there is no picture to take a region from: no mode changes the mask.
TEST_F(RegionFill, NoCurrentLayerMeansNoRegion) {
  palmora_test::ResetEngine();
  PMR_CreateImage(nullptr, kW, kH, 8, 0);
  ASSERT_EQ(PMR_CreateLayer(2, kW, kH), 1);
  PMR_InvertMask();  // nothing selected
  const std::vector<uint16_t> maskBefore(State().maskPlane, State().maskPlane + kW * kH);
  for (const char* mode : {"Non-connected", "Connected", "Alpha Connected", "Alpha Non-connected",
                           "Color Range", "Luminance Range", "Hue Range", "HSL Range"}) {
    PMR_IPLMaskWand(1, 1, 50, 100, mode);
    EXPECT_EQ(std::vector<uint16_t>(State().maskPlane, State().maskPlane + kW * kH), maskBefore)
        << mode;
  }
  const std::vector<uint16_t> layer = palmora_test::ReadLayer(2);
  PMR_IPLFloodFill(9, 9, 9, 1, 1, 50, "Paint Non-connected");
  EXPECT_EQ(palmora_test::ReadLayer(2), layer);
}

TEST_F(RegionFill, OutsidePointsUnknownModesAndMemoryFailureChangeNothing) {
  const std::vector<uint16_t> before = palmora_test::ReadLayer(2);
  const std::vector<uint16_t> maskBefore(State().maskPlane, State().maskPlane + kW * kH);
  PMR_IPLFloodFill(0, 255, 0, -1, 0, 0, "Paint Connected");
  PMR_IPLFloodFill(0, 255, 0, 0, kH, 0, "Paint Connected");
  PMR_IPLFloodFill(0, 255, 0, kW, 0, 0, "Paint Connected");
  PMR_IPLFloodFill(0, 255, 0, 0, 0, 0, "paint connected");
  PMR_IPLFloodFill(0, 255, 0, 0, 0, 0, "Paint Alpha Non-connected");  // the wand's spelling
  PMR_IPLFloodFill(0, 255, 0, 0, 0, 0, nullptr);
  PMR_IPLMaskWand(-1, 0, 0, 100, "Connected");
  PMR_IPLMaskWand(0, kH, 0, 100, "Connected");
  PMR_IPLMaskWand(0, 0, 0, 100, "Alpha Non-Connected");  // the fill's spelling
  PMR_IPLMaskWand(0, 0, 0, 100, nullptr);
  EXPECT_STREQ(PMR_GetLastError(), "");
  engine::SetAllocationCeilingForTesting(64);
  PMR_IPLFloodFill(0, 255, 0, 1, 1, 0, "Paint Connected");
  EXPECT_STREQ(PMR_GetLastError(), "IPLFloodFill Excpt");
  PMR_IPLMaskWand(1, 1, 0, 100, "Connected");
  EXPECT_STREQ(PMR_GetLastError(), "IPLMaskWand Excpt");
  engine::SetAllocationCeilingForTesting(0);
  EXPECT_EQ(palmora_test::ReadLayer(2), before);
  EXPECT_EQ(std::vector<uint16_t>(State().maskPlane, State().maskPlane + kW * kH), maskBefore);
  // No canvas: nothing at all.
  PMR_DeleteImage();
  PMR_IPLFloodFill(0, 255, 0, 0, 0, 0, "Paint Connected");
  PMR_IPLMaskEllipse(0, 0, 5, 5, 50);
  PMR_IPLMaskRectangle(0, 0, 5, 5, 50);
}

// Selected pixels take ((255 - A) mod 256) x 256 with A = trunc(a x 2.559); the others keep theirs.
uint16_t Selected(int32_t percent) {
  return uint16_t(((255 - int32_t(percent * 2.559)) & 255) * 256);
}

TEST_F(RegionFill, WandModesAddTheirSelectionToTheMask) {
  struct Case {
    const char* mode;
    int32_t x;
    bool (*selected)(int x, int y);
  };
  const Case cases[] = {
      {"Connected", 1, [](int x, int) { return LeftArea(x); }},
      {"Non-connected", 1, [](int x, int) { return LeftArea(x) || RightArea(x); }},
      {"Color Range", 5, [](int x, int) { return x >= 4 && x < 8; }},
      {"Alpha Non-connected", 5, [](int, int) { return true; }},  // every alpha is 0x80
      {"Alpha Connected", 5, [](int, int) { return true; }},
      {"Hue Range", 1, [](int x, int) { return LeftArea(x) || RightArea(x); }},
      {"HSL Range", 1, [](int x, int) { return LeftArea(x) || RightArea(x); }},
      {"Luminance Range", 5,
       [](int, int) { return true; }},  // red and blue: the same mean of three
  };
  for (const Case& c : cases) {
    for (int i = 0; i < kW * kH; ++i) State().maskPlane[i] = uint16_t(1000 + i);
    PMR_IPLMaskWand(c.x, 2, 0, 60, c.mode);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const uint16_t expected = c.selected(x, y) ? Selected(60) : uint16_t(1000 + y * kW + x);
        ASSERT_EQ(State().maskPlane[y * kW + x], expected) << c.mode << " " << x << "," << y;
      }
  }
  // The wand leaves the layer as it was.
  EXPECT_EQ(Read8(2), TwoRedAreas());
}

TEST_F(RegionFill, MaskShapesDrawTheirAreaAtTheAmount) {
  uint16_t* mask = State().maskPlane;
  for (int i = 0; i < kW * kH; ++i) mask[i] = uint16_t(i % 3 == 0 ? 65300 : 0x1234 + i);
  const std::vector<uint16_t> start(mask, mask + kW * kH);
  // Outside the shape the save and reload keep the high byte, 65280 and above open fully.
  auto outside = [&](int i) {
    return start[i] >= 65280 ? uint16_t(65535) : uint16_t(start[i] & 0xFF00);
  };

  // Equal corners: radii 2 about (x0 + 2, y0 + 2), with the hard edge of pixel centres.
  PMR_IPLMaskEllipse(3, 1, 3, 1, 100);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const double dx = (x - 5) / 2.0, dy = (y - 3) / 2.0;
      const double r = dx * dx + dy * dy;
      if (std::fabs(r - 1.0) < 0.3) continue;  // the rasteriser's own choice at the rim
      ASSERT_EQ(mask[y * kW + x], r < 1.0 ? 0 : outside(y * kW + x)) << x << "," << y;
    }

  std::copy(start.begin(), start.end(), mask);
  PMR_IPLMaskRectangle(9, 6, 2, 1, 0);  // corners in any order; amount 0 opens fully
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const bool inside = x >= 2 && x < 9 && y >= 1 && y < 6;
      ASSERT_EQ(mask[y * kW + x], inside ? 65535 : outside(y * kW + x)) << x << "," << y;
    }
  std::copy(start.begin(), start.end(), mask);
  PMR_IPLMaskRectangle(0, 0, 4, 4, 50);
  EXPECT_EQ(mask[kW + 1], 65280 - 256 * int(50 * 2.559));
}

TEST_F(RegionFill, TermsFromTheHostsArguments) {
  // The colour distance is the product t x 0.00002 x 195075 taken in single precision and
  // truncated. At these edges single and double precision truncate to different integers (the
  // double product of 9066 is 35370.999..., of 10000 exactly 39015), so a double computation shows
  // here.
  const struct {
    int32_t t;
    uint32_t library;
  } kSingleEdges[] = {{9066, 35371u}, {9533, 37193u}, {10000, 39014u}, {14599, 56958u}};
  for (const auto& edge : kSingleEdges)
    EXPECT_EQ(mask::MakeRegionTolerance(edge.t).library, edge.library) << edge.t;
  for (int32_t t : {0, 1, 7, 8, 499, 500, 12345, 25000, 49999, 50000}) {
    const mask::RegionTolerance r = mask::MakeRegionTolerance(t);
    EXPECT_EQ(r.library, uint32_t(std::trunc(float(t) * 0.00002f * 195075.0f))) << t;
    EXPECT_EQ(r.percent, t / 500);
    EXPECT_DOUBLE_EQ(r.fraction, t * 0.00002);
  }
  EXPECT_EQ(mask::MakeRegionTolerance(50000).library, 195075u);
  EXPECT_EQ(mask::MakeRegionTolerance(-5).library, 0u);
  EXPECT_EQ(mask::MakeRegionTolerance(90000).library, 195075u);
  EXPECT_EQ(mask::AmountFromPercent(100), 255);
  EXPECT_EQ(mask::AmountFromPercent(50), 127);
  EXPECT_EQ(mask::AmountFromPercent(0), 0);
  EXPECT_EQ(mask::AmountFromPercent(250), 255);
  EXPECT_EQ(mask::LibraryColourFromPicked(0x80112233), 0x332211u);
}

TEST_F(RegionFill, FloodMapPainterTakesOnlyMarksOfExactlyOne) {
  std::vector<uint8_t> image(kW * kH * 4, 9), map(kW * kH, 0);
  map[0] = 1, map[5] = 2, map[kW * kH - 1] = 1;
  PMR_ColorRGBA32FromFloodMask(image.data(), map.data(), 1, 2, 3, 4);
  for (int i = 0; i < kW * kH; ++i) {
    const bool painted = i == 0 || i == kW * kH - 1;
    const uint8_t expected[4] = {uint8_t(painted ? 1 : 9), uint8_t(painted ? 2 : 9),
                                 uint8_t(painted ? 3 : 9), uint8_t(painted ? 4 : 9)};
    ASSERT_EQ(std::memcmp(&image[i * 4], expected, 4), 0) << i;
  }
  PMR_ColorRGBA32FromFloodMask(nullptr, map.data(), 1, 2, 3, 4);
  PMR_ColorRGBA32FromFloodMask(image.data(), nullptr, 1, 2, 3, 4);
}

}  // namespace
