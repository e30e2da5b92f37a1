// Checks shared by the transfers between layers, the mask and host buffers. A transfer validates
// with these first and touches nothing when one says no.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "engine/layer_record.h"

namespace engine {

// The layer at index when it holds pixels of exactly the canvas size. Whole-canvas transfers
// address the layer, the mask and the texture with the canvas geometry, so a layer of another size
// (possible between a canvas resize and the re-creation of its layers) is refused.
LayerRecord* CanvasLayer(int32_t index);
// The current layer under the same condition, or null.
LayerRecord* CurrentCanvasLayer();

// True when a host row of rowBytes bytes holds `pixels` pixels of bytesPerPixel bytes.
bool RowHolds(int32_t rowBytes, int64_t pixels, int32_t bytesPerPixel);

// The mask plane when the mask is enabled and exists, else null.
const uint16_t* ActiveMask();

// Address of pixel (x, y) of a layer plane, and of row y of a host buffer.
inline uint16_t* PixelAt(const LayerRecord& layer, int32_t x, int32_t y) {
  return layer.pixels + std::size_t(y) * std::size_t(layer.stride) + std::size_t(x) * 4;
}
template <class T>
T* RowAt(T* buffer, int64_t rowBytes, int32_t y) {
  using Byte = std::conditional_t<std::is_const_v<T>, const uint8_t, uint8_t>;
  return reinterpret_cast<T*>(reinterpret_cast<Byte*>(buffer) + rowBytes * y);
}

// The part of a w x h rectangle at (x, y) that lies inside a width x height plane: columns
// x0..x1 - 1 and rows y0..y1 - 1, computed without overflow. Empty when x0 >= x1 or y0 >= y1.
struct ClippedRect {
  int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool Empty() const { return x0 >= x1 || y0 >= y1; }
  int32_t Width() const { return x1 - x0; }
  int32_t Height() const { return y1 - y0; }
};
ClippedRect ClipRect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t width, int32_t height);

}  // namespace engine
