// The image library's filters on the source buffer 32 as the host last filled it.
#include "process/library/library_unrefreshed.h"

#include <algorithm>
#include <cstring>

#include "engine/heap.h"
#include "imaging/local_contrast.h"
#include "imaging/neighbourhood_filters.h"
#include "imaging/overlay.h"
#include "imaging/resample.h"
#include "imaging/transforms.h"
#include "process/library/slider_scales.h"

namespace process {

namespace {

uint32_t RowBytes(int32_t width) { return uint32_t(width) * 4; }

using Neighbourhood = int32_t (*)(const void*, uint32_t, uint32_t, uint32_t, uint32_t, void*,
                                  uint32_t, uint32_t);

bool RunNeighbourhood(Neighbourhood filter, const EffectCall& call, const uint8_t* source,
                      uint8_t* destination, int32_t width, int32_t height) {
  return filter(source, uint32_t(width), uint32_t(height), 4, RowBytes(width), destination,
                RowBytes(width), NeighbourhoodRadius(call)) != 0;
}

constexpr uint32_t kAreaAverage = 15;

}  // namespace

bool GeometricMeanBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                       int32_t width, int32_t height) {
  return RunNeighbourhood(imaging::ISE3GeometricMeanFilter, call, source, destination, width,
                          height);
}
bool HarmonicMeanBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                      int32_t width, int32_t height) {
  return RunNeighbourhood(imaging::ISE3HarmonicMeanFilter, call, source, destination, width,
                          height);
}
bool Maximum2Body(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                  int32_t width, int32_t height) {
  return RunNeighbourhood(imaging::ISE3MaximumFilter, call, source, destination, width, height);
}
bool Minimum2Body(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                  int32_t width, int32_t height) {
  return RunNeighbourhood(imaging::ISE3MinimumFilter, call, source, destination, width, height);
}
bool MedianBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
                int32_t height) {
  return RunNeighbourhood(imaging::ISE3MedianCutImage, call, source, destination, width, height);
}

bool HDRIBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
              int32_t height) {
  const uint32_t w = uint32_t(width), h = uint32_t(height);
  double mean = 0, deviation = 0;
  if (!imaging::ISE40_FindImageMean(source, w, h, 4, RowBytes(width), &mean) ||
      !imaging::ISE40_FindImageStandardDeviation(source, w, h, 4, RowBytes(width), mean,
                                                 &deviation))
    return false;
  // Slider 1: the size of the areas whose light is evened out (4..100 pixels); slider 2: how far
  // they are drawn together (50 % halves their differences); slider 3: the lift of detail.
  return imaging::ISE40_LocalHistogramEnhancement(
             source, w, h, 4, RowBytes(width), destination, RowBytes(width), mean, deviation,
             uint32_t(4 + Scaled(call, 1, 0.96)), 1.0 - Fraction(call, 2), Fraction(call, 3) * 4,
             4.0) != 0;
}

bool ReduceBody(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width,
                int32_t height) {
  // The layer shrunk to slider 1 percent of its size (at least one pixel), centred on a clear
  // canvas.
  const double share = Fraction(call, 1);
  const uint32_t w = uint32_t(std::max(1, Trunc(width * share)));
  const uint32_t h = uint32_t(std::max(1, Trunc(height * share)));
  engine::OwnedPlane<uint8_t> small =
      engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(int32_t(w), int32_t(h), 4));
  if (!imaging::is5_ResizeImage(source, uint32_t(width), uint32_t(height), RowBytes(width),
                                small.get(), w, h, w * 4, 4, kAreaAverage, 0))
    return false;
  std::memset(destination, 0, size_t(RowBytes(width)) * uint32_t(height));
  return imaging::IS3OverlayImage(destination, uint32_t(width), uint32_t(height), 4,
                                  RowBytes(width), small.get(), w, h, w * 4,
                                  int32_t((uint32_t(width) - w) / 2),
                                  int32_t((uint32_t(height) - h) / 2), 1.0, 0) != 0;
}

bool FrostedGlassBody(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                      int32_t width, int32_t height) {
  // Each pixel is taken from up to 20 pixels away (slider 1); the script value seeds the scatter.
  imaging::is5_ClearAllTransforms();
  if (!imaging::is5_AddRandomTransform(uint32_t(width), uint32_t(height), Fraction(call, 1) * 20,
                                       uint32_t(call.scriptValue)))
    return false;
  return imaging::is5_TransformProcess(source, uint32_t(width), uint32_t(height), 4,
                                       RowBytes(width), destination, RowBytes(width), 0,
                                       call.Colour(), 0) != 0;
}

}  // namespace process
