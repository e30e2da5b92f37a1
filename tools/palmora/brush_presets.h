// The brushes a paint script names in "SelectBrush": each is a whole tool for the brush engine
// (its PMR_SetTool arguments) plus how the replayer drives it along a stroke.
#pragma once

#include <span>
#include <string>

namespace host {

struct BrushPreset {
  const char* name;
  const char* summary;
  // The tool.
  float shapeScale;
  int gritSize, gritCellThreshold, gritFillThreshold;
  int edgeSoftness;
  int colorVary;
  int drawingLength;
  int blendStrength, blendPrimaryColorStrength, blendRemix;
  const char* texture;  // grit windows from this picture or picture script (data folder), or ""
  int pixLumVary, pixColorVary;
  int density;  // 0..256 at a script density of 100 %: grit cells above it stay unpainted
  // The stroke.
  double spacing;        // distance between dabs as a share of the dab's side
  int flowPercent;       // share of the script's opacity one dab lays down
  bool pressureSize;     // pressure narrows the dab (down to 30 % at no pressure)
  bool pressureOpacity;  // pressure thins the paint
  int loadAmount;        // wet brushes: brush colour's share (of 256) when paint is picked up
                         // at the start of a stroke; -1 for brushes that carry no paint
  int pickupAmount;      // wet brushes: share (of 256) of the canvas mixed in before every dab
  bool direct;           // dabs go straight into the painting instead of a paint layer
  bool erase;
  bool imageBrush;      // the carried paint is a picture (SelectBrush's third field)
  const char* picture;  // default picture of an image brush (data folder)
};

std::span<const BrushPreset> BrushPresets();
// The preset of that name (case-insensitive, "_" and "-" count as blanks), or null.
const BrushPreset* FindBrushPreset(const std::string& name);

}  // namespace host
