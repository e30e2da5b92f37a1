// The view rendered by row spans against the same view rendered pixel by pixel through the layer
// list, which stays as the reference: random stacks of every merge mode with layer masks,
// opacities and a paint layer, at every zoom path, with mask display and tracing, partial
// rectangles and spans cut at their limit, on one thread and on two, with and without the vector
// lanes. Every byte must agree.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/parallel_rows.h"
#include "palmora/palmora.h"
#include "platform/cpu_features.h"
#include "platform/cpu_features_internal.h"
#include "render/blend_rules.h"
#include "render/merge_mode_names.h"
#include "render/view_output.h"
#include "render/view_render_list.h"
#include "render/view_span.h"
#include "support/engine_fixture.h"

namespace {

using engine::State;
using palmora_test::EngineTest;
using palmora_test::ReadLayer;
using palmora_test::WriteLayer;

constexpr uint8_t kFill = 0x5A;

class ViewSpans : public EngineTest {
 protected:
  void TearDown() override {
    render::SetViewSpansForTesting(true);
    platform::SetCpuLevelForTesting(platform::CpuLevel::kAvx512);
    engine::SetRowBandThreadsForTesting(0);
    EngineTest::TearDown();
  }

  uint32_t Next() { return rng_ = rng_ * 1664525u + 1013904223u, rng_ >> 8; }

  // Painted-looking pixels: runs of clear, opaque, nearly opaque and soft alpha.
  void Paint(uint16_t* px, std::size_t pixels) {
    static const uint16_t kEdges[] = {0, 1, 255, 65279, 65280, 65535};
    std::size_t k = 0;
    while (k < pixels) {
      const std::size_t run = 1 + Next() % 40;
      const uint32_t kind = Next() % 4;
      const uint16_t fixed = kEdges[Next() % 6];
      for (std::size_t end = std::min(pixels, k + run); k < end; ++k) {
        uint16_t* p = px + 4 * k;
        for (int c = 0; c < 3; ++c)
          p[c] = Next() % 5 == 0 ? uint16_t(65280 + Next() % 256) : uint16_t(Next());
        p[3] = kind == 0 ? 0 : kind == 1 ? 65535 : kind == 2 ? fixed : uint16_t(Next());
      }
    }
  }

  std::vector<uint8_t> Draw(int x, int y, int w, int h, int stride, int rows) {
    std::vector<uint8_t> target(std::size_t(stride) * rows, kFill);
    EXPECT_EQ(PMR_Render(target.data(), stride, x, y, w, h), 1);
    return target;
  }

