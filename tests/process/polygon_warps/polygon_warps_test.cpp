// The polygon warps against models worked out here: the content corners as targets give the
// picture back, whole-pixel moves and mirrors move pixels exactly, the uncovered area becomes
// transparent, and layers with no content or targets with no area change nothing.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "imaging/polygon_warp.h"
#include "support/engine_fixture.h"

namespace {

constexpr int kW = 23, kH = 16;

std::vector<uint8_t> Noise(int w, int h, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> px(size_t(w) * h * 4);
  for (uint8_t& b : px) b = uint8_t(rng());
  return px;
}

TEST(PolygonWarpImage, CornersOntoThemselvesAreTheIdentity) {
  const auto src = Noise(kW, kH, 2);
  const double quad[] = {3, 2, 19, 4, 21, 15, 1, 13};
  for (uint32_t count : {3u, 4u}) {
    std::vector<uint8_t> out(src.size(), 7);
    ASSERT_TRUE(imaging::is5_PolygonWarpImage(src.data(), kW, kH, 4, kW * 4, out.data(), kW * 4,
                                              quad, quad, count, 1, 0));
    EXPECT_EQ(out, src) << count;
  }
  // Points in a line, non-finite points and unknown counts are refused, dst untouched.
  std::vector<uint8_t> out(src.size(), 7);
  const double line[] = {0, 0, 5, 5, 10, 10, 2, 9};
  const double bad[] = {0, 0, 5, 0, 5, std::nan(""), 0, 5};
  EXPECT_FALSE(imaging::is5_PolygonWarpImage(src.data(), kW, kH, 4, kW * 4, out.data(), kW * 4,
                                             quad, line, 4, 1, 0));
  EXPECT_FALSE(imaging::is5_PolygonWarpImage(src.data(), kW, kH, 4, kW * 4, out.data(), kW * 4, bad,
                                             quad, 4, 1, 0));
  EXPECT_FALSE(imaging::is5_PolygonWarpImage(src.data(), kW, kH, 4, kW * 4, out.data(), kW * 4,
                                             quad, quad, 5, 1, 0));
  EXPECT_EQ(out, std::vector<uint8_t>(src.size(), 7));
}

class PolygonWarps : public palmora_test::EngineTest {
 protected:
  // Content in the box (4, 3)..(17, 12) inclusive, opaque; transparent elsewhere.
  void SetUp() override {
    EngineTest::SetUp();
    MakeCanvas(kW, kH);
    std::mt19937 rng(4);
    std::vector<uint16_t> px(size_t(kW) * kH * 4, 0);
    for (int y = 3; y <= 12; ++y)
      for (int x = 4; x <= 17; ++x)
        for (int c = 0; c < 4; ++c)
          px[(y * kW + x) * 4 + c] = c == 3 ? 0xFF00 : uint16_t(rng() & 0xFF00);
    palmora_test::WriteLayer(2, px);
    PMR_IPLAllocSrcBuffer32();
    PMR_IPLAllocDstBuffer32();
  }
  static std::vector<uint8_t> Layer32() {
    std::vector<uint8_t> out(size_t(kW) * kH * 4);
    EXPECT_EQ(PMR_GetRGBA32Layer(out.data(), kW * 4, 2), 1);
    return out;
  }
  static void Run(const char* name, std::vector<int> sliders, std::vector<int> options) {
    sliders.resize(6, 500);
    options.resize(8, 0);
    PMR_IPLImageProcess(0, name, 0, sliders[0], sliders[1], sliders[2], sliders[3], sliders[4],
                        sliders[5], options[0], options[1], options[2], options[3], options[4],
                        options[5], options[6], options[7], 10, 20, 30, nullptr);
  }
};

TEST_F(PolygonWarps, NeutralSettingsKeepTheLayer) {
  const auto before = Layer32();
  for (const char* name : {"Perspective", "Warp", "Warp 3 Point", "Stretch", "Vertical Pivot",
                           "Horizontal Pivot", "Skew"}) {
    Run(name, {}, {});
    EXPECT_EQ(Layer32(), before) << name;
  }
}

TEST_F(PolygonWarps, WholePixelMovesAndMirrorsArePixelExact) {
  const auto before = Layer32();
  // Warp 3 Point moving every corner by (+3, -2) shifts the content; the rest is transparent.
  Run("Warp 3 Point", {}, {3, -2, 3, -2, 3, -2});
  const auto moved = Layer32();
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const int sx = x - 3, sy = y + 2;
      const bool inside = sx >= 4 && sx <= 17 && sy >= 3 && sy <= 12;
      const uint8_t* got = &moved[(y * kW + x) * 4];
      if (inside) {
        for (int c = 0; c < 4; ++c)
          ASSERT_EQ(got[c], before[(sy * kW + sx) * 4 + c]) << x << "," << y;
      } else {
        ASSERT_EQ(got[3], 0) << x << "," << y;
      }
    }
  // Warp Edge with the left and right canvas corners swapped mirrors the content box across the
  // whole canvas: content column 4 + i lands on canvas column kW - 1 - round(i x kW / 14).
  palmora_test::WriteLayer(2, std::vector<uint16_t>(size_t(kW) * kH * 4, 0));
  std::vector<uint16_t> full(size_t(kW) * kH * 4);
  std::mt19937 rng(9);
  for (size_t i = 0; i < full.size(); ++i) full[i] = i % 4 == 3 ? 0xFF00 : uint16_t(rng() & 0xFF00);
  palmora_test::WriteLayer(2, full);
  const auto whole = Layer32();
  Run("Warp Edge", {}, {kW, 0, -kW, 0, -kW, 0, kW, 0});
  const auto mirrored = Layer32();
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      for (int c = 0; c < 4; ++c)
        ASSERT_EQ(mirrored[(y * kW + x) * 4 + c], whole[(y * kW + kW - 1 - x) * 4 + c])
            << x << "," << y;
}

TEST_F(PolygonWarps, NoContentOrNoAreaChangesNothing) {
  const auto before = palmora_test::ReadLayer(2);
  // All four corners onto one point.
  Run("Warp Edge", {}, {0, 0, -kW, 0, -kW, -kH, 0, -kH});
  EXPECT_EQ(palmora_test::ReadLayer(2), before);
  const std::vector<uint16_t> empty(size_t(kW) * kH * 4, 0);
  palmora_test::WriteLayer(2, empty);
  for (const char* name : {"Perspective", "Stretch Edge", "Skew"}) {
    Run(name, {800, 300}, {});
    EXPECT_EQ(palmora_test::ReadLayer(2), empty) << name;
  }
}

}  // namespace
