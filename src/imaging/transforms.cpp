#include "imaging/transforms.h"

#include <cmath>
#include <initializer_list>
#include <vector>

#include "imaging/bump_map_displacement.h"
#include "imaging/picture_checks.h"
#include "imaging/transform_kinds.h"
#include "imaging/warp_sampler.h"

namespace imaging {
namespace {

constexpr double kDegrees = 3.14159265358979323846 / 180;
// The largest move, wavelength or radius a distortion takes, in pixels: far beyond any picture,
// small enough that positions stay exact in doubles.
constexpr double kLargest = 1e7;

std::vector<Transform>& TransformList() {
  static std::vector<Transform> list;
  return list;
}

bool FrameIsUsable(uint32_t width, uint32_t height, uint32_t edgeMode) {
  return width > 0 && height > 0 && edgeMode <= kEdgeMirror;
}

bool AllWithin(std::initializer_list<double> values, double limit) {
  for (double v : values)
    if (!(std::fabs(v) <= limit)) return false;  // also refuses NaN
  return true;
}
bool Positive(double v) { return v > 0 && v <= kLargest; }

Transform Entry(TransformKind kind, uint32_t width, uint32_t height, uint32_t edgeMode,
                double cx = 0, double cy = 0) {
  Transform t;
  t.kind = kind, t.frameWidth = width, t.frameHeight = height, t.edgeMode = edgeMode;
  t.cx = cx, t.cy = cy;
  return t;
}

int32_t Add(const Transform& t) {
  try {
    TransformList().push_back(t);
    return 1;
  } catch (...) {
    return 0;
  }
}

// What the sampler reads beyond the border, from the transform applied last in tracing. The
// bump map keeps its hard border (its fill may be a colour with no alpha, which must not blend
// into premultiplied pixels).
WarpSource::Outside OutsideOf(const Transform& last) {
  if (last.edgeMode != kEdgeFill) return WarpSource::kRepeat;
  return last.kind == TransformKind::kBumpMap ? WarpSource::kHardFill : WarpSource::kSoftFill;
}

}  // namespace

int32_t is5_ClearAllTransforms() {
  TransformList().clear();
  return 1;
}

int32_t is5_AddOffsetTransform(uint32_t width, uint32_t height, double dx, double dy,
                               uint32_t edgeMode) {
  if (!FrameIsUsable(width, height, edgeMode) || !std::isfinite(dx) || !std::isfinite(dy)) return 0;
  Transform t = Entry(TransformKind::kOffset, width, height, edgeMode);
  t.p[0] = dx, t.p[1] = dy;
  return Add(t);
}

int32_t is5_AddEllipticalTransform(uint32_t width, uint32_t height, double strength,
                                   uint32_t edgeMode) {
  if (!FrameIsUsable(width, height, edgeMode) || !(strength >= 0 && strength <= 1)) return 0;
  Transform t =
      Entry(TransformKind::kElliptical, width, height, edgeMode, width / 2.0, height / 2.0);
  t.p[0] = strength, t.p[1] = width / 2.0, t.p[2] = height / 2.0;
  return Add(t);
}

namespace {

// Lens and Pinch: a disc of the radius about (cx, cy) whose radial profile comes from strength
// in -1..1.
template <class MakeProfile>
int32_t AddRadialProfileTransform(TransformKind kind, MakeProfile makeProfile, uint32_t width,
                                  uint32_t height, double cx, double cy, double radius,
                                  double strength, uint32_t edgeMode) {
  if (!FrameIsUsable(width, height, edgeMode) || !AllWithin({cx, cy}, kLargest) ||
      !Positive(radius) || !AllWithin({strength}, 1))
    return 0;
  try {
    Transform t = Entry(kind, width, height, edgeMode, cx, cy);
    t.p[0] = radius;
    t.table = makeProfile(strength);
    return Add(t);
  } catch (...) {
    return 0;
  }
}

}  // namespace

int32_t is5_AddLensTransform(uint32_t width, uint32_t height, double cx, double cy, double radius,
                             double strength, uint32_t edgeMode) {
  return AddRadialProfileTransform(TransformKind::kLens, MakeLensProfile, width, height, cx, cy,
                                   radius, strength, edgeMode);
}

int32_t is5_AddMarbleTransform(uint32_t width, uint32_t height, double scale, double amplitude,
                               uint32_t seed, uint32_t edgeMode) {
  if (!FrameIsUsable(width, height, edgeMode) || !Positive(scale) ||
      !AllWithin({amplitude}, kLargest))
    return 0;
  try {
    Transform t = Entry(TransformKind::kMarble, width, height, edgeMode);
    t.p[0] = 1 / scale, t.p[1] = amplitude, t.seed = seed;
    t.table = MakeMarbleNoise(seed);
    return Add(t);
  } catch (...) {
    return 0;
  }
}

int32_t is5_AddPinchTransform(uint32_t width, uint32_t height, double cx, double cy, double radius,
                              double strength, uint32_t edgeMode) {
  return AddRadialProfileTransform(TransformKind::kPinch, MakePinchProfile, width, height, cx, cy,
                                   radius, strength, edgeMode);
}

int32_t is5_AddRippleTransform(uint32_t width, uint32_t height, double cx, double cy,
                               double wavelength, double amplitude, double phaseDegrees,
                               uint32_t edgeMode) {
  if (!FrameIsUsable(width, height, edgeMode) || !AllWithin({cx, cy, amplitude}, kLargest) ||
      !Positive(wavelength) || !AllWithin({phaseDegrees}, 1e6))
    return 0;
  Transform t = Entry(TransformKind::kRipple, width, height, edgeMode, cx, cy);
  t.p[0] = 2 * 180 * kDegrees / wavelength, t.p[1] = amplitude, t.p[2] = phaseDegrees * kDegrees;
  t.p[3] = wavelength;
  return Add(t);
}

int32_t is5_AddSpinTransform(uint32_t width, uint32_t height, double cx, double cy, double radius,
                             double degrees, uint32_t edgeMode) {
  if (!FrameIsUsable(width, height, edgeMode) || !AllWithin({cx, cy}, kLargest) ||
      !Positive(radius) || !AllWithin({degrees}, 1e6))
    return 0;
  Transform t = Entry(TransformKind::kSpin, width, height, edgeMode, cx, cy);
  t.p[0] = radius, t.p[1] = degrees * kDegrees;
  return Add(t);
}

int32_t is5_AddSpinWaveTransform(uint32_t width, uint32_t height, double cx, double cy,
                                 double wavelength, double degrees, uint32_t edgeMode) {
  if (!FrameIsUsable(width, height, edgeMode) || !AllWithin({cx, cy}, kLargest) ||
      !Positive(wavelength) || !AllWithin({degrees}, 1e6))
    return 0;
  Transform t = Entry(TransformKind::kSpinWave, width, height, edgeMode, cx, cy);
  t.p[0] = 2 * 180 * kDegrees / wavelength, t.p[1] = degrees * kDegrees;
  return Add(t);
}

int32_t is5_AddWaveTransform(uint32_t width, uint32_t height, double wavelength, double amplitude,
                             double directionDegrees, double phaseDegrees, uint32_t edgeMode) {
  if (!FrameIsUsable(width, height, edgeMode) || !Positive(wavelength) ||
      !AllWithin({amplitude}, kLargest) || !AllWithin({directionDegrees, phaseDegrees}, 1e6))
    return 0;
  Transform t = Entry(TransformKind::kWave, width, height, edgeMode);
  t.p[0] = 2 * 180 * kDegrees / wavelength, t.p[1] = amplitude, t.p[2] = phaseDegrees * kDegrees;
  t.p[3] = std::cos(directionDegrees * kDegrees), t.p[4] = std::sin(directionDegrees * kDegrees);
  return Add(t);
}

int32_t is5_AddWowTransform(uint32_t width, uint32_t height, double cx, double cy, uint32_t lobes,
                            double amount, double phaseDegrees, uint32_t edgeMode) {
  if (!FrameIsUsable(width, height, edgeMode) || !AllWithin({cx, cy}, kLargest) || lobes < 1 ||
      lobes > 32 || !AllWithin({amount}, 0.9) || !AllWithin({phaseDegrees}, 1e6))
    return 0;
  Transform t = Entry(TransformKind::kWow, width, height, edgeMode, cx, cy);
  t.p[0] = lobes, t.p[1] = amount;
  t.p[2] = std::cos(phaseDegrees * kDegrees), t.p[3] = std::sin(phaseDegrees * kDegrees);
  return Add(t);
}

int32_t is5_AddZigZagTransform(uint32_t width, uint32_t height, double wavelengthX,
                               double amplitudeX, double wavelengthY, double amplitudeY,
                               uint32_t edgeMode) {
  if (!FrameIsUsable(width, height, edgeMode) || !Positive(wavelengthX) || !Positive(wavelengthY) ||
      !AllWithin({amplitudeX, amplitudeY}, kLargest))
    return 0;
  Transform t = Entry(TransformKind::kZigZag, width, height, edgeMode);
  t.p[0] = 1 / wavelengthX, t.p[1] = amplitudeX, t.p[2] = 1 / wavelengthY, t.p[3] = amplitudeY;
  return Add(t);
}

int32_t is5_AddBumpMapDisplacementTransform(uint32_t width, uint32_t height, float amount,
                                            const void* map, uint32_t mapWidth,
                                            uint32_t mapHeight) {
  try {
    auto field =
        MakeBumpField(width, height, amount, static_cast<const uint8_t*>(map), mapWidth, mapHeight);
    if (!field) return 0;
    Transform t = Entry(TransformKind::kBumpMap, width, height, kEdgeFill);
    t.bump = std::move(field);
    return Add(t);
  } catch (...) {
    return 0;
  }
}

int32_t is5_AddRandomTransform(uint32_t width, uint32_t height, double amount, uint32_t seed) {
  if (width == 0 || height == 0 || !std::isfinite(amount) || amount < 0) return 0;
  Transform t = Entry(TransformKind::kRandom, width, height, kEdgeRepeat);
  t.p[0] = amount, t.seed = seed;
  return Add(t);
}

bool TracePointThroughTransforms(double x, double y, double* sourceX, double* sourceY) {
  const std::vector<Transform>& list = TransformList();
  if (list.empty() || !sourceX || !sourceY) return false;
  for (auto t = list.rbegin(); t != list.rend(); ++t) TraceBack(*t, &x, &y, 1);
  *sourceX = x, *sourceY = y;
  return true;
}

void TraceRowThroughTransforms(double* xs, double* ys, std::size_t count) {
  const std::vector<Transform>& list = TransformList();
  for (auto t = list.rbegin(); t != list.rend(); ++t) TraceBack(*t, xs, ys, count);
}

int32_t is5_TransformProcess(const void* src, uint32_t width, uint32_t height,
                             uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                             uint32_t dstRowBytes, uint32_t quality, uint32_t fill,
                             uint32_t flags) {
  (void)flags;
  const std::vector<Transform>& list = TransformList();
  if (list.empty() || quality > 1 || bytesPerPixel == 8 || !IsSupportedPixelSize(bytesPerPixel) ||
      !IsUsablePicture(src, width, height, srcRowBytes, bytesPerPixel) ||
      !IsUsablePicture(dst, width, height, dstRowBytes, bytesPerPixel) || src == dst)
    return 0;
  try {
    const WarpSource source{
        static_cast<const uint8_t*>(src),
        width,
        height,
        bytesPerPixel,
        srcRowBytes,
        OutsideOf(list.front()),
        {uint8_t(fill), uint8_t(fill >> 8), uint8_t(fill >> 16), uint8_t(fill >> 24)}};
    WarpByRows(source, static_cast<uint8_t*>(dst), dstRowBytes, quality,
               [&](uint32_t y, double* xs, double* ys) {
                 for (uint32_t x = 0; x < width; ++x) xs[x] = x + 0.5, ys[x] = y + 0.5;
                 TraceRowThroughTransforms(xs, ys, width);
               });
    return 1;
  } catch (...) {
    return 0;
  }
}

}  // namespace imaging
