// A colour that does not occur in a picture, for fills that mark pixels with it.
#pragma once

#include <cstdint>

namespace engine {

// Scans a canvas-sized RGBA32 buffer for the first colour, in the order byte 2 (outer), byte 1,
// byte 0 (inner), that no pixel has; returns it packed byte 0 | byte 1 << 8 | byte 2 << 16, or
// 256 when every colour occurs (or there is no buffer).
uint32_t FindUnusedColour(const uint8_t* pixels);

}  // namespace engine
