#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>
#include <random>
#include <vector>

#include "imaging/imaging.h"

namespace {

constexpr double kPi = std::numbers::pi;

// The kernels written out again from their textbook definitions, for the reference resampler.
double RefSinc(double x) { return x == 0 ? 1 : std::sin(kPi * x) / (kPi * x); }
double RefCubicConvolution(double x, double a) {
  x = std::fabs(x);
  if (x < 1) return (a + 2) * x * x * x - (a + 3) * x * x + 1;
  if (x < 2) return a * (x * x * x - 5 * x * x + 8 * x - 4);
  return 0;
}
double RefMitchellNetravali(double x, double b, double c) {
  x = std::fabs(x);
  if (x < 1)
    return ((12 - 9 * b - 6 * c) * x * x * x + (-18 + 12 * b + 6 * c) * x * x + 6 - 2 * b) / 6;
  if (x < 2)
    return ((-b - 6 * c) * x * x * x + (6 * b + 30 * c) * x * x + (-12 * b - 48 * c) * x + 8 * b +
            24 * c) /
           6;
  return 0;
}

struct RefKernel {
  uint32_t code;
  double radius;
  std::function<double(double)> k;
};

const std::vector<RefKernel>& RefKernels() {
  static const std::vector<RefKernel> kernels = {
      {0, 0.5, [](double x) { return x >= -0.5 && x < 0.5 ? 1.0 : 0.0; }},
      {1, 1, [](double x) { return std::max(0.0, 1 - std::fabs(x)); }},
      {2, 3,
       [](double x) {
         return std::fabs(x) < 3 ? RefSinc(x) * (0.54 + 0.46 * std::cos(kPi * x / 3)) : 0;
       }},
      {3, 1.5, [](double x) { return std::fabs(x) < 1.5 ? std::exp(-x * x / (2 * 0.25)) : 0; }},
      {4, 1.5,
       [](double x) {
         x = std::fabs(x);
         return x < 0.5 ? 0.75 - x * x : x < 1.5 ? (x - 1.5) * (x - 1.5) / 2 : 0;
       }},
      {5, 2,
       [](double x) {  // cubic B-spline: (1/6)(4 - 6x^2 + 3|x|^3) inside 1, (1/6)(2-|x|)^3 inside 2
         x = std::fabs(x);
         return x < 1   ? (4 - 6 * x * x + 3 * x * x * x) / 6
                : x < 2 ? (2 - x) * (2 - x) * (2 - x) / 6
                        : 0;
       }},
      {6, 2, [](double x) { return RefCubicConvolution(x, -1); }},
      {7, 2, [](double x) { return RefCubicConvolution(x, -0.75); }},
      {8, 3, [](double x) { return std::fabs(x) < 3 ? RefSinc(x) * RefSinc(x / 3) : 0; }},
      {9, 2, [](double x) { return RefMitchellNetravali(x, 1.0 / 3, 1.0 / 3); }},
      {10, 4, [](double x) { return std::fabs(x) < 4 ? RefSinc(x) : 0; }},
      {11, 1,
       [](double x) {
         x = std::fabs(x);
         return x < 1 ? 2 * x * x * x - 3 * x * x + 1 : 0;
       }},
      {12, 3,
       [](double x) {
         return std::fabs(x) < 3 ? RefSinc(x) * (0.5 + 0.5 * std::cos(kPi * x / 3)) : 0;
       }},
      {13, 2, [](double x) { return RefMitchellNetravali(x, 0, 0.5); }},
      {17, 2, [](double x) { return RefCubicConvolution(x, -0.75); }},
      {18, 1, [](double x) { return std::max(0.0, 1 - std::fabs(x)); }},
  };
  return kernels;
}

// One output sample of a one-dimensional resize: centres at i + 0.5, the kernel stretched by
// in/out when shrinking, samples beyond the ends repeating the end sample.
std::vector<double> ReferenceResize(const std::vector<double>& in, size_t outSize,
                                    const RefKernel& k) {
  const double scale = double(in.size()) / outSize, stretch = std::max(1.0, scale);
  std::vector<double> out(outSize);
  for (size_t o = 0; o < outSize; ++o) {
    const double center = (o + 0.5) * scale;
    double sum = 0, weights = 0;
    for (long j = long(std::floor(center - k.radius * stretch)) - 2;
         j <= long(center + k.radius * stretch) + 2; ++j) {
      const double w = k.k((j + 0.5 - center) / stretch);
      sum += w * in[std::clamp<long>(j, 0, long(in.size()) - 1)];
      weights += w;
    }
    out[o] = std::clamp(sum / weights, 0.0, 255.0);
  }
  return out;
}

std::vector<uint8_t> RandomBytes(size_t count, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes(count);
  for (auto& b : bytes) b = static_cast<uint8_t>(random() >> 24);
  return bytes;
}

constexpr uint32_t kAllCodes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 17, 18};

