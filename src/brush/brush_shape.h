// The brush shape: a square G16 plane of coverage values, brushSize on a side, in the shape buffer.
// It is a picture (a grey reading of a picture file or a picture script, turned, resampled) or,
// when no picture is named or none can be had, a circle with an optional soft rim.
#pragma once

#include <cstdint>

namespace brush {

// Rebuilds the shape for the current brushSize. A name shorter than 2 characters gives the
// circle. angle turns a picture shape (degrees). Failures record "SetBrushShape Excpt".
void SetBrushShape(const char* name, int32_t angle);
// The older builder: picture files only, its own resampling methods, no blur.
void SetBrushShape_ORIGINAL(const char* name, int32_t angle);

// Writes the circle into the shape buffer (which the caller has cleared).
void BuildCircleShape();

}  // namespace brush
