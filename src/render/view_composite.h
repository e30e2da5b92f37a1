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

inline Pixel16 CompositeViewPixel(const ViewRenderList& list, std::size_t at, int32_t K) {
  // An opaque Normal pixel replaces whatever lies below it, so compositing starts at the topmost
  // one; every entry under it would be overwritten.
  int32_t start = 0;
  for (int32_t i = list.count - 1; i > 0; --i) {
    const ViewEntry& e = list.entries[i];
    if (e.opaqueCopies && EntryAlpha(e, e.pixels + at, at) >= 65280) {
      start = i;
      break;
    }
  }
  ViewComposite comp;
  for (int32_t i = start; i < list.count; ++i) {
    const ViewEntry& e = list.entries[i];
    const uint16_t* s = e.pixels + at;
    // Transparent pixels of ordinary modes add nothing; alpha modes read alpha as data.
    if (s[3] == 0 && !e.alphaMode && !e.background) continue;
    int32_t a = EntryAlpha(e, s, at);
    int32_t colour[3] = {s[0], s[1], s[2]};
    int32_t op = e.mode;
    if (e.alphaMode) ViewAlphaPrePass(e.mode, K, a, colour, op);
    if (e.opacityScale) a = (a * e.opacityScale) >> 8;
    comp.Combine(op, colour, a);
  }
  return comp.Finish();
}

}  // namespace render
