// PMR_SetTool: the whole tool in one call. It restarts the random sequence from the stored seed,
// stores the settings, builds the grit windows (from the random pools or a texture picture) and
// rebuilds the brush shape.
#pragma once

#include <cstdint>

namespace brush {

struct ToolArguments {
  float shapeScale;
  int32_t gritSize;
  int32_t gritCellThreshold;
  int32_t gritFillThreshold;
  int32_t edgeSoftness;  // low byte used
  int32_t colorVary;
  int32_t drawingLength;
  int32_t blendStrength;
  int32_t blendPrimaryColorStrength;
  int32_t blendRemix;    // low byte used
  int32_t toolOption11;  // low byte kept
  int32_t invertShape;   // low byte used
  int32_t toolOption13;  // low byte kept
  const char* textureName;
  const char* shapeName;
  int32_t shapeAngle;
};

// Failures are caught: "SetTool Excpt"; what was stored before the failure stays.
void SetTool(const ToolArguments& arguments);

}  // namespace brush
