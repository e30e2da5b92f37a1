// The effect context: the one set of values every own effect reads. It is filled before each run
// from the processing buffers (or from a caller's buffers) and the effect's arguments.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace process {

inline constexpr double kInv255 = 0.00392156862745098;

// The arguments of one own-effect run as they cross RunOwnEffect: sliders 0..1000 (tenths of a
// percent), eight options and the effect colour 0..255.
struct OwnEffectArguments {
  int32_t chain = 0;
  int32_t sliders[6] = {};
  int32_t options[8] = {};
  int32_t red = 0;
  int32_t green = 0;
  int32_t blue = 0;
};

struct EffectContext {
  uint8_t* destination = nullptr;  // RGBA32 rows the effect writes
  uint8_t* source = nullptr;       // RGBA32 rows it reads while the chain flag is clear
  int32_t width = 0;
  int32_t height = 0;
  int32_t rowBytes = 0;
  int32_t lastColumn = -1;
  int32_t lastRow = -1;
  int32_t originX = 0;
  int32_t originY = 0;
  double slider1 = 0, slider2 = 0, slider3 = 0, slider4 = 0, slider5 = 0, slider6 = 0;
  int32_t option1 = 0, option2 = 0;
  uint8_t option3 = 0, option4 = 0, option5 = 0, option6 = 0, option7 = 0, option8 = 0;
  double red = 0, green = 0, blue = 0;
  // Clear: the effect starts from a fresh copy of the source and reads the source. Set: it goes
  // on from the destination as the previous step left it, and reads the destination.
  uint8_t chainFlag = 0;
  // The context covers the canvas's processing buffers (not a caller's brush buffers): only then
  // may an effect touch the current layer or the mask plane.
  bool onCanvas = false;

  // The chain-flag rule: the plane every read comes from.
  uint8_t* ReadPlane() const { return chainFlag ? destination : source; }
  uint8_t* ReadRow(int32_t y) const { return ReadPlane() + std::ptrdiff_t(y) * rowBytes; }
  uint8_t* WriteRow(int32_t y) const { return destination + std::ptrdiff_t(y) * rowBytes; }
  bool Inside(int32_t x, int32_t y) const {
    return x >= originX && y >= originY && x <= lastColumn && y <= lastRow;
  }

  // Clipped accessors: reads outside the picture give zeros, writes outside are ignored.
  void Read3(int32_t x, int32_t y, int32_t out[3]) const;
  void Read4(int32_t x, int32_t y, int32_t out[4]) const;
  void Read4Fractions(int32_t x, int32_t y, double out[4]) const;
  // Each value limited to 0..255.
  void Write4(int32_t x, int32_t y, int32_t c0, int32_t c1, int32_t c2, int32_t c3) const;
  // Each fraction limited to 0..1, then x 255 truncated.
  void Write4Fractions(int32_t x, int32_t y, double c0, double c1, double c2, double c3) const;
  // Hue limited to 0..359, saturation and lightness to 0..1; alpha stays.
  void WriteHSL(int32_t x, int32_t y, double hue, double saturation, double lightness) const;
  // Through LabToRGB; alpha stays.
  void WriteLab(int32_t x, int32_t y, double l, double a, double b) const;
};

// Luminance as the own effects use it: the integer mean of the three colour bytes.
inline int32_t Luminance(const uint8_t* pixel) { return (pixel[0] + pixel[1] + pixel[2]) / 3; }

inline uint8_t ClampByte(int32_t value) { return static_cast<uint8_t>(std::clamp(value, 0, 255)); }

// Truncation toward zero of a double that may lie far outside the int range (or be NaN): the
// result is limited to 0..255 as the effects' writers do.
inline uint8_t ClampTruncByte(double value) {
  if (!(value > 0.0)) return 0;
  if (value >= 255.0) return 255;
  return static_cast<uint8_t>(static_cast<int32_t>(value));
}

// Truncation toward zero. Sliders come from the host unchecked, so values beyond the int range
// saturate (and NaN gives 0) instead of being undefined.
inline int32_t Trunc(double value) {
  if (!(value > -2147483648.0)) return value < 0 ? INT32_MIN : 0;
  if (value >= 2147483647.0) return INT32_MAX;
  return static_cast<int32_t>(value);
}

// A weight on the 0..65535 scale of the smearing rules, from a fraction.
inline uint32_t Weight65535(double fraction) {
  return static_cast<uint32_t>(std::clamp(Trunc(fraction * 65535), 0, 65535));
}

// The engine's context, filled by RunOwnEffect and its buffer entry.
EffectContext& OwnEffectContext();

// Fills a context for a width x height picture with rows of rowBytes and the given arguments:
// sliders x 0.001, options 1 and 2 whole, options 3..8 their low byte, colour x 1/255.
void FillEffectContext(EffectContext& context, uint8_t* source, uint8_t* destination, int32_t width,
                       int32_t height, int32_t rowBytes, const OwnEffectArguments& arguments);

}  // namespace process
