// A test fixture that gives every test a fresh engine: the state is one static record, so each
// test starts by tearing down whatever the previous one left.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/engine_state.h"
#include "palmora/palmora.h"

namespace palmora_test {

// Deletes the canvas, releases the random pools and returns every field to its load-time value.
void ResetEngine();

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetEngine(); }
  void TearDown() override { ResetEngine(); }

  // Creates a canvas with layers 0..top (slot 1 white, the rest clear), each set visible, Normal
  // and fully opaque, and selects current.
  void MakeCanvas(int32_t width, int32_t height, int32_t top = 2, int32_t current = 2);
};

// A whole layer read through PMR_GetRGBA64Layer.
std::vector<uint16_t> ReadLayer(int32_t index);
void WriteLayer(int32_t index, const std::vector<uint16_t>& pixels);
// Fills a layer with a pattern derived from seed, so that different steps are told apart.
void PaintPattern(int32_t index, uint32_t seed);

}  // namespace palmora_test
