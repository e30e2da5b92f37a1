// The import buffer ("NewRGBA"): the picture a file read leaves for the host, at its own size.
#pragma once

#include <cstdint>
#include <functional>

namespace io {

// Reads a picture file into the import buffer, replacing what it held. Returns 1 when this read
// filled it; a file that cannot be read (or a size that does not fit the engine's heap) returns
// 0 and leaves the buffer as it was.
int32_t ReadFromFile(const char* path);
int32_t GetNewRGBAWidth();
int32_t GetNewRGBAHeight();
// Copies width x height x 4 bytes into dst; nothing when the buffer is empty or dst is null.
void GetNewRGBA32(void* dst);
// Releases the buffer; returns 1.
int32_t DeleteNewRGBA();

// Packed RGB24 copy (alpha dropped); nothing when the buffer is empty or dst is null.
void GetNewRGBA24(void* dst);
// The picture resized to width x height (filter 17 when any of the four sides is below 5, else
// 8), as packed RGB24. Refused (0, nothing written) when empty, dst is null, or a size is not
// positive or its byte count does not fit.
int32_t GetResizedNewRGBA24(void* dst, int32_t width, int32_t height);
// 1 when any alpha byte is not 255; 0 otherwise and when empty.
int32_t IsNewRGBA32Transparent();
// Loads the picture into the current layer at (0, 0) through the mask and the texture, with the
// layer's own size (rows past the picture are not read). 0 when empty or there is no current
// layer.
int32_t SetInNewRGBA();

// Replaces the picture with a width x height one that fill(pixels) writes. fill validates before
// it writes and returns false to refuse; then, and when memory runs out, the previous picture
// stays. A memory failure reports "CreateNewRGBA Excpt". Returns 1 when the new picture is in.
// A previous picture of the same byte count is rewritten in place.
int32_t CreateNewRGBA(int32_t width, int32_t height, const std::function<bool(uint8_t*)>& fill);

}  // namespace io
