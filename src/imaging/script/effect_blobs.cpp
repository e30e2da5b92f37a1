// Effect 20, blobs: soft round shapes that flow into one another where they meet (a field summed
// from every blob, cut at a level). Slots: 1 blob size as a percentage of the picture's shorter
// side, 2 edge softness %; the shared generator slots.
#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/script/effect_table.h"
#include "imaging/script/generator_settings.h"

namespace imaging::script {
namespace {

struct Blob {
  double x, y, reach;
  Rgb colour;
};

// A blob's share of the field at squared distance q2 (in reaches): smooth, and zero from one
// reach on, so that only nearby blobs need be summed.
double Falloff(double q2) {
  if (q2 >= 1) return 0;
  const double k = 1 - q2;
  return k * k * k;
}

}  // namespace

bool RunBlobs(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const GeneratorSettings s = ReadGeneratorSettings(values, 5000);
  const double shorter = std::min(picture.width, picture.height);
  // A lone blob shows out to where its field falls to the cut level: about 0.575 of its reach.
  constexpr double kLevel = 0.3, kVisible = 0.575;
  const double visible = std::max(1.0, Limited(values[1], 0, 100) / 100 * shorter);
  const double softness = 0.005 + Limited(values[2], 0, 100) / 100 * 0.12;
  EffectRandom random(s.seed);
  std::vector<Blob> blobs(s.count);
  for (Blob& b : blobs) {
    b.x = random.Unit() * picture.width;
    b.y = random.Unit() * picture.height;
    b.reach = visible * (0.5 + 0.5 * random.Unit()) / kVisible;
    b.colour = VaryColour(s.colour, s.variation, random);
  }
  PaintLayer layer(picture.width, picture.height);
  layer.ForRowBands([&](uint32_t firstRow, uint32_t endRow) {
    std::vector<const Blob*> near;
    for (uint32_t y = firstRow; y < endRow; ++y) {
      const double py = y + 0.5;
      near.clear();
      for (const Blob& b : blobs)
        if (std::fabs(b.y - py) < b.reach) near.push_back(&b);
      if (near.empty()) continue;
      for (uint32_t x = 0; x < picture.width; ++x) {
        const double px = x + 0.5;
        double field = 0, red = 0, green = 0, blue = 0;
        for (const Blob* b : near) {
          const double dx = (px - b->x) / b->reach, dy = (py - b->y) / b->reach;
          const double w = Falloff(dx * dx + dy * dy);
          if (w <= 0) continue;
          field += w;
          red += w * b->colour.red, green += w * b->colour.green, blue += w * b->colour.blue;
        }
        if (field <= 0) continue;
        const double edge = std::clamp((field - (kLevel - softness)) / (2 * softness), 0.0, 1.0);
        if (edge <= 0) continue;
        const double coverage = edge * edge * (3 - 2 * edge);
        // Thicker parts of the field are lit a little more, which rounds the blobs.
        const double light = 0.8 + 0.3 * std::min(1.0, (field - kLevel) / (1 - kLevel));
        const Rgb colour = Shade({float(red / field), float(green / field), float(blue / field)}, light);
        layer.Blend(x, y, colour, static_cast<float>(coverage) * s.opacity);
      }
    }
  });
  layer.LayOnto(picture, s.mode);
  return true;
}

}  // namespace imaging::script
