// The composite of one canvas position over the view render list, bottom to top. The running
// composite stays in floating point between entries (alpha A and unpremultiplied colour, 1.0 =
// 65280) and is truncated once at the end; entries that replace it outright keep their integer
// values instead.
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/view_blend.h"
#include "render/view_output.h"
#include "render/view_render_list.h"

namespace render {

struct ViewComposite {
  double A = 0.0;
  double c[3] = {0.0, 0.0, 0.0};
  // Set while the composite holds an entry's pixel copied whole: its integer values are final.
  bool copied = true;
  int32_t copy[4] = {0, 0, 0, 0};

  void Copy(const int32_t colour[3], int32_t alpha) {
    copied = true;
    copy[0] = colour[0], copy[1] = colour[1], copy[2] = colour[2], copy[3] = alpha;
    A = alpha * (1.0 / 65535.0);
    for (int k = 0; k < 3; ++k) c[k] = colour[k] * (1.0 / 65280.0);
  }

  void Combine(int32_t op, const int32_t colour[3], int32_t a) {
    if (A == 0.0) {
      // Nothing below: the texture modes have nothing to texture, the rest lay their pixel down.
      if (op >= 19 && op <= kModeTexturize3)
        *this = ViewComposite{};
      else
        Copy(colour, a);
    } else if (a >= 65280 && op == 0) {
      Copy(colour, 65535);
    } else {
      BlendOverViewComposite(op, colour, a, A, c);
      copied = false;
    }
  }

  Pixel16 Finish() const {
    if (copied)
      return {uint32_t(copy[0]), uint32_t(copy[1]), uint32_t(copy[2]), uint32_t(copy[3])};
    return {uint32_t(c[0] * 65280.0), uint32_t(c[1] * 65280.0), uint32_t(c[2] * 65280.0),
            uint32_t(A * 65535.0)};
  }
};

inline Pixel16 CompositeViewPixel(const ViewRenderList& list, std::size_t at, int32_t K) {
  ViewComposite comp;
  for (int32_t i = 0; i < list.count; ++i) {
    const ViewEntry& e = list.entries[i];
    const uint16_t* s = e.pixels + at;
    int32_t a;
    if (e.background) {
      a = 65535;
    } else {
      a = s[3];
      // Transparent pixels of ordinary modes add nothing; alpha modes read alpha as data.
      if (a == 0 && !e.alphaMode) continue;
      if (e.clip && e.clip[at + 3] != 0) {
        const int32_t mean = (int32_t{e.clip[at]} + e.clip[at + 1] + e.clip[at + 2]) / 3;
        a = static_cast<int32_t>((int64_t{a} * mean) >> 16);
      }
    }
    int32_t colour[3] = {s[0], s[1], s[2]};
    int32_t op = e.mode;
    if (e.alphaMode) ViewAlphaPrePass(e.mode, K, a, colour, op);
    if (e.opacityScale) a = (a * e.opacityScale) >> 8;
    comp.Combine(op, colour, a);
  }
  return comp.Finish();
}

}  // namespace render
