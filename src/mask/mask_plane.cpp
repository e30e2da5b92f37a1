#include "mask/mask_plane.h"

#include <algorithm>

#include "mask/mask_values.h"

namespace mask {

void SetMaskOptions(int32_t red1, int32_t green1, int32_t blue1, int32_t red2, int32_t green2,
                    int32_t blue2, int32_t fullStrength) {
  engine::EngineState& s = engine::State();
  // Tints are kept on the 16-bit scale the renderer blends with.
  const auto wide = [](int32_t channel) { return static_cast<uint16_t>((channel & 0xFF) << 8); };
  s.maskTintOdd[0] = wide(red1);
  s.maskTintOdd[1] = wide(green1);
  s.maskTintOdd[2] = wide(blue1);
  s.maskTintEven[0] = wide(red2);
  s.maskTintEven[1] = wide(green2);
  s.maskTintEven[2] = wide(blue2);
  s.maskFullStrength = fullStrength;
}

void ClearMask(int32_t red, int32_t green, int32_t blue) {
  const MaskCanvas canvas = LiveMask();
  if (!canvas.plane) return;
  const uint32_t mean = (uint32_t(uint16_t(red)) + uint16_t(green) + uint16_t(blue)) / 3;
  std::fill_n(canvas.plane, canvas.pixels, MaskFromGrey(mean));
}

void InvertMask() {
  const MaskCanvas canvas = LiveMask();
  for (std::size_t i = 0; i < canvas.pixels; ++i)
    canvas.plane[i] = static_cast<uint16_t>(65535 - canvas.plane[i]);
}

void SaveMask(uint8_t* buffer, int32_t stride) {
  const MaskCanvas canvas = LiveMask();
  if (!canvas.plane || !buffer || int64_t{stride} < int64_t{canvas.width} * 3) return;
  for (int32_t y = 0; y < canvas.height; ++y) {
    const uint16_t* m = canvas.plane + std::size_t(y) * canvas.width;
    uint8_t* out = buffer + std::size_t(y) * std::size_t(stride);
    for (int32_t x = 0; x < canvas.width; ++x, out += 3)
      out[0] = out[1] = out[2] = static_cast<uint8_t>(255 - (m[x] >> 8));
  }
}

void LoadMask(const uint8_t* buffer, int32_t stride, int32_t width, int32_t height) {
  const MaskCanvas canvas = LiveMask();
  if (!canvas.plane || !buffer) return;
  // The image may be larger than the canvas: only its top-left canvas-sized part is read.
  const int32_t cols = std::min(width, canvas.width), rows = std::min(height, canvas.height);
  if (cols <= 0 || rows <= 0 || int64_t{stride} < int64_t{cols} * 3) return;
  for (int32_t y = 0; y < rows; ++y) {
    const uint8_t* in = buffer + std::size_t(y) * std::size_t(stride);
    uint16_t* m = canvas.plane + std::size_t(y) * canvas.width;
    for (int32_t x = 0; x < cols; ++x, in += 3) {
      const uint32_t grey = (uint32_t{in[0]} + in[1] + in[2]) / 3;
      m[x] = grey == 0 ? 65535 : static_cast<uint16_t>(65280 - 256 * grey);
    }
  }
}

}  // namespace mask
