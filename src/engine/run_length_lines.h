// Run-length lines of layers and of the mask, and whole-mask copies: how hosts store documents.
// A line is canvas width pixels long; rows outside 0..canvas height - 1 are refused.
#pragma once

#include <cstdint>

namespace engine {

// Encode one row; return the stream bytes (0 when refused: no such canvas-sized layer, no mask
// plane, a null buffer, a row outside the canvas).
int32_t GetRGBA32LayerLineRLE(uint8_t* dst, int32_t index, int32_t row);
int32_t GetMaskLineRLE(uint8_t* dst, int32_t row);

// Decode one row from a stream that holds it. 1, or 0 when refused.
int32_t PutRGBA32LayerLineRLE(const uint8_t* src, int32_t index, int32_t row);
int32_t PutMaskLineRLE(const uint8_t* src, int32_t row);
// The same for a stream of srcBytes bytes (read from a file): a stream too short for the row is
// refused and the row left as it was. Return the stream bytes the row took, or 0.
int32_t PutRGBA32LayerLineRLEChecked(const uint8_t* src, int32_t index, int32_t row,
                                     int32_t srcBytes);
int32_t PutMaskLineRLEChecked(const uint8_t* src, int32_t row, int32_t srcBytes);

// The whole mask plane (canvas width x height x 2 bytes) out and in. 1, or 0 when refused.
int32_t GetMaskData16(void* dst);
int32_t SetMaskData16(const void* src);

}  // namespace engine
