/*
 * palmora: a painting engine with a flat C interface.
 *
 * The engine keeps one canvas and everything that belongs to it (64 layer slots at 16 bits a
 * channel, a paint layer, a 16-bit mask, brush buffers, an undo history) in one engine-wide state.
 * There are no handles: every export works on that state, on the calling thread.
 *
 * Conventions that hold for every export:
 *  - Layer indices are 0..63. Slot 0 is the tracing image, slot 1 the background, 2..63 ordinary
 *    layers stacked by index. An index outside 0..63, or a slot without pixels where pixels are
 *    needed, is refused: the export changes nothing and returns its neutral value (0 or nothing).
 *  - Null pointers where a buffer is expected are refused the same way.
 *  - An export that fails for any other reason (in practice, memory) writes a fixed text such as
 *    "CreateImage Excpt" into the last-error buffer (PMR_GetLastError) and returns its neutral
 *    value. Successful calls never clear that text. No C++ exception ever leaves the library.
 *  - Row lengths passed by the host are in bytes. Pixel formats: RGBA64 (four uint16_t, red first),
 *    RGBA32 (four bytes, red first), RGB24 (three bytes, red first), G16 (mask), G8.
 *  - 16 to 8 bits takes the high byte; 8 to 16 bits multiplies by 256 (255 becomes 65280).
 *  - Colours returned to the host pack alpha << 24 | red << 16 | green << 8 | blue.
 *  - Blocks the engine hands out for the host to keep are released with PMR_Free.
 *
 * Where a first host trips (examples/first_painting.c does all of it):
 *  - A new layer is hidden: PMR_SetLayerOptions(index, 1, ...) makes it visible; until then merges,
 *    renders and page saves leave it out.
 *  - Set the brush size (PMR_SetSize) before the tool (PMR_SetTool, PMR_SetBrushShape): the shape
 * is built for the size in force, and a later size alone does not rebuild it.
 *  - Each family takes its own colour scale: PMR_SetColor, PMR_Clear, layer and effect colours take
 *    0..255 channels; dabs (PMR_DrawDabGrit) and PMR_SetColor16 take 16-bit channels (x 256);
 *    effect sliders are tenths of a percent (0..1000); opacities are percents.
 *  - Effects need both processing buffers (PMR_IPLAllocSrcBuffer32, PMR_IPLAllocDstBuffer32) and
 *    report failure only through PMR_GetLastError.
 */
#ifndef PALMORA_H
#define PALMORA_H

#include "palmora/export.h"
#include "palmora/blend_buffer.h"
#include "palmora/brush.h"
#include "palmora/clipboard.h"
#include "palmora/effects.h"
#include "palmora/effect_catalogue.h"
#include "palmora/drawing.h"
#include "palmora/engine.h"
#include "palmora/files.h"
#include "palmora/fill.h"
#include "palmora/geometry.h"
#include "palmora/host.h"
#include "palmora/image_brush.h"
#include "palmora/import_buffer.h"
#include "palmora/layers.h"
#include "palmora/mask.h"
#include "palmora/movie_pdf_scanner.h"
#include "palmora/merge.h"
#include "palmora/own_effects.h"
#include "palmora/plugins.h"
#include "palmora/processing.h"
#include "palmora/progress.h"
#include "palmora/tablet.h"
#include "palmora/transfer.h"
#include "palmora/lua.h"
#include "palmora/undo.h"
#include "palmora/view.h"

#endif
