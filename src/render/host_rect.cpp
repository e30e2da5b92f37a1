#include "render/host_rect.h"

#include <algorithm>
#include <limits>
#include <new>

#include "engine/engine_state.h"
#include "engine/heap.h"

namespace render {

bool MakeHostRect(int32_t x, int32_t y, int32_t width, int32_t height, HostRect& out) {
  if (width <= 0 || height <= 0) return false;
  if (int64_t{width} * 4 > std::numeric_limits<int32_t>::max()) return false;
  try {
    engine::PlaneBytes(width, height, 8);
  } catch (const std::bad_alloc&) {
    return false;
  }
  const engine::EngineState& s = engine::State();
  HostRect r;
  r.x = x;
  r.y = y;
  r.width = width;
  r.height = height;
  r.stride = 4 * std::ptrdiff_t{width};
  // In 64 bits: x + width can pass the 32-bit range.
  r.left = static_cast<int32_t>(std::max<int64_t>(x, 0));
  r.top = static_cast<int32_t>(std::max<int64_t>(y, 0));
  r.right = static_cast<int32_t>(std::min<int64_t>(int64_t{x} + width, s.canvasWidth));
  r.bottom = static_cast<int32_t>(std::min<int64_t>(int64_t{y} + height, s.canvasHeight));
  out = r;
  return true;
}

}  // namespace render
