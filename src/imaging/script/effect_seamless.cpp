// Effect 52, seamless: makes the picture tile without visible joins. The picture is cross-faded
// with copies of itself moved by half its width, half its height and both. Near the picture's
// left and right edges the copy moved sideways takes over completely, and it brings to the
// edges pixels that were neighbours in the middle of the picture; the same holds up and down.
// So the last column runs on into the first as smoothly as the middle of the picture does.
// Slot 1: the width of the fade as a percentage of half the picture (100 fades over all of it,
// small values keep more of the picture unchanged in the middle).
#include <algorithm>
#include <vector>

#include "imaging/script/effect_table.h"
#include "imaging/script/generator_settings.h"

namespace imaging::script {
namespace {

// How much of the unmoved picture shows at position i of n: 0 at both ends, 1 beyond the fade.
std::vector<float> EdgeWeights(uint32_t n, double fadePercent) {
  std::vector<float> weights(n);
  const double fade = std::max(1.0, fadePercent / 100 * (n / 2.0));
  for (uint32_t i = 0; i < n; ++i) {
    const double t = std::min(1.0, std::min<double>(i, n - 1 - i) / fade);
    weights[i] = float(t * t * (3 - 2 * t));
  }
  return weights;
}

}  // namespace

bool RunSeamless(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const double fade = Limited(values[1], 1, 100);
  const uint32_t w = picture.width, h = picture.height;
  const std::vector<float> wx = EdgeWeights(w, fade), wy = EdgeWeights(h, fade);
  const std::vector<uint8_t> source(picture.pixels, picture.pixels + size_t{w} * h * 4);
  const auto at = [&](uint32_t x, uint32_t y) { return source.data() + (size_t{y} * w + x) * 4; };
  for (uint32_t y = 0; y < h; ++y) {
    const uint32_t my = (y + h / 2) % h;
    for (uint32_t x = 0; x < w; ++x) {
      const uint32_t mx = (x + w / 2) % w;
      const float a = wx[x] * wy[y], b = (1 - wx[x]) * wy[y], c = wx[x] * (1 - wy[y]),
                  d = (1 - wx[x]) * (1 - wy[y]);
      const uint8_t *p0 = at(x, y), *p1 = at(mx, y), *p2 = at(x, my), *p3 = at(mx, my);
      uint8_t* out = picture.pixels + (size_t{y} * w + x) * 4;
      for (int k = 0; k < 4; ++k)
        out[k] =
            uint8_t(std::clamp(a * p0[k] + b * p1[k] + c * p2[k] + d * p3[k], 0.0f, 255.0f) + 0.5f);
    }
  }
  return true;
}

}  // namespace imaging::script
