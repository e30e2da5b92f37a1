// Flattening the visible layers into a host buffer, and the flattened colour of one point.
#pragma once

#include <cstdint>

namespace render {

// Transparent black, then the background layer (slot 1) copied as it is when its visible flag is
// exactly 1, then every visible layer 2..63 with pixels composited in index order. Slot 0 and the
// paint layer are never part of it.
void MergeRect(uint16_t* buffer, int32_t x, int32_t y, int32_t width, int32_t height);
void Merge(uint16_t* buffer);
// (A8 << 24) | (R8 << 16) | (G8 << 8) | B8 of the flattened canvas at (x, y); 0xFFFFFF outside.
uint32_t GetColorAtMerged(int32_t x, int32_t y);

}  // namespace render
