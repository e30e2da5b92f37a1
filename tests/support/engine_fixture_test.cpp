// Support code for the engine tests (the file name joins it to the test program).
#include "support/engine_fixture.h"

#include <cstring>

#include "brush/tool_state.h"
#include "engine/heap.h"
#include "engine/random_pool.h"
#include "platform/memory_status.h"

namespace palmora_test {

void ResetEngine() {
  engine::SetAllocationCeilingForTesting(0);
  platform::OverrideMemoryStatusForTesting(nullptr);
  PMR_DeleteImage();
  PMR_IsDisplayChanged();
  PMR_CloseAVI();
  PMR_I2PDF_Reset();
  engine::EngineState& s = engine::State();
  engine::DeleteRandArrayBtye(s.randomPoolA);
  engine::DeleteRandArrayBtye(s.randomPoolB);
  engine::ReleasePlane(s.importBuffer.pixels);
  s = engine::EngineState{};
  brush::ResetBrushState();
  engine::Generator().Seed(1);
}

void EngineTest::MakeCanvas(int32_t width, int32_t height, int32_t top, int32_t current) {
  PMR_CreateImage(nullptr, width, height, 32, 0);
  for (int32_t index = 0; index <= top; ++index) {
    ASSERT_EQ(PMR_CreateLayer(index, width, height), 1);
    PMR_SetLayerOptions(index, 1, 0, 100, "Normal");
  }
  PMR_SetLayer(current);
}

std::vector<uint16_t> ReadLayer(int32_t index) {
  const auto& s = engine::State();
  std::vector<uint16_t> pixels(std::size_t(s.canvasWidth) * s.canvasHeight * 4);
  EXPECT_EQ(PMR_GetRGBA64Layer(pixels.data(), s.canvasWidth * 8, index), 1);
  return pixels;
}

void WriteLayer(int32_t index, const std::vector<uint16_t>& pixels) {
  EXPECT_EQ(PMR_SetRGBA64Layer(pixels.data(), engine::State().canvasWidth * 8, index), 1);
}

void PaintPattern(int32_t index, uint32_t seed) {
  std::vector<uint16_t> pixels = ReadLayer(index);
  uint32_t x = seed * 2654435761u + 12345u;
  for (auto& sample : pixels) {
    x = x * 1664525u + 1013904223u;
    sample = static_cast<uint16_t>(x >> 16);
  }
  WriteLayer(index, pixels);
}

}  // namespace palmora_test
