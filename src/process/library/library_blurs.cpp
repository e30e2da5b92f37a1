// The blurs of the image library on the premultiplied RGBA32 source.
#include "process/library/library_blurs.h"

#include <algorithm>
#include <cstring>

#include "imaging/directional_blurs.h"
#include "imaging/gaussian_blur.h"
#include "imaging/neighbourhood_filters.h"
#include "imaging/plane_filters.h"
#include "process/library/slider_scales.h"

namespace process {

namespace {

constexpr uint32_t kAllChannels = 15;

struct Frame {
  const uint8_t* source;
  uint8_t* destination;
  uint32_t width, height, rowBytes;
};

Frame Of(const uint8_t* source, uint8_t* destination, int32_t width, int32_t height) {
  return {source, destination, uint32_t(width), uint32_t(height), uint32_t(width) * 4};
}

// The centre of the radial and zoom blurs: sliders 2 and 3 as shares of the width and height.
double CentreX(const EffectCall& call, int32_t width) { return Fraction(call, 2) * (width - 1); }
double CentreY(const EffectCall& call, int32_t height) { return Fraction(call, 3) * (height - 1); }

}  // namespace

bool BlurBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
              int32_t height) {
  const Frame f = Of(source, destination, width, height);
  return imaging::IS3BlurImage(f.source, f.width, f.height, 4, f.rowBytes, f.destination,
                               f.rowBytes, uint32_t(Scaled(call, 1, 1.0)), kAllChannels) != 0;
}

bool BlurMoreBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                  int32_t width, int32_t height) {
  const Frame f = Of(source, destination, width, height);
  return imaging::ISE40_BlurImage(f.source, f.width, f.height, 4, f.rowBytes, f.destination,
                                  f.rowBytes, uint32_t(1 + Scaled(call, 1, 0.09))) != 0;
}

bool GaussianBlurBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                      int32_t width, int32_t height) {
  const Frame f = Of(source, destination, width, height);
  const double percent = std::clamp(double(call.Percent(1)), 0.0, 100.0);
  // Option 3 ties the radius to the canvas: at 100 % a twentieth of its larger side.
  const double radius =
      call.options[2] == 0 ? percent * 0.4 + 0.6 : percent * 0.01 * std::max(width, height) * 0.05;
  return imaging::is5_GaussianBlurImage(f.source, f.width, f.height, 4, f.rowBytes, f.destination,
                                        f.rowBytes, radius, kAllChannels) != 0;
}

bool MotionBlurBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                    int32_t width, int32_t height) {
  const Frame f = Of(source, destination, width, height);
  return imaging::ISE3MotionBlur(f.source, f.width, f.height, 4, f.rowBytes, f.destination,
                                 f.rowBytes, 0, Fraction(call, 1) * 100, Fraction(call, 2) * 360,
                                 0.5, 0.5) != 0;
}

bool RadialBlurBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                    int32_t width, int32_t height) {
  const Frame f = Of(source, destination, width, height);
  return imaging::ISE3MotionBlur(f.source, f.width, f.height, 4, f.rowBytes, f.destination,
                                 f.rowBytes, 1, Fraction(call, 1) * 90, 0, Fraction(call, 2),
                                 Fraction(call, 3)) != 0;
}

bool ZoomBlurBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                  int32_t width, int32_t height) {
  const Frame f = Of(source, destination, width, height);
  return imaging::ISE3MotionBlur(f.source, f.width, f.height, 4, f.rowBytes, f.destination,
                                 f.rowBytes, 2, Fraction(call, 1) * 0.5, 0, Fraction(call, 2),
                                 Fraction(call, 3)) != 0;
}

bool MotionBlur2Body(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                     int32_t width, int32_t height) {
  const Frame f = Of(source, destination, width, height);
  return imaging::is5_MotionBlur(f.source, f.width, f.height, 4, f.rowBytes, f.destination,
                                 f.rowBytes, Fraction(call, 2) * 360, Fraction(call, 1) * 100) != 0;
}

bool RadialBlur2Body(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                     int32_t width, int32_t height) {
  const Frame f = Of(source, destination, width, height);
  return imaging::is5_RadialBlur(f.source, f.width, f.height, 4, f.rowBytes, f.destination,
                                 f.rowBytes, Fraction(call, 1) * 90, CentreX(call, width),
                                 CentreY(call, height)) != 0;
}

bool ZoomBlur2Body(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                   int32_t width, int32_t height) {
  const Frame f = Of(source, destination, width, height);
  return imaging::is5_ZoomBlur(f.source, f.width, f.height, 4, f.rowBytes, f.destination,
                               f.rowBytes, Fraction(call, 1) * 0.5, CentreX(call, width),
                               CentreY(call, height)) != 0;
}

bool ArithmeticMeanBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                        int32_t width, int32_t height) {
  const Frame f = Of(source, destination, width, height);
  return imaging::ISE3ArithmeticMeanFilter(f.source, f.width, f.height, 4, f.rowBytes,
                                           f.destination, f.rowBytes,
                                           NeighbourhoodRadius(call)) != 0;
}

bool MidpointBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                  int32_t width, int32_t height) {
  const Frame f = Of(source, destination, width, height);
  return imaging::ISE3MidpointFilter(f.source, f.width, f.height, 4, f.rowBytes, f.destination,
                                     f.rowBytes, NeighbourhoodRadius(call)) != 0;
}

// The mosaic works in place: the destination starts as the source.
bool MosaicBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
                int32_t height) {
  const Frame f = Of(source, destination, width, height);
  std::memcpy(destination, source, size_t(f.rowBytes) * f.height);
  return imaging::ISE3MosaicImage(destination, f.width, f.height, 4, f.rowBytes,
                                  uint32_t(2 + Scaled(call, 1, 0.62))) != 0;
}

}  // namespace process
