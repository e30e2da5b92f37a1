// The entries of the transform list and how each traces positions back from its output to its
// input. transforms.cpp builds entries from the published Add functions; the warp sampler reads
// the source at the traced positions.
#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/fast_trig.h"
#include "imaging/transforms.h"

namespace imaging {

struct BumpField;

enum class TransformKind {
  kOffset,
  kBumpMap,
  kRandom,
  kElliptical,
  kLens,
  kMarble,
  kPinch,
  kRipple,
  kSpin,
  kSpinWave,
  kWave,
  kWow,
  kZigZag,
};

struct Transform {
  TransformKind kind = TransformKind::kOffset;
  double frameWidth = 0, frameHeight = 0;
  uint32_t edgeMode = 0;
  double cx = 0, cy = 0;  // the centre of the radial kinds
  double p[6] = {};       // the kind's own numbers (see MakeTransform's callers)
  uint32_t seed = 0;
  std::shared_ptr<const BumpField> bump;  // kBumpMap
  std::shared_ptr<const std::vector<float>>
      table;  // radial profile (kLens, kPinch), noise (kMarble)
};

// Samples in a radial profile table: entry i is the source radius, as a share of the radius, of
// the destination radius i / kProfileSteps of it.
inline constexpr std::size_t kProfileSteps = 8192;
// The noise tables of kMarble: two kNoiseSide x kNoiseSide fields that wrap round.
inline constexpr std::size_t kNoiseSide = 256;

// The profile of a lens (strength -1..1: positive magnifies like a glass sphere, negative
// shrinks like a fish-eye seen from behind) and of a pinch (positive draws the middle inward,
// negative bulges it).
std::shared_ptr<const std::vector<float>> MakeLensProfile(double strength);
std::shared_ptr<const std::vector<float>> MakePinchProfile(double strength);
// Two wrapping fields of smooth fractal noise in -1..1 for the marble veins.
std::shared_ptr<const std::vector<float>> MakeMarbleNoise(uint32_t seed);

// Moves count positions of one row from the transform's output back to its input.
void TraceBack(const Transform& t, double* xs, double* ys, std::size_t count);

// The largest double below size (size positive and finite): the last position a folded
// coordinate may take. Worked from the bits, since this runs for every pixel.
inline double JustBelow(double size) {
  return std::bit_cast<double>(std::bit_cast<uint64_t>(size) - 1);
}

// u modulo period, in [0, period).
inline double Modulo(double u, double period) {
  double r;
  if (std::fabs(u) < 1e15) {
    r = u - period * FastFloor(u / period);
  } else {
    r = std::fmod(u, period);  // NaN stays NaN
    if (r < 0) r += period;
  }
  return r < period ? r : 0.0;
}

// Folds a position into [0, size) by an edge mode; the fill mode leaves it where it is.
inline double FoldIntoFrame(double u, double size, uint32_t edgeMode) {
  switch (edgeMode) {
    case kEdgeWrap:
      return Modulo(u, size);
    case kEdgeRepeat:
      return std::clamp(u, 0.0, JustBelow(size));
    case kEdgeMirror: {
      const double r = Modulo(u, 2 * size);
      return r < size ? r : JustBelow(2 * size - r);
    }
    default:
      return u;
  }
}

}  // namespace imaging
