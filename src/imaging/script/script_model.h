// A picture script in memory: its size and its effect list.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "imaging/picture_script.h"

namespace imaging::script {

struct EffectEntry {
  uint32_t id = 0;
  bool enabled = true;
  std::array<double, kScriptValueSlots> values{};
};

struct Script {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t version = 0;
  std::vector<EffectEntry> effects;
};

// A picture the effects work on: blue, green, red, alpha; rows packed.
struct Picture {
  uint8_t* pixels;
  uint32_t width;
  uint32_t height;
};

}  // namespace imaging::script
