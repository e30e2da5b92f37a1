// The tool and brush settings: one record, read by the shape builder, the dab renderer and the
// blend buffer. Every field is 0 when the library is loaded; the host sets the tool before
// painting.
#pragma once

#include <cstdint>

#include "engine/random_pool.h"

namespace brush {

inline constexpr int kGritWindowCount = 20;
inline constexpr int kGritMargin = 25;        // grit windows are this much larger than the brush
inline constexpr int kSizeIndexLength = 999;  // largest dab side
inline constexpr int kPlainPaint = 32;        // mixMode of plain paint ("over")
inline constexpr int kMultiplyPaint = 33;     // mixMode of multiply (and of every value below 32)
inline constexpr int kFirstMixRule = 34;      // from here on the mix rules choose the colour

// Where the dab reads grit: one of the grit buffers and an offset into it. Kept as an index
// rather than a raw pointer so that it can never outlive a buffer the canvas re-creates.
struct GritPosition {
  int32_t buffer = -1;  // -1: no window chosen yet
  int32_t offset = 0;   // row offset x maxBrushSize + column offset
};

struct ToolState {
  // PMR_SetTool.
  float shapeScale = 0.0f;
  int32_t gritSize = 0;
  int32_t gritCellThreshold = 0;
  int32_t gritFillThreshold = 0;
  uint8_t edgeSoftness = 0;
  int32_t colorVary = 0;
  int32_t drawingLength = 0;
  int32_t blendStrength = 0;
  int32_t blendStrengthInverse = 0;
  int32_t blendPrimaryColorStrength = 0;
  int32_t blendPrimaryColorInverse = 0;
  uint8_t blendRemix = 0;
  uint8_t toolOption11 = 0;  // kept for the host; the engine does not read it
  uint8_t invertShape = 0;
  uint8_t toolOption13 = 0;  // kept for the host; the engine does not read it
  int32_t shapeAngle = 0;

  int32_t shapeBlurLevel = 0;

  // Colour rule of a dab.
  int32_t mixMode = 0;
  int32_t mixAmount = 0;
  int32_t mixAmountInverse = 0;
  int32_t mixShift = 0;

  int32_t density = 0;  // a grit pixel is painted where its grit byte <= density
  int32_t alphaPercent = 0;
  int32_t alphaScaled = 0;  // alphaPercent x 1.28, so 100 % is 128
  int32_t alphaLocked = 0;
  int32_t colorLocked = 0;
  int32_t blobLocked = 0;
  int32_t alphaLevel = 0;
  int32_t imageBrushMode = 0;
  int32_t solidBrushMode = 0;

  int32_t rotateBrushMode = 0;
  int32_t rotateAngleDegrees = 0;
  float rotateAngleRadians = 0.0f;
  float rotateSine = 0.0f;
  float rotateCosine = 0.0f;

  // One-shot flags, cleared by PMR_SetTool and by every colour dab.
  uint8_t blendOffOnce = 0;
  uint8_t maskMakerOn = 0;
  uint8_t eraseModeOn = 0;

  // Size: the shape is brushSize on a side; a dab is scaledSize on a side and samples shape pixel
  // sizeIndex[i] for its pixel i.
  int32_t brushSize = 0;
  int32_t scaledSize = 0;
  int32_t sizeIndex[kSizeIndexLength] = {};

  // Per-pixel variations and the random arrays they read.
  int32_t pixColorVary = 0;
  int32_t pixLumVary = 0;
  engine::RandomArray pixColorArray;
  engine::RandomArray pixLumArray;

  // Grit windows.
  int32_t drawingCountdown = 0;
  GritPosition gritPosition;
};

// Per-row scratch of the dab renderer, sized for the largest dab so that painting allocates
// nothing: the coverage of each dab pixel, the shape position it samples, and its source colour.
struct DabScratch {
  uint32_t coverage[kSizeIndexLength];
  int32_t samplePosition[kSizeIndexLength];
  uint16_t source[kSizeIndexLength * 4];
};

// The brush room's own records, zero when the library loads: the tool settings and the dab
// renderer's scratch. (The paint colours live in the engine state, where effects read them too.)
ToolState& Tool();
DabScratch& Scratch();

// Returns the tool settings, the scratch and the image brushes to their load-time values, releasing
// what they hold (the variation arrays, the pictures).
void ResetBrushState();

}  // namespace brush
