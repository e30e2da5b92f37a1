// Rebuilding every layer of the stack at a new size through 8-bit copies: the frame of the
// canvas geometry operations.
#pragma once

#include <cstdint>
#include <functional>

namespace process {

// Makes the new picture of one layer: reads the old canvas-sized RGBA32 block (canvas width x 4
// bytes a row) and writes the new block (new width x 4 bytes a row). layer is the slot number.
// Returns false when the library refused; the layer then keeps its old size and pixels.
using LayerTransform =
    std::function<bool(const uint8_t* oldBlock, uint8_t* newBlock, int32_t layer)>;

// For layers 1..topLayerIndex that hold canvas-sized pixels: reads the layer, runs transform and
// replaces the layer's pixels by the new block at newWidth x newHeight. newBlockRows may exceed
// newHeight when the transform writes more rows than the layer keeps. The alpha lock does not
// apply to the rebuild (alpha is rebuilt too) and stays set. Each layer's new plane is built
// before its old one is released, so a layer whose plane cannot be allocated keeps its old
// pixels; the failure is recorded under message and the next layer goes on. Throws
// std::bad_alloc, with nothing changed, when the two work blocks cannot be allocated.
void RebuildLayers(int32_t newWidth, int32_t newHeight, int32_t newBlockRows,
                   const LayerTransform& transform, const char* message);

// True when a new size can be a layer size: both sides positive and the plane within the heap's
// limits. Refusals change nothing.
bool IsPossibleLayerSize(int64_t width, int64_t height);

}  // namespace process
