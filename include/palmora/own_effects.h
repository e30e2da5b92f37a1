/* palmora: the engine's own colour adjusters on host RGBA32 buffers. */
#ifndef PALMORA_OWN_EFFECTS_H
#define PALMORA_OWN_EFFECTS_H

#include "palmora/export.h"

/* In place over a tightly packed width x height RGBA32 buffer: hue += hueShift degrees,
 * saturation and lightness += their shifts in percent (clamped to 0..100 %); alpha unchanged.
 * Returns width x 4, or 0 for a null buffer or an empty size (nothing changes). */
PMR_API int32_t PMR_ProcessBuffer_HSLAdjust(void* buffer, int32_t width, int32_t height,
                                            int32_t hueShift, int32_t saturationShift,
                                            int32_t lightnessShift);
/* The same in HSV with value instead of lightness; greys keep no hue and only take the value
 * shift. */
PMR_API int32_t PMR_ProcessBuffer_HSVAdjust(void* buffer, int32_t width, int32_t height,
                                            int32_t hueShift, int32_t saturationShift,
                                            int32_t valueShift);

#endif
