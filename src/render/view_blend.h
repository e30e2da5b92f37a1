// The merge-mode arithmetic the view applies per entry: the alpha-mode pre-pass and the
// floating-point blend onto the running composite.
#pragma once

#include <cstdint>

#include "render/merge_mode_names.h"

namespace render {

inline constexpr int32_t kViewOpNormal = 0;
inline constexpr int32_t kViewOpTexturize = 19;
inline constexpr int32_t kViewOpTexturize3 = 21;

// Reinterprets an alpha-mode pixel (a, colour) with K = alphaLayerOpacity; may redirect the
// operator op to Texturize2 or Multiply.
inline void ViewAlphaPrePass(int32_t mode, int32_t K, int32_t& a, int32_t colour[3], int32_t& op) {
  // TODO(view): wire to the shared per-pixel merge rules once they are in.
  (void)mode, (void)K, (void)a, (void)colour;
  op = 0;
}

// Blends source (colour, a) over the composite (A, c: unpremultiplied, 1.0 = 65280) with operator
// op; A and c receive the result, clamped to [0, 1].
inline void BlendOverViewComposite(int32_t op, const int32_t colour[3], int32_t a, double& A,
                                   double c[3]) {
  // TODO(view): wire to the shared per-pixel merge rules once they are in.
  (void)op, (void)colour, (void)a, (void)A, (void)c;
}

}  // namespace render
