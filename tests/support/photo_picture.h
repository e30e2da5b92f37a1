// A procedural stand-in for a photograph: a sky gradient, a soft sun, layered hills, a house with
// hard edges, fine grain noise and a semi-transparent border, so that effects meet smooth areas,
// edges, texture and partial alpha at once. Deterministic for a given size.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace palmora_test {

inline std::vector<uint8_t> PhotoPicture(int w, int h, bool translucentEdge = true) {
  std::vector<uint8_t> px(std::size_t(w) * h * 4);
  uint32_t seed = 2463534242u;
  auto noise = [&seed]() {  // xorshift, -1..1
    seed ^= seed << 13, seed ^= seed >> 17, seed ^= seed << 5;
    return (seed & 0xFFFF) / 32767.5 - 1.0;
  };
  for (int y = 0; y < h; ++y) {
    const double v = double(y) / h;
    for (int x = 0; x < w; ++x) {
      const double u = double(x) / w;
      // Sky: deep blue at the top to a warm haze at the horizon.
      double r = 40 + 180 * v, g = 90 + 120 * v, b = 200 - 40 * v;
      // Sun with a soft glow.
      const double du = u - 0.72, dv = v - 0.25, d = std::sqrt(du * du + dv * dv);
      const double glow = std::exp(-d * d * 60);
      r += 120 * glow, g += 100 * glow, b += 40 * glow;
      if (d < 0.06) r = 255, g = 246, b = 210;
      // Hills: two ridges of different green.
      const double far = 0.55 + 0.05 * std::sin(u * 9) + 0.02 * std::sin(u * 31);
      const double near = 0.7 + 0.08 * std::sin(u * 5 + 1) + 0.01 * std::sin(u * 57);
      if (v > far) r = 70 + 30 * v, g = 110 + 20 * v, b = 80;
      if (v > near) r = 50 + 60 * (v - near), g = 120 - 40 * (v - near), b = 40;
      // A house: white wall, dark red roof, black window.
      if (u > 0.2 && u < 0.38 && v > 0.6 && v < 0.82) r = 235, g = 230, b = 220;
      if (v > 0.5 && v <= 0.6 && std::abs(u - 0.29) < (v - 0.5) * 1.1) r = 120, g = 25, b = 20;
      if (u > 0.26 && u < 0.32 && v > 0.66 && v < 0.74) r = g = b = 15;
      // Grain: mostly shared by the channels (luminance noise), a little per channel.
      const double n = 10 * noise();
      uint8_t* p = &px[(std::size_t(y) * w + x) * 4];
      p[0] = uint8_t(std::clamp(r + n + 3 * noise(), 0.0, 255.0));
      p[1] = uint8_t(std::clamp(g + n + 3 * noise(), 0.0, 255.0));
      p[2] = uint8_t(std::clamp(b + n + 3 * noise(), 0.0, 255.0));
      // Alpha fades out over the outer twentieth of the picture.
      const double edge = std::min({u, v, 1 - u, 1 - v}) * 20;
      p[3] = translucentEdge ? uint8_t(std::clamp(edge, 0.0, 1.0) * 255) : 255;
    }
  }
  return px;
}

}  // namespace palmora_test
