#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/engine_state.h"
#include "render/view_model.h"
#include "engine/parallel_rows.h"
#include "support/engine_fixture.h"
#include "support/failing_new.h"
#include "support/png_snapshot.h"

namespace {

using engine::State;
using palmora_test::EngineTest;
using palmora_test::ReadLayer;
using palmora_test::WriteLayer;

constexpr uint8_t kFill = 0xA5;  // bytes the render must not touch

class ViewRender : public EngineTest {
 protected:
  // A canvas of w x h with layers 0..top; layer 1 (white) is hidden unless asked for.
  void Canvas(int w, int h, int top, bool background = false) {
    MakeCanvas(w, h, top, top);
    PMR_SetLayerOptions(1, background ? 1 : 0, 0, 100, "Normal");
    PMR_SetViewSize(4096, 4096);
  }

  // Fills a layer with smooth colour ramps and an alpha that covers 0, 65535 and values between,
  // so that the skip, the copy and the blend paths all meet.
  static void Ramp(int index, int seed) {
    auto px = ReadLayer(index);
    const auto& s = State();
    for (int y = 0; y < s.canvasHeight; ++y)
      for (int x = 0; x < s.canvasWidth; ++x) {
        uint16_t* p = &px[(std::size_t(y) * s.canvasWidth + x) * 4];
        p[0] = uint16_t((x * 2111 + seed * 9000) & 0xFFFF);
        p[1] = uint16_t((y * 3001 + seed * 5000) & 0xFFFF);
        p[2] = uint16_t(((x + y) * 1499 + seed * 777) & 0xFFFF);
        const int band = (x / 3 + y / 2 + seed) % 5;
        p[3] = band == 0   ? 0
               : band == 1 ? 65535
               : band == 2 ? 65280
                           : uint16_t((x * 977 + y * 131 + seed) & 0xFFFF);
      }
    WriteLayer(index, px);
  }

  std::vector<uint8_t> Render(int x, int y, int w, int h, int stride, int rows) {
    std::vector<uint8_t> target(std::size_t(stride) * rows, kFill);
    EXPECT_EQ(PMR_Render(target.data(), stride, x, y, w, h), 1);
    return target;
  }

