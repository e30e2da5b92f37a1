// The floating-point blend of one source pixel over one destination pixel, one small function per
// rule. Colour channels are read with 65280 (0xFF00) as 1.0 and alphas with 65535 as 1.0; the
// result is written back on the same scales, every conversion truncating toward zero.
//
// Notation (premultiplied, on the unit scale): Sa, Da are the source and destination alphas,
// Sc = (s / 65280) * Sa and Dc = (d / 65280) * Da a colour channel of each. A rule gives the
// premultiplied result X of a channel and the result alpha R; the stored channel is X / R.
// "rest" is Sc * (1 - Da) + Dc * (1 - Sa): the source where there is no destination plus the
// destination where there is no source.
//
// These functions are branch-free in spirit (conditions choose between values) so that the fast
// path can run them over many pixels at once; every path runs exactly these expressions, so the
// fast and the reference path agree to the bit.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "render/merge_modes.h"

namespace render {

inline constexpr double kColorOne = 65280.0;  // 0xFF00 reads as 1.0 for a colour channel
inline constexpr double kAlphaOne = 65535.0;
inline constexpr double kInvColorOne = 1.0 / kColorOne;
inline constexpr double kInvAlphaOne = 1.0 / kAlphaOne;
inline constexpr double kInvThreeColorOne = 1.0 / (3.0 * kColorOne);  // mean of three channels

// Clamps into [0, 1]; a NaN becomes 0 (0 / 0 does not arise from the rules, but the clamp must
// be total). Both comparisons always run, so the compiler can turn them into selects.
inline double Clamp01(double v) {
  const double low = v > 0.0 ? v : 0.0;
  return low < 1.0 ? low : 1.0;
}

inline double Rest(double Sc, double Dc, double Sa, double Da) {
  return Sc * (1.0 - Da) + Dc * (1.0 - Sa);
}

// Source over: the destination shows through where the source is not opaque.
inline double NormalX(double Sc, double Dc, double Sa, double) { return Sc + Dc * (1.0 - Sa); }

// s * d in the overlap, each alone outside it: Sc*Dc + rest.
inline double MultiplyX(double Sc, double Dc, double Sa, double Da) {
  return Sc * Dc + Rest(Sc, Dc, Sa, Da);
}

// 1 - (1 - s)(1 - d), premultiplied: Sc + Dc - Sc*Dc.
inline double ScreenX(double Sc, double Dc, double, double) { return Sc + Dc - Sc * Dc; }

// min(s, d) in the overlap. Comparing Dc*Sa with Sc*Da compares d with s without dividing; the
// darker one is kept whole and the other shows only outside the overlap.
inline double DarkenX(double Sc, double Dc, double Sa, double Da) {
  const double sourceOver = Sc + Dc * (1.0 - Sa);
  const double destOver = Dc + Sc * (1.0 - Da);
  return Dc * Sa > Sc * Da ? sourceOver : destOver;
}

// max(s, d) in the overlap, the mirror of Darken.
inline double LightenX(double Sc, double Dc, double Sa, double Da) {
  const double sourceOver = Sc + Dc * (1.0 - Sa);
  const double destOver = Dc + Sc * (1.0 - Da);
  return Dc * Sa < Sc * Da ? sourceOver : destOver;
}

// |s - d| in the overlap: Sc + Dc - 2 * min(Sc*Da, Dc*Sa).
inline double DifferenceX(double Sc, double Dc, double Sa, double Da) {
  return Sc + Dc - 2.0 * std::min(Sc * Da, Dc * Sa);
}

// s + d - 2sd in the overlap: Sc*Da + Dc*Sa - 2*Sc*Dc + rest. "Negation" uses the same formula.
inline double ExclusionX(double Sc, double Dc, double Sa, double Da) {
  return Sc * Da + Dc * Sa - 2.0 * Sc * Dc + Rest(Sc, Dc, Sa, Da);
}

// Multiply (2sd) below mid-grey of the chosen side, screen (1 - 2(1 - s)(1 - d)) above it:
// 2*Sc*Dc + rest, or Sa*Da - 2*(Da - Dc)*(Sa - Sc) + rest.
inline double HardMixX(bool multiplyHalf, double Sc, double Dc, double Sa, double Da) {
  const double rest = Rest(Sc, Dc, Sa, Da);
  const double multiplied = 2.0 * Sc * Dc + rest;
  const double screened = Sa * Da - 2.0 * (Da - Dc) * (Sa - Sc) + rest;
  return multiplyHalf ? multiplied : screened;
}
// Overlay decides by the destination (d < 1/2, i.e. Da > 2*Dc) ...
inline double OverlayX(double Sc, double Dc, double Sa, double Da) {
  return HardMixX(Da > 2.0 * Dc, Sc, Dc, Sa, Da);
}
// ... Hard Light by the source (Sa > 2*Sc).
inline double HardLightX(double Sc, double Dc, double Sa, double Da) {
  return HardMixX(Sa > 2.0 * Sc, Sc, Dc, Sa, Da);
}

// The soft-light curve with m = Dc / Da (the destination colour):
//   dark source (Sa > 2Sc):  Dc * (Sa + (2Sc - Sa) * (1 - m))
//   dark destination (Da >= 8Dc):  Dc * (Sa + (2Sc - Sa) * (1 - m) * (3 - 8m))
//   otherwise:  Dc*Sa + (2Sc - Sa) * (Da * sqrt(m) - Dc)
// each + rest. m >= 0 always, so the square root is defined on every path. The caller supplies
// m and its root: the batch path takes all the roots of a batch in one vector pass.
inline double SoftLightM(double Dc, double Da) { return Dc / Da; }
inline double SoftLightX(double Sc, double Dc, double Sa, double Da, double m, double rootM) {
  const double k = 2.0 * Sc - Sa;
  const double rest = Rest(Sc, Dc, Sa, Da);
  const double darkSource = Dc * (Sa + k * (1.0 - m)) + rest;
  const double darkDest = Dc * (Sa + k * (1.0 - m) * (3.0 - 8.0 * m)) + rest;
  const double light = Dc * Sa + k * (Da * rootM - Dc) + rest;
  const double lighter = Da >= 8.0 * Dc ? darkDest : light;
  return Sa > 2.0 * Sc ? darkSource : lighter;
}

// d / (1 - s) in the overlap, saturating to Sa*Da where that reaches 1 (Sa*Da <= Sc*Da + Dc*Sa).
// The quotient can be infinite for channels read above 1.0; the final clamp bounds it.
inline double DodgeX(double Sc, double Dc, double Sa, double Da) {
  const double rest = Rest(Sc, Dc, Sa, Da);
  const double saturated = Sa * Da + rest;
  const double quotient = Dc * Sa / (1.0 - Sc / Sa) + rest;
  return Sa * Da <= Sc * Da + Dc * Sa ? saturated : quotient;
}

// 1 - (1 - d) / s in the overlap, 0 where that goes negative (Sc*Da + Dc*Sa <= Sa*Da).
inline double BurnX(double Sc, double Dc, double Sa, double Da) {
  const double rest = Rest(Sc, Dc, Sa, Da);
  const double burnt = Sa * (Sc * Da + Dc * Sa - Sa * Da) / Sc + rest;
  return Sa * Da < Sc * Da + Dc * Sa ? burnt : rest;
}

// Add and Subtract also add the alphas (R = Sa + Da, clamped later).
inline double AddX(double Sc, double Dc, double, double) { return Sc + Dc; }
inline double SubtractX(double Sc, double Dc, double Sa, double Da) { return Sc + Dc - Sa * Da; }

// The channels of a blended pixel, truncated to the stored scales.
struct BlendedPixel {
  int32_t c0, c1, c2, a;
};

// X / R per channel, each clamped to [0, 1], on the 65280 scale; R on the 65535 scale. One
// reciprocal serves the three channels.
inline BlendedPixel FinishBlend(double X0, double X1, double X2, double R) {
  R = Clamp01(R);
  const double perR = 1.0 / R;
  return {static_cast<int32_t>(Clamp01(X0 * perR) * kColorOne),
          static_cast<int32_t>(Clamp01(X1 * perR) * kColorOne),
          static_cast<int32_t>(Clamp01(X2 * perR) * kColorOne),
          static_cast<int32_t>(R * kAlphaOne)};
}

// One pixel pair on the unit scale, premultiplied.
struct BlendTerms {
  double Sa, Da;
  double Sc0, Sc1, Sc2;
  double Dc0, Dc1, Dc2;
};

inline BlendTerms MakeBlendTerms(int32_t s0, int32_t s1, int32_t s2, int32_t a, int32_t d0,
                                 int32_t d1, int32_t d2, int32_t da) {
  const double Sa = a * kInvAlphaOne;
  const double Da = da * kInvAlphaOne;
  return {Sa,
          Da,
          s0 * kInvColorOne * Sa,
          s1 * kInvColorOne * Sa,
          s2 * kInvColorOne * Sa,
          d0 * kInvColorOne * Da,
          d1 * kInvColorOne * Da,
          d2 * kInvColorOne * Da};
}

// Soft Light with its three m = Dc / Da and their square roots given.
inline BlendedPixel SoftLightPixel(const BlendTerms& t, double m0, double m1, double m2,
                                   double root0, double root1, double root2) {
  const double over = t.Da + t.Sa * (1.0 - t.Da);
  return FinishBlend(SoftLightX(t.Sc0, t.Dc0, t.Sa, t.Da, m0, root0),
                     SoftLightX(t.Sc1, t.Dc1, t.Sa, t.Da, m1, root1),
                     SoftLightX(t.Sc2, t.Dc2, t.Sa, t.Da, m2, root2), over);
}

// The unfinished result of one blend: the premultiplied channels X and the result alpha R, on the
// unit scale, before the clamp and the division by R.
struct UnitBlend {
  double X0, X1, X2, R;
};

// Blends source (s0, s1, s2, a) over a destination given on the unit scale: u0..u2 its colour
// (not premultiplied, 1.0 = 65280) and Da its alpha. Source colour values may exceed 65535 after
// an alpha-mode pre-pass; they read as more than 1.0 like any value above 65280. The integer
// compositor and the view's floating-point composite both come through here, so they share
// every expression.
template <BlendRule kRule>
inline UnitBlend BlendUnit(int32_t s0, int32_t s1, int32_t s2, int32_t a, double u0, double u1,
                           double u2, double Da) {
  const double Sa = a * kInvAlphaOne;
  const double Sc0 = s0 * kInvColorOne * Sa, Sc1 = s1 * kInvColorOne * Sa,
               Sc2 = s2 * kInvColorOne * Sa;
  const double Dc0 = u0 * Da, Dc1 = u1 * Da, Dc2 = u2 * Da;
  // The default result alpha: source over destination.
  const double over = Da + Sa * (1.0 - Da);

#define PMR_SEPARABLE(fn) \
  return { fn(Sc0, Dc0, Sa, Da), fn(Sc1, Dc1, Sa, Da), fn(Sc2, Dc2, Sa, Da), over }

  if constexpr (kRule == BlendRule::kNormal) {
    PMR_SEPARABLE(NormalX);
  } else if constexpr (kRule == BlendRule::kMultiply) {
    PMR_SEPARABLE(MultiplyX);
  } else if constexpr (kRule == BlendRule::kScreen) {
    PMR_SEPARABLE(ScreenX);
  } else if constexpr (kRule == BlendRule::kDarken) {
    PMR_SEPARABLE(DarkenX);
  } else if constexpr (kRule == BlendRule::kLighten) {
    PMR_SEPARABLE(LightenX);
  } else if constexpr (kRule == BlendRule::kDifference) {
    PMR_SEPARABLE(DifferenceX);
  } else if constexpr (kRule == BlendRule::kExclusion) {
    PMR_SEPARABLE(ExclusionX);
  } else if constexpr (kRule == BlendRule::kOverlay) {
    PMR_SEPARABLE(OverlayX);
  } else if constexpr (kRule == BlendRule::kHardLight) {
    PMR_SEPARABLE(HardLightX);
  } else if constexpr (kRule == BlendRule::kSoftLight) {
    const double m0 = SoftLightM(Dc0, Da), m1 = SoftLightM(Dc1, Da), m2 = SoftLightM(Dc2, Da);
    return {SoftLightX(Sc0, Dc0, Sa, Da, m0, std::sqrt(m0)),
            SoftLightX(Sc1, Dc1, Sa, Da, m1, std::sqrt(m1)),
            SoftLightX(Sc2, Dc2, Sa, Da, m2, std::sqrt(m2)), over};
  } else if constexpr (kRule == BlendRule::kDodge) {
    PMR_SEPARABLE(DodgeX);
  } else if constexpr (kRule == BlendRule::kBurn) {
    PMR_SEPARABLE(BurnX);
  } else if constexpr (kRule == BlendRule::kAdd) {
    return {AddX(Sc0, Dc0, Sa, Da), AddX(Sc1, Dc1, Sa, Da), AddX(Sc2, Dc2, Sa, Da), Sa + Da};
  } else if constexpr (kRule == BlendRule::kSubtract) {
    return {SubtractX(Sc0, Dc0, Sa, Da), SubtractX(Sc1, Dc1, Sa, Da), SubtractX(Sc2, Dc2, Sa, Da),
            Sa + Da};
  } else if constexpr (kRule == BlendRule::kColor || kRule == BlendRule::kHardColor) {
    // The source colour shifted by the destination's brightness L (the mean of its premultiplied
    // channels) around mid-grey: Sc + Sa * (L - 0.5) + Dc * (1 - Sa); Hard Color shifts 1.75 times
    // as far. The destination keeps its alpha (R = Da).
    const double L = (Dc0 + Dc1 + Dc2) / 3.0;
    double shift;
    if constexpr (kRule == BlendRule::kColor) {
      shift = Sa * (L - 0.5);
    } else {
      shift = Sa * (1.75 * (L - 0.5));
    }
    return {Sc0 + shift + Dc0 * (1.0 - Sa), Sc1 + shift + Dc1 * (1.0 - Sa),
            Sc2 + shift + Dc2 * (1.0 - Sa), Da};
  } else if constexpr (kRule == BlendRule::kTexturize || kRule == BlendRule::kTexturize2) {
    // The texture modes work on the destination colour u as it stands (not premultiplied) and
    // push it up or down by the source brightness ls around mid-grey:
    //   Texturize2: X = u + 1.75 * Sa * (ls - 0.5)
    //   Texturize:  J = mean(u) + Sa * (ls - 0.5), X = u + 1.75 * Sa * (J - 0.5)
    // X still goes through the common division by R = Da, which brightens a partly transparent
    // destination before the clamp.
    const double ls = (s0 + s1 + s2) * kInvThreeColorOne;
    double z;
    if constexpr (kRule == BlendRule::kTexturize) {
      const double J = (u0 + u1 + u2) / 3.0 + Sa * (ls - 0.5);
      z = 1.75 * Sa * (J - 0.5);
    } else {
      z = 1.75 * Sa * (ls - 0.5);
    }
    return {u0 + z, u1 + z, u2 + z, Da};
  } else {
    static_assert(kRule == BlendRule::kTexturize3);
    // The destination unchanged; the layer serves as the brush texture instead.
    return {Dc0, Dc1, Dc2, Da};
  }
#undef PMR_SEPARABLE
}

// Runtime choice of rule, for paths that meet several operators in one loop.
inline UnitBlend BlendUnitByRule(BlendRule rule, int32_t s0, int32_t s1, int32_t s2, int32_t a,
                                 double u0, double u1, double u2, double Da) {
  switch (rule) {
#define PMR_RULE_CASE(r) \
  case BlendRule::r:     \
    return BlendUnit<BlendRule::r>(s0, s1, s2, a, u0, u1, u2, Da);
    PMR_RULE_CASE(kNormal)
    PMR_RULE_CASE(kMultiply)
    PMR_RULE_CASE(kScreen)
    PMR_RULE_CASE(kDarken)
    PMR_RULE_CASE(kLighten)
    PMR_RULE_CASE(kDifference)
    PMR_RULE_CASE(kExclusion)
    PMR_RULE_CASE(kOverlay)
    PMR_RULE_CASE(kHardLight)
    PMR_RULE_CASE(kSoftLight)
    PMR_RULE_CASE(kDodge)
    PMR_RULE_CASE(kBurn)
    PMR_RULE_CASE(kAdd)
    PMR_RULE_CASE(kSubtract)
    PMR_RULE_CASE(kColor)
    PMR_RULE_CASE(kHardColor)
    PMR_RULE_CASE(kTexturize)
    PMR_RULE_CASE(kTexturize2)
    PMR_RULE_CASE(kTexturize3)
#undef PMR_RULE_CASE
  }
  return BlendUnit<BlendRule::kNormal>(s0, s1, s2, a, u0, u1, u2, Da);
}

// Blends source (s0, s1, s2, a) over the stored destination (d0, d1, d2, da) with one rule and
// truncates the result to the stored scales. Called only with a > 0 and da > 0, so R > 0.
template <BlendRule kRule>
inline BlendedPixel BlendPixel(int32_t s0, int32_t s1, int32_t s2, int32_t a, int32_t d0,
                               int32_t d1, int32_t d2, int32_t da) {
  const UnitBlend b = BlendUnit<kRule>(s0, s1, s2, a, d0 * kInvColorOne, d1 * kInvColorOne,
                                       d2 * kInvColorOne, da * kInvAlphaOne);
  return FinishBlend(b.X0, b.X1, b.X2, b.R);
}

inline BlendedPixel BlendPixelByRule(BlendRule rule, int32_t s0, int32_t s1, int32_t s2, int32_t a,
                                     int32_t d0, int32_t d1, int32_t d2, int32_t da) {
  const UnitBlend b = BlendUnitByRule(rule, s0, s1, s2, a, d0 * kInvColorOne, d1 * kInvColorOne,
                                      d2 * kInvColorOne, da * kInvAlphaOne);
  return FinishBlend(b.X0, b.X1, b.X2, b.R);
}

}  // namespace render
