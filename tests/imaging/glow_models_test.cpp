// The glows against a plain model in double precision: the alpha blurred by a direct sum with
// the sampled Gaussian (clear beyond the edges), then each pixel mixed by the glow's formula.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "imaging/glows.h"

namespace {

using Picture = std::vector<uint8_t>;

// Soft-edged blobs of random colour on a clear ground, with a few faint pixels.
Picture Blobs(int w, int h, uint32_t seed) {
  std::mt19937 rng(seed);
  Picture p(std::size_t(w) * h * 4, 0);
  for (int k = 0; k < 4; ++k) {
    const double cx = rng() % w, cy = rng() % h, r = 2 + rng() % 12;
    const uint8_t colour[3] = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng())};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const double a = std::clamp((r - std::hypot(x - cx, y - cy)) * 80, 0.0, 255.0);
        uint8_t* q = &p[(std::size_t(y) * w + x) * 4];
        if (a > q[3]) std::copy(colour, colour + 3, q), q[3] = uint8_t(a);
      }
  }
  for (int k = 0; k < w * h / 20; ++k) p[(rng() % (std::size_t(w) * h)) * 4 + 3] = rng() % 40;
  return p;
}

// The blurred alpha (levels) with the Gaussian sampled over the width a blur of that radius uses.
std::vector<double> BlurredAlpha(const Picture& p, int w, int h, double radius) {
  const int half = (int(std::lround(radius * 8 + 1)) | 1) / 2;
  std::vector<double> kernel(2 * half + 1);
  double sum = 0;
  for (int i = -half; i <= half; ++i)
    sum += kernel[i + half] = std::exp(-i * i / (2 * radius * radius));
  for (double& k : kernel) k /= sum;
  std::vector<double> across(std::size_t(w) * h), both(std::size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int i = -half; i <= half; ++i)
        if (x + i >= 0 && x + i < w)
          across[y * w + x] += kernel[i + half] * p[(std::size_t(y) * w + x + i) * 4 + 3];
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int i = -half; i <= half; ++i)
        if (y + i >= 0 && y + i < h) both[y * w + x] += kernel[i + half] * across[(y + i) * w + x];
  return both;
}

uint8_t Level(double v) { return uint8_t(std::clamp(std::lround(v), 0L, 255L)); }

// Every glow within one level of the model, over pictures from a single pixel to wider than the
// blur, radii from one pixel to wider than the picture, and strengths from none to full.
TEST(GlowModels, FollowThePlainModel) {
  const uint32_t colour = 255 | 200 << 8 | 40 << 16;
  const double ink[3] = {255, 200, 40};
  for (auto [w, h] : {std::pair{1, 1}, {1, 9}, {13, 1}, {71, 53}})
    for (double radius : {1.0, 2.5, 7.0, 31.0})
      for (double strength : {0.0, 0.8, 2.0, 4.0})
        for (bool inner : {false, true}) {
          SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " radius " +
                       std::to_string(radius) + " strength " + std::to_string(strength) +
                       (inner ? " inner" : " outer"));
          const Picture in = Blobs(w, h, uint32_t(w * 31 + h));
          Picture out(in.size());
          const auto run = inner ? imaging::ISE40_InnerGlowRGBA : imaging::ISE40_OuterGlowRGBA;
          ASSERT_EQ(run(in.data(), w, h, w * 4, out.data(), w * 4, colour, radius, strength), 1);
          const std::vector<double> b = BlurredAlpha(in, w, h, radius);
          int worst = 0;
          for (std::size_t i = 0; i < b.size(); ++i) {
            const uint8_t* s = &in[i * 4];
            double want[4];
            if (inner) {
              const double g = std::clamp((1 - b[i] / 255) * strength, 0.0, 1.0);
              for (int c = 0; c < 3; ++c) want[c] = s[c] + (ink[c] - s[c]) * g;
              want[3] = s[3];
            } else {
              const double g = std::min(1.0, b[i] / 255 * strength);
              const double a = s[3] / 255.0, under = g * (1 - a), total = a + under;
              for (int c = 0; c < 3; ++c)
                want[c] = total > 0 ? (s[c] * a + ink[c] * under) / total : 0;
              want[3] = total * 255;
            }
            for (int c = 0; c < 4; ++c)
              worst = std::max(worst, std::abs(out[i * 4 + c] - Level(want[c])));
          }
          EXPECT_LE(worst, 1);
        }
}

// The result may be written over its source.
TEST(GlowModels, WriteOverTheirSource) {
  const int w = 40, h = 30;
  const Picture in = Blobs(w, h, 3);
  for (auto run : {imaging::ISE40_InnerGlowRGBA, imaging::ISE40_OuterGlowRGBA}) {
    Picture apart(in.size()), over = in;
    ASSERT_EQ(run(in.data(), w, h, w * 4, apart.data(), w * 4, 0xFFFFFF, 4, 2), 1);
    ASSERT_EQ(run(over.data(), w, h, w * 4, over.data(), w * 4, 0xFFFFFF, 4, 2), 1);
    EXPECT_EQ(over, apart);
  }
}

}  // namespace