  void ExpectMatchesModel(int x, int y, int w, int h, int stride, int rows, const char* what) {
    const auto got = Render(x, y, w, h, stride, rows);
    const auto want = view_model::Expected(x, y, w, h, stride, rows, kFill);
    std::size_t diffs = 0, first = 0;
    for (std::size_t i = 0; i < got.size(); ++i)
      if (got[i] != want[i] && diffs++ == 0) first = i;
    EXPECT_EQ(diffs, 0u) << what << ": got " << int(got[first]) << " want " << int(want[first])
                         << " first difference at byte " << first << " (row " << first / stride
                         << ", byte " << first % stride << ")";
  }
};

TEST_F(ViewRender, EmptyStackShowsTheCheckerboard) {
  Canvas(70, 40, 2);
  const auto out = Render(0, 0, 70, 40, 70 * 3, 40);
  // Transparent black over the checker: K >> 8, white (255) on even and 159 on odd squares.
  auto at = [&](int x, int y) { return out[std::size_t(y) * 210 + x * 3]; };
  EXPECT_EQ(at(0, 0), 255);
  EXPECT_EQ(at(31, 31), 255);
  EXPECT_EQ(at(32, 0), 159);
  EXPECT_EQ(at(0, 32), 159);
  EXPECT_EQ(at(32, 32), 255);
  EXPECT_EQ(at(69, 39), 159);  // square (2, 1)
  palmora_test::SnapshotBGR("view_checkerboard", out.data(), 70, 40, 210);
}

TEST_F(ViewRender, BackgroundIsOpaqueAtFullOpacityOnly) {
  Canvas(40, 8, 2, true);
  auto px = ReadLayer(1);
  for (std::size_t i = 0; i < px.size(); i += 4)
    px[i] = 0x1234, px[i + 1] = 0x5600, px[i + 2] = 0x9A00, px[i + 3] = 0;
  WriteLayer(1, px);
  auto out = Render(0, 0, 40, 8, 120, 8);
  // Alpha 0 of its own, yet the background is drawn opaque: bytes are the high bytes, BGR.
  EXPECT_EQ(out[0], 0x9A);
  EXPECT_EQ(out[1], 0x56);
  EXPECT_EQ(out[2], 0x12);
  // At 50 % (opacity 128) alpha = (65535 x 129) >> 8 = 33023 and the checker shows through:
  // channel = (((a x c) >> 8) + ((K x (65535 - a)) >> 8)) >> 8 with K = 65535 on square 0.
  PMR_SetLayerOptions(1, 1, 0, 50, "Normal");
  out = Render(0, 0, 40, 8, 120, 8);
  const uint64_t a = 33023;
  auto mix = [&](uint64_t c, uint64_t K) {
    return uint8_t((((a * c) >> 8) + ((K * (65535 - a)) >> 8)) >> 16);
  };
  EXPECT_EQ(out[0], mix(0x9A00, 65535));
  EXPECT_EQ(out[2], mix(0x1234, 65535));
  EXPECT_EQ(out[32 * 3 + 2], mix(0x1234, 40959));
  ExpectMatchesModel(0, 0, 40, 8, 120, 8, "background at 50 %");
}

TEST_F(ViewRender, CopyPathsMatchTheModel) {
  // Opaque and transparent pixels only: every step is a skip or a copy.
  Canvas(45, 37, 4, true);
  for (int i = 2; i <= 4; ++i) {
    Ramp(i, i);
    auto px = ReadLayer(i);
    for (std::size_t k = 3; k < px.size(); k += 4) px[k] = px[k] >= 32768 ? 65535 : 0;
    WriteLayer(i, px);
  }
  PMR_SetLayerOptions(3, 0, 0, 100, "Normal");      // hidden
  PMR_SetLayerOptions(4, 1, 0, 100, "Texturize3");  // never shown
  ExpectMatchesModel(0, 0, 45, 37, 45 * 3 + 4, 37, "copies");
}

TEST_F(ViewRender, BlendPathsMatchTheModel) {
  // Partly covered pixels in several modes over one another: the running composite stays in
  // floating point, the alpha pre-pass rewrites alpha and colour, a mask layer scales the alpha.
  Canvas(47, 39, 6, true);
  PMR_SetLayerOptions(1, 1, 0, 60, "Normal");
  for (int i = 2; i <= 6; ++i) Ramp(i, i * 3);
  PMR_SetLayerOptions(2, 1, 0, 100, "Multiply");
  PMR_SetLayerOptions(3, 1, 0, 70, "Screen");
  PMR_SetLayerOptions(4, 1, 0, 100, "Alpha Shader");
  PMR_SetLayerOptions(5, 1, 0, 45, "Luminance Alpha");
  PMR_SetLayerOptions(6, 1, 0, 100, "Layer Mask");
  ExpectMatchesModel(0, 0, 47, 39, 47 * 3, 39, "blends");
  PMR_SetScale(2, 1.0f);
  ExpectMatchesModel(3, 5, 20, 17, 40 * 3, 34, "blends enlarged");
}

TEST_F(ViewRender, OpaqueNormalPixelOverAFilledCompositeIsFullyOpaque) {
  // Alpha 65280 counts as opaque for the copy: over something it leaves alpha 65535 and no
  // checkerboard; over nothing it keeps its own 65280 and the checker shows through a little.
  Canvas(64, 2, 3);
  auto lower = ReadLayer(2), upper = ReadLayer(3);
  for (int x = 0; x < 64; ++x)
    for (int y = 0; y < 2; ++y) {
      uint16_t* l = &lower[std::size_t(y * 64 + x) * 4];
      uint16_t* u = &upper[std::size_t(y * 64 + x) * 4];
      l[0] = l[1] = l[2] = 0x4000, l[3] = x < 40 ? 30000 : 0;  // columns 40.. are empty below
      u[0] = 0x8000, u[1] = 0x12F0, u[2] = 0xF000, u[3] = 65280;
    }
  WriteLayer(2, lower);
  WriteLayer(3, upper);
  const auto out = Render(0, 0, 64, 2, 64 * 3, 2);
  // Column 33 lies on an odd square (K = 40959): blue, green, red are the high bytes.
  EXPECT_EQ(out[33 * 3 + 0], 0xF0);
  EXPECT_EQ(out[33 * 3 + 1], 0x12);
  EXPECT_EQ(out[33 * 3 + 2], 0x80);
  // Column 50, nothing below: (((65280 x c) >> 8) + ((40959 x 255) >> 8)) >> 8 = 0x137C.
  EXPECT_EQ(out[50 * 3 + 1], 0x13);
  ExpectMatchesModel(0, 0, 64, 2, 64 * 3, 2, "opaque copies");
}

TEST_F(ViewRender, RandomStacksMatchTheModel) {
  // Stacks of modes whose pixels may replace what lies below (Normal, Reflect, Alpha Shader) mixed
  // with blending ones, alphas drawn from the edges of the copy and skip rules, several opacities
  // and alpha-layer opacities, and a paint layer over the current layer.
  const char* modes[] = {"Normal",  "Normal",       "Multiply",        "Screen",
                         "Reflect", "Alpha Shader", "Luminance Alpha", "Layer Mask"};
  const int opacities[] = {100, 100, 100, 99, 50};
  const uint16_t edgeAlphas[] = {0, 255, 65279, 65280, 65535};
  uint32_t rng = 12345;
  auto next = [&rng] { return rng = rng * 1664525u + 1013904223u, rng >> 8; };
  for (int round = 0; round < 12; ++round) {
    Canvas(37, 29, 6, round % 3 == 0);
    PMR_SetAlphaLayerOpacity(round % 4 == 1 ? 99 : 100);
    for (int i = 1; i <= 6; ++i) {
      auto px = ReadLayer(i);
      for (std::size_t k = 0; k < px.size(); k += 4) {
        for (int c = 0; c < 3; ++c) px[k + c] = uint16_t(next());
        // Runs of one alpha now and then, as painted layers have.
        px[k + 3] = next() % 3 == 0 ? uint16_t(next()) : edgeAlphas[next() % 5];
      }
      WriteLayer(i, px);
      if (i >= 2)
        PMR_SetLayerOptions(i, next() % 6 != 0, 0, opacities[next() % 5], modes[next() % 8]);
    }
    PMR_SetLayer(2 + int(next() % 5));
    if (round % 2 == 1) {
      PMR_CreatePaintLayer(100, round % 4 == 1 ? "Normal" : "Screen");
      auto& paint = State().paintLayer;
      for (std::size_t k = 0; k < std::size_t(37 * 29 * 4); k += 4) {
        for (int c = 0; c < 3; ++c) paint.pixels[k + c] = uint16_t(next());
        paint.pixels[k + 3] = edgeAlphas[next() % 5];
      }
    }
    ExpectMatchesModel(0, 0, 37, 29, 37 * 3, 29, "random stack");
    if (HasFailure()) {
      ADD_FAILURE() << "round " << round;
      return;
    }
  }
}

TEST_F(ViewRender, GeometryPathsMapOutputPixelsToCanvasPixels) {
  Canvas(50, 44, 2, true);
  Ramp(2, 1);
  auto px = ReadLayer(2);
  for (std::size_t k = 3; k < px.size(); k += 4) px[k] = px[k] >= 32768 ? 65535 : 0;
  WriteLayer(2, px);
  const auto oneToOne = Render(0, 0, 50, 44, 150, 44);
  auto pixel = [&](int cx, int cy) { return &oneToOne[std::size_t(cy) * 150 + cx * 3]; };
  struct Case {
    int I;
    float S;
    int factor;  // output pixels per canvas pixel (negative: canvas pixels per output pixel)
  };
  // S = I is 1:1 even at 2; S > I samples (0.5 with I = 0 doubles); S < I replicates (factor 1
  // is 1:1 again).
  const Case cases[] = {{1, 1.0f, 1}, {1, 2.0f, -2}, {0, 0.5f, 2},
                        {1, 0.5f, 1}, {3, 1.0f, 3},  {2, 2.0f, 1}};
  for (const Case& c : cases) {
    PMR_SetScale(c.I, c.S);
    const int stride = 160 * 3;
    const auto out = Render(0, 0, 50, 44, stride, 140);
    const int outW = c.factor > 0 ? 50 * c.factor : 25, outH = c.factor > 0 ? 44 * c.factor : 22;
    for (int oy = 0; oy < 140; ++oy)
      for (int ox = 0; ox < 160; ++ox) {
        const uint8_t* got = &out[std::size_t(oy) * stride + ox * 3];
        if (ox >= outW || oy >= outH) {
          ASSERT_EQ(got[0], kFill) << c.I << " " << c.S;
          continue;
        }
        const int cx = c.factor > 0 ? ox / c.factor : ox * 2,
                  cy = c.factor > 0 ? oy / c.factor : oy * 2;
        // Checker squares follow the canvas, so every path shows the 1:1 pixel exactly.
        ASSERT_EQ(0, std::memcmp(got, pixel(cx, cy), 3))
            << c.I << " " << c.S << " at " << ox << "," << oy;
      }
    ExpectMatchesModel(0, 0, 50, 44, stride, 140, "geometry");
  }
  // A fractional step, a clipped start and a view smaller than the request.
  PMR_SetScale(1, 1.7f);
  ExpectMatchesModel(3, 5, 40, 30, 100, 30, "step 1.7");
  PMR_SetScale(0, 0.3f);
  ExpectMatchesModel(-7, -2, 20, 10, 70 * 3, 40, "step 0.3 from outside");
  PMR_SetScale(4, 1.0f);
  PMR_SetViewSize(17, 9);
  ExpectMatchesModel(10, 20, 50, 50, 60, 12, "replicated into a small view");
  PMR_SetScale(1, 1.0f);
  ExpectMatchesModel(-5, -5, 30, 30, 30 * 3, 20, "1:1 clipped start");
}

TEST_F(ViewRender, BadRequestsDrawNothing) {
  Canvas(20, 20, 2, true);
  const std::vector<uint8_t> untouched(60 * 20, kFill);
  PMR_SetViewSize(0, 20);
  EXPECT_EQ(Render(0, 0, 20, 20, 60, 20), untouched);
  PMR_SetViewSize(20, -3);
  EXPECT_EQ(Render(0, 0, 20, 20, 60, 20), untouched);
  PMR_SetViewSize(20, 20);
  EXPECT_EQ(Render(20, 0, 5, 5, 60, 20), untouched);  // right of the canvas
  EXPECT_EQ(Render(0, 0, -4, 5, 60, 20), untouched);  // negative width
  EXPECT_EQ(Render(-30, 0, 10, 5, 60, 20), std::vector<uint8_t>(Render(0, 0, 10, 5, 60, 20)));
  PMR_SetScale(0, -1.0f);  // replication with a factor below 1
  EXPECT_EQ(Render(0, 0, 20, 20, 60, 20), untouched);
  PMR_SetScale(-5, 0.0f);  // sampling with a step of 0
  EXPECT_EQ(Render(0, 0, 20, 20, 60, 20), untouched);
  PMR_SetScale(-5, -1.0f);  // sampling backwards
  EXPECT_EQ(Render(0, 0, 20, 20, 60, 20), untouched);
  PMR_SetScale(1, 1.0f);
  EXPECT_EQ(Render(0, 0, 20, 20, 59, 20), std::vector<uint8_t>(59 * 20, kFill));  // rows overlap
  EXPECT_EQ(PMR_Render(nullptr, 60, 0, 0, 20, 20), 0);
  State().currentLayer = nullptr;
  std::vector<uint8_t> target(60 * 20, kFill);
  EXPECT_EQ(PMR_Render(target.data(), 60, 0, 0, 20, 20), 0);
  EXPECT_EQ(target, untouched);
}

TEST_F(ViewRender, MaskTintAndTracing) {
  Canvas(64, 40, 2, true);
  Ramp(2, 3);
  auto px = ReadLayer(2);
  for (std::size_t k = 3; k < px.size(); k += 4) px[k] = px[k] >= 32768 ? 65535 : 0;
  WriteLayer(2, px);
  auto& s = State();
  for (int i = 0; i < 64 * 40; ++i) s.maskPlane[i] = uint16_t(i % 7 == 0 ? 65535 : i * 41);
  s.maskPlane[0] = 0;
  PMR_SetMaskOptions(255, 0, 0, 0, 0, 255, 0);
  PMR_DisplayMask(1);
  PMR_EnableMask(0);
  const auto plain = Render(0, 0, 64, 40, 192, 40);
  PMR_EnableMask(1);
  auto tinted = Render(0, 0, 64, 40, 192, 40);
  EXPECT_NE(plain, tinted);
  // Half strength, mask 0 on an even square: m = 32767, so half the composite and half the even
  // tint (blue 65280): ((32767 c) >> 8 + (32768 x 65280) >> 8) >> 16.
  const auto comp = view_model::Composite(0, 0);
  EXPECT_EQ(tinted[0], uint8_t((((32767u * comp.c2) >> 8) + ((32768u * 65280u) >> 8)) >> 16));
  EXPECT_EQ(tinted[2], uint8_t(((32767u * comp.c0) >> 8) >> 16));
  ExpectMatchesModel(0, 0, 64, 40, 192, 40, "half-strength tint");
  PMR_SetMaskOptions(0, 255, 0, 255, 255, 0, 1);
  ExpectMatchesModel(0, 0, 64, 40, 192, 40, "full-strength tint");
  PMR_SetScale(1, 2.0f);
  ExpectMatchesModel(0, 0, 64, 40, 192, 40, "tint sampled");
  PMR_SetScale(2, 1.0f);
  ExpectMatchesModel(0, 0, 64, 40, 384, 80, "tint replicated");
  PMR_SetScale(1, 1.0f);

  // Tracing with no tracing image changes nothing; with one, each channel is the mean.
  PMR_EnableMask(0);
  PMR_DeleteLayer(0);
  PMR_SetTracingMode(1);
  EXPECT_EQ(Render(0, 0, 64, 40, 192, 40), plain);
  ASSERT_EQ(PMR_CreateLayer(0, 64, 40), 1);
  Ramp(0, 9);
  ExpectMatchesModel(0, 0, 64, 40, 192, 40, "tracing");
}

TEST(ViewSettings, SettersStoreAndReturnTheirFirstArgument) {
  EXPECT_EQ(PMR_SetScale(3, 0.25f), 3);
  EXPECT_EQ(State().viewScaleLevel, 3);
  EXPECT_EQ(State().viewScale, 0.25f);
  EXPECT_EQ(PMR_SetViewSize(640, 480), 640);
  EXPECT_EQ(State().viewHeight, 480);
  EXPECT_EQ(PMR_SetOffset(-7, 9), -7);
  EXPECT_EQ(State().viewOffsetY, 9);
  EXPECT_EQ(PMR_SetTracingMode(1), 1);
  EXPECT_EQ(PMR_DisplayMask(2), 2);
  EXPECT_EQ(State().maskDisplayed, 2);
  EXPECT_EQ(PMR_EnableMask(0), 0);
  EXPECT_EQ(State().maskEnabled, 0);
  palmora_test::ResetEngine();
}

}  // namespace

