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
  // The field and the weighted colours along a row.
  struct Sums {
    double field, red, green, blue;
  };
  PaintRowsOnto(
      picture, s.mode, size_t{picture.width} * sizeof(Sums),
      [&](uint32_t y, uint8_t* row, uint8_t* scratch) {
        // Each blob added over the columns it can reach, in blob order.
        Sums* sums = reinterpret_cast<Sums*>(scratch);
        std::fill(sums, sums + picture.width, Sums{0, 0, 0, 0});
        const double py = y + 0.5;
        bool any = false;
        for (const Blob& b : blobs) {
          if (!(std::fabs(b.y - py) < b.reach)) continue;
          const double dy = (py - b.y) / b.reach;
          // Columns outside the blob's reach on this row add nothing; one more each side keeps the
          // bound safe from rounding.
          const double half = b.reach * std::sqrt(std::max(0.0, 1 - dy * dy)) + 1;
          const double from = std::max(0.0, std::floor(b.x - half));
          const double to = std::min<double>(picture.width, std::ceil(b.x + half));
          for (uint32_t x = static_cast<uint32_t>(from);
               x < static_cast<uint32_t>(std::max(from, to)); ++x) {
            const double dx = (x + 0.5 - b.x) / b.reach;
            const double w = Falloff(dx * dx + dy * dy);
            if (w <= 0) continue;
            Sums& sum = sums[x];
            sum.field += w;
            sum.red += w * b.colour.red, sum.green += w * b.colour.green,
                sum.blue += w * b.colour.blue;
            any = true;
          }
        }
        if (!any) return;
        for (uint32_t x = 0; x < picture.width; ++x) {
          const double field = sums[x].field;
          if (field <= 0) continue;
          const double edge = std::clamp((field - (kLevel - softness)) / (2 * softness), 0.0, 1.0);
          if (edge <= 0) continue;
          const double coverage = edge * edge * (3 - 2 * edge);
          // Thicker parts of the field are lit a little more, which rounds the blobs.
          const double light = 0.8 + 0.3 * std::min(1.0, (field - kLevel) / (1 - kLevel));
          const Rgb colour = Shade({float(sums[x].red / field), float(sums[x].green / field),
                                    float(sums[x].blue / field)},
                                   light);
          BlendPixel(row + size_t{x} * 4, colour, static_cast<float>(coverage) * s.opacity);
        }
      });
  return true;
}

}  // namespace imaging::script
