#include "process/relief_script.h"

#include "imaging/channels.h"
#include "imaging/picture_script.h"
#include "process/library/slider_scales.h"

namespace process {

namespace {

// Ends the runner's session on every way out.
struct ScriptSession {
  bool started = imaging::ISL_Initialize() != 0;
  ~ScriptSession() { imaging::ISL_Finish(); }
};

}  // namespace

bool EmbossPixels(uint8_t* pixels, int32_t width, int32_t height, const ReliefLight& light) {
  if (!pixels || width <= 0 || height <= 0) return false;
  const uint32_t w = uint32_t(width), h = uint32_t(height);
  ScriptSession session;
  if (!session.started || !imaging::ISL_AddEffect(kEmbossScriptEffect, 1)) return false;
  imaging::ISL_SetEffectValue(0, 3, light.depth);
  imaging::ISL_SetEffectValue(0, 4, light.direction);
  imaging::ISL_SetEffectValue(0, 5, light.height);
  imaging::ISL_SetEffectValue(0, 7, light.look);
  // The runner works in blue, green, red, alpha order; the swap is its own inverse.
  if (!imaging::IS3RGBAToBGRA(pixels, w, h, w * 4)) return false;
  const bool ran = imaging::ISL_ExecuteScriptOnImage(pixels, w, h) != 0;
  imaging::IS3RGBAToBGRA(pixels, w, h, w * 4);
  return ran;
}

// Depth 0..20 over the slider; the light turns a full circle and rises from 0 to 90 degrees.
bool Emboss2Body(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  ReliefLight light;
  light.depth = Fraction(call, 1) * 20;
  light.direction = Fraction(call, 2) * 360;
  light.height = Fraction(call, 3) * 90;
  light.look = call.options[2] == 1 ? 1 : 0;
  return EmbossPixels(pixels, width, height, light);
}

}  // namespace process
