// Runs one numbered effect of the picture-script runner on RGBA32 pixels in place: a session
// with that one effect, its value slots set, the pixels turned into the runner's channel order
// and back.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace process {

struct ScriptSlot {
  uint32_t slot;
  double value;
};

// False when the runner refuses (an unknown effect, a failed run); the pixels are then as they
// were.
bool RunScriptEffect(uint32_t effectId, std::initializer_list<ScriptSlot> slots, uint8_t* rgba,
                     int32_t width, int32_t height);

// A generator's mix mode from option 2: the host lists normal painting first (0), which is the
// runner's mode 12; its next twelve (1..12) are the runner's 0..11; others pass unchanged.
int32_t GeneratorMixMode(int32_t option2);

}  // namespace process
