// The generators' paint layer against plain models: laying paint down row by row gives what the
// per-pixel rule gives, discs and rings cover exactly the pixels their distance says (whatever
// the layer skips to be quick), and every generator paints the same picture whether its rows
// run on one thread or several.
#include <gtest/gtest.h>

#include <opencv2/core.hpp>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "imaging/picture_script.h"
#include "imaging/script/paint_layer.h"

namespace {

using imaging::script::MixMode;
using imaging::script::PaintLayer;
using imaging::script::Rgb;
using Pixels = std::vector<uint8_t>;

TEST(ScriptPaintLayer, RowLayDownMatchesThePixelRuleInEveryMode) {
  std::mt19937 random(17);
  // Opaque paint is copied in normal painting and Replace: every paint byte over every picture
  // byte and alpha, against the rule itself.
  for (MixMode mode : {MixMode::kNormal, MixMode::kReplace}) {
    for (int paint = 0; paint < 256; ++paint)
      for (int alpha = 0; alpha < 256; ++alpha) {
        Pixels row(256 * 4), expected(256 * 4), layer(256 * 4);
        for (int d = 0; d < 256; ++d) {
          const uint8_t under[4] = {uint8_t(d), uint8_t(255 - d), uint8_t(d * 7), uint8_t(alpha)};
          const uint8_t over[4] = {uint8_t(paint), uint8_t(255 - paint), uint8_t(paint ^ d), 255};
          std::copy(under, under + 4, &row[d * 4]);
          std::copy(under, under + 4, &expected[d * 4]);
          std::copy(over, over + 4, &layer[d * 4]);
          imaging::script::LayPixel(&expected[d * 4], over, mode);
        }
        imaging::script::LayRow(row.data(), layer.data(), 256, mode);
        ASSERT_EQ(row, expected) << "mode " << int(mode) << " paint " << paint << " alpha "
                                 << alpha;
      }
  }
  // Every mode over random pictures with paint of every kind of alpha, and over no paint.
  for (uint32_t m = 0; m < imaging::script::kMixModeCount; ++m) {
    const MixMode mode = static_cast<MixMode>(m);
    Pixels row(4096 * 4), layer(4096 * 4);
    for (auto& v : row) v = uint8_t(random());
    for (size_t i = 0; i < layer.size(); i += 4) {
      const int kind = int(random() % 4);
      const uint8_t a = kind == 0 ? 0 : kind == 1 ? 255 : uint8_t(random());
      // Premultiplied: no channel above the alpha.
      for (int c = 0; c < 3; ++c) layer[i + c] = a ? uint8_t(random() % (a + 1u)) : 0;
      layer[i + 3] = a;
    }
    Pixels expected = row, bare = row, bareExpected = row;
    for (size_t i = 0; i < row.size(); i += 4) {
      imaging::script::LayPixel(&expected[i], &layer[i], mode);
      const uint8_t nothing[4] = {0, 0, 0, 0};
      imaging::script::LayPixel(&bareExpected[i], nothing, mode);
    }
    imaging::script::LayRow(row.data(), layer.data(), 4096, mode);
    imaging::script::LayRow(bare.data(), nullptr, 4096, mode);
    EXPECT_EQ(row, expected) << "mode " << m;
    EXPECT_EQ(bare, bareExpected) << "mode " << m;
  }
}

struct RingShape {
  double cx, cy, radius, halfWidth;
  Rgb colour;
  float opacity;
};

// The layer a list of discs and rings paints, worked out pixel by pixel over the whole picture:
// coverage is how far the pixel's centre lies inside the edge, at most one.
Pixels ReferenceRings(const std::vector<RingShape>& shapes, uint32_t w, uint32_t h) {
  Pixels layer(size_t{w} * h * 4, 0);
  for (const RingShape& s : shapes)
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x) {
        const double distance = std::hypot(x + 0.5 - s.cx, y + 0.5 - s.cy);
        const double inside = s.halfWidth + 0.5 - std::fabs(distance - s.radius);
        const float c = static_cast<float>(std::min(1.0, std::max(0.0, inside)));
        if (c > 0)
          imaging::script::BlendPixel(&layer[(size_t{y} * w + x) * 4], s.colour, c * s.opacity);
      }
  return layer;
}

