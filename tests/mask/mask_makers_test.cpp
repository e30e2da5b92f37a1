#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

#include "engine/engine_state.h"
#include "engine/colour_models.h"
#include "support/engine_fixture.h"

namespace {

using engine::State;
using palmora_test::EngineTest;

constexpr int kW = 37, kH = 23, kN = kW * kH;

class MaskMakers : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    MakeCanvas(kW, kH);
    // Random old mask values: unselected pixels must keep them.
    uint32_t x = 99;
    for (int i = 0; i < kN; ++i) {
      x = x * 1664525u + 1013904223u;
      State().maskPlane[i] = static_cast<uint16_t>(x >> 16);
    }
    old_.assign(State().maskPlane, State().maskPlane + kN);
  }

  // A random RGBA32 picture in which a third of the pixels sit close to key (so that every
  // tolerance meets hits and misses) and a few are exact greys.
  static std::vector<uint8_t> Picture(uint32_t seed, const uint8_t key[4]) {
    std::vector<uint8_t> px(kN * 4);
    uint32_t x = seed;
    auto next = [&x] { return x = x * 214013u + 2531011u, (x >> 16) & 0x7FFF; };
    for (int i = 0; i < kN; ++i) {
      uint8_t* p = &px[i * 4];
      const int kind = next() % 6;
      for (int c = 0; c < 4; ++c) {
        const int near = key[c] + int(next() % 61) - 30;
        p[c] = kind < 2 ? uint8_t(std::clamp(near, 0, 255)) : uint8_t(next() & 0xFF);
      }
      if (kind == 5) p[1] = p[2] = p[0];
    }
    return px;
  }

  // The brute-force result: each selected pixel takes value, every other one its old value.
  void ExpectSelection(const std::vector<uint8_t>& px, int bytes, uint16_t value,
                       const std::function<bool(const uint8_t*)>& selected) {
    int hits = 0;
    for (int i = 0; i < kN; ++i) {
      const bool sel = selected(&px[i * bytes]);
      hits += sel;
      ASSERT_EQ(State().maskPlane[i], sel ? value : old_[i]) << "pixel " << i;
    }
    EXPECT_GT(hits, 0);
    EXPECT_LT(hits, kN);
  }

  std::vector<uint16_t> old_;
};

int Tol(int percent) { return int(std::floor(percent * 2.56)); }

TEST_F(MaskMakers, AmountMapping) {
  const uint8_t key[4] = {10, 20, 30, 40};
  auto px = Picture(1, key);
  px[0] = 10, px[1] = 20, px[2] = 30;
  const std::pair<int, uint16_t> cases[] = {{0, 65280},   {255, 0}, {100, 155 * 256},
                                            {256, 65280}, {-1, 0},  {511, 0}};
  for (auto [amount, expected] : cases) {
    PMR_CreateMaskFromRGBAImageColor(px.data(), 10, 20, 30, amount);
    EXPECT_EQ(State().maskPlane[0], expected) << amount;
  }
}

TEST_F(MaskMakers, ExactColourOnBothPixelSizes) {
  const uint8_t key[4] = {200, 100, 50, 255};
  auto px = Picture(2, key);
  for (int i = 0; i < kN; i += 7) px[i * 4] = 200, px[i * 4 + 1] = 100, px[i * 4 + 2] = 50;
  PMR_CreateMaskFromRGBAImageColor(px.data(), 200, 100, 50, 0);
  ExpectSelection(px, 4, 65280,
                  [](const uint8_t* p) { return p[0] == 200 && p[1] == 100 && p[2] == 50; });

  std::vector<uint8_t> rgb(kN * 3);
  for (int i = 0; i < kN; ++i) std::copy_n(&px[i * 4], 3, &rgb[i * 3]);
  std::copy(old_.begin(), old_.end(), State().maskPlane);
  PMR_CreateMaskFromRGB24ImageColor(rgb.data(), 200, 100, 50, 55);
  ExpectSelection(rgb, 3, 200 * 256,
                  [](const uint8_t* p) { return p[0] == 200 && p[1] == 100 && p[2] == 50; });
}

TEST_F(MaskMakers, ColourAlphaAndLuminanceRanges) {
  const uint8_t key[4] = {120, 60, 200, 128};
  auto px = Picture(3, key);
  for (int i = 0; i < kN; i += 50) std::copy_n(key, 4, &px[i * 4]);  // exact hits for 0 %
  for (int percent : {0, 5, 10}) {
    std::copy(old_.begin(), old_.end(), State().maskPlane);
    PMR_CreateMaskFromRGBAImageColorRange(px.data(), 120, 60, 200, percent, 30);
    const int t = Tol(percent);
    ExpectSelection(px, 4, 225 * 256, [&](const uint8_t* p) {
      return std::abs(p[0] - 120) <= t && std::abs(p[1] - 60) <= t && std::abs(p[2] - 200) <= t;
    });
    std::copy(old_.begin(), old_.end(), State().maskPlane);
    PMR_CreateMaskFromRGBAImageAlphaRange(px.data(), 128, percent, 0);
    ExpectSelection(px, 4, 65280, [&](const uint8_t* p) { return std::abs(p[3] - 128) <= t; });

    std::copy(old_.begin(), old_.end(), State().maskPlane);
    PMR_CreateMaskFromRGBAImageLuminanceRange(px.data(), 120, 60, 200, percent, 1);
    // Key mean 380 / 3 = 126 (integer division on both sides).
    ExpectSelection(px, 4, 254 * 256, [&](const uint8_t* p) {
      return std::abs((p[0] + p[1] + p[2]) / 3 - 126) <= t;
    });
  }
}

