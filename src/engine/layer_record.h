// One layer slot (or the paint layer): an RGBA64 plane and its compositing options.
#pragma once

#include <cstdint>

namespace engine {

inline constexpr int kLayerNameBytes = 50;  // up to 49 characters and a terminator

// A half-open rectangle: left <= x < right, top <= y < bottom.
struct ChangedRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

struct LayerRecord {
  uint16_t* pixels = nullptr;  // RGBA64, width x height pixels; null when the slot is empty
  int32_t width = 0;
  int32_t height = 0;
  int32_t stride = 0;  // 4 x width, in 16-bit samples
  uint8_t visible = 0;
  uint8_t alphaLock = 0;
  uint16_t opacity = 0;  // 0..256, 256 fully opaque
  char name[kLayerNameBytes] = {};
  int32_t mergeMode = 0;
  ChangedRect changed;  // used by the paint layer only
};

}  // namespace engine
