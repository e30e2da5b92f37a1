// Effect 18, carpet: the picture knotted as a pile carpet. Each square knot takes the mean colour
// of its cell and is shaded as a rounded tuft crossed by its yarn's twists, knots alternating in
// direction like a weave, each a little lighter or darker at random. Slots: 0 seed, 1 knot size
// in pixels, 2 pile depth % (how strongly the knots are shaded).
#include <algorithm>
#include <cmath>
#include <numbers>

#include "imaging/script/cell_average.h"
#include "imaging/script/effect_table.h"
#include "imaging/script/generator_settings.h"

namespace imaging::script {

bool RunCarpet(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const uint64_t seed = SeedFromValue(values[0]);
  const uint32_t knot = static_cast<uint32_t>(Limited(values[1], 2, 512));
  const double depth = Limited(values[2], 0, 100) / 100;
  const CellAverages means(picture, knot);
  constexpr double kTwoPi = 2 * std::numbers::pi;
  for (uint32_t y = 0; y < picture.height; ++y)
    for (uint32_t x = 0; x < picture.width; ++x) {
      const uint32_t cx = x / knot, cy = y / knot;
      const double u = (x % knot + 0.5) / knot, v = (y % knot + 0.5) / knot;
      // Rounded tuft: full light at the centre, falling toward the knot's corners.
      const double r2 = (u - 0.5) * (u - 0.5) + (v - 0.5) * (v - 0.5);
      const double tuft = std::sqrt(std::max(0.0, 1 - r2 * 1.8));
      // Three twists of yarn across each knot, running one way on even knots and the other on odd.
      const double along = ((cx + cy) & 1) ? u + v : u - v;
      const double twist = 0.5 + 0.5 * std::sin(kTwoPi * 3 * along);
      const double jitter =
          (double(HashLattice(seed, cx, cy, 18) >> 11) / 9007199254740992.0 - 0.5) * 0.16;
      const double shade = 1 + depth * ((tuft - 0.75) * 0.9 + (twist - 0.5) * 0.3 + jitter);
      const uint8_t* mean = means.At(x, y);
      uint8_t* p = picture.pixels + (size_t{y} * picture.width + x) * 4;
      for (int c = 0; c < 3; ++c) p[c] = uint8_t(std::clamp(mean[c] * shade, 0.0, 255.0) + 0.5);
      p[3] = mean[3];
    }
  return true;
}

}  // namespace imaging::script
