// Where a dab lands, what it widens, and which grit window it reads.
#include <algorithm>

#include "brush/dab_internal.h"
#include "brush/tool_state.h"
#include "engine/undo_store.h"

namespace brush {
namespace {

int32_t SaturateToInt32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

bool BrushReady(const engine::EngineState& s) {
  const ToolState& t = brush::Tool();
  return s.shapeBuffer && s.blendBuffer && s.gritBuffers[0] && t.brushSize >= 1 &&
         t.brushSize <= s.maxBrushSize && t.scaledSize >= 1 && t.scaledSize <= t.brushSize &&
         t.scaledSize <= kSizeIndexLength;
}

DabFrame PlaceDab(const engine::EngineState& s, int32_t x, int32_t y) {
  const int64_t size = brush::Tool().scaledSize;
  int64_t x0 = int64_t{x} - size / 2, y0 = int64_t{y} - size / 2;
  int64_t x1 = x0 + size, y1 = y0 + size;
  int64_t firstColumn = 0, firstRow = 0;
  if (x0 < 0) firstColumn = -x0, x0 = 0;
  if (y0 < 0) firstRow = -y0, y0 = 0;
  x1 = std::min<int64_t>(x1, s.canvasWidth);
  y1 = std::min<int64_t>(y1, s.canvasHeight);
  DabFrame frame;
  frame.x0 = SaturateToInt32(x0);
  frame.y0 = SaturateToInt32(y0);
  frame.x1 = SaturateToInt32(x1);
  frame.y1 = SaturateToInt32(y1);
  // Beyond the dab's side no column or row is visible, so the first ones are limited to it.
  frame.firstColumn = static_cast<int32_t>(std::min(firstColumn, size));
  frame.firstRow = static_cast<int32_t>(std::min(firstRow, size));
  return frame;
}

void WidenChangedRects(engine::EngineState& s, const DabFrame& f, bool paintLayerToo) {
  // The pending rectangle takes the first column and row past the dab as its inclusive right
  // and bottom, so a commit saves one column and one row more than the stroke touched.
  engine::WidenPendingRect(f.x0, f.y0, f.x1, f.y1);
  if (!paintLayerToo || !s.paintLayer.pixels) return;
  engine::ChangedRect& r = s.paintLayer.changed;
  r.left = std::min(r.left, f.x0);
  r.top = std::min(r.top, f.y0);
  r.right = std::max(r.right, f.x1);
  r.bottom = std::max(r.bottom, f.y1);
}

void DrawGritWindow(engine::EngineState& s) {
  ToolState& t = brush::Tool();
  if (t.gritSize == 0 || t.drawingCountdown >= 1) return;
  engine::Lcg& random = engine::Generator();
  // A window never starts exactly where the last one did; that can only happen when the last one
  // had no offset, as right after the tool was set.
  int32_t buffer;
  do {
    buffer = random.Next() % kGritWindowCount;
  } while (buffer == t.gritPosition.buffer && t.gritPosition.offset == 0);
  const int32_t rowOffset = random.Next() % kGritMargin;
  const int32_t columnOffset = random.Next() % kGritMargin;
  t.gritPosition = {buffer, rowOffset * s.maxBrushSize + columnOffset};
  t.drawingCountdown = t.drawingLength;
}

}  // namespace brush
