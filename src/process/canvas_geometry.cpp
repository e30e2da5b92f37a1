#include "process/canvas_geometry.h"

#include <algorithm>
#include <cstring>

#include "engine/engine_state.h"
#include "engine/layer_fills.h"
#include "imaging/cancel_check.h"
#include "imaging/imaging.h"
#include "platform/escape_latch.h"
#include "process/layer_rebuild.h"
#include "process/resize_filter_names.h"

namespace process {
namespace {
constexpr int32_t kMaxCarveGrowth = 4;     // a carve may at most quadruple the width
constexpr int32_t kMaxCanvasSide = 10000;  // the largest side a canvas is made with

// Escape during a carve: once pressed, it stays pressed for the rest of the call, so that every
// layer still to come is left as it was too.
bool g_carveStopped = false;
bool CarveStopped() {
  if (!g_carveStopped && platform::TakeEscape()) g_carveStopped = true;
  return g_carveStopped;
}
}  // namespace

void IPLResize(int32_t newWidth, int32_t newHeight, const char* filterName) {
  if (!filterName || !IsPossibleLayerSize(newWidth, newHeight)) return;
  const engine::EngineState& s = engine::State();
  const int32_t width = s.canvasWidth, height = s.canvasHeight;
  const uint32_t filter = ResizeFilterCode(filterName);
  RebuildLayers(
      newWidth, newHeight, newHeight,
      [&](const uint8_t* oldBlock, uint8_t* newBlock, int32_t) {
        return imaging::is5_ResizeImage(oldBlock, width, height, width * 4, newBlock, newWidth,
                                        newHeight, newWidth * 4, 4, filter, 0) != 0;
      },
      "IPLResize Excpt");
}

void IPLSeamCarvingRGBA(int32_t newWidth, int32_t newHeight) {
  if (!IsPossibleLayerSize(newWidth, newHeight)) return;
  const engine::EngineState& s = engine::State();
  const int32_t width = s.canvasWidth, height = s.canvasHeight;
  // Each added or removed column is one full seam search over the picture: a width far beyond the
  // present one, or a plane larger than any canvas, would keep the host waiting for minutes.
  if (width <= 0 || height <= 0 || int64_t{newWidth} > int64_t{kMaxCarveGrowth} * width ||
      newWidth > kMaxCanvasSide || newHeight > kMaxCanvasSide) {
    engine::SetLastError("IPLResize Excpt");
    return;
  }
  // Escape stops a long carve between two seams; the layers not yet carved then stay as they were.
  g_carveStopped = false;
  const imaging::ScopedCancelCheck escape(&CarveStopped);
  const uint16_t* protect = s.maskEnabled ? s.maskPlane : nullptr;
  // The carve writes the old height in rows; the block holds at least that many, whatever the new
  // height, and the layer keeps its first newHeight rows.
  const int32_t blockRows = std::max(height, newHeight);
  RebuildLayers(
      newWidth, newHeight, blockRows,
      [&](const uint8_t* oldBlock, uint8_t* newBlock, int32_t) {
        return imaging::ISE40_SeamCarve(oldBlock, width, height, 4, width * 4, protect,
                                        protect ? width : 0, newBlock, newWidth * 4,
                                        newWidth - width, 1000, 1) != 0;
      },
      "IPLResize Excpt");
  if (g_carveStopped) engine::SetLastError("IPLResize Excpt");
}

// Any text that is not one of the nine anchors places the old page at the top left (0, 0).
void PageOffsets(const char* anchor, int32_t widthChange, int32_t heightChange, int32_t& x,
                 int32_t& y) {
  x = y = 0;
  if (!anchor || std::strlen(anchor) != 2) return;
  const char* rows = "TMB";
  const char* columns = "LCR";
  const char* row = std::strchr(rows, anchor[0]);
  const char* column = std::strchr(columns, anchor[1]);
  if (!row || !column || anchor[0] == '\0' || anchor[1] == '\0') return;
  // A centred page splits the change with truncation toward zero: the odd pixel goes right/down.
  auto place = [](int64_t part, int32_t change) {
    return static_cast<int32_t>(part == 0 ? 0 : part == 1 ? change / 2 : change);
  };
  x = place(column - columns, widthChange);
  y = place(row - rows, heightChange);
}

void IPLResizePage(int32_t newWidth, int32_t newHeight, const char* anchor, int32_t red,
                   int32_t green, int32_t blue) {
  if (!IsPossibleLayerSize(newWidth, newHeight)) return;
  const engine::EngineState& s = engine::State();
  const int32_t width = s.canvasWidth, height = s.canvasHeight;
  int32_t x = 0, y = 0;
  PageOffsets(anchor, newWidth - width, newHeight - height, x, y);
  RebuildLayers(
      newWidth, newHeight, newHeight,
      [&](const uint8_t* oldBlock, uint8_t* newBlock, int32_t layer) {
        if (layer == 1)
          engine::ClearRGBA32Buf(newBlock, newWidth, newHeight, red, green, blue, 255);
        return imaging::IS40_OverlayImage(newBlock, newWidth, newHeight, 4, newWidth * 4, oldBlock,
                                          width, height, width * 4, x, y, 1.0, 0, 0, 0) != 0;
      },
      "IPLResizePage Excpt");
}

void IPLCrop(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  const engine::EngineState& s = engine::State();
  const int32_t width = s.canvasWidth, height = s.canvasHeight;
  if (left < 0 || top < 0 || right > width || bottom > height || left >= right || top >= bottom)
    return;
  const int32_t newWidth = right - left, newHeight = bottom - top;
  const imaging::CropRect rect{left, top, right, bottom};
  RebuildLayers(
      newWidth, newHeight, newHeight,
      [&](const uint8_t* oldBlock, uint8_t* newBlock, int32_t) {
        return imaging::IS3CropImage(oldBlock, width, height, width * 4, newBlock, newWidth * 4,
                                     &rect, 4) != 0;
      },
      "IPLCrop Excpt");
}

namespace {

void Turn(uint32_t direction, const char* message) {
  const engine::EngineState& s = engine::State();
  const int32_t width = s.canvasWidth, height = s.canvasHeight;
  if (width <= 0 || height <= 0) return;
  RebuildLayers(
      height, width, width,
      [&](const uint8_t* oldBlock, uint8_t* newBlock, int32_t) {
        return imaging::IS3QuickRotateImage(oldBlock, width, height, width * 4, newBlock,
                                            height * 4, direction, 4) != 0;
      },
      message);
}

}  // namespace

void IPLRotateLeft() { Turn(imaging::kTurnLeft, "IPLRotateLeft Excpt"); }
void IPLRotateRight() { Turn(imaging::kTurnRight, "IPLRotateRight Excpt"); }

}  // namespace process
