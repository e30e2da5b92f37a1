// The per-pixel compositing rule of every merge mode: one source pixel onto one destination pixel.
// The compositing routine applies it to rectangles of layers; the view renderer applies the same
// rule for display.
#pragma once

#include <cstdint>

#include "render/alpha_mode_prepass.h"
#include "render/blend_rules.h"
#include "render/merge_modes.h"

namespace render {

// Everything about one compositing call that is the same for every pixel.
struct CompositeSetup {
  int32_t mode = 0;  // 0..44
  BlendRule rule = BlendRule::kNormal;
  bool alphaMode = false;  // modes 23..44
  bool useClip = false;    // a "Layer Mask" layer scales the source alpha
  bool alphaLock = false;  // the destination alpha is never written
  bool sameAlphaMode = false;
  int32_t opacityFactor = 256;        // a = (a * factor) >> 8; 256 leaves a unchanged
  int32_t alphaLayerOpacity = 65535;  // K, the alpha the alpha modes give to selected pixels
};

// Opacity is 0..256 with 256 opaque; 255 and above leave the alpha as it is, below that the alpha
// is scaled by (opacity + 1) / 256. Modes outside 0..44 composite as Normal.
inline CompositeSetup MakeCompositeSetup(int32_t mode, bool useClip, int32_t opacity,
                                         bool alphaLock, bool sameAlphaMode,
                                         uint16_t alphaLayerOpacity) {
  if (mode < 0 || mode >= kMergeModeCount) mode = kModeNormal;
  if (opacity < 0) opacity = 0;
  CompositeSetup k;
  k.mode = mode;
  k.rule = kMergeModes[mode].rule;
  k.alphaMode = (kMergeModes[mode].flags & kAlphaModeFlag) != 0;
  k.useClip = useClip;
  k.alphaLock = alphaLock;
  k.sameAlphaMode = sameAlphaMode;
  k.opacityFactor = opacity < 255 ? opacity + 1 : 256;
  k.alphaLayerOpacity = alphaLayerOpacity;
  return k;
}

// The alpha a "Layer Mask" pixel leaves of sa: scaled by the mean of the mask's colour channels,
// so white leaves at most 65534. A mask pixel with alpha 0 leaves sa alone.
inline int32_t MaskedAlpha(int32_t sa, const uint16_t* clip) {
  if (clip[3] == 0) return sa;
  const uint32_t m = (uint32_t{clip[0]} + clip[1] + clip[2]) / 3;
  return static_cast<int32_t>((static_cast<uint32_t>(sa) * m) >> 16);
}

// A colour channel as stored: the alpha-mode lighten rules can carry it past 65535.
inline uint16_t StoredChannel(int32_t c) { return static_cast<uint16_t>(c < 65535 ? c : 65535); }

// Composites source pixel s (with its "Layer Mask" pixel clip, read only when k.useClip) onto
// destination pixel d. Both point at four channels: red, green, blue, alpha.
inline void CompositePixel(const uint16_t* s, const uint16_t* clip, uint16_t* d,
                           const CompositeSetup& k) {
  const int32_t sa = s[3];
  // 1. Transparent pixels of the ordinary modes leave the destination untouched. The alpha modes
  //    give meaning to every alpha, 0 included.
  if (sa == 0 && !k.alphaMode) return;

  // 2. The layer mask.
  PrePassPixel p{k.useClip ? MaskedAlpha(sa, clip) : sa, {s[0], s[1], s[2]}, d[3], k.mode};

  // 3. The alpha modes' pre-pass.
  if (k.alphaMode) ApplyAlphaModePrePass(k.mode, k.sameAlphaMode, k.alphaLayerOpacity, p);

  // 4. Opacity.
  p.a = (p.a * k.opacityFactor) >> 8;

  // 5. Copies first; only a pixel that truly meets another is blended.
  BlendedPixel out;
  if (p.da == 0) {
    if (p.a == 0 || (kMergeModes[p.op].flags & kClearsOverEmpty)) {
      out = {0, 0, 0, 0};  // the texture modes need something to texture
    } else {
      out = {p.c[0], p.c[1], p.c[2], p.a};
    }
  } else if (p.a == 0) {
    return;  // the destination keeps its colour and alpha
  } else if (p.a >= 65280 && p.op == kModeNormal) {
    out = {p.c[0], p.c[1], p.c[2], p.a};
  } else {
    out = BlendPixelByRule(kMergeModes[p.op].rule, p.c[0], p.c[1], p.c[2], p.a, d[0], d[1], d[2],
                           p.da);
  }

  // 6. Colour always, alpha unless locked.
  d[0] = StoredChannel(out.c0);
  d[1] = StoredChannel(out.c1);
  d[2] = StoredChannel(out.c2);
  if (!k.alphaLock) d[3] = static_cast<uint16_t>(out.a);
}

}  // namespace render
