/* palmora: rendering the view (the canvas at the current zoom) into a host buffer, and the view
 * settings. */
#ifndef PALMORA_VIEW_H
#define PALMORA_VIEW_H

#include "palmora/export.h"

/* Draws canvas rectangle (x, y, width, height) at the current zoom into target: 3 bytes a pixel in
 * the order blue, green, red, rows targetStride bytes apart, output pixel (0, 0) showing the
 * rectangle's first canvas pixel. Composites every visible layer and the paint layer, then lays
 * the tracing image, a checkerboard behind transparency and the mask tint over it. At most the
 * view size is drawn. Returns 0 without drawing when no current layer with pixels is selected or
 * target is null; a stride too short for the rows drawn draws nothing. Otherwise returns 1. target
 * must hold as many rows of targetStride bytes as the view is high (PMR_SetViewSize). */
PMR_API int32_t PMR_Render(void* target, int32_t targetStride, int32_t x, int32_t y, int32_t width,
                           int32_t height);

/* Zoom: replication factor (integer magnification used when step < factor) and sampling step
 * (canvas pixels per output pixel). Returns the factor. */
PMR_API int32_t PMR_SetScale(int32_t replication, float step);
/* The most output columns and rows one render draws. Returns width. */
PMR_API int32_t PMR_SetViewSize(int32_t width, int32_t height);
/* Stores a view position for the host; rendering does not use it. Returns x. */
PMR_API int32_t PMR_SetOffset(int32_t x, int32_t y);
/* Each stores one flag and returns it: blend the tracing image into the view; show the mask (when
 * it is enabled too); put the mask in force for painting, filters and layer write-back. */
PMR_API int32_t PMR_SetTracingMode(int32_t on);
PMR_API int32_t PMR_DisplayMask(int32_t on);
PMR_API int32_t PMR_EnableMask(int32_t on);

#endif
