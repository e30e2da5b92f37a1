#include "mask/mask_alpha.h"

#include <algorithm>
#include <cstdlib>

#include "mask/mask_values.h"

namespace mask {

void ApplyMaskToAlphaRect_RGBA32(uint8_t* buffer, int32_t stride, int32_t x0, int32_t y0,
                                 int32_t x1, int32_t y1) {
  const MaskCanvas canvas = LiveMask();
  if (!canvas.plane || !buffer || x1 < x0 || y1 < y0) return;
  // Rows shorter than the rectangle would overlap one another: such a stride is refused.
  if (int64_t{stride} < (int64_t{x1} - x0 + 1) * 4) return;
  // The buffer stays addressed from (x0, y0) while the loop keeps to the canvas.
  const int32_t left = std::max(x0, 0), top = std::max(y0, 0);
  const int32_t right = std::min(x1, canvas.width - 1), bottom = std::min(y1, canvas.height - 1);
  for (int32_t y = top; y <= bottom; ++y) {
    const uint16_t* m = canvas.plane + std::size_t(y) * canvas.width;
    uint8_t* row = buffer + std::size_t(int64_t{y} - y0) * std::size_t(stride);
    for (int32_t x = left; x <= right; ++x) {
      uint8_t& alpha = row[std::size_t(int64_t{x} - x0) * 4 + 3];
      alpha = MaskAlpha(alpha, m[x]);
    }
  }
}

void ApplyMaskToAlpha_RGBA32(uint8_t* buffer) {
  const MaskCanvas canvas = LiveMask();
  if (!canvas.plane) return;
  ApplyMaskToAlphaRect_RGBA32(buffer, canvas.width * 4, 0, 0, canvas.width - 1, canvas.height - 1);
}

void ReplaceFromRGBAImageAlphaRange(uint8_t* image, int32_t alpha, int32_t tolerancePercent,
                                    int32_t red, int32_t green, int32_t blue, int32_t alpha2) {
  const MaskCanvas canvas = LiveMask();
  if (!canvas.plane || !image) return;
  const int64_t t = ToleranceFromPercent(tolerancePercent);
  const int32_t key = uint8_t(alpha);
  const uint8_t fill[4] = {uint8_t(red), uint8_t(green), uint8_t(blue), uint8_t(alpha2)};
  for (std::size_t i = 0; i < canvas.pixels; ++i, image += 4)
    if (std::abs(image[3] - key) <= t) std::copy(fill, fill + 4, image);
}

}  // namespace mask
