// The reference compositing loop: the per-pixel rule applied rows top to bottom, pixels left to
// right, nothing more. The fast path is checked against it bit for bit.
#include "render/composite_internal.h"

namespace render {

void CompositeReference(const CompositeJob& job) {
  for (int32_t y = 0; y < job.height; ++y) {
    const uint16_t* s = job.source + y * job.sourceStride;
    const uint16_t* clip = job.clip ? job.clip + y * job.sourceStride : nullptr;
    uint16_t* d = job.destination + y * job.destStride;
    for (int32_t x = 0; x < job.width; ++x) {
      CompositePixel(s + 4 * x, clip ? clip + 4 * x : nullptr, d + 4 * x, job.setup);
    }
  }
}

void CompositeUnclippedPixels(const uint16_t* s, uint16_t* d, int32_t count,
                              const CompositeSetup& k) {
  for (int32_t x = 0; x < count; ++x) CompositePixel(s + 4 * x, nullptr, d + 4 * x, k);
}

}  // namespace render
