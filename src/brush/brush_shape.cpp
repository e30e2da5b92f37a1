#include "brush/brush_shape.h"

#include <cstring>

#include "brush/shape_picture.h"
#include "engine/engine_state.h"
#include "engine/heap.h"

namespace brush {
namespace {

void BuildShape(const char* name, int32_t angle, ShapeBuilder builder) {
  engine::EngineState& s = engine::State();
  if (!s.shapeBuffer) return;  // no canvas
  std::memset(s.shapeBuffer, 0, engine::PlaneBytes(s.maxBrushSize, s.maxBrushSize, 2));
  const bool named = name && name[0] != '\0' && name[1] != '\0';
  if (named && BuildPictureShape(name, angle, builder)) return;
  BuildCircleShape();
}

}  // namespace

void SetBrushShape(const char* name, int32_t angle) {
  try {
    BuildShape(name, angle, ShapeBuilder::kCurrent);
  } catch (...) {
    engine::SetLastError("SetBrushShape Excpt");
  }
}

void SetBrushShape_ORIGINAL(const char* name, int32_t angle) {
  try {
    BuildShape(name, angle, ShapeBuilder::kOriginal);
  } catch (...) {
    engine::SetLastError("SetBrushShape Excpt");
  }
}

}  // namespace brush
