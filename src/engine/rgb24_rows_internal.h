// Row kernels between the engine's 8-byte pixels and 3-byte host pixels, private to the engine
// folder: the portable loops (which also take the heads and tails of the vector loops), the SSSE3
// kernels that shuffle sixteen pixels (48 host bytes) a step, and AVX2 loads four pixels a step.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/pixel_formats.h"

namespace engine::rgb24 {

// What a row kernel does, one kind per exported row function of pixel_formats.h.
enum class Kind {
  kReadColour,  // RGBA64 -> RGB24: the high bytes of red, green, blue
  kReadAlpha,   // RGBA64 -> grey RGB24: the high byte of alpha three times
  kLoadColour,  // RGB24 -> RGBA64 colour (byte x 256), the layer's alpha kept
  kLoadAlpha,   // first byte of each RGB24 pixel x 256 -> alpha, where the alpha is not 0
  kLoadBgr,     // blue-green-red bytes -> (r, g, b) x 256 with alpha 65535
};

// The portable loops over pixels [first, end) of a row.
void ReadPortable(Kind kind, const uint16_t* src, uint8_t* dst, std::size_t first, std::size_t end);
void LoadPortable(Kind kind, const uint8_t* src, uint16_t* dst, std::size_t first, std::size_t end);

// The SSSE3 kernels: whole rows, heads and tails through the portable loops. Call only where the
// processor has SSSE3.
void ReadSsse3(Kind kind, const uint16_t* src, uint8_t* dst, std::size_t pixels, Stores stores);
void LoadSsse3(Kind kind, const uint8_t* src, uint16_t* dst, std::size_t pixels, Stores stores);

// The AVX2 loads (kLoadColour, kLoadAlpha, kLoadBgr), four pixels a step. Call only where the
// processor has AVX2.
void LoadAvx2(Kind kind, const uint8_t* src, uint16_t* dst, std::size_t pixels, Stores stores);

}  // namespace engine::rgb24
