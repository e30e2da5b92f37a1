#include "process/transforms/transform_frame.h"

#include <algorithm>
#include <cmath>

#include "imaging/transforms.h"
#include "process/library/slider_scales.h"

namespace process {

uint32_t TransformEdgeMode(const EffectCall& call) {
  switch (call.options[0]) {
    case kWrapAround:
      return imaging::kEdgeWrap;
    case kRepeatBorder:
      return imaging::kEdgeRepeat;
    case kMirrorBorder:
      return imaging::kEdgeMirror;
    default:
      return imaging::kEdgeFill;
  }
}

double Centred(const EffectCall& call, int k) { return Fraction(call, k) * 2 - 1; }

double Across(const EffectCall& call, int k, int32_t side) { return Fraction(call, k) * side; }

double RadiusOf(const EffectCall& call, int k, int32_t width, int32_t height) {
  return std::max(1.0, Fraction(call, k) * 0.5 * std::hypot(double(width), double(height)));
}

double WavelengthOf(const EffectCall& call, int k, int32_t width, int32_t height) {
  return std::max(2.0, Fraction(call, k) * 0.5 * std::max(width, height));
}

double AmplitudeOf(const EffectCall& call, int k, int32_t width, int32_t height) {
  return Fraction(call, k) * 0.1 * std::min(width, height);
}

bool RunTransformList(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                      int32_t width, int32_t height) {
  // The source is premultiplied: transparent is all zero, the colour is shown opaque.
  const uint32_t fill = call.options[0] == kShowTransparent ? 0 : call.Colour() | 0xFF000000u;
  const uint32_t rowBytes = uint32_t(width) * 4;
  return imaging::is5_TransformProcess(source, uint32_t(width), uint32_t(height), 4, rowBytes,
                                       destination, rowBytes, 1, fill, 0) != 0;
}

}  // namespace process
