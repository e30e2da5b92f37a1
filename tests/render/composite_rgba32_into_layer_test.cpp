// Compositing an 8-bit picture into a layer through the compositing routine.
#include <gtest/gtest.h>

#include <vector>

#include "render/composite_rgba32_into_layer.h"
#include "engine/engine_state.h"
#include "engine/heap.h"
#include "support/engine_fixture.h"
#include "support/transfer_support.h"

namespace {

using engine::State;
using palmora_test::ReadLayer;

using CompositeRGBA32IntoLayer = palmora_test::EngineTest;

TEST_F(CompositeRGBA32IntoLayer, OpaqueNormalPictureReplacesTheLayer) {
  MakeCanvas(5, 3);
  palmora_test::PaintPattern(2, 6);
  auto src = palmora_test::RandomBytes(5 * 3 * 4, 2);
  for (std::size_t i = 3; i < src.size(); i += 4) src[i] = 255;
  ASSERT_TRUE(render::CompositeRGBA32IntoLayer(src.data(), State().layers[2].pixels, 0, 0, 256, 0));
  // An opaque 8-bit source (alpha 255, 65280 at 16 bits) over anything in "Normal" at full
  // opacity replaces the destination with itself, alpha included.
  const auto out = ReadLayer(2);
  for (std::size_t i = 0; i < src.size(); ++i) EXPECT_EQ(out[i], src[i] * 256) << i;
}

TEST_F(CompositeRGBA32IntoLayer, WithoutMemoryOrPointersNothingHappens) {
  MakeCanvas(5, 3);
  palmora_test::PaintPattern(2, 6);
  const std::vector<uint8_t> src(5 * 3 * 4, 200);
  const uint64_t before = palmora_test::EngineChecksum();
  engine::SetAllocationCeilingForTesting(64);
  EXPECT_FALSE(
      render::CompositeRGBA32IntoLayer(src.data(), State().layers[2].pixels, 0, 0, 256, 0));
  engine::SetAllocationCeilingForTesting(0);
  EXPECT_FALSE(render::CompositeRGBA32IntoLayer(nullptr, State().layers[2].pixels, 0, 0, 256, 0));
  EXPECT_FALSE(render::CompositeRGBA32IntoLayer(src.data(), nullptr, 0, 0, 256, 0));
  EXPECT_EQ(palmora_test::EngineChecksum(), before);
}

}  // namespace
