#include "mask/mask_shapes.h"

#include <algorithm>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "imaging/shapes.h"
#include "mask/mask_plane.h"
#include "mask/region_fill_terms.h"

namespace mask {
namespace {

// The mask as a canvas-sized RGB24 grey picture, the shape drawn into it by draw, and the picture
// loaded back when the drawing succeeded.
template <class Draw>
void DrawIntoMask(Draw&& draw) {
  const engine::EngineState& s = engine::State();
  if (!s.maskPlane || s.canvasWidth <= 0 || s.canvasHeight <= 0) return;
  const std::size_t bytes = std::size_t(s.canvasWidth) * std::size_t(s.canvasHeight) * 3;
  const engine::OwnedPlane<uint8_t> picture(static_cast<uint8_t*>(engine::TryAllocateBytes(bytes)));
  if (!picture) return;
  const uint32_t rowBytes = uint32_t(s.canvasWidth) * 3;
  SaveMask(picture.get(), int32_t(rowBytes));
  if (draw(picture.get(), uint32_t(s.canvasWidth), uint32_t(s.canvasHeight), rowBytes)) {
    LoadMask(picture.get(), int32_t(rowBytes), s.canvasWidth, s.canvasHeight);
  }
}

uint32_t Grey(int32_t amountPercent) {
  const uint32_t a = uint32_t(AmountFromPercent(amountPercent));
  return a | a << 8 | a << 16;
}

int32_t ToInt32(int64_t value) { return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)); }

}  // namespace

void MaskEllipse(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t amount) {
  const int64_t minX = std::min(x0, x1), minY = std::min(y0, y1);
  const int64_t rx = std::max<int64_t>((std::max(x0, x1) - minX) / 2, 2);
  const int64_t ry = std::max<int64_t>((std::max(y0, y1) - minY) / 2, 2);
  const imaging::ImagePoint centre{ToInt32(minX + rx), ToInt32(minY + ry)};
  const uint32_t grey = Grey(amount);
  DrawIntoMask([&](uint8_t* picture, uint32_t width, uint32_t height, uint32_t rowBytes) {
    // Filled, hard-edged.
    return imaging::IS3DrawEllipseOnImage(picture, width, height, 3, rowBytes, grey, centre,
                                          uint32_t(rx), uint32_t(ry), 1, 1, 0, 0, 2) != 0;
  });
}

void MaskRectangle(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t amount) {
  const imaging::ImageRect rect{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1),
                                std::max(y0, y1)};
  const uint32_t grey = Grey(amount);
  DrawIntoMask([&](uint8_t* picture, uint32_t width, uint32_t height, uint32_t rowBytes) {
    return imaging::IS3FillTransparentRectOnImage(picture, width, height, 3, rowBytes, rect, grey,
                                                  1, 0) != 0;
  });
}

}  // namespace mask
