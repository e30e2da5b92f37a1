#include "process/glows_and_mask_hsl.h"

#include <algorithm>

#include "imaging/glows.h"
#include "mask/mask_makers.h"
#include "mask/mask_plane.h"
#include "engine/colour_models.h"
#include "engine/processing_buffers.h"

namespace process {

namespace {

// The glow's blur radius in pixels: 1 at 0 %, 31 at 100 %.
double GlowRadius(const EffectCall& call) {
  return 1 + std::clamp(call.Percent(1), 0.0f, 100.0f) * 0.3;
}
// The glow's strength: 2 at 50 %, so that a shape's edge glows fully.
double GlowStrength(const EffectCall& call) {
  return std::clamp(call.Percent(2), 0.0f, 100.0f) * 0.04;
}

}  // namespace

bool GlowInnerBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                   int32_t width, int32_t height) {
  return imaging::ISE40_InnerGlowRGBA(source, width, height, width * 4, destination, width * 4,
                                      call.Colour(), GlowRadius(call), GlowStrength(call));
}

bool GlowOuterBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                   int32_t width, int32_t height) {
  return imaging::ISE40_OuterGlowRGBA(source, width, height, width * 4, destination, width * 4,
                                      call.Colour(), GlowRadius(call), GlowStrength(call));
}

void MaskGenerateHSLBody(const EffectCall& call) {
  const uint8_t* source = engine::UsableSrcBuffer32();
  if (!source) return;
  // Sliders beyond 0..100 % are limited, so that the hue stays within one turn.
  auto percent = [&](int k) { return double(std::clamp(call.Percent(k), 0.0f, 100.0f)); };
  uint8_t red, green, blue;
  engine::HSLToRGB(percent(1) * 3.6, percent(3) * 0.01, percent(5) * 0.01, &red, &green, &blue);
  if (call.options[2] == 1) mask::ClearMask(0, 0, 0);
  mask::CreateMaskFromRGBAImageHSLRange(source, red, green, blue, percent(2) * 0.01,
                                        percent(4) * 0.01, percent(6) * 0.01,
                                        call.options[0] == 0 ? 255 : 0);
}

}  // namespace process
