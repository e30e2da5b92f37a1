#include "mask/mask_layer.h"

#include <algorithm>

#include "engine/layer_stack.h"
#include "mask/mask_values.h"

namespace mask {
namespace {

// Calls fn(layer pixel, mask sample) for every canvas pixel. The layer rows and the mask rows have
// different strides (4 samples a pixel against 1), so the layer must match the canvas exactly.
template <class Fn>
void ForEachLayerPixel(Fn fn) {
  const MaskCanvas canvas = LiveMask();
  engine::LayerRecord* layer = engine::State().currentLayer;
  if (!canvas.plane || !engine::IsCanvasSized(layer)) return;
  for (int32_t y = 0; y < canvas.height; ++y) {
    uint16_t* p = layer->pixels + std::size_t(y) * layer->stride;
    uint16_t* m = canvas.plane + std::size_t(y) * canvas.width;
    for (int32_t x = 0; x < canvas.width; ++x, p += 4) fn(p, m[x]);
  }
}

}  // namespace

void CreateImageFromMask() {
  // Shown as a picture the mask is inverted: protected areas white, open areas black.
  ForEachLayerPixel([](uint16_t* p, uint16_t& m) {
    const auto grey = static_cast<uint16_t>(std::min<uint32_t>(65535u - m, 65280u));
    p[0] = p[1] = p[2] = grey;
    p[3] = 65535;
  });
}

void CreateAlphaFromMask() {
  ForEachLayerPixel([](uint16_t* p, uint16_t& m) { p[3] = m; });
}

void CreateMaskFromAlpha() {
  ForEachLayerPixel([](uint16_t* p, uint16_t& m) { m = p[3]; });
}

void CreateMaskFromImage() {
  ForEachLayerPixel(
      [](uint16_t* p, uint16_t& m) { m = MaskFromGrey((uint32_t{p[0]} + p[1] + p[2]) / 3); });
}

void CreateMaskFromImageLuma() {
  ForEachLayerPixel([](uint16_t* p, uint16_t& m) {
    m = MaskFromGrey((3 * uint32_t{p[0]} + 4 * uint32_t{p[1]} + p[2]) >> 3);
  });
}

}  // namespace mask
