// The distortions of the transform list against models worked out here: neutral settings change
// nothing, known points land where each distortion's formula puts them, shrinking mappings
// average their footprint, and bad numbers are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "imaging/transforms.h"
#include "imaging/warp_sampler.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr uint32_t kW = 40, kH = 30;

std::vector<uint8_t> Noise(uint32_t w, uint32_t h, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> px(size_t{w} * h * 4);
  for (uint8_t& b : px) b = uint8_t(rng());
  return px;
}

std::vector<uint8_t> Process(const std::vector<uint8_t>& src, uint32_t w, uint32_t h,
                             uint32_t fill = 0) {
  std::vector<uint8_t> out(src.size(), 0x5A);
  EXPECT_TRUE(
      imaging::is5_TransformProcess(src.data(), w, h, 4, w * 4, out.data(), w * 4, 1, fill, 0));
  return out;
}

// Each distortion at its neutral setting, with every edge mode, hands back the picture unchanged.
TEST(Distortions, NeutralSettingsAreTheIdentity) {
  const auto src = Noise(kW, kH, 1);
  const double cx = 17.3, cy = 11.9;
  const std::function<int32_t(uint32_t)> neutral[] = {
      [&](uint32_t e) { return imaging::is5_AddSpinTransform(kW, kH, cx, cy, 25, 0, e); },
      [&](uint32_t e) { return imaging::is5_AddPinchTransform(kW, kH, cx, cy, 25, 0, e); },
      [&](uint32_t e) { return imaging::is5_AddLensTransform(kW, kH, cx, cy, 25, 0, e); },
      [&](uint32_t e) { return imaging::is5_AddEllipticalTransform(kW, kH, 0, e); },
      [&](uint32_t e) { return imaging::is5_AddRippleTransform(kW, kH, cx, cy, 9, 0, 40, e); },
      [&](uint32_t e) { return imaging::is5_AddSpinWaveTransform(kW, kH, cx, cy, 9, 0, e); },
      [&](uint32_t e) { return imaging::is5_AddWaveTransform(kW, kH, 9, 0, 30, 10, e); },
      [&](uint32_t e) { return imaging::is5_AddWowTransform(kW, kH, cx, cy, 5, 0, 10, e); },
      [&](uint32_t e) { return imaging::is5_AddZigZagTransform(kW, kH, 9, 0, 7, 0, e); },
      [&](uint32_t e) { return imaging::is5_AddMarbleTransform(kW, kH, 12, 0, 4, e); },
      [&](uint32_t e) { return imaging::is5_AddOffsetTransform(kW, kH, 0, 0, e); },
  };
  for (size_t k = 0; k < std::size(neutral); ++k)
    for (uint32_t edge :
         {imaging::kEdgeFill, imaging::kEdgeWrap, imaging::kEdgeRepeat, imaging::kEdgeMirror}) {
      imaging::is5_ClearAllTransforms();
      ASSERT_TRUE(neutral[k](edge)) << k;
      EXPECT_EQ(Process(src, kW, kH, 0xFF0000FF), src) << "distortion " << k << " edge " << edge;
    }
}

