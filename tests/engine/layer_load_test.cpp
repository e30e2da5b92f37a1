// Loads of 8-bit pictures into layers, checked against a plain model of the load rules: each
// source byte becomes byte x 256; masked loads weigh each pixel by a coverage h computed from the
// texture and the mask, and blend as d' = (s*h + (d*(65535-h))/256) / 256.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/engine_state.h"
#include "support/engine_fixture.h"
#include "support/transfer_support.h"

namespace {

using engine::State;
using palmora_test::EngineChecksum;
using palmora_test::RandomBytes;
using palmora_test::ReadLayer;
using palmora_test::WriteLayer;

using LayerLoad = palmora_test::EngineTest;

constexpr int W = 37, H = 23;

// ---- The model, written from the load rules rather than from the engine's code ----

int64_t Blend(int64_t s, int64_t d, int64_t h) { return (s * h + (d * (65535 - h)) / 256) / 256; }

// Coverage of the colour loads. Returns -1 when the mask's high byte is 0 (pixel left alone).
int64_t ModelCoverageColour(const uint8_t* texture, const uint16_t* mask, std::size_t at) {
  int64_t h = 65535;
  if (texture) {
    const int64_t t = texture[at];
    if (t == 0)
      h = 0;
    else if (t < 128)
      h = (2 * t + 1) * 65535 / 256;
  }
  if (mask) {
    const int64_t m = mask[at] / 256;
    if (m == 0) return -1;
    if (m != 255) h = (m + 1) * h / 256;
  }
  return h;
}

int64_t ModelCoverageAlpha(const uint8_t* texture, const uint16_t* mask, std::size_t at) {
  int64_t h = 65535;
  if (texture && texture[at] <= 127) h = texture[at] * 131070 / 256;
  if (mask && mask[at] != 65535) h = mask[at] * h / 65536;
  return h;
}

// PMR_LoadRGBA32Layer, pixel by pixel over the source picture.
void ModelLoadRGBA32(std::vector<uint16_t>& layer, const std::vector<uint8_t>& src, int rowBytes,
                     int x, int y, int w, int h, bool masked, bool locked, const uint8_t* texture,
                     const uint16_t* mask) {
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) {
      const int lx = x + i, ly = y + j;
      if (lx < 0 || ly < 0 || lx >= W || ly >= H) continue;
      const uint8_t* s = &src[std::size_t(j) * rowBytes + std::size_t(i) * 4];
      uint16_t* d = &layer[(std::size_t(ly) * W + lx) * 4];
      if (!masked) {
        if (locked) {
          for (int c = 0; c < 3; ++c) d[c] = uint16_t(s[c] * 256);
        } else if (s[3] == 0) {
          for (int c = 0; c < 4; ++c) d[c] = 0;
        } else {
          for (int c = 0; c < 4; ++c) d[c] = uint16_t(s[c] * 256);
        }
        continue;
      }
      const int64_t cover = ModelCoverageColour(texture, mask, std::size_t(ly) * W + lx);
      if (cover <= 0) continue;
      if (cover == 65535) {
        for (int c = 0; c < 3; ++c) d[c] = uint16_t(s[c] * 256);
        if (!locked) d[3] = uint16_t(s[3] * 256);
      } else if (d[3] == 0) {
        for (int c = 0; c < 3; ++c) d[c] = uint16_t(s[c] * 256);
        if (!locked) d[3] = uint16_t(int64_t{s[3]} * 256 * cover / 65536);
      } else if (s[3] == 0) {
        if (!locked) d[3] = uint16_t(d[3] * (65535 - cover) / 65536);
      } else {
        for (int c = 0; c < 3; ++c) d[c] = uint16_t(Blend(s[c], d[c], cover));
        if (!locked) d[3] = uint16_t(Blend(s[3], d[3], cover));
      }
    }
  }
}

// ---- Set-up helpers ----

// A random layer whose alpha includes zeros, so every branch of the masked load is reached.
void RandomLayer(int index, uint32_t seed) {
  palmora_test::PaintPattern(index, seed);
  auto pixels = ReadLayer(index);
  for (std::size_t p = 0; p < pixels.size() / 4; p += 5) pixels[p * 4 + 3] = 0;
  WriteLayer(index, pixels);
}

// A source whose alpha bytes include zeros.
std::vector<uint8_t> RandomSource(std::size_t bytes, uint32_t seed) {
  auto src = RandomBytes(bytes, seed);
  for (std::size_t i = 3; i < src.size(); i += 28) src[i] = 0;
  return src;
}

