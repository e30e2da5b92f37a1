#include "brush/tool_settings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "brush/tool_state.h"
#include "engine/engine_state.h"

namespace brush {
namespace {

// A host colour of 0..255 becomes 16 bits by multiplying by 256 (255 gives 65280).
uint16_t Widen8(int32_t value) { return static_cast<uint16_t>(value * 256); }

// Converts a floating-point value to int32 truncating toward zero, saturating at the int32 range
// (a plain conversion of an out-of-range value is undefined).
int32_t TruncateToInt32(double value) {
  return static_cast<int32_t>(std::clamp(value, -2147483648.0, 2147483647.0));
}

// Fills one of the per-pixel variation arrays: 3 x maxBrushSize bytes, one row's worth of reads
// from any start the dab may pick. Failures are reported under the filler's name.
void FillVariationArray(engine::RandomArray& array, int32_t modulus) {
  const int32_t maxBrushSize = engine::State().maxBrushSize;
  if (maxBrushSize <= 0) return;  // no canvas: nothing to size the array by
  try {
    engine::MakeRandArrayByte(array, modulus, 3u * static_cast<uint32_t>(maxBrushSize));
  } catch (...) {
    engine::SetLastError("MakeRandArrayByte Excpt");
  }
}

}  // namespace

int32_t BrushSizeLimit() {
  const int32_t maxBrushSize = engine::State().maxBrushSize;
  return maxBrushSize > 0 ? std::min(maxBrushSize, kSizeIndexLength) : kSizeIndexLength;
}

void SetColor(int32_t red, int32_t green, int32_t blue) {
  engine::EngineState& s = engine::State();
  s.brushColor[0] = Widen8(red);
  s.brushColor[1] = Widen8(green);
  s.brushColor[2] = Widen8(blue);
  s.brushColor[3] = 65535;
}

void SetColor16(int32_t red, int32_t green, int32_t blue) {
  engine::EngineState& s = engine::State();
  s.brushColor[0] = static_cast<uint16_t>(red);
  s.brushColor[1] = static_cast<uint16_t>(green);
  s.brushColor[2] = static_cast<uint16_t>(blue);
  s.brushColor[3] = 65535;
}

void SetColorBanks(const int32_t (&rgb)[12]) {
  engine::EngineState& s = engine::State();
  for (int bank = 0; bank < 4; ++bank) {
    for (int channel = 0; channel < 3; ++channel) {
      s.colorBanks[channel][bank] = Widen8(rgb[bank * 3 + channel]);
    }
    s.colorBanks[3][bank] = 65535;
  }
}

void SetShapeBlur(int32_t level) { Tool().shapeBlurLevel = level; }

void SetBlendStrength(int32_t strength) {
  ToolState& t = Tool();
  t.blendStrength = strength;
  if (strength > 0) t.blendStrengthInverse = 256 - strength;
}

void SetBlendPrimaryColorStrength(int32_t strength) {
  ToolState& t = Tool();
  t.blendPrimaryColorStrength = strength;
  if (strength > 0) t.blendPrimaryColorInverse = 256 - strength;
}

void SetBlendRemix(int32_t flag) { Tool().blendRemix = static_cast<uint8_t>(flag); }
void SetDensity(int32_t density) {
  Tool().density = density == INT32_MIN ? INT32_MIN : density - 1;  // stored as given minus one
}

void SetAlpha(int32_t percent) {
  ToolState& t = Tool();
  t.alphaPercent = percent;
  t.alphaScaled = TruncateToInt32(percent * 1.28);
}

void SetColorVary(int32_t vary) { Tool().colorVary = vary; }
void SetAlphaLocked(int32_t flag) { Tool().alphaLocked = flag; }
void SetColorLocked(int32_t flag) { Tool().colorLocked = flag; }
void SetBlobLocked(int32_t flag) { Tool().blobLocked = flag; }
void SetAlphaLevel(int32_t level) { Tool().alphaLevel = level; }
void SetImageBrushMode(int32_t flag) { Tool().imageBrushMode = flag; }
void SetSolidBrushMode(int32_t flag) { Tool().solidBrushMode = flag; }

void SetRotateBrushMode(int32_t mode, int32_t degrees) {
  ToolState& t = Tool();
  t.rotateBrushMode = mode;
  t.rotateAngleDegrees = degrees;
  // The angle goes through the constant 3.14159, as the brushes painted so far were turned by it.
  t.rotateAngleRadians = static_cast<float>(degrees * (1.0 / 180) * 3.14159);
  t.rotateSine = static_cast<float>(std::sin(double{t.rotateAngleRadians}));
  t.rotateCosine = static_cast<float>(std::cos(double{t.rotateAngleRadians}));
}

void SetMixMode(int32_t mode, int32_t amount) {
  ToolState& t = Tool();
  t.mixMode = mode;
  t.mixAmount = amount;
  t.mixAmountInverse = TruncateToInt32(256.0 - amount);
  const double share = (static_cast<double>(amount) - 127) * (1.0 / 127);
  t.mixShift = TruncateToInt32(share * 16);
}

void SetSize(int32_t size) {
  ToolState& t = Tool();
  size = std::clamp(size, 1, BrushSizeLimit());
  t.brushSize = t.scaledSize = size;
  for (int32_t i = 0; i < size; ++i) t.sizeIndex[i] = i;
}

void SetScaleSize(int32_t size) {
  ToolState& t = Tool();
  size = std::max(size, 1);
  size = std::min(size, t.brushSize);
  size = std::min(size, kSizeIndexLength);
  size = std::max(size, 0);
  t.scaledSize = size;
  if (size == 0) return;
  // Nearest-neighbour sampling: the centre of dab pixel i falls on shape pixel (i + 0.5) x step,
  // accumulated by repeated addition as the brushes painted so far were.
  const double step = static_cast<double>(t.brushSize) / size;
  double position = step / 2;
  for (int32_t i = 0; i < size; ++i, position += step) {
    t.sizeIndex[i] = std::min(static_cast<int32_t>(position), t.brushSize - 1);
  }
}

void SetPixColorVary(int32_t vary) {
  ToolState& t = Tool();
  t.pixColorVary = vary;
  if (vary > 0) FillVariationArray(t.pixColorArray, 1000);
}

void SetPixLumVary(int32_t vary) {
  ToolState& t = Tool();
  t.pixLumVary = vary;
  if (vary > 0) FillVariationArray(t.pixLumArray, 256);
}

void TempDisableBlend() { Tool().blendOffOnce = 1; }
void SetMaskMakerOn() { Tool().maskMakerOn = 1; }
void SetEraseModeOn() { Tool().eraseModeOn = 1; }
void DecDrawingLength() {
  ToolState& t = Tool();
  if (t.drawingCountdown > INT32_MIN) --t.drawingCountdown;
}

}  // namespace brush
