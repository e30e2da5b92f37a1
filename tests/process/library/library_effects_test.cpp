// The library effects through PMR_IPLImageProcess: the telling slider mappings against the
// library called by hand on the route's buffers, what each route reads and writes, refusals and
// tiny canvases.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "imaging/artistic_filters.h"
#include "imaging/gaussian_blur.h"
#include "imaging/plane_filters.h"
#include "process/effect_registry.h"
#include "support/engine_fixture.h"

namespace {

using palmora_test::EngineTest;

struct Args {
  int s[6] = {};
  int o[8] = {};
  int script = 0;
};

void Process(const char* name, const Args& a) {
  PMR_IPLImageProcess(0, name, a.script, a.s[0], a.s[1], a.s[2], a.s[3], a.s[4], a.s[5], a.o[0],
                      a.o[1], a.o[2], a.o[3], a.o[4], a.o[5], a.o[6], a.o[7], 10, 20, 30, nullptr);
}

bool IsLibraryRoute(process::EffectRoute r) {
  return r == process::EffectRoute::kSource32 || r == process::EffectRoute::kRgb24 ||
         r == process::EffectRoute::kUnrefreshedSource32;
}

class LibraryEffects : public EngineTest {
 protected:
  static constexpr int kW = 24, kH = 17;
  void SetUp() override {
    EngineTest::SetUp();
    Start(kW, kH);
  }
  void Start(int w, int h, bool transparent = false) {
    ResetEngineForSize(w, h);
    std::mt19937 rng(3);
    std::vector<uint16_t> px(size_t(w) * h * 4);
    for (size_t i = 0; i < px.size(); i += 4) {
      for (int c = 0; c < 3; ++c) px[i + c] = uint16_t((rng() & 0xFF) << 8);
      px[i + 3] = transparent ? 0 : uint16_t(i % 20 == 0 ? 0x8000 : 0xFF00);
    }
    palmora_test::WriteLayer(2, px);
    PMR_IPLAllocSrcBuffer32();
    PMR_IPLAllocDstBuffer32();
  }
  void ResetEngineForSize(int w, int h) {
    palmora_test::ResetEngine();
    MakeCanvas(w, h);
    width_ = w, height_ = h;
  }
  std::vector<uint8_t> Layer32() {
    std::vector<uint8_t> out(size_t(width_) * height_ * 4);
    EXPECT_EQ(PMR_GetRGBA32Layer(out.data(), width_ * 4, 2), 1);
    return out;
  }
  std::vector<uint8_t> Layer24() {
    std::vector<uint8_t> out(size_t(width_) * height_ * 3);
    EXPECT_EQ(PMR_GetRGB24Layer(out.data(), width_ * 3, 2), 1);
    return out;
  }
  int width_ = 0, height_ = 0;
};

// The 32-bit frame by hand: premultiply, the library call, divide again.
template <typename Call>
std::vector<uint8_t> Through32(std::vector<uint8_t> layer, int w, int h, Call call) {
  std::vector<uint8_t> out(layer.size());
  PMR_AdjustRGBA32PreFilter(layer.data(), w, h);
  EXPECT_EQ(call(layer.data(), out.data()), 1);
  PMR_AdjustRGBA32PostFilter(out.data(), w, h);
  return out;
}

// Blur and Gaussian Blur read their sliders exactly so: Blur's strength is the whole percent of
// slider 1; Gaussian Blur's radius is percent x 0.4 + 0.6, or with option 3 a share of the
// canvas's larger side (percent x 0.01 x side x 0.05).
TEST_F(LibraryEffects, BlurAndGaussianBlurMapTheirSlidersAsPublished) {
  struct Case {
    const char* name;
    int slider, option3;
    double radius;  // for Gaussian Blur
  };
  const Case cases[] = {
      {"Blur", 737, 0, 0},
      {"Gaussian Blur", 55, 0, 5.5 * 0.4 + 0.6},
      {"Gaussian Blur", 800, 1, 80 * 0.01 * kW * 0.05},
  };
  const std::vector<uint16_t> original = palmora_test::ReadLayer(2);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.slider));
    palmora_test::WriteLayer(2, original);
    const std::vector<uint8_t> before = Layer32();
    const std::vector<uint8_t> want = Through32(before, kW, kH, [&](uint8_t* s, uint8_t* d) {
      if (std::string(c.name) == "Blur")
        return imaging::IS3BlurImage(s, kW, kH, 4, kW * 4, d, kW * 4, uint32_t(c.slider / 10), 15);
      return imaging::is5_GaussianBlurImage(s, kW, kH, 4, kW * 4, d, kW * 4, c.radius, 15);
    });
    Args a;
    a.s[0] = c.slider, a.o[2] = c.option3;
    Process(c.name, a);
    EXPECT_EQ(Layer32(), want);
  }
}

