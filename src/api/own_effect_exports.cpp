// Exports: the engine's own colour adjusters.
#include "api/guard.h"
#include "palmora/own_effects.h"
#include "process/hsl_hsv_adjust.h"

PMR_API int32_t PMR_ProcessBuffer_HSLAdjust(void* buffer, int32_t width, int32_t height,
                                            int32_t hueShift, int32_t saturationShift,
                                            int32_t lightnessShift) {
  return api::guard(0, "ProcessBuffer_HSLAdjust Excpt", [&] {
    return process::ProcessBuffer_HSLAdjust(static_cast<uint8_t*>(buffer), width, height, hueShift,
                                            saturationShift, lightnessShift);
  });
}
PMR_API int32_t PMR_ProcessBuffer_HSVAdjust(void* buffer, int32_t width, int32_t height,
                                            int32_t hueShift, int32_t saturationShift,
                                            int32_t valueShift) {
  return api::guard(0, "ProcessBuffer_HSVAdjust Excpt", [&] {
    return process::ProcessBuffer_HSVAdjust(static_cast<uint8_t*>(buffer), width, height, hueShift,
                                            saturationShift, valueShift);
  });
}
