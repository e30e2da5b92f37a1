// The warp sampler's four-byte path against its one-byte path run on each channel alone, the
// polygon warps' averaging where they shrink, the edge folds' last position, and rows traced at
// once against points traced alone.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "imaging/polygon_warp.h"
#include "imaging/transform_kinds.h"
#include "imaging/transforms.h"
#include "imaging/warp_sampler.h"

namespace {

// A smooth mapping that turns, shears and scales by up to six times (so footprints from
// magnified to a full 4 x 4 grid), centred so that part of it reads beyond the borders.
struct Mapping {
  double scaleX, scaleY, shear, turn, cx, cy;
  void operator()(uint32_t y, uint32_t width, double* xs, double* ys) const {
    for (uint32_t x = 0; x < width; ++x) {
      const double u = (x + 0.5 - 20) * scaleX + (y + 0.5 - 15) * shear;
      const double v = (y + 0.5 - 15) * scaleY;
      xs[x] = cx + u * std::cos(turn) - v * std::sin(turn);
      ys[x] = cy + u * std::sin(turn) + v * std::cos(turn);
    }
  }
};

// Four-channel pixels give, channel by channel, what one-channel pictures of each channel give:
// the packed path and the general path agree on every tap, footprint and border rule.
TEST(WarpSampling, FourChannelPixelsMatchEachChannelAlone) {
  constexpr uint32_t w = 41, h = 29;
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> scale(0.3, 6.0), shear(-1.5, 1.5), turn(-3.2, 3.2),
      centre(-5.0, 45.0);
  std::vector<uint8_t> rgba(size_t{w} * h * 4);
  for (uint8_t& b : rgba) b = uint8_t(rng());
  const uint8_t fill[4] = {200, 17, 99, 255};
  for (auto outside : {imaging::WarpSource::kSoftFill, imaging::WarpSource::kHardFill,
                       imaging::WarpSource::kRepeat})
    for (int trial = 0; trial < 12; ++trial) {
      const Mapping map{scale(rng), scale(rng), shear(rng), turn(rng), centre(rng), centre(rng)};
      auto mapRow = [&](uint32_t y, double* xs, double* ys) { map(y, w, xs, ys); };
      std::vector<uint8_t> packed(rgba.size());
      const imaging::WarpSource four{
          rgba.data(), w, h, 4, w * 4, outside, {fill[0], fill[1], fill[2], fill[3]}};
      imaging::WarpByRows(four, packed.data(), w * 4, 1, mapRow);
      for (uint32_t c = 0; c < 4; ++c) {
        std::vector<uint8_t> plane(size_t{w} * h), out(plane.size());
        for (size_t i = 0; i < plane.size(); ++i) plane[i] = rgba[i * 4 + c];
        const imaging::WarpSource one{plane.data(), w, h, 1, w, outside, {fill[c], 0, 0, 0}};
        imaging::WarpByRows(one, out.data(), w, 1, mapRow);
        for (size_t i = 0; i < out.size(); ++i)
          ASSERT_EQ(packed[i * 4 + c], out[i])
              << "outside " << outside << " trial " << trial << " channel " << c << " pixel "
              << i % w << "," << i / w;
      }
    }
}

// A one-pixel checkerboard drawn onto a square a quarter its side averages to mid grey; plain
// bilinear reading would land on single squares and keep black and white. Pixels outside the
// target keep what dst held.
TEST(WarpSampling, PolygonWarpsAverageWhereTheyShrink) {
  constexpr uint32_t side = 64;
  std::vector<uint8_t> board(size_t{side} * side * 4);
  for (uint32_t y = 0; y < side; ++y)
    for (uint32_t x = 0; x < side; ++x)
      for (uint32_t c = 0; c < 4; ++c)
        board[(size_t{y} * side + x) * 4 + c] = c == 3 ? 255 : (x + y) % 2 ? 255 : 0;
  const double from[] = {0, 0, side, 0, side, side, 0, side};
  const double square[] = {8, 8, 23, 8, 23, 23, 8, 23};
  // A mild perspective: the right side a little shorter than the left.
  const double trapezoid[] = {8, 8, 24, 9, 24, 23, 8, 24};
  for (const double* to : {square, trapezoid})
    for (uint32_t count : {3u, 4u}) {
      std::vector<uint8_t> out(board.size(), 7);
      ASSERT_TRUE(imaging::is5_PolygonWarpImage(board.data(), side, side, 4, side * 4, out.data(),
                                                side * 4, from, to, count, 1, 0));
      for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x) {
          const uint8_t* px = &out[(size_t{y} * side + x) * 4];
          if (x >= 10 && x < 21 && y >= 10 && y < 21) {
            for (uint32_t c = 0; c < 3; ++c)
              ASSERT_NEAR(px[c], 127.5, 24) << x << "," << y << " count " << count;
            ASSERT_EQ(px[3], 255);
          } else if (x < 7 || y < 7 || x >= 25 || y >= 25) {
            ASSERT_EQ(px[0], 7) << x << "," << y;
          }
        }
    }
}

