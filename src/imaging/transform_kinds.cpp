#include "imaging/transform_kinds.h"

#include <algorithm>
#include <cmath>

#include "imaging/bump_map_displacement.h"
#include "imaging/fast_trig.h"
#include "imaging/filter_frame.h"
#include "imaging/transforms.h"

namespace imaging {
namespace {

constexpr double kPi = 3.14159265358979323846;
// Table pixels a cell of the coarsest marble noise spans.
constexpr double kMarbleCell = 32.0;

// A well-mixed hash of a whole-pixel position, in [0, 1).
double ScatterUnit(int64_t x, int64_t y, uint32_t seed) {
  return HashUnit(uint32_t(x), uint32_t(y), seed);
}

std::shared_ptr<const std::vector<float>> MakeProfile(double (*shape)(double d, double k),
                                                      double strength) {
  auto table = std::make_shared<std::vector<float>>(kProfileSteps + 2);
  for (std::size_t i = 0; i <= kProfileSteps; ++i)
    (*table)[i] = float(shape(double(i) / kProfileSteps, strength));
  (*table)[kProfileSteps + 1] = (*table)[kProfileSteps];  // so that d = 1 may read one past
  return table;
}

// Source radius of destination radius d (both shares of the lens radius). A magnifying lens
// bends like a sphere seen from above (asin), a shrinking one the other way (sin); the strength
// blends between that and no change.
double LensShape(double d, double k) {
  const double bent = k >= 0 ? std::asin(d) * (2 / kPi) : std::sin(d * (kPi / 2));
  return (1 - std::fabs(k)) * d + std::fabs(k) * bent;
}

// A power curve: exponents below one draw the middle in (the destination's middle shows source
// from farther out), above one push it out.
double PinchShape(double d, double k) { return std::pow(d, std::exp2(-1.5 * k)); }

// Rotates each offset from the centre by minus angle(r) (a clockwise turn as seen, y down).
template <typename Angle>
void TurnAboutCentre(const Transform& t, double* xs, double* ys, std::size_t count, Angle angle) {
  for (std::size_t i = 0; i < count; ++i) {
    const double dx = xs[i] - t.cx, dy = ys[i] - t.cy;
    double theta;
    if (!angle(std::sqrt(dx * dx + dy * dy), &theta)) continue;
    double s, c;
    FastSinCos(theta, &s, &c);
    xs[i] = t.cx + c * dx + s * dy;
    ys[i] = t.cy - s * dx + c * dy;
  }
}

#if defined(__SSE2__)
// The paired forms of the per-pixel loops below: two positions at a time with the scalar
// loop's operations in its order, so that both give the same doubles. Each returns how many
// positions it did; the scalar loop finishes the rest (an odd last one, or angles beyond the
// paired sine's range).

inline __m128d Distance(__m128d dx, __m128d dy) {
  return _mm_sqrt_pd(_mm_add_pd(_mm_mul_pd(dx, dx), _mm_mul_pd(dy, dy)));
}
inline __m128d Pick(__m128d mask, __m128d yes, __m128d no) {
  return _mm_or_pd(_mm_and_pd(mask, yes), _mm_andnot_pd(mask, no));
}

// TurnAboutCentre: angle(r, &theta) sets the turn and returns the lanes that turn.
template <typename Angle>
std::size_t TurnPairs(const Transform& t, double* xs, double* ys, std::size_t count, Angle angle) {
  const __m128d cx = _mm_set1_pd(t.cx), cy = _mm_set1_pd(t.cy);
  std::size_t i = 0;
  for (; i + 2 <= count; i += 2) {
    const __m128d x = _mm_loadu_pd(xs + i), y = _mm_loadu_pd(ys + i);
    const __m128d dx = _mm_sub_pd(x, cx), dy = _mm_sub_pd(y, cy);
    __m128d theta, s, c;
    const __m128d turns = angle(Distance(dx, dy), &theta);
    // Lanes that keep their place turn by nothing, so their angle cannot leave the sine's range.
    if (!FastSinCos2(_mm_and_pd(turns, theta), &s, &c)) break;
    const __m128d nx = _mm_add_pd(_mm_add_pd(cx, _mm_mul_pd(c, dx)), _mm_mul_pd(s, dy));
    const __m128d ny = _mm_add_pd(_mm_sub_pd(cy, _mm_mul_pd(s, dx)), _mm_mul_pd(c, dy));
    _mm_storeu_pd(xs + i, Pick(turns, nx, x));
    _mm_storeu_pd(ys + i, Pick(turns, ny, y));
  }
  return i;
}

// FastSin of two angles, or false.
inline bool FastSin2(__m128d a, __m128d* s) {
  __m128d c;
  return FastSinCos2(a, s, &c);
}
#endif

// Moves each position along its ray from the centre to the source radius radius(r).
template <typename Radius>
void ScaleAboutCentre(const Transform& t, double* xs, double* ys, std::size_t count,
                      Radius radius) {
  for (std::size_t i = 0; i < count; ++i) {
    const double dx = xs[i] - t.cx, dy = ys[i] - t.cy;
    const double r = std::sqrt(dx * dx + dy * dy);
    double scale;
    if (!radius(r, dx, dy, &scale)) continue;
    xs[i] = t.cx + dx * scale;
    ys[i] = t.cy + dy * scale;
  }
}

// The profile's value at d (0..1), linear between table entries.
inline double Profile(const std::vector<float>& table, double d) {
  const double at = d * kProfileSteps;
  const std::size_t i = std::size_t(at);
  const double f = at - double(i);
  return table[i] + (table[i + 1] - table[i]) * f;
}

// The square point of a disc point (both in -1..1), by the elliptical grid mapping: circles of
// the disc become the square's concentric outlines, its middle lines stay straight.
inline void DiscToSquare(double u, double v, double* x, double* y) {
  constexpr double kTwoRootTwo = 2.82842712474619009760;
  const double tu = 2 + u * u - v * v, tv = 2 - u * u + v * v;
  *x = 0.5 * std::sqrt(std::max(0.0, tu + kTwoRootTwo * u)) -
       0.5 * std::sqrt(std::max(0.0, tu - kTwoRootTwo * u));
  *y = 0.5 * std::sqrt(std::max(0.0, tv + kTwoRootTwo * v)) -
       0.5 * std::sqrt(std::max(0.0, tv - kTwoRootTwo * v));
}

#if defined(__SSE2__)
// DiscToSquare for two points at once, the same operations in the same order.
inline void DiscToSquare2(__m128d u, __m128d v, __m128d* x, __m128d* y) {
  const __m128d two = _mm_set1_pd(2.0), k = _mm_set1_pd(2.82842712474619009760),
                half = _mm_set1_pd(0.5), zero = _mm_setzero_pd();
  const __m128d uu = _mm_mul_pd(u, u), vv = _mm_mul_pd(v, v);
  const __m128d tu = _mm_sub_pd(_mm_add_pd(two, uu), vv), tv = _mm_add_pd(_mm_sub_pd(two, uu), vv);
  auto side = [&](__m128d t, __m128d w) {
    const __m128d kw = _mm_mul_pd(k, w);
    return _mm_sub_pd(_mm_mul_pd(half, _mm_sqrt_pd(_mm_max_pd(_mm_add_pd(t, kw), zero))),
                      _mm_mul_pd(half, _mm_sqrt_pd(_mm_max_pd(_mm_sub_pd(t, kw), zero))));
  };
  *x = side(tu, u), *y = side(tv, v);
}
#endif

// A triangle wave of period 1 through 0 at t = 0, peaking at 1 when t = 0.25.
inline double Triangle(double t) {
  const double u = t - 0.25;
  return 4 * std::fabs(u - FastFloor(u) - 0.5) - 1;
}

// Wrapping bilinear read of one noise field at table position (u, v).
inline double Noise(const float* field, double u, double v) {
  // Far positions lose the wrap's exactness but never overflow the whole-number step.
  u = std::clamp(u, -1e9, 1e9), v = std::clamp(v, -1e9, 1e9);
  const double fu = FastFloor(u), fv = FastFloor(v);
  const double ax = u - fu, ay = v - fv;
  constexpr int64_t kMask = int64_t(kNoiseSide) - 1;
  const int64_t x0 = int64_t(fu) & kMask, y0 = int64_t(fv) & kMask;
  const int64_t x1 = (x0 + 1) & kMask, y1 = (y0 + 1) & kMask;
  const float* r0 = field + y0 * int64_t(kNoiseSide);
  const float* r1 = field + y1 * int64_t(kNoiseSide);
  const double top = r0[x0] + (r0[x1] - r0[x0]) * ax;
  const double bottom = r1[x0] + (r1[x1] - r1[x0]) * ax;
  return top + (bottom - top) * ay;
}

void FoldRow(const Transform& t, double* xs, double* ys, std::size_t count) {
  if (t.edgeMode == kEdgeFill) return;
  for (std::size_t i = 0; i < count; ++i) {
    xs[i] = FoldIntoFrame(xs[i], t.frameWidth, t.edgeMode);
    ys[i] = FoldIntoFrame(ys[i], t.frameHeight, t.edgeMode);
  }
}

}  // namespace

std::shared_ptr<const std::vector<float>> MakeLensProfile(double strength) {
  return MakeProfile(LensShape, strength);
}

std::shared_ptr<const std::vector<float>> MakePinchProfile(double strength) {
  return MakeProfile(PinchShape, strength);
}

std::shared_ptr<const std::vector<float>> MakeMarbleNoise(uint32_t seed) {
  constexpr int kOctaves = 5;
  constexpr std::size_t n = kNoiseSide;
  auto fields = std::make_shared<std::vector<float>>(2 * n * n);
  for (std::size_t f = 0; f < 2; ++f) {
    float* field = fields->data() + f * n * n;
    double largest = 0;
    for (std::size_t y = 0; y < n; ++y)
      for (std::size_t x = 0; x < n; ++x) {
        double sum = 0, amplitude = 1;
        for (int o = 0; o < kOctaves; ++o, amplitude *= 0.5) {
          // Octave o has 8 << o lattice cells across the table, so every octave wraps with it.
          const uint32_t cells = 8u << o;
          const double cell = double(n) / cells;
          const double u = x / cell, v = y / cell;
          const uint32_t ix = uint32_t(u), iy = uint32_t(v);
          double ax = u - ix, ay = v - iy;
          ax = ax * ax * (3 - 2 * ax), ay = ay * ay * (3 - 2 * ay);
          const uint32_t key = seed * 2654435761u + uint32_t(f * 977 + o * 131);
          auto lattice = [&](uint32_t i, uint32_t j) {
            return HashUnit(i % cells, j % cells, key) * 2 - 1;
          };
          const double top = lattice(ix, iy) + (lattice(ix + 1, iy) - lattice(ix, iy)) * ax;
          const double bottom =
              lattice(ix, iy + 1) + (lattice(ix + 1, iy + 1) - lattice(ix, iy + 1)) * ax;
          sum += amplitude * (top + (bottom - top) * ay);
        }
        field[y * n + x] = float(sum);
        largest = std::max(largest, std::fabs(sum));
      }
    // Stretched to fill -1..1, so that the amplitude is the largest move.
    if (largest > 0)
      for (std::size_t i = 0; i < n * n; ++i) field[i] = float(field[i] / largest);
  }
  return fields;
}

void TraceBack(const Transform& t, double* xs, double* ys, std::size_t count) {
  switch (t.kind) {
    case TransformKind::kOffset:
      for (std::size_t i = 0; i < count; ++i) {
        xs[i] = FoldIntoFrame(xs[i] - t.p[0], t.frameWidth, t.edgeMode);
        ys[i] = FoldIntoFrame(ys[i] - t.p[1], t.frameHeight, t.edgeMode);
      }
      return;
    case TransformKind::kBumpMap:
      TraceBackBump(*t.bump, xs, ys, count);
      return;
    case TransformKind::kRandom:
      // The offset belongs to the whole pixel, so that a pixel moves as one piece.
      for (std::size_t i = 0; i < count; ++i) {
        const int64_t px = int64_t(std::floor(xs[i])), py = int64_t(std::floor(ys[i]));
        xs[i] = FoldIntoFrame(xs[i] + (ScatterUnit(px, py, t.seed) * 2 - 1) * t.p[0], t.frameWidth,
                              kEdgeRepeat);
        ys[i] = FoldIntoFrame(ys[i] + (ScatterUnit(px, py, t.seed ^ 0x5bd1e995u) * 2 - 1) * t.p[0],
                              t.frameHeight, kEdgeRepeat);
      }
      return;
    case TransformKind::kElliptical: {
      const double s = t.p[0], hw = t.p[1], hh = t.p[2];
      std::size_t i = 0;
#if defined(__SSE2__)
      {
        const __m128d cx = _mm_set1_pd(t.cx), cy = _mm_set1_pd(t.cy), halfW = _mm_set1_pd(hw),
                      halfH = _mm_set1_pd(hh), one = _mm_set1_pd(1.0), four = _mm_set1_pd(4.0),
                      share = _mm_set1_pd(s), rest = _mm_set1_pd(1 - s);
        for (; i + 2 <= count; i += 2) {
          const __m128d u = _mm_div_pd(_mm_sub_pd(_mm_loadu_pd(xs + i), cx), halfW);
          const __m128d v = _mm_div_pd(_mm_sub_pd(_mm_loadu_pd(ys + i), cy), halfH);
          const __m128d rho2 = _mm_add_pd(_mm_mul_pd(u, u), _mm_mul_pd(v, v));
          // Both sides of the ellipse worked out, each lane keeping its own.
          const __m128d inside = _mm_cmple_pd(rho2, one);
          const __m128d rho = _mm_sqrt_pd(rho2);
          const __m128d du = Pick(inside, u, _mm_div_pd(u, rho));
          const __m128d dv = Pick(inside, v, _mm_div_pd(v, rho));
          const __m128d push =
              Pick(inside, one, _mm_add_pd(one, _mm_mul_pd(four, _mm_sub_pd(rho, one))));
          __m128d x, y;
          DiscToSquare2(du, dv, &x, &y);
          x = Pick(inside, x, _mm_mul_pd(x, push)), y = Pick(inside, y, _mm_mul_pd(y, push));
          _mm_storeu_pd(
              xs + i,
              _mm_add_pd(cx,
                         _mm_mul_pd(_mm_add_pd(_mm_mul_pd(rest, u), _mm_mul_pd(share, x)), halfW)));
          _mm_storeu_pd(
              ys + i,
              _mm_add_pd(cy,
                         _mm_mul_pd(_mm_add_pd(_mm_mul_pd(rest, v), _mm_mul_pd(share, y)), halfH)));
        }
      }
#endif
      for (; i < count; ++i) {
        const double u = (xs[i] - t.cx) / hw, v = (ys[i] - t.cy) / hh;
        const double rho2 = u * u + v * v;
        double x, y;
        if (rho2 <= 1) {
          DiscToSquare(u, v, &x, &y);
        } else {
          // Beyond the ellipse the square's outline is pushed outward quickly, out of the frame.
          const double rho = std::sqrt(rho2);
          DiscToSquare(u / rho, v / rho, &x, &y);
          x *= 1 + 4 * (rho - 1), y *= 1 + 4 * (rho - 1);
        }
        xs[i] = t.cx + ((1 - s) * u + s * x) * hw;
        ys[i] = t.cy + ((1 - s) * v + s * y) * hh;
      }
      break;
    }
    case TransformKind::kLens:
    case TransformKind::kPinch: {
      const double radius = t.p[0];
      const std::vector<float>& table = *t.table;
      std::size_t done = 0;
#if defined(__SSE2__)
      const __m128d cx = _mm_set1_pd(t.cx), cy = _mm_set1_pd(t.cy), radii = _mm_set1_pd(radius),
                    steps = _mm_set1_pd(double(kProfileSteps)), zero = _mm_setzero_pd();
      for (; done + 2 <= count; done += 2) {
        const __m128d x = _mm_loadu_pd(xs + done), y = _mm_loadu_pd(ys + done);
        const __m128d dx = _mm_sub_pd(x, cx), dy = _mm_sub_pd(y, cy);
        const __m128d r = Distance(dx, dy);
        const __m128d moves = _mm_and_pd(_mm_cmplt_pd(r, radii), _mm_cmpneq_pd(r, zero));
        // Profile(): the table entry below and the step to the next, as the scalar reads them.
        const __m128d at = _mm_and_pd(moves, _mm_mul_pd(_mm_div_pd(r, radii), steps));
        const __m128i whole = _mm_cvttpd_epi32(at);
        const __m128d f = _mm_sub_pd(at, _mm_cvtepi32_pd(whole));
        const auto i0 = std::size_t(_mm_cvtsi128_si32(whole));
        const auto i1 = std::size_t(_mm_cvtsi128_si32(_mm_shuffle_epi32(whole, 1)));
        const __m128d below = _mm_set_pd(table[i1], table[i0]);
        const __m128d rise =
            _mm_set_pd(double(table[i1 + 1] - table[i1]), double(table[i0 + 1] - table[i0]));
        const __m128d profile = _mm_add_pd(below, _mm_mul_pd(rise, f));
        const __m128d scale = _mm_div_pd(_mm_mul_pd(profile, radii), r);
        _mm_storeu_pd(xs + done, Pick(moves, _mm_add_pd(cx, _mm_mul_pd(dx, scale)), x));
        _mm_storeu_pd(ys + done, Pick(moves, _mm_add_pd(cy, _mm_mul_pd(dy, scale)), y));
      }
#endif
      ScaleAboutCentre(t, xs + done, ys + done, count - done,
                       [&](double r, double, double, double* scale) {
                         if (!(r < radius) || r == 0) return false;
                         *scale = Profile(table, r / radius) * radius / r;
                         return true;
                       });
      break;
    }
    case TransformKind::kSpin: {
      const double radius = t.p[0], angle = t.p[1];
      std::size_t done = 0;
#if defined(__SSE2__)
      const __m128d one = _mm_set1_pd(1.0), radii = _mm_set1_pd(radius), turn = _mm_set1_pd(angle);
      done = TurnPairs(t, xs, ys, count, [&](__m128d r, __m128d* theta) {
        const __m128d fade = _mm_sub_pd(one, _mm_div_pd(r, radii));
        *theta = _mm_mul_pd(_mm_mul_pd(turn, fade), fade);
        return _mm_cmplt_pd(r, radii);
      });
#endif
      TurnAboutCentre(t, xs + done, ys + done, count - done, [&](double r, double* theta) {
        if (!(r < radius)) return false;
        const double fade = 1 - r / radius;
        *theta = angle * fade * fade;
        return true;
      });
      break;
    }
    case TransformKind::kSpinWave: {
      const double k = t.p[0], amplitude = t.p[1];
      std::size_t done = 0;
#if defined(__SSE2__)
      const __m128d kk = _mm_set1_pd(k), swing = _mm_set1_pd(amplitude);
      bool inRange = true;
      done = TurnPairs(t, xs, ys, count, [&](__m128d r, __m128d* theta) {
        __m128d s;
        inRange = FastSin2(_mm_mul_pd(kk, r), &s);
        // Out of range, a turn of plain NaN makes the pair fall back to the scalar loop.
        *theta = inRange ? _mm_mul_pd(swing, s) : _mm_set1_pd(NAN);
        return _mm_castsi128_pd(_mm_set1_epi32(-1));
      });
#endif
      TurnAboutCentre(t, xs + done, ys + done, count - done, [&](double r, double* theta) {
        *theta = amplitude * FastSin(k * r);
        return true;
      });
      break;
    }
    case TransformKind::kRipple: {
      const double k = t.p[0], amplitude = t.p[1], phase = t.p[2], wavelength = t.p[3];
      std::size_t done = 0;
#if defined(__SSE2__)
      {
        const __m128d cx = _mm_set1_pd(t.cx), cy = _mm_set1_pd(t.cy), kk = _mm_set1_pd(k),
                      height = _mm_set1_pd(amplitude), shift = _mm_set1_pd(phase),
                      wave = _mm_set1_pd(wavelength), one = _mm_set1_pd(1.0),
                      zero = _mm_setzero_pd();
        for (; done + 2 <= count; done += 2) {
          const __m128d x = _mm_loadu_pd(xs + done), y = _mm_loadu_pd(ys + done);
          const __m128d dx = _mm_sub_pd(x, cx), dy = _mm_sub_pd(y, cy);
          const __m128d r = Distance(dx, dy);
          __m128d sine;
          if (!FastSin2(_mm_add_pd(_mm_mul_pd(kk, r), shift), &sine)) break;
          const __m128d swing =
              _mm_mul_pd(_mm_mul_pd(height, sine), _mm_min_pd(_mm_div_pd(r, wave), one));
          const __m128d scale = _mm_div_pd(_mm_add_pd(r, swing), r);
          const __m128d moves = _mm_cmpneq_pd(r, zero);
          _mm_storeu_pd(xs + done, Pick(moves, _mm_add_pd(cx, _mm_mul_pd(dx, scale)), x));
          _mm_storeu_pd(ys + done, Pick(moves, _mm_add_pd(cy, _mm_mul_pd(dy, scale)), y));
        }
      }
#endif
      ScaleAboutCentre(
          t, xs + done, ys + done, count - done, [&](double r, double, double, double* scale) {
            if (r == 0) return false;
            // The first wavelength fades in, so the middle stays whole.
            const double swing = amplitude * FastSin(k * r + phase) * std::min(1.0, r / wavelength);
            *scale = (r + swing) / r;
            return true;
          });
      break;
    }
    case TransformKind::kWave: {
      const double k = t.p[0], amplitude = t.p[1], phase = t.p[2], ux = t.p[3], uy = t.p[4];
      std::size_t i = 0;
#if defined(__SSE2__)
      const __m128d kk = _mm_set1_pd(k), height = _mm_set1_pd(amplitude),
                    shift = _mm_set1_pd(phase), across = _mm_set1_pd(ux), down = _mm_set1_pd(uy);
      for (; i + 2 <= count; i += 2) {
        const __m128d x = _mm_loadu_pd(xs + i), y = _mm_loadu_pd(ys + i);
        const __m128d along = _mm_add_pd(_mm_mul_pd(x, across), _mm_mul_pd(y, down));
        __m128d sine;
        if (!FastSin2(_mm_add_pd(_mm_mul_pd(kk, along), shift), &sine)) break;
        const __m128d swing = _mm_mul_pd(height, sine);
        _mm_storeu_pd(xs + i, _mm_sub_pd(x, _mm_mul_pd(swing, down)));
        _mm_storeu_pd(ys + i, _mm_add_pd(y, _mm_mul_pd(swing, across)));
      }
#endif
      for (; i < count; ++i) {
        const double swing = amplitude * FastSin(k * (xs[i] * ux + ys[i] * uy) + phase);
        xs[i] -= swing * uy;
        ys[i] += swing * ux;
      }
      break;
    }
    case TransformKind::kWow: {
      const auto lobes = uint32_t(t.p[0]);
      const double amount = t.p[1], cosPhase = t.p[2], sinPhase = t.p[3];
      ScaleAboutCentre(t, xs, ys, count, [&](double r, double dx, double dy, double* scale) {
        if (r == 0) return false;
        // cos and sin of lobes x the position's angle, by powers of the unit direction.
        double bc = dx / r, bs = dy / r, pc = 1, ps = 0;
        for (uint32_t e = lobes; e; e >>= 1) {
          if (e & 1) {
            const double c = pc * bc - ps * bs;
            ps = pc * bs + ps * bc, pc = c;
          }
          const double c = bc * bc - bs * bs;
          bs = 2 * bc * bs, bc = c;
        }
        *scale = 1 + amount * (ps * cosPhase + pc * sinPhase);
        return true;
      });
      break;
    }
    case TransformKind::kZigZag: {
      const double kx = t.p[0], ax = t.p[1], ky = t.p[2], ay = t.p[3];
      for (std::size_t i = 0; i < count; ++i) {
        const double x = xs[i], y = ys[i];
        xs[i] = x + ax * Triangle(y * ky);
        ys[i] = y + ay * Triangle(x * kx);
      }
      break;
    }
    case TransformKind::kMarble: {
      const double toTable = t.p[0] * kMarbleCell, amplitude = t.p[1];
      const float* first = t.table->data();
      const float* second = first + kNoiseSide * kNoiseSide;
      for (std::size_t i = 0; i < count; ++i) {
        const double u = xs[i] * toTable, v = ys[i] * toTable;
        xs[i] += amplitude * Noise(first, u, v);
        ys[i] += amplitude * Noise(second, u, v);
      }
      break;
    }
  }
  FoldRow(t, xs, ys, count);
}

}  // namespace imaging