// Texture bytes across every band of the rule: 0, 1..127, 128 and above.
void RandomTexture(uint32_t seed) {
  ASSERT_EQ(PMR_CreateTexture(1), W);
  auto bytes = RandomBytes(W * H, seed);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i % 11 == 0) bytes[i] = 0;
    if (i % 13 == 0) bytes[i] = 1;
    if (i % 17 == 0) bytes[i] = 127;
    if (i % 19 == 0) bytes[i] = 128;
  }
  std::memcpy(State().textureImage, bytes.data(), bytes.size());
}

// Mask samples across the cases: 0, high byte 0, 255 with low bits, full, and anything.
void RandomMask(uint32_t seed) {
  auto bytes = RandomBytes(W * H * 2, seed);
  uint16_t* mask = State().maskPlane;
  std::memcpy(mask, bytes.data(), bytes.size());
  for (int i = 0; i < W * H; ++i) {
    if (i % 7 == 0) mask[i] = 0;
    if (i % 9 == 0) mask[i] = 0x00FF;
    if (i % 10 == 0) mask[i] = 0xFF00;
    if (i % 12 == 0) mask[i] = 65535;
  }
}

// ---- Tests ----

TEST_F(LayerLoad, RGBA32MatchesTheModelInEveryCombination) {
  MakeCanvas(W, H);
  for (int useTexture = 0; useTexture < 2; ++useTexture) {
    for (int maskOn = 0; maskOn < 2; ++maskOn) {
      for (int locked = 0; locked < 2; ++locked) {
        for (int flag = 0; flag < 2; ++flag) {
          SCOPED_TRACE(::testing::Message() << "texture " << useTexture << " mask " << maskOn
                                            << " locked " << locked << " flag " << flag);
          const uint32_t seed = useTexture * 8 + maskOn * 4 + locked * 2 + flag;
          PMR_DeleteTexture();
          if (useTexture) RandomTexture(seed);
          State().maskEnabled = uint8_t(maskOn);
          RandomMask(seed + 100);
          PMR_SetLayerOptions(2, 1, locked, 100, "Normal");
          RandomLayer(2, seed + 200);
          // A rectangle that hangs over the left and bottom edges, with padded source rows.
          const int x = -3, y = 2, w = 30, h = 25, rowBytes = w * 4 + 12;
          const auto src = RandomSource(std::size_t(rowBytes) * h, seed + 300);

          auto expected = ReadLayer(2);
          const bool masked = flag && (maskOn || useTexture);
          ModelLoadRGBA32(expected, src, rowBytes, x, y, w, h, masked, locked,
                          useTexture ? State().textureImage : nullptr,
                          maskOn ? State().maskPlane : nullptr);
          EXPECT_EQ(PMR_LoadRGBA32Layer(src.data(), rowBytes, 2, x, y, w, h, flag), 1);
          EXPECT_EQ(ReadLayer(2), expected);
        }
      }
    }
  }
}

TEST_F(LayerLoad, TextureCoverageMatchesHandComputedValues) {
  MakeCanvas(4, 1);
  State().maskEnabled = 0;
  ASSERT_EQ(PMR_CreateTexture(1), 4);
  const uint8_t texture[4] = {1, 127, 128, 0};
  std::memcpy(State().textureImage, texture, 4);
  std::vector<uint16_t> layer(16, 1000);
  WriteLayer(2, layer);
  const uint8_t src[16] = {200, 200, 200, 200, 200, 200, 200, 200,
                           200, 200, 200, 200, 200, 200, 200, 200};
  ASSERT_EQ(PMR_LoadRGBA32Into(src, 16, 2, 0, 0, 4, 1), 1);
  const auto out = ReadLayer(2);
  // t = 1: h = 767; (200*767 + (1000*64768 >> 8)) >> 8 = (153400 + 253000) >> 8 = 1587.
  EXPECT_EQ(out[0], 1587);
  // t = 127: h = 65279; (200*65279 + (1000*256 >> 8)) >> 8 = (13055800 + 1000) >> 8 = 51003.
  EXPECT_EQ(out[4], 51003);
  // t = 128 passes fully; t = 0 blocks.
  EXPECT_EQ(out[8], 200 * 256);
  EXPECT_EQ(out[12], 1000);
}

