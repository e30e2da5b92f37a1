/* palmora: tool and brush settings, brush shapes and dabs. */
#ifndef PALMORA_BRUSH_H
#define PALMORA_BRUSH_H

#include "palmora/export.h"

/* The whole tool in one call. Restarts the random sequence from the stored seed (so a stroke
 * replayed after the same tool and seed reproduces), stores the settings, sets the mix mode to 32
 * (plain paint), builds the twenty grit windows from the random pools when gritSize is not 0 (a
 * negative size is taken as 0), or from a texture script or picture file when textureName has at
 * least 2 characters (windows cut at random places of its grey, a script's picture tiled over 600 x
 * 600 first; a picture smaller than a window gives what it holds, 255 elsewhere; a texture that
 * cannot be read leaves the grit as it was), and rebuilds the brush shape from shapeName and
 * shapeAngle. 8-bit arguments
 * use their low byte; options 11 and 13 are kept and not read. On failure: "SetTool Excpt". */
PMR_API void PMR_SetTool(float shapeScale, int32_t gritSize, int32_t gritCellThreshold,
                         int32_t gritFillThreshold, int32_t edgeSoftness, int32_t colorVary,
                         int32_t drawingLength, int32_t blendStrength,
                         int32_t blendPrimaryColorStrength, int32_t blendRemix, int32_t option11,
                         int32_t invertShape, int32_t option13, const char* textureName,
                         const char* shapeName, int32_t shapeAngle);

/* Brush colour from 0..255 channels (x 256, so 255 gives 65280) or 16-bit channels; alpha 65535. */
PMR_API void PMR_SetColor(int32_t red, int32_t green, int32_t blue);
PMR_API void PMR_SetColor16(int32_t red, int32_t green, int32_t blue);
/* The four bank colours of the bank mix rules: red, green, blue of bank 0, then banks 1, 2, 3. */
PMR_API void PMR_SetColorBanks(int32_t r0, int32_t g0, int32_t b0, int32_t r1, int32_t g1,
                               int32_t b1, int32_t r2, int32_t g2, int32_t b2, int32_t r3,
                               int32_t g3, int32_t b3);
/* Blur level 0..100 of picture shapes built by PMR_SetBrushShape: above 0 the picture is smeared
 * along its rows and columns before it is scaled to the brush, each pixel brighter than its
 * predecessor keeping (100 - level) / 100 of itself and taking the rest from the predecessor, so
 * that dark spreads into bright; 100 and above smear nothing. */
PMR_API void PMR_SetShapeBlur(int32_t level);
/* Weight out of 256 of the carried paint; 0 turns the blend buffer off. */
PMR_API void PMR_SetBlendStrength(int32_t strength);
/* Weight out of 256 of the brush colour mixed into the carried paint; 0 = none. */
PMR_API void PMR_SetBlendPrimaryColorStrength(int32_t strength);
/* Non-zero: dabs write the meeting of paint and canvas back into the blend buffer. */
PMR_API void PMR_SetBlendRemix(int32_t flag);
/* A grit pixel paints where its grit byte is below density (256 lets all through, 0 none). */
PMR_API void PMR_SetDensity(int32_t density);
/* Dab opacity in percent; 100 and above paint at full strength. */
PMR_API void PMR_SetAlpha(int32_t percent);
/* Per-dab colour variation range, in steps of 256. */
PMR_API void PMR_SetColorVary(int32_t vary);
/* Locks: dabs never write alpha / never write colour / change alpha only where it stays solid. */
PMR_API void PMR_SetAlphaLocked(int32_t flag);
PMR_API void PMR_SetColorLocked(int32_t flag);
PMR_API void PMR_SetBlobLocked(int32_t flag);
/* Above 0: dabs write this alpha instead of the computed one (at most 65535). */
PMR_API void PMR_SetAlphaLevel(int32_t level);
/* The carried paint's alpha scales the dab coverage. */
PMR_API void PMR_SetImageBrushMode(int32_t flag);
/* Every covered pixel gets full coverage. */
PMR_API void PMR_SetSolidBrushMode(int32_t flag);
/* mode 1: dabs sample the shape turned by degrees; any other mode: unturned. */
PMR_API void PMR_SetRotateBrushMode(int32_t mode, int32_t degrees);
/* The colour rule of dabs and of the blend-buffer mix: 32 plain paint, 33 (and below) multiply,
 * 34..48 the blend rules (Screen .. Subtract), 249..262 bank and threshold rules, 295 posterise,
 * 340 grey out, 387 darker, 388 lighter; other numbers of 34 and above paint the source colour
 * itself through the rules' coverage compositing. amount 0..256 is the rule's strength (values
 * outside are taken as the nearer end by the dab). */
PMR_API void PMR_SetMixMode(int32_t mode, int32_t amount);
/* Brush side in pixels, limited to 1..999 and to the canvas's largest brush. */
PMR_API void PMR_SetSize(int32_t size);
/* Dab side in pixels (1..brushSize); the shape is sampled nearest-neighbour onto it. */
PMR_API void PMR_SetScaleSize(int32_t size);
/* Per-pixel colour and luminance variation ranges (0 = off). */
PMR_API void PMR_SetPixColorVary(int32_t vary);
PMR_API void PMR_SetPixLumVary(int32_t vary);
/* One-shot flags for the next dab: ignore the blend buffer, paint the mask, erase. */
PMR_API void PMR_TempDisableBlend(void);
PMR_API void PMR_SetMaskMakerOn(void);
PMR_API void PMR_SetEraseModeOn(void);
/* Counts one dab off the current grit window's use. */
PMR_API void PMR_DecDrawingLength(void);

/* Rebuilds the brush shape for the current size: a picture script or picture file turned by angle
 * (degrees, anticlockwise) and scaled to the brush, its grey x 256 x shapeScale as coverage; or
 * the circle (soft rim, inversion) for a name shorter than 2 characters, one of 1024 bytes or more,
 * or one that cannot be read. The last picture is kept for a repeat with the same name and angle.
 * On failure: "SetBrushShape Excpt". The _ORIGINAL builder reads picture files only, ignores the
 * blur level and scales with its own filters. */
PMR_API void PMR_SetBrushShape(const char* name, int32_t angle);
PMR_API void PMR_SetBrushShape_ORIGINAL(const char* name, int32_t angle);

/* One colour dab centred on canvas pixel (x, y) into the paint layer (or, without one, the current
 * layer). red, green, blue are 16-bit; their low 8 bits are dropped. Does nothing before a canvas
 * exists or when the brush does not fit it. */
PMR_API void PMR_DrawDabGrit(int32_t x, int32_t y, int32_t red, int32_t green, int32_t blue);
/* One mask dab with the brush colour: black opens the mask, white closes it. */
PMR_API void PMR_DrawDabGritMask(int32_t x, int32_t y);

#endif
