// Effect 19, edge: the strength of change around each pixel (the Sobel gradient of each colour
// channel), light edges on black, or dark lines on white when inverted. Alpha is kept. Slots: 1
// strength % (100 shows the gradient at its own size), 2 inverted (0 or 1).
#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/script/effect_table.h"
#include "imaging/script/generator_settings.h"

namespace imaging::script {

bool RunEdge(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const double gain = Limited(values[1], 0, 1000) / 100;
  const bool inverted = values[2] == 1;
  const int64_t w = picture.width, h = picture.height;
  const std::vector<uint8_t> source(picture.pixels, picture.pixels + size_t(w * h * 4));
  // Pixels beyond the edge repeat the edge pixel.
  const auto at = [&](int64_t x, int64_t y, int c) {
    x = std::clamp<int64_t>(x, 0, w - 1), y = std::clamp<int64_t>(y, 0, h - 1);
    return int(source[size_t((y * w + x) * 4 + c)]);
  };
  for (int64_t y = 0; y < h; ++y)
    for (int64_t x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c) {
        const int gx = at(x + 1, y - 1, c) + 2 * at(x + 1, y, c) + at(x + 1, y + 1, c) -
                       at(x - 1, y - 1, c) - 2 * at(x - 1, y, c) - at(x - 1, y + 1, c);
        const int gy = at(x - 1, y + 1, c) + 2 * at(x, y + 1, c) + at(x + 1, y + 1, c) -
                       at(x - 1, y - 1, c) - 2 * at(x, y - 1, c) - at(x + 1, y - 1, c);
        // The kernels weigh four pixel steps: a quarter of the magnitude is the change per step.
        const double magnitude = std::min(255.0, std::sqrt(double(gx * gx + gy * gy)) / 4 * gain);
        const uint8_t v = static_cast<uint8_t>(magnitude + 0.5);
        picture.pixels[size_t((y * w + x) * 4 + c)] = inverted ? uint8_t(255 - v) : v;
      }
  return true;
}

}  // namespace imaging::script
