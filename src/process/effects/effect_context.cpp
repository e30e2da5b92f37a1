#include "process/effects/effect_context.h"

#include "engine/colour_models.h"

namespace process {

EffectContext& OwnEffectContext() {
  static EffectContext context;
  return context;
}

void FillEffectContext(EffectContext& context, uint8_t* source, uint8_t* destination, int32_t width,
                       int32_t height, int32_t rowBytes, const OwnEffectArguments& arguments) {
  context.source = source;
  context.destination = destination;
  context.width = width;
  context.height = height;
  context.rowBytes = rowBytes;
  context.lastColumn = width - 1;
  context.lastRow = height - 1;
  context.originX = 0;
  context.originY = 0;
  double* sliders[6] = {&context.slider1, &context.slider2, &context.slider3,
                        &context.slider4, &context.slider5, &context.slider6};
  for (int k = 0; k < 6; ++k) *sliders[k] = arguments.sliders[k] * 0.001;
  context.option1 = arguments.options[0];
  context.option2 = arguments.options[1];
  uint8_t* options[6] = {&context.option3, &context.option4, &context.option5,
                         &context.option6, &context.option7, &context.option8};
  for (int k = 0; k < 6; ++k) *options[k] = static_cast<uint8_t>(arguments.options[k + 2]);
  context.red = arguments.red * kInv255;
  context.green = arguments.green * kInv255;
  context.blue = arguments.blue * kInv255;
  context.chainFlag = static_cast<uint8_t>(arguments.chain);
  context.onCanvas = false;
}

void EffectContext::Read3(int32_t x, int32_t y, int32_t out[3]) const {
  if (!Inside(x, y)) {
    out[0] = out[1] = out[2] = 0;
    return;
  }
  const uint8_t* p = ReadRow(y) + std::ptrdiff_t(x) * 4;
  out[0] = p[0], out[1] = p[1], out[2] = p[2];
}

void EffectContext::Read4(int32_t x, int32_t y, int32_t out[4]) const {
  if (!Inside(x, y)) {
    out[0] = out[1] = out[2] = out[3] = 0;
    return;
  }
  const uint8_t* p = ReadRow(y) + std::ptrdiff_t(x) * 4;
  out[0] = p[0], out[1] = p[1], out[2] = p[2], out[3] = p[3];
}

void EffectContext::Read4Fractions(int32_t x, int32_t y, double out[4]) const {
  int32_t bytes[4];
  Read4(x, y, bytes);
  for (int c = 0; c < 4; ++c) out[c] = bytes[c] * kInv255;
}

void EffectContext::Write4(int32_t x, int32_t y, int32_t c0, int32_t c1, int32_t c2,
                           int32_t c3) const {
  if (!Inside(x, y)) return;
  uint8_t* p = WriteRow(y) + std::ptrdiff_t(x) * 4;
  p[0] = ClampByte(c0), p[1] = ClampByte(c1), p[2] = ClampByte(c2), p[3] = ClampByte(c3);
}

void EffectContext::Write4Fractions(int32_t x, int32_t y, double c0, double c1, double c2,
                                    double c3) const {
  if (!Inside(x, y)) return;
  uint8_t* p = WriteRow(y) + std::ptrdiff_t(x) * 4;
  const double c[4] = {c0, c1, c2, c3};
  for (int k = 0; k < 4; ++k) p[k] = ClampTruncByte(std::clamp(c[k], 0.0, 1.0) * 255);
}

void EffectContext::WriteHSL(int32_t x, int32_t y, double hue, double saturation,
                             double lightness) const {
  if (!Inside(x, y)) return;
  uint8_t* p = WriteRow(y) + std::ptrdiff_t(x) * 4;
  engine::HSLToRGB(std::clamp(hue, 0.0, 359.0), std::clamp(saturation, 0.0, 1.0),
                   std::clamp(lightness, 0.0, 1.0), &p[0], &p[1], &p[2]);
}

void EffectContext::WriteLab(int32_t x, int32_t y, double l, double a, double b) const {
  if (!Inside(x, y)) return;
  uint8_t* p = WriteRow(y) + std::ptrdiff_t(x) * 4;
  engine::LabToRGB(l, a, b, &p[0], &p[1], &p[2]);
}

}  // namespace process
