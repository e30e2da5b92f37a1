#include "engine/alpha_filters.h"

#include <algorithm>
#include <cstddef>

#include "engine/engine_state.h"

namespace engine {
namespace {

constexpr double kInv255 = 0.00392156862745098;
constexpr double kInv65535 = 0.000015259021896696422;

size_t PixelCount(const void* pixels, int32_t width, int32_t height) {
  if (!pixels || width <= 0 || height <= 0) return 0;
  return static_cast<size_t>(width) * static_cast<size_t>(height);
}

// x / (alpha / max), capped at max: the colour a premultiplied sample stood for.
template <class Sample>
Sample Divide(Sample x, Sample alpha, double inverseMax, double max) {
  return static_cast<Sample>(std::min(max, x * (1.0 / (alpha * inverseMax))));
}

void DivideRGBA32(uint8_t* p, size_t count, bool includeOpaque) {
  for (size_t i = 0; i < count; ++i, p += 4) {
    const uint8_t a = p[3];
    if (a == 0 || (a == 255 && !includeOpaque)) continue;
    for (int c = 0; c < 3; ++c) p[c] = Divide<uint8_t>(p[c], a, kInv255, 255.0);
  }
}

}  // namespace

// (x + 1) alpha / 255, truncated: the added one lets a post-filter bring 255 back exactly.
void AdjustRGBA32PreFilter(uint8_t* pixels, int32_t width, int32_t height) {
  uint8_t* p = pixels;
  for (size_t i = 0, n = PixelCount(pixels, width, height); i < n; ++i, p += 4) {
    const uint8_t a = p[3];
    if (a == 0 || a == 255) continue;
    for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>((p[c] + 1) * a * kInv255);
  }
}

void AdjustRGBA32PostFilter(uint8_t* pixels, int32_t width, int32_t height) {
  DivideRGBA32(pixels, PixelCount(pixels, width, height), false);
}

void AdjustRGBA64PreFilter(uint16_t* pixels, int32_t width, int32_t height) {
  uint16_t* p = pixels;
  for (size_t i = 0, n = PixelCount(pixels, width, height); i < n; ++i, p += 4) {
    const uint16_t a = p[3];
    if (a == 0) continue;
    for (int c = 0; c < 3; ++c)
      p[c] = static_cast<uint16_t>(p[c] * static_cast<double>(a) * kInv65535);
  }
}

void AdjustRGBA64PostFilter(uint16_t* pixels, int32_t width, int32_t height) {
  uint16_t* p = pixels;
  for (size_t i = 0, n = PixelCount(pixels, width, height); i < n; ++i, p += 4) {
    const uint16_t a = p[3];
    if (a == 0) continue;
    for (int c = 0; c < 3; ++c) p[c] = Divide<uint16_t>(p[c], a, kInv65535, 65535.0);
  }
}

void AdjustRGBA32ForAlphaComp(int32_t flag, uint8_t* pixels) {
  if (!flag) return;
  const engine::EngineState& s = engine::State();
  DivideRGBA32(pixels, PixelCount(pixels, s.canvasWidth, s.canvasHeight), true);
}

}  // namespace engine