TEST(ResizeImage, EveryKernelMatchesAOneDimensionalReference) {
  const std::vector<uint8_t> row = RandomBytes(23, 5);
  const std::vector<double> in(row.begin(), row.end());
  for (const RefKernel& kernel : RefKernels()) {
    for (uint32_t outWidth : {7u, 11u, 16u, 40u, 61u}) {
      if (kernel.code >= 17 && outWidth > 23) continue;  // enlarging runs on OpenCV: checked below
      std::vector<uint8_t> out(outWidth);
      ASSERT_TRUE(imaging::is5_ResizeImage(row.data(), 23, 1, 23, out.data(), outWidth, 1, outWidth,
                                           1, kernel.code, 0));
      const std::vector<double> expected = ReferenceResize(in, outWidth, kernel);
      for (uint32_t i = 0; i < outWidth; ++i)
        ASSERT_NEAR(out[i], expected[i], 1.0)
            << "code " << kernel.code << " to " << outWidth << " at " << i;
    }
  }
}

TEST(ResizeImage, ColumnsResampleLikeRows) {
  // A one-pixel-wide column must give the same samples as the same data laid out as a row.
  const std::vector<uint8_t> line = RandomBytes(29, 8);
  for (uint32_t code : kAllCodes) {
    std::vector<uint8_t> fromRow(13), fromColumn(13);
    ASSERT_TRUE(
        imaging::is5_ResizeImage(line.data(), 29, 1, 29, fromRow.data(), 13, 1, 13, 1, code, 0));
    ASSERT_TRUE(
        imaging::is5_ResizeImage(line.data(), 1, 29, 1, fromColumn.data(), 1, 13, 1, 1, code, 0));
    for (int i = 0; i < 13; ++i) EXPECT_NEAR(fromRow[i], fromColumn[i], 1) << "code " << code;
  }
}

TEST(ResizeImage, EnlargingBilinearAndBicubicFollowTheirKernels) {
  const std::vector<uint8_t> row = RandomBytes(9, 3);
  const std::vector<double> in(row.begin(), row.end());
  for (uint32_t code : {17u, 18u}) {
    std::vector<uint8_t> out(30);
    ASSERT_TRUE(imaging::is5_ResizeImage(row.data(), 9, 1, 9, out.data(), 30, 1, 30, 1, code, 0));
    const RefKernel& kernel = *std::find_if(RefKernels().begin(), RefKernels().end(),
                                            [&](const RefKernel& k) { return k.code == code; });
    const std::vector<double> expected = ReferenceResize(in, 30, kernel);
    for (int i = 0; i < 30; ++i)
      EXPECT_NEAR(out[i], expected[i], 1.5) << "code " << code << " at " << i;
  }
}

TEST(ResizeImage, ConstantPicturesStayConstantAtEveryPixelSize) {
  for (uint32_t bpp : {1u, 3u, 4u, 8u}) {
    const uint32_t w = 37, h = 21;
    std::vector<uint8_t> src(size_t{w} * h * bpp);
    for (size_t i = 0; i < src.size(); ++i)
      src[i] = static_cast<uint8_t>(bpp == 8 ? 0xFF - (i % 2) * 0x3C : 200 - i % bpp * 70);
    for (uint32_t code : kAllCodes) {
      for (auto [nw, nh] : {std::pair{13u, 8u}, {64u, 50u}, {37u, 9u}, {90u, 21u}}) {
        std::vector<uint8_t> out(size_t{nw} * nh * bpp);
        ASSERT_TRUE(imaging::is5_ResizeImage(src.data(), w, h, w * bpp, out.data(), nw, nh,
                                             nw * bpp, bpp, code, 0));
        for (size_t i = 0; i < out.size(); ++i)
          ASSERT_EQ(out[i], src[i % bpp])
              << "code " << code << " bpp " << bpp << " " << nw << "x" << nh;
      }
    }
  }
}

TEST(ResizeImage, OneToOneIsTheIdentity) {
  const uint32_t w = 19, h = 14;
  for (uint32_t bpp : {1u, 3u, 4u, 8u}) {
    const std::vector<uint8_t> src = RandomBytes(size_t{w} * h * bpp, bpp);
    for (uint32_t code : kAllCodes) {
      std::vector<uint8_t> out(src.size());
      ASSERT_TRUE(imaging::is5_ResizeImage(src.data(), w, h, w * bpp, out.data(), w, h, w * bpp,
                                           bpp, code, 0));
      EXPECT_EQ(out, src) << "code " << code << " bpp " << bpp;
    }
  }
}

