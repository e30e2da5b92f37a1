// Mirroring every layer of the stack.
#pragma once

namespace process {

// Mirror layers 1..topLayerIndex left to right (or top to bottom) through 8-bit copies. The mask
// is not flipped. An alpha-locked layer is mirrored whole, alpha included, and keeps its lock.
// When the work buffer cannot be allocated nothing happens.
void IPLFlipHorizontal();
void IPLFlipVertical();

}  // namespace process
