// The blur of a host's RGB24 buffer.
#include <cstring>

#include "engine/heap.h"
#include "imaging/plane_filters.h"
#include "process/drawing.h"

namespace process {

void BlurMoreBufferRGB24(uint8_t* buffer, int32_t width, int32_t height, int32_t radiusAmount,
                         int32_t strength) {
  if (!buffer || width <= 0 || height <= 0) return;
  const std::size_t bytes = engine::PlaneBytes(width, height, 3);
  const engine::OwnedPlane<uint8_t> copy = engine::MakeOwnedPlane<uint8_t>(bytes);
  const uint32_t rowBytes = uint32_t(width) * 3;
  constexpr uint32_t kAllChannels = 15;
  if (imaging::ISE3BlurImage(buffer, uint32_t(width), uint32_t(height), copy.get(), 3, rowBytes,
                             rowBytes, uint32_t(radiusAmount / 5), strength * 0.01, kAllChannels)) {
    std::memcpy(buffer, copy.get(), bytes);
  }
}

}  // namespace process
