#include "engine/mask_texture_weight.h"

#include <algorithm>
#include <cstddef>

#include "engine/engine_state.h"

namespace engine {
namespace {

constexpr double kInv65535 = 0.000015259021896696422;

// Adjusts canvas rows y0..y1-1, columns x0..x1-1; buffer pixel of canvas (x0, y0) is first and
// rows are bufferRow pixels apart.
void AdjustSpan(uint8_t* first, int64_t bufferRow, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  const engine::EngineState& s = engine::State();
  const uint16_t* mask = s.maskEnabled ? s.maskPlane : nullptr;
  const uint8_t* texture = s.textureImage;
  if (!mask && !texture) return;
  for (int32_t r = y0; r < y1; ++r) {
    uint8_t* p = first + (r - y0) * bufferRow * 4;
    const size_t canvasRow = static_cast<size_t>(r) * static_cast<size_t>(s.canvasWidth);
    for (int32_t k = x0; k < x1; ++k, p += 4) {
      uint32_t weight = texture ? TextureWeight(texture[canvasRow + k]) : 65535u;
      if (mask) weight = MaskedWeight(weight, mask[canvasRow + k]);
      p[3] = static_cast<uint8_t>(weight * kInv65535 * p[3]);
    }
  }
}

}  // namespace

void AdjustRGBA32ByMaskAndTexture(uint8_t* pixels, int32_t width, int32_t height) {
  const engine::EngineState& s = engine::State();
  if (!pixels || width <= 0 || height <= 0) return;
  AdjustSpan(pixels, width, 0, 0, std::min(width, s.canvasWidth), std::min(height, s.canvasHeight));
}

void AdjustRGBA32RectByMaskAndTexture(uint8_t* pixels, int32_t x, int32_t y, int32_t w, int32_t h) {
  const engine::EngineState& s = engine::State();
  if (!pixels || w <= 0 || h <= 0) return;
  const int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
  const int64_t x1 = std::min<int64_t>(int64_t{x} + w, s.canvasWidth);
  const int64_t y1 = std::min<int64_t>(int64_t{y} + h, s.canvasHeight);
  if (x0 >= x1 || y0 >= y1) return;
  uint8_t* first =
      pixels +
      (std::max<int64_t>(-int64_t{x}, 0) + int64_t{w} * std::max<int64_t>(-int64_t{y}, 0)) * 4;
  AdjustSpan(first, w, static_cast<int32_t>(x0), static_cast<int32_t>(y0), static_cast<int32_t>(x1),
             static_cast<int32_t>(y1));
}

}  // namespace engine
