// The image library's painterly filters on the RGB24 processing buffers.
#include "process/library/library_rgb24_art.h"

#include "imaging/artistic_filters.h"
#include "process/library/slider_scales.h"

namespace process {

namespace {

uint32_t RowBytes(int32_t width) { return uint32_t(width) * 3; }

}  // namespace

bool OilPaintBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                  int32_t width, int32_t height) {
  // Brush size 2..12 from slider 1, smoothness 0..255 from slider 2; option 3 a round brush,
  // option 4 keeps some of the original's detail.
  const uint32_t size = uint32_t(Scaled(call, 1, 0.01 * 10) + 2);
  const uint32_t amount = uint32_t(Scaled(call, 2, 0.01 * 255));
  const uint32_t flags = (call.options[2] == 1 ? 1u : 0u) + (call.options[3] == 1 ? 2u : 0u);
  return imaging::ISE3OilPaintRGB(source, uint32_t(width), uint32_t(height), RowBytes(width),
                                  destination, RowBytes(width), size, amount, flags) != 0;
}

bool StippleBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
                 int32_t height) {
  return imaging::ISE3Stipple(source, uint32_t(width), uint32_t(height), RowBytes(width),
                              destination, RowBytes(width), uint32_t(Scaled(call, 1, 1.0)),
                              call.options[0], call.options[1]) != 0;
}

bool WatercolorTintBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                        int32_t width, int32_t height) {
  return imaging::ISE3WatercolorTintRGB(source, uint32_t(width), uint32_t(height), RowBytes(width),
                                        destination, RowBytes(width), Fraction(call, 1)) != 0;
}

bool HalftoneBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                  int32_t width, int32_t height) {
  // Cells of 2..32 pixels; the screen turned by slider 2 (a quarter turn at 100 %); option 1
  // prints in black only.
  return imaging::ISE3HalftoneImage(source, uint32_t(width), uint32_t(height), RowBytes(width),
                                    destination, RowBytes(width),
                                    uint32_t(2 + Scaled(call, 1, 0.3)), Fraction(call, 2) * 90,
                                    call.options[0] == 1 ? 1u : 0u) != 0;
}

bool CrackleBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
                 int32_t height) {
  return imaging::ISE3CrackleRGB(source, uint32_t(width), uint32_t(height), RowBytes(width),
                                 destination, RowBytes(width), uint32_t(8 + Scaled(call, 1, 1.2)),
                                 uint32_t(Scaled(call, 2, 0.06)), Fraction(call, 3)) != 0;
}

bool FingerprintBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                     int32_t width, int32_t height) {
  return imaging::ISE3Fingerprint(source, uint32_t(width), uint32_t(height), RowBytes(width),
                                  destination, RowBytes(width), uint32_t(2 + Scaled(call, 1, 0.2)),
                                  Fraction(call, 2)) != 0;
}

bool GausyBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
               int32_t height) {
  return imaging::ISE3GauzyRGB(source, uint32_t(width), uint32_t(height), RowBytes(width),
                               destination, RowBytes(width), 0.5 + Fraction(call, 1) * 30,
                               Fraction(call, 2)) != 0;
}

// A scribble spans 4 pixels at 0 % and 64 at 100 %; the ink slider's middle follows the tones.
bool ScribbleBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                  int32_t width, int32_t height) {
  return imaging::ISE3Scribble(source, uint32_t(width), uint32_t(height), RowBytes(width),
                               destination, RowBytes(width), uint32_t(4 + Scaled(call, 1, 0.6)),
                               Fraction(call, 2), call.options[0] == 1 ? 1 : 0) != 0;
}

}  // namespace process