// The angular distance to the key, allowing one turn either way: the same selection as testing
// the three differences h - k, h - (k - 360), h - 360 - k.
bool NearHue(double h, double k, double t) {
  for (double turn : {-360.0, 0.0, 360.0})
    if (std::fabs(h - k + turn) <= t) return true;
  return false;
}

TEST_F(MaskMakers, HueRangeWrapsAndCatchesGreysNearRed) {
  // Hand cases for key red and 10 % (18 degrees): hue 348 and 17.9 in, 18.1 and 300 out, greys
  // (hue -1) in.
  std::vector<uint8_t> px(kN * 4, 0);
  const uint8_t cases[][3] = {{255, 0, 51},  {255, 76, 0}, {255, 77, 0},
                              {255, 0, 255}, {90, 90, 90}, {0, 255, 0}};
  const bool in[] = {true, true, false, false, true, false};
  for (int i = 0; i < 6; ++i) std::copy_n(cases[i], 3, &px[i * 4]);
  PMR_CreateMaskFromRGBAImageHueRange(px.data(), 255, 0, 0, 10, 0);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(State().maskPlane[i], in[i] ? 65280 : old_[i]) << i;

  // Brute force over a random picture, keys on either side of the wrap.
  for (const uint8_t* key : {(const uint8_t*)"\xff\x10\x00\x00", (const uint8_t*)"\xf0\x00\xe0\x00",
                             (const uint8_t*)"\x20\xc0\x40\x00"}) {
    const auto pic = Picture(4, key);
    double k, s, v;
    engine::RGBToHSV(key[0], key[1], key[2], &k, &s, &v);
    std::copy(old_.begin(), old_.end(), State().maskPlane);
    PMR_CreateMaskFromRGBAImageHueRange(pic.data(), key[0], key[1], key[2], 7, 0);
    const double t = std::floor(7 * 1.8);
    ExpectSelection(pic, 4, 65280, [&](const uint8_t* p) {
      double h, ps, pv;
      engine::RGBToHSV(p[0], p[1], p[2], &h, &ps, &pv);
      return NearHue(h, k, t);
    });
  }
}

TEST_F(MaskMakers, HslRangeNeedsAllThreeTests) {
  const uint8_t key[4] = {250, 30, 20, 0};
  const auto px = Picture(5, key);
  double kh, ks, kl;
  engine::RGBToHSL(250, 30, 20, &kh, &ks, &kl);
  PMR_CreateMaskFromRGBAImageHSLRange(px.data(), 250, 30, 20, 0.05, 0.2, 0.1, 9);
  ExpectSelection(px, 4, 246 * 256, [&](const uint8_t* p) {
    double h, s, l;
    engine::RGBToHSL(p[0], p[1], p[2], &h, &s, &l);
    return NearHue(h, kh, 0.05 * 180) && std::fabs(s - ks) <= 0.2 && std::fabs(l - kl) <= 0.1;
  });
}

TEST_F(MaskMakers, FloodMapAndDifference) {
  std::vector<uint8_t> flood(kN);
  for (int i = 0; i < kN; ++i) flood[i] = uint8_t(i % 3);
  PMR_CreateMaskFromFloodMask(flood.data(), 128);
  ExpectSelection(flood, 1, 127 * 256, [](const uint8_t* p) { return *p == 1; });

  const uint8_t key[4] = {1, 2, 3, 4};
  const auto a = Picture(6, key);
  auto b = a;
  for (int i = 0; i < kN; i += 5) b[i * 4 + (i % 4)] ^= 0x40;  // each byte position in turn
  std::copy(old_.begin(), old_.end(), State().maskPlane);
  PMR_CreateMaskFromDiff_RGBA32(a.data(), b.data(), 0x10000 + 777);
  for (int i = 0; i < kN; ++i) ASSERT_EQ(State().maskPlane[i], i % 5 == 0 ? 777 : old_[i]);
}

TEST_F(MaskMakers, NullPicturesAreRefused) {
  const uint8_t px[4] = {};
  PMR_CreateMaskFromDiff_RGBA32(nullptr, px, 0);
  PMR_CreateMaskFromDiff_RGBA32(px, nullptr, 0);
  PMR_CreateMaskFromRGBAImageColor(nullptr, 0, 0, 0, 0);
  PMR_CreateMaskFromRGB24ImageColor(nullptr, 0, 0, 0, 0);
  PMR_CreateMaskFromRGBAImageColorRange(nullptr, 0, 0, 0, 100, 0);
  PMR_CreateMaskFromRGBAImageAlphaRange(nullptr, 0, 100, 0);
  PMR_CreateMaskFromRGBAImageLuminanceRange(nullptr, 0, 0, 0, 100, 0);
  PMR_CreateMaskFromRGBAImageHueRange(nullptr, 0, 0, 0, 100, 0);
  PMR_CreateMaskFromRGBAImageHSLRange(nullptr, 0, 0, 0, 1, 1, 1, 0);
  PMR_CreateMaskFromFloodMask(nullptr, 0);
  PMR_ReplaceFromRGBAImageAlphaRange(nullptr, 0, 100, 0, 0, 0, 0);
  PMR_ApplyMaskToAlpha_RGBA32(nullptr);
  EXPECT_EQ(std::vector<uint16_t>(State().maskPlane, State().maskPlane + kN), old_);
}

}  // namespace
