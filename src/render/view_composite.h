// The composite of one canvas position over the view render list, bottom to top. The running
// composite stays in floating point between entries (alpha A and unpremultiplied colour, 1.0 =
// 65280) and is truncated once at the end; entries that replace it outright keep their integer
// values instead, and the floating-point form is made from them only when a blend needs it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/view_blend.h"
#include "render/view_output.h"
#include "render/view_render_list.h"

namespace render {

class ViewComposite {
 public:
  bool Empty() const { return copied_ ? copy_[3] == 0 : A_ == 0.0; }

  void Copy(const int32_t colour[3], int32_t alpha) {
    copied_ = true;
    copy_[0] = colour[0], copy_[1] = colour[1], copy_[2] = colour[2], copy_[3] = alpha;
  }

  void Combine(int32_t op, const int32_t colour[3], int32_t a) {
    if (Empty()) {
      // Nothing below: the texture modes have nothing to texture, the rest lay their pixel down.
      if (op >= kViewOpTexturize && op <= kViewOpTexturize3) {
        const int32_t clear[3] = {0, 0, 0};
        Copy(clear, 0);
      } else {
        Copy(colour, a);
      }
    } else if (a >= 65280 && op == kViewOpNormal) {
      Copy(colour, 65535);
    } else {
      if (copied_) {
        A_ = copy_[3] * (1.0 / 65535.0);
        for (int k = 0; k < 3; ++k) c_[k] = copy_[k] * (1.0 / 65280.0);
        copied_ = false;
      }
      BlendOverViewComposite(op, colour, a, A_, c_);
    }
  }

  // The Normal-rule blend of a pixel of alpha 65535 over a filled composite: with Sa = 1 and R =
  // 1 each channel is Clamp01(Sc), Sc = s / 65280, and the alpha is 1.
  void SetOpaqueBlend(const int32_t colour[3]) {
    copied_ = false;
    A_ = 1.0;
    for (int k = 0; k < 3; ++k) c_[k] = Clamp01(colour[k] * kInvColorOne);
  }

  Pixel16 Finish() const {
    if (copied_)
      return {uint32_t(copy_[0]), uint32_t(copy_[1]), uint32_t(copy_[2]), uint32_t(copy_[3])};
    return {uint32_t(c_[0] * 65280.0), uint32_t(c_[1] * 65280.0), uint32_t(c_[2] * 65280.0),
            uint32_t(A_ * 65535.0)};
  }

 private:
  bool copied_ = true;
  int32_t copy_[4] = {0, 0, 0, 0};
  double A_ = 0.0;
  double c_[3] = {0.0, 0.0, 0.0};
};

// The alpha an entry brings at a position: the background counts as opaque, a "Layer Mask" entry
// above scales it by the mean of its colour where the mask has coverage.
inline int32_t EntryAlpha(const ViewEntry& e, const uint16_t* s, std::size_t at) {
  if (e.background) return 65535;
  int32_t a = s[3];
  if (e.clip && e.clip[at + 3] != 0) {
    const int32_t mean = (int32_t{e.clip[at]} + e.clip[at + 1] + e.clip[at + 2]) / 3;
    a = static_cast<int32_t>((int64_t{a} * mean) >> 16);
  }
  return a;
}

// One entry's pixel on its way into the composite: alpha after the layer mask, the alpha-mode
// pre-pass and the opacity; colour after the pre-pass; the operator.
struct EntryPixel {
  int32_t a;
  int32_t colour[3];
  int32_t op;
};

// False when the entry adds nothing at this position: transparent pixels of ordinary modes add
// nothing, while alpha modes read alpha as data.
inline bool PrepareEntry(const ViewEntry& e, std::size_t at, int32_t K, EntryPixel& p) {
  const uint16_t* s = e.pixels + at;
  if (s[3] == 0 && !e.alphaMode && !e.background) return false;
  p.a = EntryAlpha(e, s, at);
  p.colour[0] = s[0], p.colour[1] = s[1], p.colour[2] = s[2];
  p.op = e.mode;
  if (e.alphaMode) ViewAlphaPrePass(e.mode, K, p.a, p.colour, p.op);
  if (e.opacityScale) p.a = (p.a * e.opacityScale) >> 8;
  return true;
}

// Whether the composite after this pixel no longer depends on what lay below it, only on whether
// anything did. An operator-0 pixel of alpha 65280 or more is copied. A pixel of alpha 65535 under
// any other Normal-rule operator is blended with Sa = 1, where Dc * (1 - Sa) = 0 and R = Da + (1 -
// Da) rounds to exactly 1 for every Da in (0, 1]: the result is Sc over R = 1, whatever Dc and Da.
inline bool ReplacesBelow(const EntryPixel& p) {
  return (p.op == kViewOpNormal && p.a >= 65280) ||
         (p.a == 65535 && ModeInfo(p.op).rule == BlendRule::kNormal);
}

// Whether the composite of entries [0, end) at this position is not empty. An empty composite is
// filled by the first pixel with some alpha that is not of a texture operator, and a composite
// that holds something never becomes empty again (its alpha only grows or is replaced by an
// opaque one).
inline bool FilledBelow(const ViewRenderList& list, int32_t end, std::size_t at, int32_t K) {
  for (int32_t i = 0; i < end; ++i) {
    EntryPixel p;
    if (!PrepareEntry(list.entries[i], at, K, p) || p.a == 0) continue;
    if (p.op < kViewOpTexturize || p.op > kViewOpTexturize3) return true;
  }
  return false;
}

inline Pixel16 CompositeViewPixel(const ViewRenderList& list, std::size_t at, int32_t K) {
  ViewComposite comp;
  // A pixel that replaces whatever lies below it makes every entry under it irrelevant, except
  // for whether the composite there was empty; compositing starts at the topmost such pixel.
  int32_t next = 0;
  for (int32_t i = list.count - 1; i > 0; --i) {
    const ViewEntry& e = list.entries[i];
    EntryPixel p;
    if (!e.mayReplace || !PrepareEntry(e, at, K, p) || !ReplacesBelow(p)) continue;
    if (p.op == kViewOpNormal) {
      // A copy: alpha 65535 over a filled composite, its own alpha over an empty one.
      comp.Copy(p.colour, p.a == 65535 || FilledBelow(list, i, at, K) ? 65535 : p.a);
    } else if (FilledBelow(list, i, at, K)) {
      comp.SetOpaqueBlend(p.colour);
    } else {
      comp.Combine(p.op, p.colour, p.a);
    }
    next = i + 1;
    break;
  }
  for (int32_t i = next; i < list.count; ++i) {
    EntryPixel p;
    if (PrepareEntry(list.entries[i], at, K, p)) comp.Combine(p.op, p.colour, p.a);
  }
  return comp.Finish();
}

}  // namespace render