// Where each distortion's inverse mapping sends chosen points, against its formula written out
// in polar or plain terms here.
TEST(Distortions, KnownPointsLandWhereTheFormulaSays) {
  const double cx = 20, cy = 15, big = 1e6;  // frames large enough that no edge mode folds
  struct Case {
    const char* name;
    std::function<int32_t()> add;
    double x, y, sx, sy;
  };
  // A point at distance r and angle a (radians, y down) from the centre.
  auto polar = [&](double r, double a, double* x, double* y) {
    *x = cx + r * std::cos(a), *y = cy + r * std::sin(a);
  };
  std::vector<Case> cases;
  auto add = [&](const char* name, std::function<int32_t()> f, double x, double y, double sx,
                 double sy) {
    cases.push_back({name, std::move(f), x, y, sx, sy});
  };
  double sx, sy;
  // Spin 90 degrees within radius 12: halfway out the turn is 90 x (1/2)^2, read anticlockwise.
  polar(6, -22.5 * kPi / 180, &sx, &sy);
  add(
      "spin", [&] { return imaging::is5_AddSpinTransform(big, big, cx, cy, 12, 90, 0); }, cx + 6,
      cy, sx, sy);
  // Beyond the radius nothing turns.
  add(
      "spin outside", [&] { return imaging::is5_AddSpinTransform(big, big, cx, cy, 12, 90, 0); },
      cx, cy + 13, cx, cy + 13);
  // Pinch at full strength: source radius = R x d^(2^-1.5).
  add(
      "pinch", [&] { return imaging::is5_AddPinchTransform(big, big, cx, cy, 16, 1, 0); }, cx,
      cy - 4, cx, cy - 16 * std::pow(0.25, std::pow(2, -1.5)));
  // A full lens: source radius = R x asin(d) x 2 / pi; a full shrink: R x sin(d x pi / 2).
  polar(16 * std::asin(0.5) * 2 / kPi, 0.7, &sx, &sy);
  double lx, ly;
  polar(8, 0.7, &lx, &ly);
  add(
      "lens", [&] { return imaging::is5_AddLensTransform(big, big, cx, cy, 16, 1, 0); }, lx, ly, sx,
      sy);
  polar(16 * std::sin(0.5 * kPi / 2), 0.7, &sx, &sy);
  add(
      "lens shrink", [&] { return imaging::is5_AddLensTransform(big, big, cx, cy, 16, -1, 0); }, lx,
      ly, sx, sy);
  // Ripple, wavelength 8, amplitude 2, phase 90: at r = 10 (past the first wavelength) the source
  // radius is 10 + 2 sin(2 pi 10 / 8 + pi / 2).
  add(
      "ripple", [&] { return imaging::is5_AddRippleTransform(big, big, cx, cy, 8, 2, 90, 0); },
      cx - 10, cy, cx - (10 + 2 * std::sin(2 * kPi * 10 / 8 + kPi / 2)), cy);
  // Spin wave: the ring at r = 5 turns by 30 sin(2 pi 5 / 20) degrees.
  polar(5, -30 * std::sin(2 * kPi * 5 / 20) * kPi / 180, &sx, &sy);
  add(
      "spin wave", [&] { return imaging::is5_AddSpinWaveTransform(big, big, cx, cy, 20, 30, 0); },
      cx + 5, cy, sx, sy);
  // A wave running downward (90 degrees) moves positions sideways by -3 sin(2 pi y / 10).
  add(
      "wave", [&] { return imaging::is5_AddWaveTransform(big, big, 10, 3, 90, 0, 0); }, 7, 2.5,
      7 - 3 * std::sin(2 * kPi * 2.5 / 10), 2.5);
  // Wow with 4 lobes: the radius at angle a scales by 1 + 0.5 sin(4a).
  polar(6 * (1 + 0.5 * std::sin(4 * 0.3)), 0.3, &sx, &sy);
  polar(6, 0.3, &lx, &ly);
  add(
      "wow", [&] { return imaging::is5_AddWowTransform(big, big, cx, cy, 4, 0.5, 0, 0); }, lx, ly,
      sx, sy);
  // Zig-zag: a quarter period down the rows shifts a whole amplitude sideways.
  add(
      "zig zag", [&] { return imaging::is5_AddZigZagTransform(big, big, 40, 5, 12, 0, 0); }, 9, 3,
      14, 3);
  // Elliptical at full strength: the ellipse's 45 degree point shows the frame's corner, its
  // middle the middle.
  add(
      "elliptical corner",
      [&] { return imaging::is5_AddEllipticalTransform(40, 30, 1, imaging::kEdgeFill); },
      20 + 20 / std::sqrt(2.0), 15 + 15 / std::sqrt(2.0), 40, 30);
  add(
      "elliptical middle",
      [&] { return imaging::is5_AddEllipticalTransform(40, 30, 1, imaging::kEdgeFill); }, 20, 15,
      20, 15);
  for (const Case& c : cases) {
    imaging::is5_ClearAllTransforms();
    ASSERT_TRUE(c.add()) << c.name;
    double x, y;
    ASSERT_TRUE(imaging::TracePointThroughTransforms(c.x, c.y, &x, &y));
    EXPECT_NEAR(x, c.sx, 1e-3) << c.name;
    EXPECT_NEAR(y, c.sy, 1e-3) << c.name;
  }
}

// A mapping that shrinks four times over a one-pixel checkerboard averages each footprint to
// mid grey; reading single points would give only black and white.
TEST(Distortions, ShrinkingMappingsAverageTheirFootprint) {
  const uint32_t side = 64;
  std::vector<uint8_t> board(size_t{side} * side);
  for (uint32_t y = 0; y < side; ++y)
    for (uint32_t x = 0; x < side; ++x) board[y * side + x] = (x + y) % 2 ? 255 : 0;
  std::vector<uint8_t> out(size_t{side} * side);
  const imaging::WarpSource source{
      board.data(), side, side, 1, side, imaging::WarpSource::kRepeat, {}};
  imaging::WarpByRows(source, out.data(), side, 1, [&](uint32_t y, double* xs, double* ys) {
    for (uint32_t x = 0; x < side; ++x) xs[x] = (x + 0.5) * 4, ys[x] = (y + 0.5) * 4;
  });
  // The first 15 rows and columns map inside the board.
  for (uint32_t y = 0; y < 15; ++y)
    for (uint32_t x = 0; x < 15; ++x) ASSERT_NEAR(out[y * side + x], 127.5, 1.0) << x << "," << y;
}

