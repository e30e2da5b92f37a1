// Whole-layer transfers in the engine's own format, RGBA64.
#pragma once

#include <cstdint>

namespace engine {

int32_t GetRGBA64Layer(void* dst, int32_t dstRowBytes, int32_t index);
int32_t SetRGBA64Layer(const void* src, int32_t srcRowBytes, int32_t index);

}  // namespace engine
