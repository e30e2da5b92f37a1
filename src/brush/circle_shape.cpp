// The circular brush shape with its soft rim.
#include <algorithm>
#include <cmath>

#include "brush/brush_shape.h"
#include "brush/tool_state.h"
#include "engine/engine_state.h"

namespace brush {

// The centre lies on pixel (m, m) with m = s / 2, so an even size has its centre right of and
// below the geometric middle, and pixels at exactly distance R = s / 2 are painted. Inside
// R - soft the shape is full; across the rim it falls linearly to 0 at R.
void BuildCircleShape() {
  engine::EngineState& s = engine::State();
  const ToolState& t = brush::Tool();
  if (!s.shapeBuffer) return;
  const int32_t size = std::min(t.brushSize, s.maxBrushSize);
  if (size < 1) return;
  const double radius = size * 0.5;
  const int32_t m = size / 2;
  const double soft = t.edgeSoftness / 255.0 * radius;
  const double inner = radius - soft;
  const double scale = t.shapeScale;
  for (int32_t y = 0; y < size; ++y) {
    uint16_t* row = s.shapeBuffer + std::size_t(y) * s.maxBrushSize;
    for (int32_t x = 0; x < size; ++x) {
      const double dx = x - m, dy = y - m;
      const double d = std::sqrt(dx * dx + dy * dy);
      if (d > radius) continue;
      double v = 65535;
      if (t.edgeSoftness != 0 && d > inner)
        v = std::clamp((soft - (d - inner)) / soft * 65535, 0.0, 65535.0);
      if (t.invertShape) v = std::fabs(v - 65535);
      // A shape scale above 1 would overflow the 16-bit value and a negative one underflow it:
      // the stored value is limited to 0..65535.
      row[x] = static_cast<uint16_t>(std::clamp(std::trunc(v * scale), 0.0, 65535.0));
    }
  }
}

}  // namespace brush