  uint32_t rng_ = 2024;
};

TEST_F(ViewSpans, RandomStacksOfEveryModeMatchThePixelPath) {
  constexpr int kW = 300, kH = 21;  // wider than one span
  struct Zoom {
    int32_t factor;
    float step;
  };
  const Zoom zooms[] = {{1, 1.0f}, {1, 4.0f}, {3, 1.0f}, {1, 1.7f}, {0, 0.3f}, {2, 1.0f}};
  const int opacities[] = {100, 100, 100, 99, 50};
  for (int round = 0; round < 36; ++round) {
    MakeCanvas(kW, kH, 7, 2);
    auto& s = State();
    for (int i = 1; i <= 7; ++i) {
      auto px = ReadLayer(i);
      Paint(px.data(), px.size() / 4);
      WriteLayer(i, px);
      PMR_SetLayerOptions(i, i == 1 ? round % 3 == 0 : Next() % 7 != 0, 0, opacities[Next() % 5],
                          "Normal");
      // Every mode number, the unnamed one included; ordinary modes more often.
      s.layers[i].mergeMode = i == 1 ? 0 : Next() % 2 ? int32_t(Next() % 23) : int32_t(Next() % 45);
    }
    PMR_SetAlphaLayerOpacity(round % 4 == 1 ? 60 : 100);
    PMR_SetLayer(2 + int32_t(Next() % 6));
    if (round % 2 == 1) {
      PMR_CreatePaintLayer(round % 5 == 1 ? 70 : 100, "Normal");
      s.paintLayer.mergeMode = Next() % 3 ? 0 : int32_t(Next() % 45);
      Paint(s.paintLayer.pixels, std::size_t(kW) * kH);
    }
    if (round % 6 == 2) {
      for (int i = 0; i < kW * kH; ++i) s.maskPlane[i] = uint16_t(i % 5 == 0 ? 65535 : Next());
      PMR_SetMaskOptions(255, 0, 0, 0, 0, 255, round % 12 == 2);
      PMR_DisplayMask(1);
      PMR_EnableMask(1);
    }
    if (round % 6 == 4) {
      ASSERT_EQ(PMR_CreateLayer(0, kW, kH), 1);
      auto px = ReadLayer(0);
      Paint(px.data(), px.size() / 4);
      WriteLayer(0, px);
      PMR_SetTracingMode(1);
    }
    const Zoom zoom = zooms[round % 6];
    PMR_SetScale(zoom.factor, zoom.step);
    PMR_SetViewSize(round % 4 == 3 ? 200 : 4096, round % 4 == 3 ? 15 : 4096);
    // The whole canvas, then a rectangle starting inside or left of and above it.
    for (int part = 0; part < 2; ++part) {
      const int x = part ? int(Next() % 60) - 20 : 0, y = part ? int(Next() % 8) - 3 : 0;
      const int w = part ? 1 + int(Next() % kW) : kW, h = part ? 1 + int(Next() % kH) : kH;
      const int stride = 3 * 3 * kW + 5, rows = 3 * kH;
      render::SetViewSpansForTesting(false);
      engine::SetRowBandThreadsForTesting(1);
      const auto want = Draw(x, y, w, h, stride, rows);
      render::SetViewSpansForTesting(true);
      for (int threads = 1; threads <= 2; ++threads) {
        engine::SetRowBandThreadsForTesting(threads);
        for (bool vector : {true, false}) {
          platform::SetCpuLevelForTesting(vector ? platform::CpuLevel::kAvx512
                                                 : platform::CpuLevel::kSse41);
          const auto got = Draw(x, y, w, h, stride, rows);
          std::size_t first = 0, diffs = 0;
          for (std::size_t b = 0; b < got.size(); ++b)
            if (got[b] != want[b] && diffs++ == 0) first = b;
          ASSERT_EQ(diffs, 0u) << "round " << round << " part " << part << " threads " << threads
                               << " vector " << vector << ": first difference at row "
                               << first / stride << ", byte " << first % stride << " (got "
                               << int(got[first]) << ", want " << int(want[first]) << ")";
        }
      }
    }
  }
}

TEST_F(ViewSpans, TheOnePassKernelMatchesThePixelPathOnEveryMode) {
  // Stacks of every mode the view shows (the alpha modes that switch some pixels to Texturize2
  // and the texture modes more often), "Layer Mask" layers over painted ones, opacities down to
  // 0 %, a paint layer, at every zoom with the output options, on a canvas whose width leaves
  // spans that end inside a group of eight. The one-pass kernel must be the one that runs (where
  // the CPU level allows it) and agree byte for byte.
  constexpr int kW = 261, kH = 19;
  std::vector<int32_t> shown;
  for (int32_t mode = 0; mode < 45; ++mode)
    if (mode != 21) shown.push_back(mode);
  for (int32_t mode : {19, 20, 31, 32}) shown.insert(shown.end(), 3, mode);
  const auto pick = [&] { return shown[Next() % shown.size()]; };
  struct Zoom {
    int32_t factor;
    float step;
  };
  // Zoomed out by whole steps of 2 to 4 the one-pass kernel reads whole registers instead of
  // gathering: those steps run with and without mask display and tracing.
  const Zoom zooms[] = {{1, 1.0f}, {1, 4.0f}, {3, 1.0f}, {1, 1.3f},
                        {0, 0.4f}, {1, 2.0f}, {1, 3.0f}};
  const int opacities[] = {100, 100, 99, 50, 0};
  const int alphaOpacities[] = {100, 60, 37};
  const bool kernelAllowed = platform::CpuAtLeast(platform::CpuLevel::kAvx512);
  for (int round = 0; round < 40; ++round) {
    MakeCanvas(kW, kH, 7, 2);
    auto& s = State();
    for (int i = 1; i <= 7; ++i) {
      auto px = ReadLayer(i);
      Paint(px.data(), px.size() / 4);
      WriteLayer(i, px);
      PMR_SetLayerOptions(i, i == 1 ? round % 2 : Next() % 6 != 0, 0, opacities[Next() % 5],
                          "Normal");
      s.layers[i].mergeMode = i == 1 ? pick() : Next() % 3 == 0 ? render::kModeLayerMask : pick();
    }
    PMR_SetAlphaLayerOpacity(alphaOpacities[round % 3]);
    PMR_SetLayer(2 + int32_t(Next() % 6));
    if (round % 3 != 0) {
      PMR_CreatePaintLayer(round % 4 == 1 ? 70 : 100, "Normal");
      s.paintLayer.mergeMode = Next() % 2 ? 0 : pick();
      Paint(s.paintLayer.pixels, std::size_t(kW) * kH);
    }
    if (round % 5 == 2) {
      for (int i = 0; i < kW * kH; ++i) s.maskPlane[i] = uint16_t(i % 3 == 0 ? 65535 : Next());
      PMR_SetMaskOptions(255, 10, 0, 0, 40, 255, round % 10 == 2);
      PMR_DisplayMask(1);
      PMR_EnableMask(1);
    }
    if (round % 5 == 4) {
      ASSERT_EQ(PMR_CreateLayer(0, kW, kH), 1);
      auto px = ReadLayer(0);
      Paint(px.data(), px.size() / 4);
      WriteLayer(0, px);
      PMR_SetTracingMode(1);
    }
    render::ViewRenderList list;
    render::BuildViewRenderList(s, list);
    EXPECT_EQ(render::ViewFusedSpanVector(list) != nullptr, kernelAllowed) << "round " << round;

    const Zoom zoom = zooms[round % 7];
    PMR_SetScale(zoom.factor, zoom.step);
    PMR_SetViewSize(4096, 4096);
    const int x = round % 2 ? int(Next() % 40) - 10 : 0, y = round % 2 ? int(Next() % 6) - 2 : 0;
    const int stride = 3 * 3 * kW + 7, rows = 3 * kH;
    render::SetViewSpansForTesting(false);
    engine::SetRowBandThreadsForTesting(1);
    const auto want = Draw(x, y, kW, kH, stride, rows);
    render::SetViewSpansForTesting(true);
    for (int threads = 1; threads <= 2; ++threads) {
      engine::SetRowBandThreadsForTesting(threads);
      ASSERT_EQ(Draw(x, y, kW, kH, stride, rows), want)
          << "round " << round << " threads " << threads;
    }
  }
}

TEST_F(ViewSpans, EdgeAlphasAndChannelsOfEveryModeMatchThePixelPath) {
  // Every pairing of the alphas where the compositing paths part (clear, 1, just under and at
  // the opaque-copy threshold, just under and at full) and of edge colour values (0, 65280,
  // 65535, as the Dodge and Burn quotients and the clamps meet them), one mode at a time over a
  // Normal layer and under an "Alpha Normal" one, so that blends land on composites of alpha
  // exactly 1 and just below it.
  static const uint16_t kAlphas[] = {0, 1, 32767, 65279, 65280, 65534, 65535};
  static const uint16_t kChannels[] = {0, 1, 32640, 65280, 65535};
  constexpr int kPairs = 7 * 7;
  constexpr int kW = kPairs * 5;
  MakeCanvas(kW, 1, 4, 2);
  std::vector<uint16_t> below(4 * kW), over(4 * kW), top(4 * kW);
  for (int x = 0; x < kW; ++x) {
    const int pair = x % kPairs, shade = x / kPairs;
    for (int c = 0; c < 3; ++c) {
      below[4 * x + c] = kChannels[(shade + c) % 5];
      over[4 * x + c] = kChannels[(shade + 2 * c + 1) % 5];
      top[4 * x + c] = kChannels[(shade + c + 3) % 5];
    }
    below[4 * x + 3] = kAlphas[pair / 7];
    over[4 * x + 3] = kAlphas[pair % 7];
    top[4 * x + 3] = kAlphas[(pair + shade) % 7];
  }
  WriteLayer(2, below);
  WriteLayer(3, over);
  WriteLayer(4, top);
  PMR_SetViewSize(4096, 4096);
  for (int32_t mode = 0; mode < 45; ++mode) {
    if (mode == render::kModeTexturize3) continue;  // never shown
    for (int withTop = 0; withTop < 2; ++withTop) {
      PMR_SetLayerOptions(2, 1, 0, 100, "Normal");
      PMR_SetLayerOptions(3, 1, 0, 100, "Normal");
      PMR_SetLayerOptions(4, withTop, 0, 100, "Alpha Normal");
      State().layers[3].mergeMode = mode;
      render::SetViewSpansForTesting(false);
      const auto want = Draw(0, 0, kW, 1, kW * 3, 1);
      render::SetViewSpansForTesting(true);
      ASSERT_EQ(Draw(0, 0, kW, 1, kW * 3, 1), want) << "mode " << mode << " top " << withTop;
    }
  }
}

TEST_F(ViewSpans, EveryAlphaOfEveryAlphaModeMatchesThePixelPath) {
  // A 256 x 256 layer whose alpha runs through all 65536 values, in each alpha mode: once over a
  // painted layer with a Multiply layer above (covering tests, blends over the entry), once as
  // the opaque background at the bottom; the alpha-layer opacity at 100 % and 60 %; read row by
  // row and sampled. Every threshold of every pre-pass is met on both sides of it.
  constexpr int kSide = 256;
  MakeCanvas(kSide, kSide, 4, 2);
  auto& s = State();
  for (int i = 2; i <= 4; i += 2) {
    auto px = ReadLayer(i);
    Paint(px.data(), px.size() / 4);
    WriteLayer(i, px);
  }
  auto sweep = ReadLayer(3);
  for (int k = 0; k < kSide * kSide; ++k) {
    // Colours at the ends of the range too: the Lum modes lighten past 65535.
    for (int c = 0; c < 3; ++c)
      sweep[4 * k + c] = Next() % 4 == 0 ? uint16_t(Next() % 3 * 32767) : uint16_t(Next());
    sweep[4 * k + 3] = uint16_t(k);
  }
  WriteLayer(1, sweep);
  WriteLayer(3, sweep);
  PMR_SetViewSize(4096, 4096);
  const int stride = kSide * 3;
  for (int32_t mode = 23; mode <= 44; ++mode) {
    for (int background = 0; background < 2; ++background) {
      PMR_SetLayerOptions(1, background, 0, 100, "Normal");
      PMR_SetLayerOptions(2, 1, 0, 100, "Normal");
      PMR_SetLayerOptions(3, !background, 0, 100, "Normal");
      PMR_SetLayerOptions(4, 1, 0, 70, "Multiply");
      s.layers[background ? 1 : 3].mergeMode = mode;
      PMR_SetAlphaLayerOpacity((mode + background) % 2 ? 60 : 100);
      for (float step : {1.0f, 1.5f}) {
        PMR_SetScale(1, step);
        render::SetViewSpansForTesting(false);
        const auto want = Draw(0, 0, kSide, kSide, stride, kSide);
        render::SetViewSpansForTesting(true);
        ASSERT_EQ(Draw(0, 0, kSide, kSide, stride, kSide), want)
            << "mode " << mode << " background " << background << " step " << step;
      }
    }
  }
}

TEST_F(ViewSpans, TheVectorOutputStageWritesWhatThePixelWriterWrites) {
  // Composites of every kind (copied integers, colours past 65535 as the lightening alpha modes
  // leave them, blended doubles, clear, opaque and nearly opaque) through every output option,
  // sampled columns at random, a whole span and one cut short inside a group of four.
  const render::ViewSpanOutputKernel output = render::ViewSpanOutputVector();
  if (!output) GTEST_SKIP() << "no vector output stage at this CPU level";
  const auto state = engine::MakeOwnedPlane<render::ViewSpanState>(1);
  render::ViewSpanState& st = state[0];
  constexpr int kRowPixels = 700;
  std::vector<uint16_t> tracing(4 * kRowPixels), mask(kRowPixels);
  for (auto& t : tracing) t = uint16_t(Next());
  static const uint16_t kMaskEdges[] = {0, 1, 32767, 65534, 65535};
  for (auto& m : mask) m = Next() % 3 ? kMaskEdges[Next() % 5] : uint16_t(Next());
  static const int32_t kAlphas[] = {0, 1, 255, 65279, 65280, 65534, 65535};
  for (int round = 0; round < 64; ++round) {
    const int32_t count = round % 2 ? render::kViewSpan : render::kViewSpan - 3;
    alignas(16) int32_t cols[render::kViewSpan];
    for (int32_t j = 0; j < render::kViewSpan; ++j) {
      cols[j] = int32_t(Next() % kRowPixels);
      st.copied[j] = int32_t(Next() % 2);
      for (int k = 0; k < 3; ++k) {
        st.copy[k][j] = Next() % 6 == 0 ? int32_t(65280 + Next() % 10000) : int32_t(Next() % 65536);
        st.c[k][j] = Next() % 5 == 0 ? double(Next() % 2) : (Next() % 1000000) / 1e6;
      }
      st.copy[3][j] = Next() % 2 ? kAlphas[Next() % 7] : int32_t(Next() % 65536);
      st.A[j] = Next() % 4 == 0 ? 1.0 : (1 + Next() % 1000000) / 1e6;
    }
    for (int32_t j = count; j < render::kViewSpan; ++j) cols[j] = cols[count - 1];
    render::ViewOutput out;
    out.fullStrength = round % 4 >= 2;
    for (int k = 0; k < 3; ++k)
      out.tintOdd[k] = (Next() % 256) * 256, out.tintEven[k] = (Next() % 256) * 256;
    const bool withTracing = round % 8 >= 4, withMask = round % 16 >= 8,
               skipOpen = round % 32 >= 16;
    if (withMask) out.mask = mask.data();
    const int32_t cy = int32_t(Next() % 300);
    const render::ViewSpanOutputRow row{
        &out,    cols, cy, withTracing ? tracing.data() : nullptr, withMask ? mask.data() : nullptr,
        skipOpen};
    std::vector<uint8_t> got(3 * render::kViewSpan + 16, kFill);
    output(st, count, row, got.data());

    // The reference: the pixel writer, with the tracing image seen through a plane whose row cy
    // is the tracing row.
    render::Pixel16 px[render::kViewSpan];
    render::FinishViewSpan(st, count, px);
    out.tracing = withTracing ? tracing.data() : nullptr;
    for (int32_t j = 0; j < count; ++j) {
      uint8_t want[3];
      render::WriteViewPixel(out, px[j], cols[j], cy, std::size_t(cols[j]) * 4, mask[cols[j]],
                             skipOpen, want);
      ASSERT_TRUE(got[3 * j] == want[0] && got[3 * j + 1] == want[1] && got[3 * j + 2] == want[2])
          << "round " << round << " position " << j;
    }
  }
}

TEST(ViewSpanIdentities, TheNormalRuleAtAlphaOneReadsAsACopyOfTheClampedColour) {
  // The one-pass kernel keeps the Normal rule at alpha 1 over a filled composite (colour
  // Clamp01(s / 65280), alpha 1) as an integer copy of min(s, 65280) and 65535, which a later
  // blend reads through the copy conversion: sound only if both give the same doubles for every
  // stored value.
  for (int32_t s = 0; s <= 65535; ++s) {
    ASSERT_EQ(render::Clamp01(s * render::kInvColorOne), std::min(s, 65280) * (1.0 / 65280.0)) << s;
  }
  EXPECT_EQ(65535 * (1.0 / 65535.0), 1.0);
}

TEST_F(ViewSpans, AHeapRefusalForTheSpanStateIsReportedAndTheNextRenderIsWhole) {
  // The span state comes from the engine heap once per band; a refusal there must reach the
  // caller as the export's failure, not draw a partial or garbage picture as if it had succeeded.
  MakeCanvas(64, 16, 3, 2);
  for (int i = 2; i <= 3; ++i) {
    auto px = ReadLayer(i);
    Paint(px.data(), px.size() / 4);
    WriteLayer(i, px);
    PMR_SetLayerOptions(i, 1, 0, 100, i == 3 ? "Multiply" : "Normal");
  }
  PMR_SetViewSize(4096, 4096);
  render::SetViewSpansForTesting(false);
  const auto want = Draw(0, 0, 64, 16, 64 * 3, 16);
  render::SetViewSpansForTesting(true);
  engine::SetAllocationCeilingForTesting(sizeof(render::ViewSpanState) - 1);
  std::vector<uint8_t> target(64 * 3 * 16, kFill);
  PMR_SetLastError("");
  EXPECT_EQ(PMR_Render(target.data(), 64 * 3, 0, 0, 64, 16), 0);
  EXPECT_STREQ(PMR_GetLastError(), "Render Excpt");
  engine::SetAllocationCeilingForTesting(0);
  EXPECT_EQ(Draw(0, 0, 64, 16, 64 * 3, 16), want);
}

}  // namespace
