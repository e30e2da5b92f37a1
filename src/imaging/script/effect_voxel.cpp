// Effect 22, voxel: the picture built from square blocks, each in the mean colour of its cell and
// bevelled so that it stands out of the surface: faces toward the upper-left light lit, the
// others in shade. Slots: 1 block size in pixels, 2 depth % (the bevel's width and strength).
#include <algorithm>
#include <cmath>

#include "imaging/script/cell_average.h"
#include "imaging/script/effect_table.h"
#include "imaging/script/generator_settings.h"

namespace imaging::script {

bool RunVoxel(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const uint32_t block = static_cast<uint32_t>(Limited(values[1], 2, 512));
  const double depth = Limited(values[2], 0, 100) / 100;
  const double bevel = std::max(1.0, block * (0.08 + 0.22 * depth));
  const CellAverages means(picture, block);
  for (uint32_t y = 0; y < picture.height; ++y)
    for (uint32_t x = 0; x < picture.width; ++x) {
      const double u = x % block + 0.5, v = y % block + 0.5;
      const double top = v, left = u, bottom = block - v, right = block - u;
      const double nearest = std::min({top, left, bottom, right});
      double shade = 1;
      if (nearest < bevel) {
        // Which face of the bevel: the closest edge; top and left face the light.
        if (nearest == top)
          shade = 1 + 0.55 * depth;
        else if (nearest == left)
          shade = 1 + 0.3 * depth;
        else if (nearest == right)
          shade = 1 - 0.3 * depth;
        else
          shade = 1 - 0.5 * depth;
      }
      const uint8_t* mean = means.At(x, y);
      uint8_t* p = picture.pixels + (size_t{y} * picture.width + x) * 4;
      for (int c = 0; c < 3; ++c) {
        const double value = shade > 1 ? mean[c] + (255 - mean[c]) * (shade - 1) : mean[c] * shade;
        p[c] = uint8_t(std::clamp(value, 0.0, 255.0) + 0.5);
      }
      p[3] = mean[3];
    }
  return true;
}

}  // namespace imaging::script