namespace {

// A scene to look at (PALMORA_TEST_PNG_DIR=/some/dir writes it): a hidden background, a red disc
// with a soft edge, a blue bar multiplied over it, a rectangle of mask shown in tint, at 1:1, at
// half size and three times enlarged.
TEST_F(ViewRender, PictureOfALayeredScene) {
  Canvas(160, 120, 3);
  auto disc = ReadLayer(2);
  auto bar = ReadLayer(3);
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 160; ++x) {
      uint16_t* d = &disc[(y * 160 + x) * 4];
      const double r = std::hypot(x - 70.0, y - 60.0);
      d[0] = 0xF000, d[1] = 0x2000, d[2] = 0x2000;
      d[3] = uint16_t(r < 40 ? 65535 : r < 50 ? 65535 * (50 - r) / 10 : 0);
      uint16_t* b = &bar[(y * 160 + x) * 4];
      b[0] = 0x4000, b[1] = 0x8000, b[2] = 0xFF00;
      b[3] = (x > 90 && x < 130) ? 50000 : 0;
    }
  WriteLayer(2, disc);
  WriteLayer(3, bar);
  PMR_SetLayerOptions(3, 1, 0, 100, "Multiply");
  auto& s = State();
  for (int y = 80; y < 110; ++y)
    for (int x = 10; x < 60; ++x) s.maskPlane[y * 160 + x] = 0;
  PMR_SetMaskOptions(0, 200, 0, 0, 120, 0, 0);
  PMR_DisplayMask(1);
  const auto full = Render(0, 0, 160, 120, 480, 120);
  palmora_test::SnapshotBGR("view_scene_1to1", full.data(), 160, 120, 480);
  PMR_SetScale(1, 2.0f);
  const auto half = Render(0, 0, 160, 120, 240, 60);
  palmora_test::SnapshotBGR("view_scene_half", half.data(), 80, 60, 240);
  PMR_SetScale(3, 1.0f);
  const auto big = Render(40, 20, 80, 60, 720, 180);
  palmora_test::SnapshotBGR("view_scene_x3", big.data(), 240, 180, 720);
  // The disc's opaque centre is its own red; the bar multiplies blue into it.
  EXPECT_EQ(full[(60 * 160 + 70) * 3 + 2], 0xF0);
  EXPECT_LT(full[(60 * 160 + 100) * 3 + 2], 0xF0);
}

// A memory failure anywhere in a render, its parallel rows included, comes back as the export's
// message and result 0 (with whatever was drawn so far); the process goes on and the next render
// draws the picture the model gives.
TEST_F(ViewRender, AMemoryFailureInTheRowsIsTheExportsMessage) {
  Canvas(300, 200, 3);
  Ramp(2, 1);
  Ramp(3, 2);
  engine::SetRowBandThreadsForTesting(3);
  const int stride = 300 * 3;
  std::vector<uint8_t> target(std::size_t(stride) * 200);
  int32_t result = 0;
  for (long successes = 0; successes < 256 && result == 0; ++successes) {
    PMR_SetLastError("");
    palmora_test::FailNewAfter(successes);
    result = PMR_Render(target.data(), stride, 0, 0, 300, 200);
    palmora_test::StopFailingNew();
    if (result == 0) {
      EXPECT_STREQ(PMR_GetLastError(), "Render Excpt") << successes;
    }
  }
  EXPECT_EQ(result, 1);
  engine::SetRowBandThreadsForTesting(0);
  ExpectMatchesModel(0, 0, 300, 200, stride, 200, "after the failures");
}

}  // namespace