// Oil Paint: brush size trunc(percent 1 x 0.1 + 2), amount trunc(percent 2 x 2.55), flags from
// options 3 and 4; Stipple: the whole percent of slider 1 and options 1 and 2 as they come. The
// 24-bit route writes colour only: alpha stays as it was.
TEST_F(LibraryEffects, OilPaintAndStippleMapTheirArgumentsAndKeepAlpha) {
  const std::vector<uint16_t> original = palmora_test::ReadLayer(2);
  for (int round = 0; round < 2; ++round) {
    palmora_test::WriteLayer(2, original);
    const std::vector<uint8_t> rgb = Layer24();
    const std::vector<uint8_t> before32 = Layer32();
    std::vector<uint8_t> want(rgb.size());
    Args a;
    const char* name;
    if (round == 0) {
      name = "Oil Paint";
      a.s[0] = 310, a.s[1] = 640, a.o[2] = 1, a.o[3] = 0;
      ASSERT_EQ(
          imaging::ISE3OilPaintRGB(rgb.data(), kW, kH, kW * 3, want.data(), kW * 3,
                                   uint32_t(31 * 0.01 * 10 + 2), uint32_t(64 * 0.01 * 255), 1),
          1);
    } else {
      name = "Stipple";
      a.s[0] = 455, a.o[0] = 1, a.o[1] = 2;
      ASSERT_EQ(imaging::ISE3Stipple(rgb.data(), kW, kH, kW * 3, want.data(), kW * 3, 45, 1, 2), 1);
    }
    SCOPED_TRACE(name);
    Process(name, a);
    const std::vector<uint8_t> after = Layer32();
    for (int i = 0; i < kW * kH; ++i) {
      for (int c = 0; c < 3; ++c) EXPECT_EQ(after[i * 4 + c], want[i * 3 + c]) << i;
      EXPECT_EQ(after[i * 4 + 3], before32[i * 4 + 3]);
    }
  }
}

// Grayscale: every channel becomes (77 red + 150 green + 29 blue + 128) >> 8 of the layer's
// 8-bit colour; Negative turns every colour byte over; neither touches alpha.
TEST_F(LibraryEffects, GrayscaleAndNegativeFollowTheirDefinitions) {
  const std::vector<uint8_t> before = Layer32();
  Process("Grayscale", Args{});
  std::vector<uint8_t> after = Layer32();
  for (int i = 0; i < kW * kH; ++i) {
    const uint8_t* b = &before[i * 4];
    const int grey = (77 * b[0] + 150 * b[1] + 29 * b[2] + 128) >> 8;
    for (int c = 0; c < 3; ++c) EXPECT_EQ(after[i * 4 + c], grey);
    EXPECT_EQ(after[i * 4 + 3], b[3]);
  }
  Process("Negative", Args{});
  const std::vector<uint8_t> negative = Layer32();
  for (int i = 0; i < kW * kH * 4; ++i)
    EXPECT_EQ(negative[i], i % 4 == 3 ? after[i] : 255 - after[i]);
}

// The unrefreshed group reads the source buffer as the host last filled it: painting the layer
// afterwards changes nothing of what they read, and a second run filters the same old pixels.
TEST_F(LibraryEffects, UnrefreshedGroupReadsTheBufferAsLastFilled) {
  const std::vector<uint8_t> filled = Layer32();
  Args a;
  a.s[0] = 100;
  // What Maximum2 makes of the buffer as filled, worked out from the filled pixels directly.
  std::vector<uint8_t> want(filled.size());
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      for (int c = 0; c < 4; ++c) {
        int m = 0;
        for (int dy = -2; dy <= 2; ++dy)
          for (int dx = -2; dx <= 2; ++dx) {
            const int sx = std::clamp(x + dx, 0, kW - 1), sy = std::clamp(y + dy, 0, kH - 1);
            m = std::max<int>(m, filled[(sy * kW + sx) * 4 + c]);
          }
        want[(y * kW + x) * 4 + c] = uint8_t(m);
      }
  palmora_test::PaintPattern(2, 99);
  Process("Maximum2", a);
  EXPECT_EQ(Layer32(), want);
  palmora_test::PaintPattern(2, 98);
  Process("Maximum2", a);
  EXPECT_EQ(Layer32(), want);
  // Refreshing the buffer is the host's step; then the new layer is read.
  PMR_IPLUpdateSrcBuffer32();
  const std::vector<uint8_t> refreshed = Layer32();
  Process("Minimum2", a);
  const std::vector<uint8_t> after = Layer32();
  for (size_t i = 0; i < after.size(); ++i) EXPECT_LE(after[i], refreshed[i]);
}

