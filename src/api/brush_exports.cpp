// Exports: tool settings, brush shapes and dabs. The setters only store values; PMR_SetTool and the
// shape builders catch their own failures under their own names.
#include "brush/brush_shape.h"
#include "brush/dab.h"
#include "brush/set_tool.h"
#include "brush/tool_settings.h"
#include "palmora/brush.h"

PMR_API void PMR_SetTool(float shapeScale, int32_t gritSize, int32_t gritCellThreshold,
                         int32_t gritFillThreshold, int32_t edgeSoftness, int32_t colorVary,
                         int32_t drawingLength, int32_t blendStrength,
                         int32_t blendPrimaryColorStrength, int32_t blendRemix, int32_t option11,
                         int32_t invertShape, int32_t option13, const char* textureName,
                         const char* shapeName, int32_t shapeAngle) {
  brush::SetTool({shapeScale, gritSize, gritCellThreshold, gritFillThreshold, edgeSoftness,
                  colorVary, drawingLength, blendStrength, blendPrimaryColorStrength, blendRemix,
                  option11, invertShape, option13, textureName, shapeName, shapeAngle});
}

PMR_API void PMR_SetColor(int32_t red, int32_t green, int32_t blue) {
  brush::SetColor(red, green, blue);
}
PMR_API void PMR_SetColor16(int32_t red, int32_t green, int32_t blue) {
  brush::SetColor16(red, green, blue);
}
PMR_API void PMR_SetColorBanks(int32_t r0, int32_t g0, int32_t b0, int32_t r1, int32_t g1,
                               int32_t b1, int32_t r2, int32_t g2, int32_t b2, int32_t r3,
                               int32_t g3, int32_t b3) {
  brush::SetColorBanks({r0, g0, b0, r1, g1, b1, r2, g2, b2, r3, g3, b3});
}
PMR_API void PMR_SetShapeBlur(int32_t level) { brush::SetShapeBlur(level); }
PMR_API void PMR_SetBlendStrength(int32_t strength) { brush::SetBlendStrength(strength); }
PMR_API void PMR_SetBlendPrimaryColorStrength(int32_t strength) {
  brush::SetBlendPrimaryColorStrength(strength);
}
PMR_API void PMR_SetBlendRemix(int32_t flag) { brush::SetBlendRemix(flag); }
PMR_API void PMR_SetDensity(int32_t density) { brush::SetDensity(density); }
PMR_API void PMR_SetAlpha(int32_t percent) { brush::SetAlpha(percent); }
PMR_API void PMR_SetColorVary(int32_t vary) { brush::SetColorVary(vary); }
PMR_API void PMR_SetAlphaLocked(int32_t flag) { brush::SetAlphaLocked(flag); }
PMR_API void PMR_SetColorLocked(int32_t flag) { brush::SetColorLocked(flag); }
PMR_API void PMR_SetBlobLocked(int32_t flag) { brush::SetBlobLocked(flag); }
PMR_API void PMR_SetAlphaLevel(int32_t level) { brush::SetAlphaLevel(level); }
PMR_API void PMR_SetImageBrushMode(int32_t flag) { brush::SetImageBrushMode(flag); }
PMR_API void PMR_SetSolidBrushMode(int32_t flag) { brush::SetSolidBrushMode(flag); }
PMR_API void PMR_SetRotateBrushMode(int32_t mode, int32_t degrees) {
  brush::SetRotateBrushMode(mode, degrees);
}
PMR_API void PMR_SetMixMode(int32_t mode, int32_t amount) { brush::SetMixMode(mode, amount); }
PMR_API void PMR_SetSize(int32_t size) { brush::SetSize(size); }
PMR_API void PMR_SetScaleSize(int32_t size) { brush::SetScaleSize(size); }
PMR_API void PMR_SetPixColorVary(int32_t vary) { brush::SetPixColorVary(vary); }
PMR_API void PMR_SetPixLumVary(int32_t vary) { brush::SetPixLumVary(vary); }
PMR_API void PMR_TempDisableBlend(void) { brush::TempDisableBlend(); }
PMR_API void PMR_SetMaskMakerOn(void) { brush::SetMaskMakerOn(); }
PMR_API void PMR_SetEraseModeOn(void) { brush::SetEraseModeOn(); }
PMR_API void PMR_DecDrawingLength(void) { brush::DecDrawingLength(); }

PMR_API void PMR_SetBrushShape(const char* name, int32_t angle) {
  brush::SetBrushShape(name, angle);
}
PMR_API void PMR_SetBrushShape_ORIGINAL(const char* name, int32_t angle) {
  brush::SetBrushShape_ORIGINAL(name, angle);
}

PMR_API void PMR_DrawDabGrit(int32_t x, int32_t y, int32_t red, int32_t green, int32_t blue) {
  brush::DrawDabGrit(x, y, red, green, blue);
}
PMR_API void PMR_DrawDabGritMask(int32_t x, int32_t y) { brush::DrawDabGritMask(x, y); }
