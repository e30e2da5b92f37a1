#include "render/view_settings.h"

#include "engine/engine_state.h"

namespace render {

int32_t SetScale(int32_t replication, float step) {
  engine::EngineState& s = engine::State();
  s.viewScaleLevel = replication;
  s.viewScale = step;
  return replication;
}

int32_t SetViewSize(int32_t width, int32_t height) {
  engine::EngineState& s = engine::State();
  s.viewWidth = width;
  s.viewHeight = height;
  return width;
}

int32_t SetOffset(int32_t x, int32_t y) {
  engine::EngineState& s = engine::State();
  s.viewOffsetX = x;
  s.viewOffsetY = y;
  return x;
}

// The flags are bytes: the low byte of the argument is stored.
int32_t SetTracingMode(int32_t on) {
  engine::State().tracingMode = static_cast<uint8_t>(on);
  return on;
}

int32_t DisplayMask(int32_t on) {
  engine::State().maskDisplayed = static_cast<uint8_t>(on);
  return on;
}

int32_t EnableMask(int32_t on) {
  engine::State().maskEnabled = static_cast<uint8_t>(on);
  return on;
}

}  // namespace render