// Repeat and mirror folds end on the last double below the frame's size, never on the size.
TEST(WarpSampling, FoldsStayInsideTheFrame) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> size(0.5, 5000), past(0, 1e4);
  for (int i = 0; i < 1000; ++i) {
    const double s = size(rng), u = s + past(rng);
    EXPECT_EQ(imaging::FoldIntoFrame(u, s, imaging::kEdgeRepeat), std::nextafter(s, 0.0));
    const double m = imaging::FoldIntoFrame(-u, s, imaging::kEdgeMirror);
    const double wrapped = imaging::FoldIntoFrame(-u, s, imaging::kEdgeWrap);
    EXPECT_TRUE(m >= 0 && m < s && wrapped >= 0 && wrapped < s) << s << " " << u;
  }
  EXPECT_EQ(imaging::FoldIntoFrame(2048, 2048, imaging::kEdgeMirror), std::nextafter(2048.0, 0.0));
}

}  // namespace

namespace {

// Rows traced in one go (where the trigonometric kinds work two positions at a time) land on the
// very doubles that tracing each point alone gives, for every kind and edge mode, in rows of
// odd and even length and with points far from the centre.
TEST(WarpSampling, RowsTraceLikeSinglePoints) {
  using Add = std::function<int32_t(uint32_t, uint32_t)>;
  constexpr uint32_t w = 301, h = 211;
  const Add kinds[] = {
      [](uint32_t e, uint32_t) {
        return imaging::is5_AddSpinTransform(w, h, 140.3, 90.7, 120, 250, e);
      },
      [](uint32_t e, uint32_t) {
        return imaging::is5_AddSpinWaveTransform(w, h, 33, 170, 41, -35, e);
      },
      [](uint32_t e, uint32_t) {
        return imaging::is5_AddRippleTransform(w, h, 160, 10, 23, 7, 30, e);
      },
      [](uint32_t e, uint32_t) { return imaging::is5_AddWaveTransform(w, h, 37, 9, 123, 45, e); },
      [](uint32_t e, uint32_t) {
        return imaging::is5_AddWowTransform(w, h, 150, 100, 7, 0.4, 20, e);
      },
      [](uint32_t e, uint32_t) {
        return imaging::is5_AddLensTransform(w, h, 150, 100, 90, -0.6, e);
      },
      [](uint32_t e, uint32_t) {
        return imaging::is5_AddPinchTransform(w, h, 20, 190, 260, 0.7, e);
      },
      [](uint32_t e, uint32_t) { return imaging::is5_AddEllipticalTransform(w, h, 0.8, e); },
      [](uint32_t e, uint32_t) { return imaging::is5_AddMarbleTransform(w, h, 80, 12, 5, e); },
      [](uint32_t e, uint32_t) { return imaging::is5_AddZigZagTransform(w, h, 30, 6, 44, 3, e); },
      [](uint32_t e, uint32_t) { return imaging::is5_AddOffsetTransform(w, h, 57.25, -300.5, e); },
  };
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> place(-400, 700);
  for (size_t k = 0; k < std::size(kinds); ++k)
    for (uint32_t edge = 0; edge <= imaging::kEdgeMirror; ++edge) {
      imaging::is5_ClearAllTransforms();
      ASSERT_TRUE(kinds[k](edge, 0)) << k;
      // A spin on top of each, so that the pairs also meet traced (not whole-number) positions.
      ASSERT_TRUE(imaging::is5_AddSpinTransform(w, h, 100, 60, 80, 45, edge));
      for (size_t count : {size_t{1}, size_t{2}, size_t{7}, size_t{64}}) {
        std::vector<double> xs(count), ys(count);
        for (size_t i = 0; i < count; ++i) xs[i] = place(rng), ys[i] = place(rng);
        std::vector<double> rowX = xs, rowY = ys;
        imaging::TraceRowThroughTransforms(rowX.data(), rowY.data(), count);
        for (size_t i = 0; i < count; ++i) {
          double x, y;
          ASSERT_TRUE(imaging::TracePointThroughTransforms(xs[i], ys[i], &x, &y));
          ASSERT_EQ(std::bit_cast<uint64_t>(rowX[i]), std::bit_cast<uint64_t>(x))
              << k << " " << edge;
          ASSERT_EQ(std::bit_cast<uint64_t>(rowY[i]), std::bit_cast<uint64_t>(y))
              << k << " " << edge;
        }
      }
    }
  imaging::is5_ClearAllTransforms();
}

}  // namespace

