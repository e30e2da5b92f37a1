#include "imaging/codecs/codec_limits.h"

#include <sys/mman.h>
#include <unistd.h>

#include <atomic>

namespace imaging {
namespace {
std::atomic<uint64_t> pixelLimit{uint64_t{1} << 28};
}

uint64_t DecodePixelLimit() { return pixelLimit.load(std::memory_order_relaxed); }
void SetDecodePixelLimit(uint64_t pixels) { pixelLimit.store(pixels, std::memory_order_relaxed); }

MallocBlock AllocatePicture(uint64_t width, uint64_t height, uint32_t bytesPerPixel) {
  const uint64_t bytes = width * height * bytesPerPixel;
  if (width == 0 || height == 0 || bytes / bytesPerPixel / width != height) return nullptr;
  if (bytes > SIZE_MAX) return nullptr;
  MallocBlock block(static_cast<uint8_t*>(std::malloc(static_cast<std::size_t>(bytes))));
#ifdef MADV_HUGEPAGE
  // A decoder writes every byte of a fresh block once, and on virtual machines each 4 KiB page
  // fault costs several microseconds: a 64 MiB picture spent more time faulting in its pages than
  // decoding. Huge pages take one fault per 2 MiB. Only the page-aligned inside of the block can
  // be advised; the kernel ignores the advice where it cannot follow it.
  constexpr uint64_t kHugeWorthwhile = uint64_t{4} << 20;
  if (block && bytes >= kHugeWorthwhile) {
    const uintptr_t page = uintptr_t(::sysconf(_SC_PAGESIZE));
    const uintptr_t start = (reinterpret_cast<uintptr_t>(block.get()) + page - 1) & ~(page - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(block.get()) + bytes) & ~(page - 1);
    if (end > start) ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
  }
#endif
  return block;
}

}  // namespace imaging
