// Colour pickers: single samples and packed colours read from the layers and the back buffer.
#pragma once

#include <cstdint>

namespace engine {

// A 16-bit channel of the current layer at (x, y); 0 without a current layer or outside the
// canvas.
int32_t GetChannel64(int32_t x, int32_t y, int32_t channel);
// 65535 - the mask sample at (x, y) with the mask enabled, a current layer and (x, y) inside;
// else 0.
int32_t GetMask64(int32_t x, int32_t y);

// (R8 << 24) | (G8 << 16) | (B8 << 8) | A8 of a canvas-sized RGBA64 plane, with (x, y) clamped
// into the canvas; 0 for a null plane or an empty canvas.
uint32_t GetRGBAAt(int32_t x, int32_t y, const uint16_t* plane);
// (A8 << 24) | (R8 << 16) | (G8 << 8) | B8 of a canvas-sized plane; 0 for a null plane and
// 0xFFFFFF outside the canvas.
uint32_t GetColorAt(int32_t x, int32_t y, const uint16_t* plane);

// The planes the pickers read by name: the current layer ("Surface"), the undo back buffer
// ("UnderLayer"), a layer slot and the tracing layer ("Trace"). Null when the plane is missing or
// a layer is not of the canvas size.
const uint16_t* SurfacePlane();
const uint16_t* UnderLayerPlane();
const uint16_t* LayerPlane(int32_t index);
const uint16_t* TracePlane();
// GetColorAt on the back buffer when an undo step is available, else 0.
uint32_t GetColorAtHistory(int32_t x, int32_t y);

}  // namespace engine