namespace {

// Pictures one pixel wide or high, and rows too short for the paired paths, warp without reading
// or writing outside their buffers (the sanitizer build watches), and an identity gives them back.
TEST(WarpSampling, TinyPicturesWarpInsideTheirBuffers) {
  for (auto [w, h] : {std::pair{1u, 1u}, {1u, 5u}, {5u, 1u}, {2u, 2u}, {3u, 7u}}) {
    std::vector<uint8_t> src(size_t{w} * h * 4);
    for (size_t i = 0; i < src.size(); ++i) src[i] = uint8_t(i * 37 + 11);
    for (uint32_t edge = 0; edge <= imaging::kEdgeMirror; ++edge) {
      imaging::is5_ClearAllTransforms();
      ASSERT_TRUE(imaging::is5_AddSpinTransform(w, h, w / 2.0, h / 2.0, 3, 200, edge));
      ASSERT_TRUE(imaging::is5_AddEllipticalTransform(w, h, 1, edge));
      ASSERT_TRUE(imaging::is5_AddLensTransform(w, h, 0.5, 0.5, 4, 0.9, edge));
      ASSERT_TRUE(imaging::is5_AddRippleTransform(w, h, 0, 0, 1.5, 3, 0, edge));
      std::vector<uint8_t> out(src.size());
      for (uint32_t quality : {0u, 1u})
        ASSERT_TRUE(imaging::is5_TransformProcess(src.data(), w, h, 4, w * 4, out.data(), w * 4,
                                                  quality, 0xFF00FF00u, 0));
    }
    const double box[] = {0, 0, double(w), 0, double(w), double(h), 0, double(h)};
    const double shrunk[] = {0.2, 0.1, w * 0.5, 0, double(w), h * 0.7, 0, double(h)};
    for (const double* to : {box, shrunk}) {
      std::vector<uint8_t> out(src.size(), 9);
      ASSERT_TRUE(imaging::is5_PolygonWarpImage(src.data(), w, h, 4, w * 4, out.data(), w * 4, box,
                                                to, 4, 1, 0));
      if (to == box) {
        EXPECT_EQ(out, src) << w << "x" << h;
      }
    }
  }
  imaging::is5_ClearAllTransforms();
}

}  // namespace
