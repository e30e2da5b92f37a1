#include "brush/set_tool.h"

#include <algorithm>

#include "brush/brush_shape.h"
#include "brush/grit_windows.h"
#include "brush/texture_picture.h"
#include "brush/tool_state.h"
#include "engine/engine_state.h"

namespace brush {
namespace {

void StoreArguments(ToolState& t, const ToolArguments& a) {
  t.shapeScale = a.shapeScale;
  // A negative cell size has no cells: it is taken as no grit.
  t.gritSize = std::max(a.gritSize, 0);
  t.gritCellThreshold = a.gritCellThreshold;
  t.gritFillThreshold = a.gritFillThreshold;
  t.edgeSoftness = static_cast<uint8_t>(a.edgeSoftness);
  t.colorVary = a.colorVary;
  t.drawingLength = a.drawingLength;
  t.blendStrength = a.blendStrength;
  t.blendPrimaryColorStrength = a.blendPrimaryColorStrength;
  t.blendRemix = static_cast<uint8_t>(a.blendRemix);
  t.toolOption11 = static_cast<uint8_t>(a.toolOption11);
  t.invertShape = static_cast<uint8_t>(a.invertShape);
  t.toolOption13 = static_cast<uint8_t>(a.toolOption13);
  t.shapeAngle = a.shapeAngle;
  t.mixMode = kPlainPaint;
}

bool HasTexture(const char* name) { return name && name[0] != '\0' && name[1] != '\0'; }

}  // namespace

void SetTool(const ToolArguments& arguments) {
  engine::EngineState& s = engine::State();
  ToolState& t = brush::Tool();
  try {
    // Every tool change restarts the same random sequence, so that a stroke replayed after the
    // same tool and seed reproduces exactly.
    engine::Generator().Seed(s.randomSeed);
    StoreArguments(t, arguments);
    if (t.gritSize != 0) BuildGritWindowsFromPools();
    if (HasTexture(arguments.textureName)) LoadTextureWindows(arguments.textureName);
    SetBrushShape(arguments.shapeName, arguments.shapeAngle);
    if (t.blendStrength > 0) t.blendStrengthInverse = 256 - t.blendStrength;
    if (t.blendPrimaryColorStrength > 0) {
      t.blendPrimaryColorInverse = 256 - t.blendPrimaryColorStrength;
    }
    t.blendOffOnce = t.maskMakerOn = t.eraseModeOn = 0;
  } catch (...) {
    engine::SetLastError("SetTool Excpt");
  }
}

}  // namespace brush
