// The push warp between two points, and the blur of a host's RGB24 buffer.
#include <cstring>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/layer_load_rgba32.h"
#include "imaging/plane_filters.h"
#include "imaging/push_warp.h"
#include "process/alpha_filters.h"
#include "process/drawing.h"
#include "process/processing_buffers.h"

namespace process {

void WarpPointToPoint(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  const engine::EngineState& s = engine::State();
  uint8_t* source = UsableSrcBuffer32();
  uint8_t* destination = UsableDstBuffer32();
  if (!source || !destination) return;
  const uint32_t width = uint32_t(s.canvasWidth), height = uint32_t(s.canvasHeight);
  AdjustRGBA32PreFilter(source, s.canvasWidth, s.canvasHeight);
  if (!imaging::is5_PushImage(source, width, height, 4, width * 4, destination, 0, 0, {x1, y1}, {x0, y0}, 0)) return;
  AdjustRGBA32PostFilter(destination, s.canvasWidth, s.canvasHeight);
  engine::LoadRGBA32(destination, s.canvasWidth * 4, 1);
}

void BlurMoreBufferRGB24(uint8_t* buffer, int32_t width, int32_t height, int32_t radiusAmount, int32_t strength) {
  if (!buffer || width <= 0 || height <= 0) return;
  const std::size_t bytes = engine::PlaneBytes(width, height, 3);
  const engine::OwnedPlane<uint8_t> copy = engine::MakeOwnedPlane<uint8_t>(bytes);
  const uint32_t rowBytes = uint32_t(width) * 3;
  constexpr uint32_t kAllChannels = 15;
  if (imaging::ISE3BlurImage(buffer, uint32_t(width), uint32_t(height), copy.get(), 3, rowBytes, rowBytes,
                             uint32_t(radiusAmount / 5), strength * 0.01, kAllChannels)) {
    std::memcpy(buffer, copy.get(), bytes);
  }
}

}  // namespace process
