// Effect 4, splines: smooth curves, each a Catmull-Rom spline through random points. Slots: 1
// width in pixels, 2 points each curve passes through (2..32); the shared generator slots.
#include <cmath>
#include <vector>

#include "imaging/script/effect_table.h"
#include "imaging/script/generator_settings.h"

namespace imaging::script {
namespace {

struct Point {
  double x, y;
};

// The Catmull-Rom curve between p1 and p2 at t in 0..1, with p0 and p3 as its neighbours.
Point CatmullRom(const Point& p0, const Point& p1, const Point& p2, const Point& p3, double t) {
  const double t2 = t * t, t3 = t2 * t;
  const auto blend = [&](double a, double b, double c, double d) {
    return 0.5 *
           (2 * b + (c - a) * t + (2 * a - 5 * b + 4 * c - d) * t2 + (3 * b - a - 3 * c + d) * t3);
  };
  return {blend(p0.x, p1.x, p2.x, p3.x), blend(p0.y, p1.y, p2.y, p3.y)};
}

}  // namespace

bool RunSplines(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const GeneratorSettings s = ReadGeneratorSettings(values, 10000);
  const double radius = Limited(values[1], 0.5, 500) / 2;
  const size_t points = static_cast<size_t>(Limited(values[2], 2, 32));
  EffectRandom random(s.seed);
  PaintLayer layer(picture.width, picture.height);
  std::vector<Point> through(points + 2);
  for (uint32_t i = 0; i < s.count; ++i) {
    for (size_t k = 1; k <= points; ++k)
      through[k] = {random.Unit() * picture.width, random.Unit() * picture.height};
    // The ends continue straight on, so that the curve leaves its last point smoothly.
    through[0] = {2 * through[1].x - through[2].x, 2 * through[1].y - through[2].y};
    through[points + 1] = {2 * through[points].x - through[points - 1].x,
                           2 * through[points].y - through[points - 1].y};
    const Rgb colour = VaryColour(s.colour, s.variation, random);
    bool first = true;
    for (size_t k = 1; k < points; ++k) {
      const double span =
          std::hypot(through[k + 1].x - through[k].x, through[k + 1].y - through[k].y);
      const int steps = 1 + static_cast<int>(span / 4);
      Point last = through[k];
      for (int j = 1; j <= steps; ++j) {
        const Point next = CatmullRom(through[k - 1], through[k], through[k + 1], through[k + 2],
                                      double(j) / steps);
        layer.Capsule(last.x, last.y, next.x, next.y, radius, colour, s.opacity, first);
        first = false;
        last = next;
      }
    }
  }
  layer.LayOnto(picture, s.mode);
  return true;
}

}  // namespace imaging::script
