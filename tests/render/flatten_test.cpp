// The flattening against its definition: transparent black, the background copied when visible,
// then every visible layer merged into the buffer with PMR_MergeLayerIntoRect in index order,
// each step through the plain reference compositing loop.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/engine_state.h"
#include "render/composite_layer_rect.h"
#include "support/engine_fixture.h"

namespace {

using engine::State;

class Flatten : public palmora_test::EngineTest {
 protected:
  // Layers 1..top with random colour and alphas that favour the edges of the skip and copy rules.
  void RandomStack(int32_t width, int32_t height, int32_t top, uint32_t seed) {
    MakeCanvas(width, height, top, 2);
    uint32_t rng = seed;
    auto next = [&rng] { return rng = rng * 1664525u + 1013904223u, rng >> 8; };
    const uint16_t edges[] = {0, 255, 65279, 65280, 65535};
    const char* modes[] = {"Normal", "Normal",     "Normal",      "Multiply",
                           "Screen", "Layer Mask", "Alpha Shader"};
    const int32_t opacities[] = {100, 100, 99, 0};
    for (int32_t i = 1; i <= top; ++i) {
      std::vector<uint16_t> px(std::size_t(width) * height * 4);
      for (std::size_t k = 0; k < px.size();) {
        // Runs of one kind of alpha, as painted layers have, of 1..300 pixels.
        const uint32_t kind = next() % 6;
        const uint16_t runAlpha = kind < 5 ? edges[kind] : 0;
        for (uint32_t run = 1 + next() % 300; run > 0 && k < px.size(); --run, k += 4) {
          for (int c = 0; c < 3; ++c) px[k + c] = uint16_t(next());
          px[k + 3] = kind < 5 ? runAlpha : uint16_t(next());
        }
      }
      palmora_test::WriteLayer(i, px);
      if (i >= 2) {
        PMR_SetLayerOptions(i, next() % 5 != 0, 0, opacities[next() % 4], modes[next() % 7]);
      }
    }
    PMR_SetLayerOptions(1, next() % 3 != 0, 0, 100, "Normal");
  }

  // The definition, step by step, through the reference loop.
  static void FlattenByDefinition(uint16_t* buffer, int32_t x, int32_t y, int32_t w, int32_t h) {
    const auto& s = State();
    std::memset(buffer, 0, std::size_t(w) * h * 8);
    const auto& background = s.layers[1];
    if (background.pixels && background.visible == 1) {
      for (int32_t j = 0; j < h; ++j)
        for (int32_t i = 0; i < w; ++i) {
          const int32_t cx = x + i, cy = y + j;
          if (cx < 0 || cy < 0 || cx >= s.canvasWidth || cy >= s.canvasHeight) continue;
          std::memcpy(buffer + (std::size_t(j) * w + i) * 4,
                      background.pixels + (std::size_t(cy) * s.canvasWidth + cx) * 4, 8);
        }
    }
    render::ForceReferenceCompositeForTesting(true);
    for (int32_t index = 2; index < 64; ++index) {
      if (s.layers[index].pixels && s.layers[index].visible)
        PMR_MergeLayerIntoRect(index, buffer, x, y, w, h);
    }
    render::ForceReferenceCompositeForTesting(false);
  }
};

TEST_F(Flatten, RandomStacksEqualTheirDefinition) {
  // Wider than one piece of columns, and rectangles that start and end off the canvas.
  struct Case {
    int32_t width, height, top;
    int32_t x, y, w, h;
  };
  const Case cases[] = {{1100, 3, 9, 0, 0, 1100, 3},
                        {1100, 4, 7, -5, 1, 1110, 2},
                        {300, 70, 8, 3, -2, 290, 80},
                        {33, 9, 5, 0, 0, 33, 9}};
  uint32_t seed = 7;
  for (const Case& c : cases) {
    for (int round = 0; round < 3; ++round) {
      RandomStack(c.width, c.height, c.top, seed++);
      if (round == 2) {
        // No layer whose pixels overwrite the buffer whole: nothing can be skipped.
        for (int32_t i = 2; i <= c.top; ++i)
          PMR_SetLayerOptions(i, 1, 0, i % 2 ? 100 : 60, "Multiply");
      }
      std::vector<uint16_t> want(std::size_t(c.w) * c.h * 4), got(want.size(), 0xBEEF);
      FlattenByDefinition(want.data(), c.x, c.y, c.w, c.h);
      PMR_MergeRect(got.data(), c.x, c.y, c.w, c.h);
      std::size_t diffs = 0, first = 0;
      for (std::size_t k = 0; k < got.size(); ++k)
        if (got[k] != want[k] && diffs++ == 0) first = k;
      ASSERT_EQ(diffs, 0u) << "canvas " << c.width << "x" << c.height << " round " << round
                           << ": first difference at pixel " << first / 4;
    }
  }
}

TEST_F(Flatten, BufferThatIsALayerSeesEachStepInTurn) {
  // The host hands layer 3's own plane as the buffer: clearing it and compositing the layers
  // below changes what layer 3 then composites. The steps run one after the other over the whole
  // buffer.
  RandomStack(40, 6, 5, 99);
  for (int32_t i = 2; i <= 5; ++i)
    PMR_SetLayerOptions(i, 1, 0, 100, i == 4 ? "Multiply" : "Normal");
  uint16_t* plane = State().layers[3].pixels;
  const std::vector<uint16_t> before(plane, plane + 40 * 6 * 4);
  FlattenByDefinition(plane, 0, 0, 40, 6);
  const std::vector<uint16_t> want(plane, plane + 40 * 6 * 4);
  std::memcpy(plane, before.data(), before.size() * 2);
  PMR_Merge(plane);
  EXPECT_EQ(std::vector<uint16_t>(plane, plane + 40 * 6 * 4), want);
}

}  // namespace
