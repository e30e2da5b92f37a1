// Size limits every decoder checks before it allocates, and the malloc'd pictures they build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace imaging {

inline constexpr uint32_t kMaxPictureSide = 65535;

// The largest picture (in pixels) a decoder accepts; 2^28 unless lowered (the fuzzers lower it so
// that a tiny file declaring a huge picture is refused before memory is spent on it).
uint64_t DecodePixelLimit();
void SetDecodePixelLimit(uint64_t pixels);

// True when width x height is a picture a decoder may allocate.
inline bool DimensionsAllowed(uint64_t width, uint64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= DecodePixelLimit();
}

struct FreeDeleter {
  void operator()(void* block) const noexcept { std::free(block); }
};
// A picture block handed back with malloc; release() gives it to the caller.
using MallocBlock = std::unique_ptr<uint8_t[], FreeDeleter>;

// A width x height block of bytesPerPixel-sized pixels, or null when the size overflows or memory
// is short. Large blocks are backed by huge pages where the system offers them.
MallocBlock AllocatePicture(uint64_t width, uint64_t height, uint32_t bytesPerPixel);

}  // namespace imaging
