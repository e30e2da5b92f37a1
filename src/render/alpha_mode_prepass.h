// The alpha modes (23..44) first reinterpret the source alpha (and for some the source colour) as
// a shading or selection value; the pixel then blends, as a rule with the Normal rule.
#pragma once

#include <algorithm>
#include <cstdint>

#include "render/merge_mode_names.h"

namespace render {

// One source pixel on its way to the blend.
struct PrePassPixel {
  int32_t a;     // effective source alpha, 0..65535
  int32_t c[3];  // source colour; the lighten rules may leave it above 65535
  int32_t da;    // destination alpha; 0 makes the source copy over the destination
  int32_t op;    // blend operator, starts at the mode number
};

// "Lighten by f": c = trunc(c + (65535 - c) * f) with f = num / den. Done in integers, so the
// truncation is exact. With f slightly above 1 (alpha 65535 in the Lum modes) the result passes
// 65535; it is kept so for the blend and limited when stored.
inline int32_t LightenBy(int32_t c, int32_t num, int32_t den) {
  return c + static_cast<int32_t>(int64_t{65535 - c} * num / den);
}

// "Darken by f": c = trunc(c - c * f) = trunc(c * (den - num) / den). A factor above 1 (only at
// alphas the cut and ramp rules then clear, so the colour is never stored) is held at 0.
inline int32_t DarkenBy(int32_t c, int32_t num, int32_t den) {
  return den >= num ? static_cast<int32_t>(int64_t{c} * (den - num) / den) : 0;
}

// Shifts the colour by the alpha's distance from mid-grey: darker below 32767, lighter above.
inline void ShadeColour(PrePassPixel& p) {
  for (int32_t& c : p.c) {
    c = p.a < 32767 ? std::max(0, c - 2 * (32767 - p.a)) : std::min(65535, c + 2 * (p.a - 32767));
  }
}

// The colour rule of "Alpha Smooth Lum" (35, 39): lighten above mid-grey, darken below.
inline void SmoothLumColour(PrePassPixel& p, int32_t darkenDen) {
  for (int32_t& c : p.c) {
    c = p.a > 32767 ? LightenBy(c, p.a - 32767, 32767) : DarkenBy(c, 32767 - p.a, darkenDen);
  }
}

// "Alpha Smooth Lum3" (37, 38) moves the pivot up to 36862.
inline void SmoothLum3Colour(PrePassPixel& p) {
  for (int32_t& c : p.c) {
    c = p.a > 36862 ? LightenBy(c, p.a - 36862, 28672) : DarkenBy(c, 36862 - p.a, 30000);
  }
}

// Faint pixels (below 8191) vanish; the rest take the engine's alpha-layer opacity K.
inline void CutRule(PrePassPixel& p, int32_t K) {
  if (p.a == 0) return;
  p.a = p.a < 8191 ? 0 : K;
}

// As the cut rule, with a steep ramp from 8191 up to 9215 instead of a step.
inline void RampRule(PrePassPixel& p, int32_t K) {
  if (p.a == 0) return;
  if (p.a < 8191) {
    p.a = 0;
  } else if (p.a >= 9215) {
    p.a = K;
  } else {
    p.a = 65535 - std::min(65535, (9215 - p.a) * 64);
  }
}

// Between two layers of the same alpha mode: faint pixels vanish, the rest replace.
inline void MergeCutRule(PrePassPixel& p) {
  if (p.a < 8191) {
    p.a = 0;
  } else {
    p.da = 0;
  }
}

// As the merge-cut rule, with the ramp band multiplied in instead.
inline void MergeRampRule(PrePassPixel& p) {
  if (p.a < 8191) {
    p.a = 0;
  } else if (p.a >= 9215) {
    p.da = 0;
  } else {
    p.op = kModeMultiply;
  }
}

// The pre-pass of an alpha mode. K is the engine's alpha-layer opacity. When an alpha-mode layer
// merges into a layer of the same alpha mode (sameAlphaMode), most modes instead let the upper
// layer's covered pixels replace the lower ones (da = 0 makes the source copy over).
inline void ApplyAlphaModePrePass(int32_t mode, bool sameAlphaMode, int32_t K, PrePassPixel& p) {
  // Luminance alpha, layer mask and the replace rule do not depend on the flag.
  switch (mode) {
    case kModeLayerMask:
      p.a = 0;  // a mask adds no colour of its own; it acts on the layer below
      return;
    case kModeLuminanceAlpha:
      p.a = (p.c[0] + p.c[1] + p.c[2]) / 3;
      p.c[0] = p.c[1] = p.c[2] = 65535;
      return;
    case kModeLuminanceAlphaInvert:
      p.a = 65535 - (p.c[0] + p.c[1] + p.c[2]) / 3;
      p.c[0] = p.c[1] = p.c[2] = 0;
      return;
    default:
      break;
  }

  if (sameAlphaMode) {
    switch (mode) {
      case kModeAlphaSmooth2:
      case kModeAlphaSmoothLum4:
      case kModeAlphaSmoothLum5:
        MergeRampRule(p);
        return;
      case kModeAlphaSmoothLum:
      case kModeAlphaSmoothLum2:
      case kModeAlphaSmoothLum3:
        MergeCutRule(p);
        return;
      case kModeAlphaHighlight:
        if (p.a <= 32512) {
          p.a = 0;
        } else {
          p.da = 0;
        }
        return;
      default:
        if (p.a > 0) p.da = 0;
        return;
    }
  }

  switch (mode) {
    case kModeAlphaNormal:
      if (p.a > 0) p.a = K;
      return;
    case kModeAlphaFilter:
      // The alpha read upside down: transparent parts filter white over the layer below.
      p.a = 65535 - p.a;
      p.c[0] = p.c[1] = p.c[2] = 65535;
      return;
    case kModeAlphaBlackOutline:
    case kModeAlphaOverlayOutline:
      // Only the soft edge (neither clear nor opaque) is kept, as a black outline.
      if (p.a >= 1 && p.a <= 65279) {
        p.a = K;
        p.c[0] = p.c[1] = p.c[2] = 0;
      }
      return;
    case kModeAlphaOutlineTint1:
    case kModeAlphaOutlineTint2:
      if (p.a == 0) return;
      p.a = p.a >= 12287 ? K : 65535 - p.a;
      return;
    case kModeAlphaInvert:
      if (p.a > 0) p.a = 65535 - p.a;
      return;
    case kModeAlphaShader:
      if (p.a > 0) {
        p.c[0] = p.c[1] = p.c[2] = p.a;
        p.a = K;
      }
      return;
    case kModeAlphaShaderColor:
      if (p.a > 0) {
        ShadeColour(p);
        p.a = K;
      }
      return;
    case kModeAlphaShaderTexture2:
      if (p.a > 0) {
        ShadeColour(p);
        p.a = K;
        p.op = kModeTexturize2;
      }
      return;
    case kModeAlphaHighlightTexture2:
      if (p.a > 0) {
        if (p.a >= 32767) {
          for (int32_t& c : p.c) c = std::min(65535, c + 2 * (p.a - 32767));
          p.a = K;
        } else {
          const int32_t e = 2 * (32767 - p.a);
          p.a = p.a < e ? 0 : p.a - e;
        }
        p.op = kModeTexturize2;
      }
      return;
    case kModeAlphaSmooth:
      if (p.a > 0) {
        if (p.a >= 32767) {
          p.a = K;
        } else {
          const int32_t e = 4 * (32767 - p.a);
          p.a = p.a < e ? 0 : p.a - e;
        }
      }
      return;
    case kModeAlphaSmooth2:
      RampRule(p, K);
      return;
    // In the Lum modes the colour changes for every pixel, also where the alpha rule clears it.
    case kModeAlphaSmoothLum:
      SmoothLumColour(p, 32767);
      CutRule(p, K);
      return;
    case kModeAlphaSmoothLum2:
      SmoothLumColour(p, 65535);
      CutRule(p, K);
      return;
    case kModeAlphaSmoothLum3:
      SmoothLum3Colour(p);
      CutRule(p, K);
      return;
    case kModeAlphaSmoothLum4:
      SmoothLum3Colour(p);
      RampRule(p, K);
      return;
    case kModeAlphaSmoothLum5:
      SmoothLumColour(p, 32767);
      RampRule(p, K);
      return;
    case kModeAlphaHighlight:
      if (p.a > 32512) p.a = 0;  // fainter pixels keep their alpha
      return;
    default:
      return;
  }
}

}  // namespace render