TEST_F(LayerLoad, MaskHighByteZeroBlocksTheColourLoadButNotTheAlphaLoad) {
  MakeCanvas(2, 1);
  State().maskPlane[0] = 0x00FF;
  State().maskPlane[1] = 0x00FF;
  std::vector<uint16_t> layer = {1000, 2000, 3000, 40000, 1000, 2000, 3000, 40000};
  WriteLayer(2, layer);
  const uint8_t rgba[8] = {9, 9, 9, 9, 9, 9, 9, 9};
  ASSERT_EQ(PMR_LoadRGBA32(rgba, 8, 1), 1);
  EXPECT_EQ(ReadLayer(2), layer);

  const uint8_t rgb[6] = {100, 0, 0, 100, 0, 0};
  ASSERT_EQ(PMR_LoadRGB24ToAlpha(rgb, 6, 1), 1);
  // Coverage (0x00FF * 65535) >> 16 = 254; A = (100*254 + (40000*65281 >> 8)) >> 8
  //   = (25400 + 10200156) >> 8 = 39943.
  const auto out = ReadLayer(2);
  EXPECT_EQ(out[3], 39943);
  EXPECT_EQ(out[7], 39943);
  EXPECT_EQ(out[0], 1000);
}

TEST_F(LayerLoad, PlainLoadClearsTransparentPixelsAndLockedLayersKeepAlpha) {
  MakeCanvas(2, 1);
  const uint8_t src[8] = {10, 20, 30, 0, 255, 128, 1, 255};
  ASSERT_EQ(PMR_LoadRGBA32Layer(src, 8, 2, 0, 0, 2, 1, 0), 1);
  EXPECT_EQ(ReadLayer(2), (std::vector<uint16_t>{0, 0, 0, 0, 65280, 32768, 256, 65280}));

  WriteLayer(2, {1, 2, 3, 4000, 5, 6, 7, 8000});
  PMR_SetLayerOptions(2, 1, 1, 100, "Normal");
  ASSERT_EQ(PMR_LoadRGBA32Layer(src, 8, 2, 0, 0, 2, 1, 0), 1);
  EXPECT_EQ(ReadLayer(2), (std::vector<uint16_t>{2560, 5120, 7680, 4000, 65280, 32768, 256, 8000}));
}

TEST_F(LayerLoad, RectanglesAreClippedToTheLayer) {
  MakeCanvas(16, 4);
  State().maskEnabled = 0;
  // Source column c holds the value c in every byte (alpha non-zero from column 1).
  std::vector<uint8_t> src(32 * 4);
  for (int c = 0; c < 32; ++c) std::memset(&src[c * 4], c + 1, 4);
  ASSERT_EQ(PMR_LoadRGBA32Layer(src.data(), 128, 2, -10, 0, 32, 1, 0), 1);
  const auto out = ReadLayer(2);
  for (int x = 0; x < 16; ++x)
    EXPECT_EQ(out[x * 4], (x + 10 + 1) * 256) << x;  // source column 10 lands at 0

  const uint64_t before = EngineChecksum();
  ASSERT_EQ(PMR_LoadRGBA32Layer(src.data(), 128, 2, 16, 0, 32, 1, 0), 1);  // entirely right
  ASSERT_EQ(PMR_LoadRGBA32Layer(src.data(), 128, 2, 0, -5, 32, 5, 0), 1);  // entirely above
  ASSERT_EQ(PMR_LoadRGBA32Layer(src.data(), 128, 2, INT32_MIN, 0, INT32_MIN + 5, 1, 0), 1);
  ASSERT_EQ(PMR_LoadRGBA32Layer(src.data(), 128, 2, INT32_MAX, 0, 32, 1, 0), 1);
  EXPECT_EQ(EngineChecksum(), before);
}

TEST_F(LayerLoad, MaskedLoadStaysInsideTheCanvasOnALargerLayer) {
  MakeCanvas(8, 8);
  ASSERT_EQ(PMR_CreateLayer(3, 12, 10),
            1);  // not of the canvas size: mask and texture end at 8 x 8
  std::vector<uint8_t> src(12 * 10 * 4, 200);
  ASSERT_EQ(PMR_LoadRGBA32Layer(src.data(), 48, 3, 0, 0, 12, 10, 1), 1);
  const uint16_t* p = State().layers[3].pixels;
  EXPECT_EQ(p[(7 * 12 + 7) * 4], 200 * 256);
  EXPECT_EQ(p[(7 * 12 + 8) * 4], 0);  // right of the canvas
  EXPECT_EQ(p[(8 * 12 + 0) * 4], 0);  // below it
  ASSERT_EQ(PMR_LoadRGBA32Layer(src.data(), 48, 3, 0, 0, 12, 10, 0), 1);
  EXPECT_EQ(p[(9 * 12 + 11) * 4], 200 * 256);  // the plain load covers the layer's own size
}

