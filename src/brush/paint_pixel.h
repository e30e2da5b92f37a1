// The last two steps of every colour kernel: the write-back to the target pixel through the locks,
// and the remix of the meeting of paint and pixel back into the blend buffer.
#pragma once

#include <algorithm>
#include <cstdint>

#include "brush/dab_internal.h"

namespace brush {

// Writes the new colour n and alpha na over the target pixel d, whose alpha was da.
inline void WriteBack(uint16_t* d, uint32_t n0, uint32_t n1, uint32_t n2, uint32_t na, uint32_t da,
                      const PaintRules& r) {
  if (!r.erase) {
    if (r.writeColour) {
      d[0] = uint16_t(n0), d[1] = uint16_t(n1), d[2] = uint16_t(n2);
    }
    // Under the blob lock alpha only changes where the old and the new alpha are both solid.
    if (r.alphaWritable && (!r.blobLocked || (da > 0x1FFF && na > 0x1FFF))) {
      d[3] = uint16_t(r.alphaLevel > 0 ? uint32_t(r.alphaLevel) : na);
    }
    return;
  }
  // Erasing writes alpha only; under the blob lock solid pixels keep a faint remainder.
  if (!r.blobLocked) {
    d[3] = uint16_t(na);
  } else if (da > 0x1FFF) {
    d[3] = uint16_t(std::max<uint32_t>(na, 0x23FF));
  }
}

// The blend pixel q becomes the meeting of the target d (as the colour rule saw it) and the
// source s, weighted by the blend strength. Colour channels gain 1 so that dark paint keeps
// moving; they are limited so that white never wraps.
inline void Remix(uint16_t* q, const uint32_t* d, const uint32_t* s, const PaintRules& r) {
  if (r.remixInRange && s[3] != 0 && d[3] != 0) {
    const uint32_t bs = uint32_t(r.blendStrength), bi = uint32_t(r.blendInverse);
    for (int c = 0; c < 3; ++c)
      q[c] = uint16_t(std::min<uint32_t>(((d[c] * bi + bs * s[c]) >> 8) + 1, 65535));
    q[3] = uint16_t((d[3] * bi + bs * s[3]) >> 8);
    return;
  }
  const int64_t bs = r.blendStrength, bi = r.blendInverse;
  if (s[3] == 0) {
    q[0] = uint16_t(d[0]), q[1] = uint16_t(d[1]), q[2] = uint16_t(d[2]);
    q[3] = Clamp16((int64_t{d[3]} * bi) >> 8);
  } else if (d[3] == 0) {
    q[0] = uint16_t(s[0]), q[1] = uint16_t(s[1]), q[2] = uint16_t(s[2]);
    q[3] = Clamp16((bs * s[3]) >> 8);
  } else {
    for (int c = 0; c < 3; ++c) q[c] = Clamp16(((d[c] * bi + bs * s[c]) >> 8) + 1);
    q[3] = Clamp16((d[3] * bi + bs * s[3]) >> 8);
  }
}

}  // namespace brush