// A run that fails part-way (here: no memory for the 24-bit buffers, or for Reduce's small copy)
// writes nothing back, records the dispatcher's message and frees the 24-bit buffers.
TEST_F(LibraryEffects, AFailureWritesNothingAndCleansUp) {
  for (const char* name : {"Grayscale", "Reduce"}) {
    SCOPED_TRACE(name);
    const std::vector<uint16_t> before = palmora_test::ReadLayer(2);
    PMR_SetLastError("");
    engine::SetAllocationCeilingForTesting(std::string(name) == "Grayscale" ? size_t(kW) * kH * 2
                                                                            : 64);
    Args a;
    a.s[0] = 500;
    Process(name, a);
    engine::SetAllocationCeilingForTesting(0);
    EXPECT_EQ(palmora_test::ReadLayer(2), before);
    EXPECT_STREQ(PMR_GetLastError(), "IPLImageProc Excpt");
    EXPECT_EQ(engine::State().processingBuffers.src24, nullptr);
    EXPECT_EQ(engine::State().processingBuffers.dst24, nullptr);
  }
}

// With half the canvas protected by the mask, every library effect (each of the three routes)
// leaves the protected pixels exactly as they were, all 16 bits, and changes some open ones.
TEST_F(LibraryEffects, TheMaskLimitsEveryLibraryEffect) {
  engine::EngineState& s = engine::State();
  ASSERT_NE(s.maskPlane, nullptr);
  const std::vector<uint16_t> original = palmora_test::ReadLayer(2);
  for (const process::EffectDescriptor& e : process::EffectCatalogue()) {
    if (!IsLibraryRoute(e.route)) continue;
    SCOPED_TRACE(std::string(e.name));
    palmora_test::WriteLayer(2, original);
    PMR_IPLUpdateSrcBuffer32();
    for (int i = 0; i < kW * kH; ++i) s.maskPlane[i] = (i % kW) < kW / 2 ? 0 : 65535;
    s.maskEnabled = 1;
    Args a;
    for (int k = 0; k < 6; ++k) a.s[k] = 620 - 60 * k;
    Process(std::string(e.name).c_str(), a);
    const std::vector<uint16_t> after = palmora_test::ReadLayer(2);
    int changedOpen = 0;
    for (int i = 0; i < kW * kH; ++i) {
      const bool same = std::memcmp(&original[i * 4], &after[i * 4], 8) == 0;
      if ((i % kW) < kW / 2) {
        EXPECT_TRUE(same) << "protected pixel " << i;
      } else {
        changedOpen += !same;
      }
    }
    EXPECT_GT(changedOpen, 0);
  }
}

// Every library effect runs on 1 x 1, 1 x N and N x 1 canvases and on a fully transparent layer
// without touching memory beyond its buffers (the sanitizer builds check that), keeps the layer
// size, and leaves a transparent layer's alpha at 0.
TEST_F(LibraryEffects, EveryLibraryEffectRunsOnTinyAndTransparentCanvases) {
  const int sizes[][2] = {{1, 1}, {1, 9}, {9, 1}, {6, 5}};
  for (const auto& size : sizes)
    for (bool transparent : {false, true}) {
      Start(size[0], size[1], transparent);
      for (const process::EffectDescriptor& e : process::EffectCatalogue()) {
        if (!IsLibraryRoute(e.route)) continue;
        SCOPED_TRACE(std::string(e.name) + " " + std::to_string(size[0]) + "x" +
                     std::to_string(size[1]) + (transparent ? " clear" : ""));
        Args a;
        for (int k = 0; k < 6; ++k) a.s[k] = 1000 - 170 * k;
        a.o[0] = a.o[1] = a.o[2] = a.o[3] = 1;
        Process(std::string(e.name).c_str(), a);
        EXPECT_STREQ(PMR_GetLastError(), "");
        const std::vector<uint8_t> layer = Layer32();
        ASSERT_EQ(layer.size(), size_t(size[0]) * size[1] * 4);
        if (transparent) {
          for (int i = 0; i < size[0] * size[1]; ++i) EXPECT_EQ(layer[i * 4 + 3], 0);
        }
      }
    }
}

// Sliders far outside 0..1000 and odd options are limited, never read past a table.
TEST_F(LibraryEffects, SlidersOutsideTheirRangeAreLimited) {
  for (const process::EffectDescriptor& e : process::EffectCatalogue()) {
    if (!IsLibraryRoute(e.route)) continue;
    SCOPED_TRACE(std::string(e.name));
    for (int extreme : {-2147483647, -5000, 5000, 2147483647}) {
      Args a;
      for (int& s : a.s) s = extreme;
      for (int& o : a.o) o = extreme;
      a.script = extreme;
      Process(std::string(e.name).c_str(), a);
      EXPECT_STREQ(PMR_GetLastError(), "");
    }
  }
}

}  // namespace
