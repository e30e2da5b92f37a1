// The single setters of the tool: each stores its values in the tool state and returns. None of
// them paints; the dab renderer and the shape builder read what they store.
#pragma once

#include <cstdint>

namespace brush {

void SetColor(int32_t red, int32_t green, int32_t blue);
void SetColor16(int32_t red, int32_t green, int32_t blue);
// Twelve values: red, green, blue of bank 0, then of banks 1, 2 and 3.
void SetColorBanks(const int32_t (&rgb)[12]);
void SetShapeBlur(int32_t level);
void SetBlendStrength(int32_t strength);
void SetBlendPrimaryColorStrength(int32_t strength);
void SetBlendRemix(int32_t flag);
void SetDensity(int32_t density);
void SetAlpha(int32_t percent);
void SetColorVary(int32_t vary);
void SetAlphaLocked(int32_t flag);
void SetColorLocked(int32_t flag);
void SetBlobLocked(int32_t flag);
void SetAlphaLevel(int32_t level);
void SetImageBrushMode(int32_t flag);
void SetSolidBrushMode(int32_t flag);
void SetRotateBrushMode(int32_t mode, int32_t degrees);
void SetMixMode(int32_t mode, int32_t amount);
// The brush side, limited to 1..999 and to the canvas's maxBrushSize when a canvas exists.
void SetSize(int32_t size);
void SetScaleSize(int32_t size);
void SetPixColorVary(int32_t vary);
void SetPixLumVary(int32_t vary);
void TempDisableBlend();
void SetMaskMakerOn();
void SetEraseModeOn();
void DecDrawingLength();

// Largest brush side the current canvas allows (999 without a canvas).
int32_t BrushSizeLimit();

}  // namespace brush
