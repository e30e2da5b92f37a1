// Effect 23, emboss: the picture's brightness read as a relief and lit by a distant light.
// Slot 3 depth (how steep the relief is), 4 the light's direction in degrees (0 from the right,
// 90 from the top, anticlockwise as seen), 5 its height above the picture in degrees (90 straight
// above), 7 the look: 0 a grey relief, 1 the picture's own colours shaded by the relief. Alpha
// stays.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <opencv2/imgproc.hpp>

#include "imaging/script/effect_table.h"

namespace imaging::script {

namespace {

bool Emboss(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  if (!std::isfinite(values[3]) || !std::isfinite(values[4]) || !std::isfinite(values[5]))
    return false;
  const double depth = std::clamp(values[3], 0.0, 100.0);
  const double azimuth = values[4] * std::numbers::pi / 180;
  const double elevation = std::clamp(values[5], 1.0, 90.0) * std::numbers::pi / 180;
  const bool shadeColours = values[7] == 1;
  const int w = int(picture.width), h = int(picture.height);
  cv::Mat pixels(h, w, CV_8UC4, picture.pixels);

  // The relief: grey levels (blue, green, red order) as heights.
  cv::Mat grey(h, w, CV_32F);
  for (int y = 0; y < h; ++y) {
    const uint8_t* p = pixels.ptr<uint8_t>(y);
    float* g = grey.ptr<float>(y);
    for (int x = 0; x < w; ++x, p += 4) g[x] = float((29 * p[0] + 150 * p[1] + 77 * p[2]) >> 8);
  }
  // Slopes in grey levels a pixel (the Sobel sums weigh 8 differences of two pixels' span).
  cv::Mat dx, dy;
  cv::Sobel(grey, dx, CV_32F, 1, 0, 3, 1.0 / 8, 0, cv::BORDER_REPLICATE);
  cv::Sobel(grey, dy, CV_32F, 0, 1, 3, 1.0 / 8, 0, cv::BORDER_REPLICATE);

  // The light, with y pointing up the picture as seen.
  const double lx = std::cos(elevation) * std::cos(azimuth);
  const double ly = std::cos(elevation) * std::sin(azimuth);
  const double lz = std::sin(elevation);
  // At depth 10 an edge of 100 grey levels a pixel tilts the surface by about 63 degrees.
  const double steepness = depth / 500;
  for (int y = 0; y < h; ++y) {
    uint8_t* p = pixels.ptr<uint8_t>(y);
    const float* gx = dx.ptr<float>(y);
    const float* gy = dy.ptr<float>(y);
    for (int x = 0; x < w; ++x, p += 4) {
      // The surface z = steepness x grey has the normal (-dz/dx, dz/dy, 1) with y flipped to
      // point up; its light is the cosine of the angle to the light, never below 0.
      const double nx = -steepness * gx[x], ny = steepness * gy[x];
      const double shade =
          std::max(0.0, (nx * lx + ny * ly + lz) / std::sqrt(nx * nx + ny * ny + 1));
      if (shadeColours) {
        // Flat ground keeps its colour; slopes towards the light brighten, away darken.
        const double gain = shade / lz;
        for (int c = 0; c < 3; ++c) p[c] = uint8_t(std::min(255.0, p[c] * gain + 0.5));
      } else {
        p[0] = p[1] = p[2] = uint8_t(std::min(255.0, shade * 255 + 0.5));
      }
    }
  }
  return true;
}

}  // namespace

bool RunEmboss(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  try {
    return Emboss(picture, values);
  } catch (...) {
    return false;  // out of memory for the relief planes: the picture is as it was
  }
}

}  // namespace imaging::script