// The layer's bytes, read back by laying it onto a transparent picture by Replace: painted
// pixels come back unpremultiplied, unpainted ones as zero.
Pixels Replaced(const Pixels& layer, uint32_t w, uint32_t h) {
  Pixels picture(size_t{w} * h * 4, 0);
  for (size_t i = 0; i < picture.size(); i += 4)
    imaging::script::LayPixel(&picture[i], &layer[i], MixMode::kReplace);
  return picture;
}

TEST(ScriptPaintLayer, DiscsAndRingsCoverThePixelsTheirDistanceSays) {
  constexpr uint32_t w = 150, h = 131;  // more than two tiles each way, neither a whole number
  std::mt19937 random(5);
  std::uniform_real_distribution<double> unit(0, 1);
  std::vector<RingShape> shapes = {
      {75.5, 65.5, 0, 0.3, {200, 10, 10}, 1.0f},        // smaller than a pixel
      {10.25, 10.75, 0, 9.4, {10, 200, 10}, 0.92f},     // a leaf, translucent
      {-3.5, 60.2, 0, 20, {10, 10, 200}, 1.0f},         // half off the left edge
      {140.3, 125.9, 0, 33.3, {90, 90, 30}, 0.6f},      // over the corner
      {70.1, 60.7, 40.5, 2.25, {250, 250, 250}, 0.8f},  // a ring about the middle
      {64.0, 64.0, 0, 63.5, {30, 60, 90}, 0.3f},        // on the tile corner, covering much
  };
  for (int i = 0; i < 60; ++i)
    shapes.push_back(
        {unit(random) * 170 - 10,
         unit(random) * 150 - 10,
         i % 3 == 0 ? unit(random) * 30 : 0,
         0.2 + unit(random) * 25,
         {float(unit(random) * 255), float(unit(random) * 255), float(unit(random) * 255)},
         float(0.2 + unit(random) * 0.8)});
  PaintLayer layer(w, h);
  for (const RingShape& s : shapes)
    if (s.radius == 0)
      layer.Disc(s.cx, s.cy, s.halfWidth, s.colour, s.opacity);
    else
      layer.Ring(s.cx, s.cy, s.radius, s.halfWidth, s.colour, s.opacity);
  Pixels painted(size_t{w} * h * 4, 0);
  layer.LayOnto({painted.data(), w, h}, MixMode::kReplace);
  const Pixels expected = Replaced(ReferenceRings(shapes, w, h), w, h);
  for (size_t i = 0; i < painted.size(); i += 4)
    for (int c = 0; c < 4; ++c)
      ASSERT_EQ(painted[i + c], expected[i + c])
          << "pixel " << (i / 4) % w << ", " << (i / 4) / w << " channel " << c;
}

TEST(ScriptGenerators, PaintTheSamePictureOnOneThreadAsOnSeveral) {
  // Neither side a whole number of tiles, so that bands and tiles end part-way.
  constexpr uint32_t w = 333, h = 211;
  const int threads = cv::getNumThreads();
  for (uint32_t id : {1u, 2u, 3u, 4u, 5u, 11u, 20u, 21u, 24u, 37u, 42u, 43u, 55u, 58u, 59u}) {
    Pixels pictures[2];
    for (int run = 0; run < 2; ++run) {
      cv::setNumThreads(run == 0 ? 1 : 4);
      pictures[run].assign(size_t{w} * h * 4, 0);
      for (size_t i = 0; i < pictures[run].size(); ++i) pictures[run][i] = uint8_t(i * 31 / 7);
      ASSERT_TRUE(imaging::ISL_Initialize() && imaging::ISL_AddEffect(id, 1) &&
                  imaging::ISL_SetEffectValue(0, 0, 11) &&
                  imaging::ISL_ExecuteScriptOnImage(pictures[run].data(), w, h))
          << id;
      imaging::ISL_Finish();
    }
    cv::setNumThreads(threads);
    EXPECT_EQ(pictures[0], pictures[1]) << "effect " << id;
  }
}

}  // namespace