TEST(ResizeImage, DownscaledCheckerboardAveragesInsteadOfAliasing) {
  const uint32_t side = 96;
  std::vector<uint8_t> board(size_t{side} * side);
  for (uint32_t y = 0; y < side; ++y)
    for (uint32_t x = 0; x < side; ++x) board[y * side + x] = (x + y) % 2 ? 255 : 0;
  for (uint32_t code : kAllCodes) {
    for (uint32_t out : {48u, 31u, 17u}) {
      std::vector<uint8_t> small(size_t{out} * out);
      ASSERT_TRUE(imaging::is5_ResizeImage(board.data(), side, side, side, small.data(), out, out,
                                           out, 1, code, 0));
      // Inside the picture every output covers a nearly balanced patch (a box three pixels wide
      // holds four or five of nine bright pixels); aliasing would give 0 and 255.
      for (uint32_t y = 4; y + 4 < out; ++y)
        for (uint32_t x = 4; x + 4 < out; ++x)
          ASSERT_NEAR(small[y * out + x], 127.5, 16) << "code " << code << " to " << out;
    }
  }
}

TEST(ResizeImage, RowLengthsAndSixteenBitSamplesAreHonoured) {
  // Padded rows and 16-bit samples: a horizontal ramp halved must still be a ramp, untouched
  // padding.
  const uint32_t w = 8, h = 3, srcRow = w * 8 + 16, dstRow = 4 * 8 + 8;
  std::vector<uint16_t> src(srcRow / 2 * h, 0xABCD);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x)
      for (int c = 0; c < 4; ++c) src[y * srcRow / 2 + x * 4 + c] = static_cast<uint16_t>(x * 8000);
  std::vector<uint16_t> dst(dstRow / 2 * h, 0x1111);
  ASSERT_TRUE(
      imaging::is5_ResizeImage(src.data(), w, h, srcRow, dst.data(), 4, h, dstRow, 8, 0, 0));
  for (uint32_t y = 0; y < h; ++y) {
    for (uint32_t x = 0; x < 4; ++x)
      EXPECT_EQ(dst[y * dstRow / 2 + x * 4], (2 * x * 8000 + (2 * x + 1) * 8000) / 2);
    for (uint32_t i = 16; i < dstRow / 2; ++i) EXPECT_EQ(dst[y * dstRow / 2 + i], 0x1111);
  }
}

TEST(ResizeImage, SimpleResampleCopiesTheNearestPixel) {
  const uint8_t src[] = {10, 20, 30, 40};
  uint8_t out[8];
  ASSERT_TRUE(imaging::IS3SimpleResampleImage(src, 4, 1, 4, out, 8, 1, 8, 1));
  const uint8_t expected[] = {10, 10, 20, 20, 30, 30, 40, 40};
  EXPECT_TRUE(std::equal(out, out + 8, expected));
  uint8_t half[2];
  ASSERT_TRUE(imaging::IS3SimpleResampleImage(src, 4, 1, 4, half, 2, 1, 2, 1));
  EXPECT_EQ(half[0], 20);  // output centre 0.5 x 2 = 1 falls on the second pixel
  EXPECT_EQ(half[1], 40);
}

TEST(ResizeImage, BadArgumentsAreRefusedWithoutWriting) {
  std::vector<uint8_t> src(16 * 16 * 4, 9), dst(8 * 8 * 4, 77);
  const auto untouched = dst;
  EXPECT_FALSE(imaging::is5_ResizeImage(nullptr, 16, 16, 64, dst.data(), 8, 8, 32, 4, 8, 0));
  EXPECT_FALSE(imaging::is5_ResizeImage(src.data(), 16, 16, 64, nullptr, 8, 8, 32, 4, 8, 0));
  EXPECT_FALSE(imaging::is5_ResizeImage(src.data(), 0, 16, 64, dst.data(), 8, 8, 32, 4, 8, 0));
  EXPECT_FALSE(imaging::is5_ResizeImage(src.data(), 16, 16, 64, dst.data(), 8, 0, 32, 4, 8, 0));
  EXPECT_FALSE(imaging::is5_ResizeImage(src.data(), 16, 16, 63, dst.data(), 8, 8, 32, 4, 8, 0));
  EXPECT_FALSE(imaging::is5_ResizeImage(src.data(), 16, 16, 64, dst.data(), 8, 8, 31, 4, 8, 0));
  EXPECT_FALSE(imaging::is5_ResizeImage(src.data(), 16, 16, 64, dst.data(), 8, 8, 32, 2, 8, 0));
  EXPECT_FALSE(imaging::is5_ResizeImage(src.data(), 16, 16, 64, dst.data(), 8, 8, 32, 4, 14, 0));
  EXPECT_FALSE(
      imaging::is5_ResizeImage(src.data(), 16, 16, 64, dst.data(), 8, 0xFFFFFFFFu, 32, 4, 8, 0));
  EXPECT_FALSE(
      imaging::is5_ResizeImage(src.data(), 0x80000000u, 16, 64, dst.data(), 8, 8, 32, 4, 8, 0));
  EXPECT_EQ(dst, untouched);
}

}  // namespace
