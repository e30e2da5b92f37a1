// The fast path (batched, vectorised, row-parallel) against the plain reference loop: seeded
// random rectangles must come out bit-identical in every mode number.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "engine/engine_state.h"
#include "engine/parallel_rows.h"
#include "render/composite_layer_rect.h"
#include "render/composite_model.h"
#include "support/engine_fixture.h"

namespace {

constexpr uint16_t kEdge[] = {0, 1, 255, 8191, 9215, 32512, 32767, 65279, 65280, 65535};

// Pictures with runs of clear and opaque pixels between random ones, so that every path of the
// fast loop (skip, copy, batch) meets its neighbours.
std::vector<uint16_t> RandomPlane(std::mt19937& rng, std::size_t samples) {
  std::vector<uint16_t> plane(samples);
  uint16_t runAlpha = 0;
  int run = 0;
  for (std::size_t i = 0; i < samples; ++i) {
    if (i % 4 == 0 && run-- <= 0) {
      run = int(rng() % 12);
      const uint32_t kind = rng() % 4;
      runAlpha = kind == 0 ? 0 : kind == 1 ? 65535 : kind == 2 ? 65280 : 1;  // 1: random
    }
    uint16_t v = rng() % 4 == 0 ? kEdge[rng() % std::size(kEdge)] : uint16_t(rng());
    if (i % 4 == 3 && runAlpha != 1) v = runAlpha;
    plane[i] = v;
  }
  return plane;
}

struct RectCase {
  int width, height;
  int sourceStride, destStride;  // samples; not always a multiple of 4
  int sourceX, sourceY, destX, destY;
  int mode, clipFlag, opacity;
  uint8_t lock, same;
  bool withClip;
  uint16_t K;
};

RectCase RandomCase(std::mt19937& rng, int mode) {
  RectCase c;
  c.width = 1 + int(rng() % 33);
  c.height = 1 + int(rng() % 9);
  c.sourceX = int(rng() % 5);
  c.sourceY = int(rng() % 4);
  c.destX = int(rng() % 5);
  c.destY = int(rng() % 4);
  c.sourceStride = 4 * (c.sourceX + c.width) + int(rng() % 7);
  c.destStride = 4 * (c.destX + c.width) + int(rng() % 7);
  const int opacities[] = {0, 1, 128, 254, 255, 256};
  c.opacity = rng() % 2 ? opacities[rng() % 6] : int(rng() % 257);
  c.mode = mode;
  c.withClip = rng() % 2;
  c.clipFlag = rng() % 4 ? 42 : 7;
  c.lock = rng() % 3 == 0;
  c.same = rng() % 2;
  const uint16_t ks[] = {65535, 0, 12345, 65280};
  c.K = ks[rng() % 4];
  return c;
}

// Runs a case on fresh copies of the planes and returns the whole destination plane, so that a
// write outside the rectangle shows too.
std::vector<uint16_t> RunCase(const RectCase& c, const std::vector<uint16_t>& source,
                              const std::vector<uint16_t>& clip, std::vector<uint16_t> dest,
                              bool reference) {
  render::ForceReferenceCompositeForTesting(reference);
  engine::State().alphaLayerOpacity = c.K;
  render::CompositeLayerRect(source.data(), c.sourceX, c.sourceY, c.width, c.height, c.sourceStride,
                             c.withClip ? clip.data() : nullptr, dest.data(), c.destX, c.destY,
                             c.destStride, c.mode, c.clipFlag, c.opacity, c.lock, c.same);
  render::ForceReferenceCompositeForTesting(false);
  return dest;
}

using CompositePaths = palmora_test::EngineTest;

TEST_F(CompositePaths, RandomRectanglesAreBitIdenticalInEveryMode) {
  std::mt19937 rng(77);
  for (int mode = 0; mode < 45; ++mode) {
    for (int round = 0; round < 40; ++round) {
      const RectCase c = RandomCase(rng, mode);
      const auto source = RandomPlane(rng, std::size_t(c.sourceStride) * (c.sourceY + c.height));
      const auto clip = RandomPlane(rng, source.size());
      const auto dest = RandomPlane(rng, std::size_t(c.destStride) * (c.destY + c.height) + 3);
      const auto fast = RunCase(c, source, clip, dest, false);
      const auto reference = RunCase(c, source, clip, dest, true);
      ASSERT_EQ(fast, reference) << "mode " << mode << " round " << round << " width " << c.width
                                 << " opacity " << c.opacity;
    }
  }
}

// Large enough to be split into row bands on several threads.
TEST_F(CompositePaths, ParallelBandsMatchTheSerialReference) {
  std::mt19937 rng(5);
  for (int mode : {0, 1, 10, 11, 19, 30, 35, 42}) {
    RectCase c = RandomCase(rng, mode);
    c.width = 613;
    c.height = 211;
    c.sourceStride = 4 * (c.sourceX + c.width) + 3;
    c.destStride = 4 * (c.destX + c.width) + 1;
    c.withClip = true;
    c.clipFlag = 42;
    const auto source = RandomPlane(rng, std::size_t(c.sourceStride) * (c.sourceY + c.height));
    const auto clip = RandomPlane(rng, source.size());
    const auto dest = RandomPlane(rng, std::size_t(c.destStride) * (c.destY + c.height));
    EXPECT_EQ(RunCase(c, source, clip, dest, false), RunCase(c, source, clip, dest, true))
        << "mode " << mode;
  }
}

// When the destination lies one pixel down and right of the source in the same buffer, each pixel
// reads what the pixel up and left of it wrote: the result must follow the pixel order (rows
// top to bottom, pixels left to right), never row bands side by side. Clear and opaque alphas
// keep every pixel on an exact path.
TEST_F(CompositePaths, OverlappingBuffersFollowThePixelOrder) {
  std::mt19937 rng(9);
  const int width = 300, height = 240, stride = 4 * width;
  std::vector<uint16_t> plane(std::size_t(stride) * height);
  for (std::size_t i = 0; i < plane.size(); ++i) {
    plane[i] = i % 4 == 3 ? kEdge[(rng() % 3) == 0 ? 0 : 8 + rng() % 2] : uint16_t(rng());
  }
  std::vector<uint16_t> expect = plane;
  for (int y = 0; y + 1 < height; ++y) {
    for (int x = 0; x + 1 < width; ++x) {
      const uint16_t* s = &expect[std::size_t(y) * stride + 4 * x];
      uint16_t* d = &expect[std::size_t(y + 1) * stride + 4 * (x + 1)];
      const auto out =
          composite_model::Composite({s[0], s[1], s[2], s[3]}, {d[0], d[1], d[2], d[3]}, {}, {});
      ASSERT_FALSE(out.blended);
      d[0] = out.pixel.r, d[1] = out.pixel.g, d[2] = out.pixel.b, d[3] = out.pixel.a;
    }
  }
  render::CompositeLayerRect(plane.data(), 0, 0, width - 1, height - 1, stride, nullptr,
                             plane.data(), 1, 1, stride, 0, 0, 256, 0, 0);
  EXPECT_EQ(plane, expect);
}

// Serial and threaded runs of the same job agree.
TEST_F(CompositePaths, ThreadCountDoesNotChangeTheResult) {
  std::mt19937 rng(11);
  RectCase c = RandomCase(rng, 10);
  c.width = 517;
  c.height = 300;
  c.sourceStride = 4 * (c.sourceX + c.width);
  c.destStride = 4 * (c.destX + c.width);
  const auto source = RandomPlane(rng, std::size_t(c.sourceStride) * (c.sourceY + c.height));
  const auto dest = RandomPlane(rng, std::size_t(c.destStride) * (c.destY + c.height));
  engine::SetRowBandThreadsForTesting(1);
  const auto serial = RunCase(c, source, source, dest, false);
  engine::SetRowBandThreadsForTesting(0);
  EXPECT_EQ(serial, RunCase(c, source, source, dest, false));
}

TEST_F(CompositePaths, EmptyRectanglesAndNullBuffersWriteNothing) {
  std::vector<uint16_t> source(64, 40000), dest(64, 123);
  const auto before = dest;
  for (int mode : {0, 24, 43}) {
    render::CompositeLayerRect(source.data(), 0, 0, 0, 4, 16, nullptr, dest.data(), 0, 0, 16, mode,
                               0, 256, 0, 0);
    render::CompositeLayerRect(source.data(), 0, 0, 4, -1, 16, nullptr, dest.data(), 0, 0, 16, mode,
                               0, 256, 0, 0);
    render::CompositeLayerRect(nullptr, 0, 0, 4, 4, 16, nullptr, dest.data(), 0, 0, 16, mode, 0,
                               256, 0, 0);
    render::CompositeLayerRect(source.data(), 0, 0, 4, 4, 16, nullptr, nullptr, 0, 0, 16, mode, 0,
                               256, 0, 0);
  }
  EXPECT_EQ(dest, before);
}

}  // namespace
