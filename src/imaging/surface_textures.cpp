// Textures laid into the picture: crackle and fingerprint.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <opencv2/core.hpp>

#include "imaging/artistic_filters.h"
#include "imaging/filter_frame.h"

namespace imaging {

int32_t ISE3CrackleRGB(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                       void* dst, uint32_t dstRowBytes, uint32_t cellSize, uint32_t crackWidth,
                       double depth) {
  if (!std::isfinite(depth)) return 0;
  const double cell = std::clamp<uint32_t>(cellSize, 4, 512);
  const double crack = std::min<uint32_t>(crackWidth, 16);
  const double k = std::clamp(depth, 0.0, 1.0);
  return EachRGB24Pixel(src, width, height, srcRowBytes, dst, dstRowBytes,
                   [&](int x, int y, const uint8_t* s, uint8_t* d) {
                     // Voronoi cells of one jittered seed per grid square: the distance to the
                     // nearest seed (f1) and to the second (f2); (f2 - f1) / 2 is the distance to
                     // the crack between them.
                     const double gx = x / cell, gy = y / cell;
                     const int ix = int(std::floor(gx)), iy = int(std::floor(gy));
                     double f1 = 1e30, f2 = 1e30;
                     for (int oy = -1; oy <= 1; ++oy)
                       for (int ox = -1; ox <= 1; ++ox) {
                         const uint32_t cx = uint32_t(ix + ox), cy = uint32_t(iy + oy);
                         const double px = ix + ox + 0.15 + 0.7 * HashUnit(cx, cy, 0xC3AC1Eu);
                         const double py = iy + oy + 0.15 + 0.7 * HashUnit(cx, cy, 0x0C3AC1Eu);
                         // Squared distances: the root is taken once, for the two nearest.
                         const double dd = (gx - px) * (gx - px) + (gy - py) * (gy - py);
                         if (dd < f1) f2 = f1, f1 = dd;
                         else if (dd < f2) f2 = dd;
                       }
                     const double edge = (std::sqrt(f2) - std::sqrt(f1)) * 0.5 * cell;  // pixels to the crack
                     // Dark in the crack with a soft rim, a gentle dome inside each cell.
                     const double inCrack = std::clamp((crack * 0.5 + 1.0 - edge), 0.0, 1.0);
                     const double dome = std::min(1.0, edge / (cell * 0.25));
                     const double shade = 1.0 - k * (0.85 * inCrack + 0.18 * (1.0 - dome));
                     for (int c = 0; c < 3; ++c) d[c] = ClampByte(s[c] * shade);
                   });
}

int32_t ISE3Fingerprint(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                        void* dst, uint32_t dstRowBytes, uint32_t ridgeSpacing, double strength) {
  if (!std::isfinite(strength)) return 0;
  const double spacing = std::clamp<uint32_t>(ridgeSpacing, 2, 64);
  const double k = std::clamp(strength, 0.0, 1.0);
  const double cx = width * 0.5, cy = height * 0.55;
  const double size = std::max(1.0, 0.45 * std::min(width, height));
  return EachRGB24Pixel(src, width, height, srcRowBytes, dst, dstRowBytes,
                   [&](int x, int y, const uint8_t* s, uint8_t* d) {
                     // A whorl: ellipses about the core, drawn upwards into a loop and bent by
                     // a slow wave so that the ridges wander as real ones do.
                     const double u = (x - cx) / size, v = (y - cy) / size;
                     const double bend = 0.08 * std::sin(u * 5.0 + v * 3.0) + 0.05 * std::sin(v * 7.0 - u * 2.0);
                     const double r = std::sqrt(u * u * 1.3 + (v + 0.25 * u * u) * (v + 0.25 * u * u) * 0.8) + bend;
                     const double ridge = 0.5 + 0.5 * std::cos(2 * std::numbers::pi * r * size / spacing);
                     // The print fades out beyond the finger's pad.
                     const double pad = std::clamp(1.6 - r * 1.4, 0.0, 1.0);
                     const double shade = 1.0 - k * 0.8 * ridge * pad;
                     for (int c = 0; c < 3; ++c) d[c] = ClampByte(s[c] * shade);
                   });
}

}  // namespace imaging
