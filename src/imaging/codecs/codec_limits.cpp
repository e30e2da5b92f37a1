#include "imaging/codecs/codec_limits.h"

#include <atomic>

namespace imaging {
namespace {
std::atomic<uint64_t> pixelLimit{uint64_t{1} << 28};
}

uint64_t DecodePixelLimit() { return pixelLimit.load(std::memory_order_relaxed); }
void SetDecodePixelLimit(uint64_t pixels) { pixelLimit.store(pixels, std::memory_order_relaxed); }

}  // namespace imaging
