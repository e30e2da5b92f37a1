#include "imaging/bump_map_displacement.h"

#include <cmath>

namespace imaging {

std::shared_ptr<const BumpField> MakeBumpField(uint32_t width, uint32_t height, float amount,
                                               const uint8_t* map, uint32_t mapWidth,
                                               uint32_t mapHeight) {
  if (!map || width == 0 || height == 0 || mapWidth == 0 || mapHeight == 0 ||
      !std::isfinite(amount))
    return nullptr;
  auto field = std::make_shared<BumpField>();
  field->width = width;
  field->height = height;
  field->dx.resize(std::size_t(width) * height);
  field->dy.resize(std::size_t(width) * height);
  const float k = amount * 0.01f * 0.5f;  // the central difference spans two pixels
  auto at = [&](uint32_t x, uint32_t y) {
    return float(map[std::size_t(y % mapHeight) * mapWidth + x % mapWidth]);
  };
  for (uint32_t y = 0; y < height; ++y) {
    const uint32_t my = y % mapHeight;
    const uint32_t up = (my + mapHeight - 1) % mapHeight, down = (my + 1) % mapHeight;
    for (uint32_t x = 0; x < width; ++x) {
      const uint32_t mx = x % mapWidth;
      const uint32_t left = (mx + mapWidth - 1) % mapWidth, right = (mx + 1) % mapWidth;
      const std::size_t i = std::size_t(y) * width + x;
      field->dx[i] = k * (at(right, my) - at(left, my));
      field->dy[i] = k * (at(mx, down) - at(mx, up));
    }
  }
  return field;
}

void TraceBackBump(const BumpField& field, double* xs, double* ys, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const double fx = std::floor(xs[i]), fy = std::floor(ys[i]);
    if (!(fx >= 0 && fy >= 0 && fx < field.width && fy < field.height)) continue;
    const std::size_t at = std::size_t(fy) * field.width + std::size_t(fx);
    xs[i] -= field.dx[at];
    ys[i] -= field.dy[at];
  }
}

}  // namespace imaging
