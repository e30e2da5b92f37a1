// The contrast mask, the pen scribble and the picture-script emboss (effect 23): their pictures
// against what they promise, and refusals that leave the destination alone.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

#include "imaging/artistic_filters.h"
#include "imaging/contrast_mask.h"
#include "imaging/picture_script.h"
#include "imaging/scribble_bands.h"
#include "../support/photo_picture.h"

namespace {

std::vector<uint8_t> Flat(int w, int h, int bpp, uint8_t v, uint8_t alpha = 255) {
  std::vector<uint8_t> p(std::size_t(w) * h * bpp, v);
  if (bpp == 4)
    for (std::size_t i = 3; i < p.size(); i += 4) p[i] = alpha;
  return p;
}

double Mean(const std::vector<uint8_t>& rgb) {
  return std::accumulate(rgb.begin(), rgb.end(), 0.0) / double(rgb.size());
}

// The mask is the inverted grey: exact on flat ground (the blur has nothing to mix), alpha
// copied; across a step it falls monotonically from the dark side's value to the light side's.
TEST(ContrastMask, IsTheInvertedGreySoftened) {
  std::vector<uint8_t> flat = Flat(9, 5, 4, 0, 77);
  for (std::size_t i = 0; i < flat.size(); i += 4)
    flat[i] = 200, flat[i + 1] = 100, flat[i + 2] = 50;
  std::vector<uint8_t> out(flat.size());
  ASSERT_EQ(imaging::ISE40_ContrastMaskImage(flat.data(), 9, 5, 4, 36, out.data(), 36, 3.0), 1);
  const int grey = (77 * 200 + 150 * 100 + 29 * 50 + 128) >> 8;
  for (std::size_t i = 0; i < out.size(); i += 4) {
    ASSERT_EQ(out[i], 255 - grey);
    ASSERT_EQ(out[i + 1], 255 - grey);
    ASSERT_EQ(out[i + 2], 255 - grey);
    ASSERT_EQ(out[i + 3], 77);
  }

  const int w = 40;
  std::vector<uint8_t> step = Flat(w, 3, 3, 20);
  for (int y = 0; y < 3; ++y)
    for (int x = w / 2; x < w; ++x) std::fill_n(&step[(y * w + x) * 3], 3, uint8_t(220));
  ASSERT_EQ(imaging::ISE40_ContrastMaskImage(step.data(), w, 3, 3, w * 3, step.data(), w * 3, 4.0),
            1);
  EXPECT_EQ(step[3 * w + 0], 235);
  EXPECT_EQ(step[3 * w + (w - 1) * 3], 35);
  for (int x = 1; x < w; ++x) ASSERT_LE(step[3 * w + x * 3], step[3 * w + (x - 1) * 3]);
}

TEST(ContrastMask, RefusesBadArgumentsAndWritesNothing) {
  std::vector<uint8_t> src = Flat(4, 4, 4, 100), dst = Flat(4, 4, 4, 9);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(imaging::ISE40_ContrastMaskImage(src.data(), 4, 4, 4, 16, dst.data(), 16, nan), 0);
  EXPECT_EQ(imaging::ISE40_ContrastMaskImage(src.data(), 4, 4, 1, 16, dst.data(), 16, 2), 0);
  EXPECT_EQ(imaging::ISE40_ContrastMaskImage(src.data(), 4, 4, 4, 12, dst.data(), 16, 2), 0);
  EXPECT_EQ(imaging::ISE40_ContrastMaskImage(nullptr, 4, 4, 4, 16, dst.data(), 16, 2), 0);
  EXPECT_EQ(dst, Flat(4, 4, 4, 9));
}

// The scribble's ink follows the tones: white paper stays white, darker greys take more ink,
// black ink covers black ground nearly fully, and the same picture always gives the same
// drawing.
TEST(Scribble, InkFollowsTheTonesAndRepeats) {
  const int w = 64, h = 48;
  std::vector<uint8_t> out(std::size_t(w) * h * 3);
  std::vector<uint8_t> white = Flat(w, h, 3, 255);
  ASSERT_EQ(imaging::ISE3Scribble(white.data(), w, h, w * 3, out.data(), w * 3, 12, 0.5, 1), 1);
  EXPECT_EQ(out, white);

  double previous = 256;
  for (uint8_t grey : {200, 140, 80, 0}) {
    SCOPED_TRACE(int(grey));
    const std::vector<uint8_t> in = Flat(w, h, 3, grey);
    ASSERT_EQ(imaging::ISE3Scribble(in.data(), w, h, w * 3, out.data(), w * 3, 12, 0.5, 1), 1);
    const double mean = Mean(out);
    EXPECT_LT(mean, previous);
    // Tones come out near the picture's (the coverage model is a statistical one).
    EXPECT_NEAR(mean, grey, 45);
    previous = mean;
    std::vector<uint8_t> again(out.size());
    ASSERT_EQ(imaging::ISE3Scribble(in.data(), w, h, w * 3, again.data(), w * 3, 12, 0.5, 1), 1);
    EXPECT_EQ(again, out);
  }
}

// The scribbles are drawn band by band in parallel: any band height gives the drawing made in
// one piece, byte for byte, for small and large scribbles, both inks, and drawn over the source.
TEST(Scribble, BandsDoNotShow) {
  const int w = 120, h = 170;
  const std::vector<uint8_t> rgba = palmora_test::PhotoPicture(w, h, false);
  std::vector<uint8_t> in(std::size_t(w) * h * 3);
  for (std::size_t i = 0; i < std::size_t(w) * h; ++i)
    for (int c = 0; c < 3; ++c) in[i * 3 + c] = rgba[i * 4 + c];
  for (uint32_t span : {4u, 12u, 40u})
    for (uint32_t ink : {0u, 1u}) {
      SCOPED_TRACE("span " + std::to_string(span) + " ink " + std::to_string(ink));
      imaging::SetScribbleBandRowsForTesting(h);
      std::vector<uint8_t> whole(in.size());
      ASSERT_EQ(imaging::ISE3Scribble(in.data(), w, h, w * 3, whole.data(), w * 3, span, 0.7, ink),
                1);
      ASSERT_LT(Mean(whole), 250);  // the drawing has ink to compare
      for (int rows : {3, 50}) {
        imaging::SetScribbleBandRowsForTesting(rows);
        std::vector<uint8_t> banded(in.size()), over = in;
        ASSERT_EQ(
            imaging::ISE3Scribble(in.data(), w, h, w * 3, banded.data(), w * 3, span, 0.7, ink), 1);
        EXPECT_TRUE(banded == whole) << rows << " rows a band";
        ASSERT_EQ(
            imaging::ISE3Scribble(over.data(), w, h, w * 3, over.data(), w * 3, span, 0.7, ink), 1);
        EXPECT_TRUE(over == whole) << rows << " rows a band, over the source";
      }
    }
  imaging::SetScribbleBandRowsForTesting(0);
}

TEST(Scribble, RefusesBadArgumentsAndRunsOnThinPictures) {
  std::vector<uint8_t> src = Flat(5, 5, 3, 30), dst = Flat(5, 5, 3, 9);
  EXPECT_EQ(imaging::ISE3Scribble(src.data(), 5, 5, 15, dst.data(), 15, 12,
                                  std::numeric_limits<double>::infinity(), 0),
            0);
  EXPECT_EQ(imaging::ISE3Scribble(src.data(), 5, 5, 14, dst.data(), 15, 12, 0.5, 0), 0);
  EXPECT_EQ(imaging::ISE3Scribble(src.data(), 0, 5, 15, dst.data(), 15, 12, 0.5, 0), 0);
  EXPECT_EQ(dst, Flat(5, 5, 3, 9));
  for (auto [w, h] : {std::pair{1, 1}, {1, 9}, {9, 1}}) {
    std::vector<uint8_t> in = Flat(w, h, 3, 10), out(std::size_t(w) * h * 3);
    EXPECT_EQ(imaging::ISE3Scribble(in.data(), w, h, w * 3, out.data(), w * 3, 256, 1.0, 0), 1);
  }
}

// Runs script effect 23 with its depth, light direction and height, and look on a BGRA picture.
bool Emboss(std::vector<uint8_t>& bgra, int w, int h, double depth, double direction, double height,
            int look) {
  if (!imaging::ISL_Initialize()) return false;
  bool ok = imaging::ISL_AddEffect(23, 1) && imaging::ISL_SetEffectValue(0, 3, depth) &&
            imaging::ISL_SetEffectValue(0, 4, direction) &&
            imaging::ISL_SetEffectValue(0, 5, height) && imaging::ISL_SetEffectValue(0, 7, look) &&
            imaging::ISL_ExecuteScriptOnImage(bgra.data(), w, h);
  imaging::ISL_Finish();
  return ok;
}

// Flat ground faces straight up: lit from h degrees above it shows sin(h) in the grey look and
// its own colour in the shaded look. A ramp rising to the right faces left: it is lighter lit
// from the left than from the right. Alpha is never touched.
TEST(EmbossEffect, LightsTheBrightnessAsARelief) {
  for (double height : {30.0, 45.0, 90.0}) {
    std::vector<uint8_t> flat = Flat(6, 4, 4, 90, 140);
    ASSERT_TRUE(Emboss(flat, 6, 4, 10, 135, height, 0));
    const int expected = int(std::lround(255 * std::sin(height * 3.14159265358979 / 180)));
    for (std::size_t i = 0; i < flat.size(); i += 4) {
      ASSERT_NEAR(flat[i], expected, 1);
      ASSERT_EQ(flat[i + 3], 140);
    }
    std::vector<uint8_t> coloured = Flat(6, 4, 4, 0);
    for (std::size_t i = 0; i < coloured.size(); i += 4)
      coloured[i] = 30, coloured[i + 1] = 120, coloured[i + 2] = 210;
    const std::vector<uint8_t> before = coloured;
    ASSERT_TRUE(Emboss(coloured, 6, 4, 10, 135, height, 1));
    for (std::size_t i = 0; i < coloured.size(); ++i) ASSERT_NEAR(coloured[i], before[i], 1);
  }

  const int w = 16, h = 3;
  std::vector<uint8_t> ramp(std::size_t(w) * h * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &ramp[(y * w + x) * 4];
      p[0] = p[1] = p[2] = uint8_t(x * 12);
      p[3] = 255;
    }
  std::vector<uint8_t> fromRight = ramp, fromLeft = ramp;
  ASSERT_TRUE(Emboss(fromRight, w, h, 20, 0, 45, 0));
  ASSERT_TRUE(Emboss(fromLeft, w, h, 20, 180, 45, 0));
  const std::size_t middle = (std::size_t(1) * w + w / 2) * 4;
  EXPECT_GT(fromLeft[middle], fromRight[middle] + 40);
}

}  // namespace