TEST_F(LayerLoad, RGB24ColourAndAlphaMatchTheModel) {
  MakeCanvas(W, H);
  RandomTexture(5);
  RandomMask(6);
  for (int flag = 0; flag < 2; ++flag) {
    RandomLayer(2, 7 + flag);
    const int rowBytes = W * 3 + 5;
    const auto src = RandomBytes(std::size_t(rowBytes) * H, 8 + flag);
    auto expected = ReadLayer(2);
    for (int y = 0; y < H; ++y) {
      for (int x = 0; x < W; ++x) {
        const uint8_t* s = &src[std::size_t(y) * rowBytes + x * 3];
        uint16_t* d = &expected[(std::size_t(y) * W + x) * 4];
        const int64_t h =
            flag ? ModelCoverageColour(State().textureImage, State().maskPlane, y * W + x) : 65535;
        if (h <= 0) continue;
        for (int c = 0; c < 3; ++c) d[c] = uint16_t(h == 65535 ? s[c] * 256 : Blend(s[c], d[c], h));
      }
    }
    ASSERT_EQ(PMR_LoadRGB24(src.data(), rowBytes, flag), 1);
    EXPECT_EQ(ReadLayer(2), expected) << "flag " << flag;

    expected = ReadLayer(2);
    for (int i = 0; i < W * H; ++i) {
      uint16_t& a = expected[std::size_t(i) * 4 + 3];
      if (a == 0) continue;
      const int v = src[std::size_t(i / W) * rowBytes + (i % W) * 3];
      const int64_t h =
          flag ? ModelCoverageAlpha(State().textureImage, State().maskPlane, i) : 65535;
      if (h == 65535)
        a = uint16_t(v * 256);
      else if (h > 0)
        a = uint16_t(Blend(v, a, h));
    }
    ASSERT_EQ(PMR_LoadRGB24ToAlpha(src.data(), rowBytes, flag), 1);
    EXPECT_EQ(ReadLayer(2), expected) << "flag " << flag;
  }
}

TEST_F(LayerLoad, BlueGreenRedPicturesBecomeOpaquePixelsInsideTheCanvas) {
  MakeCanvas(3, 2);
  // A 4 x 3 picture: only its top-left 3 x 2 lies inside the canvas.
  std::vector<uint8_t> src(4 * 3 * 3);
  for (std::size_t i = 0; i < src.size(); ++i) src[i] = uint8_t(i);
  ASSERT_EQ(PMR_Load(src.data(), 12, 4, 3), 1);
  const auto out = ReadLayer(2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      const uint8_t* s = &src[y * 12 + x * 3];
      const uint16_t* d = &out[(y * 3 + x) * 4];
      EXPECT_EQ(d[0], s[2] * 256);
      EXPECT_EQ(d[1], s[1] * 256);
      EXPECT_EQ(d[2], s[0] * 256);
      EXPECT_EQ(d[3], 65535);
    }
  }
}

TEST_F(LayerLoad, RefusalsChangeNothing) {
  MakeCanvas(8, 4);
  palmora_test::PaintPattern(2, 3);
  std::vector<uint8_t> src(8 * 4 * 4, 77);
  const uint64_t before = EngineChecksum();
  EXPECT_EQ(PMR_LoadRGBA32Layer(nullptr, 32, 2, 0, 0, 8, 4, 0), 0);
  EXPECT_EQ(PMR_LoadRGBA32Layer(src.data(), 32, -1, 0, 0, 8, 4, 0), 0);
  EXPECT_EQ(PMR_LoadRGBA32Layer(src.data(), 32, 64, 0, 0, 8, 4, 0), 0);
  EXPECT_EQ(PMR_LoadRGBA32Layer(src.data(), 32, 9, 0, 0, 8, 4, 0), 0);  // empty slot
  EXPECT_EQ(PMR_LoadRGBA32Layer(src.data(), 31, 2, 0, 0, 8, 4, 0), 0);  // rows too short
  EXPECT_EQ(PMR_LoadRGBA32Layer(src.data(), -32, 2, 0, 0, 8, 4, 0), 0);
  EXPECT_EQ(PMR_LoadRGB24(src.data(), 23, 0), 0);
  EXPECT_EQ(PMR_LoadRGB24ToAlpha(nullptr, 24, 0), 0);
  EXPECT_EQ(PMR_Load(src.data(), 8, 4, 4), 0);  // 4 columns need 12 bytes a row
  EXPECT_EQ(EngineChecksum(), before);
  ASSERT_EQ(PMR_CreateLayer(5, 9, 4), 1);  // not of the canvas size
  PMR_SetLayer(5);
  const uint64_t withLayer5 = EngineChecksum();
  EXPECT_EQ(PMR_LoadRGB24(src.data(), 27, 0), 0);
  EXPECT_EQ(PMR_Load(src.data(), 27, 9, 4), 0);
  EXPECT_EQ(EngineChecksum(), withLayer5);
}

}  // namespace