// Half-pixel moves blend each pixel with its neighbour, and at the border with the fill or with
// the border pixel itself, depending on the edge mode; 1, 3 and 4 byte pixels alike.
TEST(Distortions, HalfPixelMovesBlendNeighboursAndTheBorder) {
  const uint32_t fill = 0x50403020;
  for (uint32_t bpp : {1u, 3u, 4u})
    for (uint32_t edge : {imaging::kEdgeFill, imaging::kEdgeRepeat}) {
      std::mt19937 rng(bpp + edge);
      std::vector<uint8_t> src(size_t{kW} * kH * bpp);
      for (uint8_t& b : src) b = uint8_t(rng());
      std::vector<uint8_t> out(src.size());
      imaging::is5_ClearAllTransforms();
      ASSERT_TRUE(imaging::is5_AddOffsetTransform(kW, kH, 0.5, -0.5, edge));
      ASSERT_TRUE(imaging::is5_TransformProcess(src.data(), kW, kH, bpp, kW * bpp, out.data(),
                                                kW * bpp, 1, fill, 0));
      // Pixel (x, y) reads position (x, y + 1) in pixel-centre terms shifted by half a pixel:
      // the mean of columns x - 1 and x of rows y and y + 1.
      auto at = [&](int x, int y, uint32_t c) -> int {
        if (x < 0 || y < 0 || x >= int(kW) || y >= int(kH)) {
          if (edge == imaging::kEdgeFill) return (fill >> (8 * c)) & 0xFF;
          x = std::clamp(x, 0, int(kW) - 1), y = std::clamp(y, 0, int(kH) - 1);
        }
        return src[(size_t(y) * kW + size_t(x)) * bpp + c];
      };
      for (int y = 0; y < int(kH); ++y)
        for (int x = 0; x < int(kW); ++x)
          for (uint32_t c = 0; c < bpp; ++c) {
            const int sum = at(x - 1, y, c) + at(x, y, c) + at(x - 1, y + 1, c) + at(x, y + 1, c);
            ASSERT_EQ(out[(size_t(y) * kW + size_t(x)) * bpp + c], (sum + 2) / 4)
                << "bpp " << bpp << " edge " << edge << " at " << x << "," << y;
          }
    }
}

TEST(Distortions, RefuseNumbersTheyCannotUse) {
  const double nan = std::nan("");
  imaging::is5_ClearAllTransforms();
  ASSERT_TRUE(imaging::is5_AddSpinTransform(kW, kH, 5, 5, 5, 10, 0));
  EXPECT_FALSE(imaging::is5_AddSpinTransform(kW, kH, 5, 5, 0, 10, 0));      // no radius
  EXPECT_FALSE(imaging::is5_AddSpinTransform(kW, kH, nan, 5, 5, 10, 0));    // centre not a number
  EXPECT_FALSE(imaging::is5_AddPinchTransform(kW, kH, 5, 5, 5, 1.5, 0));    // beyond full strength
  EXPECT_FALSE(imaging::is5_AddLensTransform(kW, kH, 5, 5, 5, 0.5, 4));     // unknown edge mode
  EXPECT_FALSE(imaging::is5_AddRippleTransform(kW, kH, 5, 5, 0, 2, 0, 0));  // no wavelength
  EXPECT_FALSE(imaging::is5_AddWaveTransform(kW, kH, -3, 2, 0, 0, 0));
  EXPECT_FALSE(imaging::is5_AddZigZagTransform(kW, kH, 4, 1, 0, 1, 0));
  EXPECT_FALSE(imaging::is5_AddWowTransform(kW, kH, 5, 5, 0, 0.5, 0, 0));  // no lobes
  EXPECT_FALSE(imaging::is5_AddWowTransform(kW, kH, 5, 5, 3, 1.0, 0, 0));  // folds over the centre
  EXPECT_FALSE(imaging::is5_AddMarbleTransform(kW, kH, 0, 5, 1, 0));
  EXPECT_FALSE(imaging::is5_AddEllipticalTransform(0, kH, 1, 0));
  // The list still holds the one spin: a point halfway out turns by 10 / 4 degrees.
  double x, y;
  ASSERT_TRUE(imaging::TracePointThroughTransforms(7.5, 5, &x, &y));
  EXPECT_NEAR(std::atan2(y - 5, x - 5) * 180 / kPi, -2.5, 1e-9);
}

}  // namespace
