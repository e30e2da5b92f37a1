// Image brushes: a small picture that dabs paint instead of a flat colour, loaded from a file,
// from memory, from a strip of frames or from the blend buffer, sized to the brush, turned, and
// copied into the blend buffer where colour dabs take their source colour.
#pragma once

#include <cstdint>

namespace brush {

// Pictures larger than maxBrushSize on either side (or unreadable) leave the image brush as it was.
void LoadImageBrush(const char* name);
void LoadImageBrushFromRGBA32(const uint8_t* pixels, int32_t width, int32_t height);
// A strip of square frames side by side: frame count = width / height; the image brush becomes
// its first frame. A strip narrower than it is high holds no frame and is refused.
void LoadImageBrushArray(const char* name);
// Frame trunc(frameCount x position), limited to the strip's frames, becomes the image brush.
void CopyFromImageBrushArray(float position);

// A brushSize x brushSize image brush of the colour (8-bit channels, x 257), opaque.
void FillImageBrush(int32_t red, int32_t green, int32_t blue);
// Every pixel takes the colour and keeps its alpha; without an image brush, first a white opaque
// one of brushSize x brushSize.
void ColorImageBrush(int32_t red, int32_t green, int32_t blue);
// The blend buffer's used square becomes the image brush.
void CopyToImageBrush();

// The image brush resampled to brushSize x brushSize (shrinking with filter 15, else 8).
void SizeImageBrush();
// The sized picture turned by angle degrees; its alpha travels through the turn in a colour
// channel and is put back afterwards.
void RotateImageBrush(int32_t angle);
// Sizes, then loads the sized picture into the blend buffer: strength 0 replaces what the buffer
// held, higher strengths (up to 100) keep more of it.
void CopyFromImageBrush(int32_t strength);
// Loads the turned picture into the blend buffer the same way.
void CopyFromImageBrushRotate(int32_t strength);

// Writes the image brush as an 8-bit RGBA PNG file at 72 dots per inch.
void SaveImageBrush(const char* name);

}  // namespace brush
