// The merge-mode arithmetic the view applies per entry: the alpha-mode pre-pass and the
// floating-point blend onto the running composite. Both are the compositor's own rules; only the
// destination differs (the view keeps its composite in floating point between entries).
#pragma once

#include <cstdint>

#include "render/alpha_mode_prepass.h"
#include "render/blend_rules.h"
#include "render/merge_modes.h"

namespace render {

inline constexpr int32_t kViewOpNormal = kModeNormal;
inline constexpr int32_t kViewOpTexturize = kModeTexturize;
inline constexpr int32_t kViewOpTexturize3 = kModeTexturize3;

// Reinterprets an alpha-mode pixel (a, colour) with K = alphaLayerOpacity; may redirect the
// operator op to Texturize2 or Multiply. The view never merges two layers of one alpha mode, so
// the pre-pass always takes its ordinary column.
inline void ViewAlphaPrePass(int32_t mode, int32_t K, int32_t& a, int32_t colour[3], int32_t& op) {
  PrePassPixel p{a, {colour[0], colour[1], colour[2]}, 65535, op};
  ApplyAlphaModePrePass(mode, /*sameAlphaMode=*/false, K, p);
  a = p.a;
  colour[0] = p.c[0], colour[1] = p.c[1], colour[2] = p.c[2];
  op = p.op;
}

// Blends source (colour, a) over the composite (A, c: unpremultiplied, 1.0 = 65280) with operator
// op; A and c receive the result, clamped to [0, 1]. A is above 0 here (an empty composite is
// replaced, never blended), so R is too.
inline void BlendOverViewComposite(int32_t op, const int32_t colour[3], int32_t a, double& A,
                                   double c[3]) {
  const UnitBlend b =
      BlendUnitByRule(ModeInfo(op).rule, colour[0], colour[1], colour[2], a, c[0], c[1], c[2], A);
  const double R = Clamp01(b.R);
  const double perR = 1.0 / R;
  c[0] = Clamp01(b.X0 * perR);
  c[1] = Clamp01(b.X1 * perR);
  c[2] = Clamp01(b.X2 * perR);
  A = R;
}

}  // namespace render
