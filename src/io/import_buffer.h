// The import buffer ("NewRGBA"): the picture a file read leaves for the host, at its own size.
#pragma once

#include <cstdint>

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

}  // namespace io
