// The image library's filters on the RGB24 processing buffers: tone, detail and noise.
#include "process/library/library_rgb24.h"

#include <algorithm>

#include "engine/heap.h"
#include "imaging/channels.h"
#include "imaging/colour_filters.h"
#include "imaging/detail_filters.h"
#include "imaging/neighbourhood_filters.h"
#include "imaging/noise_filters.h"
#include "imaging/tone_filters.h"
#include "process/library/slider_scales.h"

namespace process {

namespace {

struct Frame {
  const uint8_t* source;
  uint8_t* destination;
  uint32_t width, height, rowBytes;
};

Frame Of(const uint8_t* source, uint8_t* destination, int32_t width, int32_t height) {
  return {source, destination, uint32_t(width), uint32_t(height), uint32_t(width) * 3};
}

// The noise effects draw from the script value, so that a host can vary or repeat the grain.
uint32_t NoiseSeed(const EffectCall& call) { return uint32_t(call.scriptValue); }

}  // namespace

bool SurfaceBlurBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                     int32_t width, int32_t height) {
  const Frame f = Of(source, destination, width, height);
  // Slider 1: the reach (diameter 3..23 pixels); slider 2: how different colours may be and
  // still mix (5..105 levels).
  const uint32_t diameter = uint32_t(3 + 2 * Scaled(call, 1, 0.1));
  return imaging::is5_BilateralFilterImage(f.source, f.width, f.height, 3, f.rowBytes,
                                           f.destination, f.rowBytes, diameter,
                                           5 + Fraction(call, 2) * 100, diameter / 2.0) != 0;
}

bool NoiseReduction2Body(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                         int32_t width, int32_t height) {
  const Frame f = Of(source, destination, width, height);
  // A small reach that smooths grain only; slider 1 sets how strong a speck it takes for grain.
  return imaging::is5_BilateralFilterImage(f.source, f.width, f.height, 3, f.rowBytes,
                                           f.destination, f.rowBytes, 5, 5 + Fraction(call, 1) * 60,
                                           2.0) != 0;
}

bool GrayscaleBody(const EffectCall&, const uint8_t* source, uint8_t* destination, int32_t width,
                   int32_t height) {
  const Frame f = Of(source, destination, width, height);
  engine::OwnedPlane<uint8_t> grey =
      engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(width, height, 1));
  if (!imaging::IS3ImageToGrayScale8Bit(f.source, f.width, f.height, f.rowBytes, 3, grey.get(),
                                        f.width))
    return false;
  return imaging::IS3CombineImageChannels(f.destination, f.width, f.height, f.rowBytes, 3,
                                          grey.get(), grey.get(), grey.get(), nullptr,
                                          f.width) != 0;
}

bool NegativeBody(const EffectCall&, const uint8_t* source, uint8_t* destination, int32_t width,
                  int32_t height) {
  const Frame f = Of(source, destination, width, height);
  return imaging::ISE3InvertImage(f.source, f.width, f.height, f.rowBytes, f.destination,
                                  f.rowBytes) != 0;
}

bool PosterizeBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                   int32_t width, int32_t height) {
  const Frame f = Of(source, destination, width, height);
  return imaging::ISE3PosterizeRGB(f.source, f.width, f.height, f.rowBytes, f.destination,
                                   f.rowBytes, uint32_t(2 + Scaled(call, 1, 0.3))) != 0;
}

bool SolarizeBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                  int32_t width, int32_t height) {
  const Frame f = Of(source, destination, width, height);
  return imaging::ISE3SolarizeImage(f.source, f.width, f.height, f.rowBytes, f.destination,
                                    f.rowBytes, uint32_t(Scaled(call, 1, 2.55))) != 0;
}

bool DustAndScratchesBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                          int32_t width, int32_t height) {
  const Frame f = Of(source, destination, width, height);
  return imaging::ISE3DustAndScratches(f.source, f.width, f.height, 3, f.rowBytes, f.destination,
                                       f.rowBytes, NeighbourhoodRadius(call),
                                       uint32_t(Scaled(call, 2, 2.55))) != 0;
}

bool ColorNoiseBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                    int32_t width, int32_t height) {
  const Frame f = Of(source, destination, width, height);
  return imaging::ISE3GenerateColoredNoise(f.source, f.width, f.height, f.rowBytes, f.destination,
                                           f.rowBytes, uint32_t(Scaled(call, 1, 1.0)),
                                           NoiseSeed(call)) != 0;
}

bool HugoNoiseBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                   int32_t width, int32_t height) {
  const Frame f = Of(source, destination, width, height);
  return imaging::ISE3GenerateHugoNoise(f.source, f.width, f.height, f.rowBytes, f.destination,
                                        f.rowBytes, uint32_t(Scaled(call, 1, 1.0)),
                                        uint32_t(1 + Scaled(call, 2, 0.15)), NoiseSeed(call)) != 0;
}

bool PerlinNoiseBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                     int32_t width, int32_t height) {
  const Frame f = Of(source, destination, width, height);
  return imaging::ISE3GeneratePerlinNoise(
             f.source, f.width, f.height, f.rowBytes, f.destination, f.rowBytes,
             uint32_t(Scaled(call, 1, 1.0)), 4 + Fraction(call, 2) * 400,
             uint32_t(1 + Scaled(call, 3, 0.07)), NoiseSeed(call)) != 0;
}

bool SharpenBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
                 int32_t height) {
  const Frame f = Of(source, destination, width, height);
  // Up to three times the difference from the soft copy.
  return imaging::IS3SharpenImage(f.source, f.width, f.height, 3, f.rowBytes, f.destination,
                                  f.rowBytes, uint32_t(Scaled(call, 1, 0.3)), 7) != 0;
}

bool SharpenMoreBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                     int32_t width, int32_t height) {
  const Frame f = Of(source, destination, width, height);
  return imaging::ISE3SharpenImage(f.source, f.width, f.height, f.rowBytes, f.destination,
                                   f.rowBytes, uint32_t(Scaled(call, 1, 1.0))) != 0;
}

bool UnsharpMaskBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                     int32_t width, int32_t height) {
  const Frame f = Of(source, destination, width, height);
  return imaging::IS3UnsharpMaskImage(f.source, f.width, f.height, f.rowBytes, f.destination,
                                      f.rowBytes, 0.5 + Fraction(call, 1) * 10,
                                      uint32_t(Scaled(call, 2, 5.0)),
                                      uint32_t(Scaled(call, 3, 2.55))) != 0;
}

bool EmbossBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
                int32_t height) {
  const Frame f = Of(source, destination, width, height);
  return imaging::IS3EmbossRGB(f.source, f.width, f.height, f.rowBytes, f.destination, f.rowBytes,
                               Fraction(call, 1) * 360, Fraction(call, 2) * 10) != 0;
}

bool BevelBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
               int32_t height) {
  const Frame f = Of(source, destination, width, height);
  return imaging::ISE3ShadeBevelEdge(f.source, f.width, f.height, f.rowBytes, f.destination,
                                     f.rowBytes, uint32_t(1 + Scaled(call, 1, 0.5)),
                                     Fraction(call, 2)) != 0;
}

bool Edge2Body(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
               int32_t height) {
  const Frame f = Of(source, destination, width, height);
  return imaging::ISE3CannyEdgeDetector(f.source, f.width, f.height, f.rowBytes, f.destination,
                                        f.rowBytes, Fraction(call, 1) * 200,
                                        Fraction(call, 2) * 400, Fraction(call, 3) * 5) != 0;
}

}  // namespace process
