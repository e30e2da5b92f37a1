// The pair rules of the smearing effects that also run on vector lanes (smear_lanes_avx2.cpp).
// Each rewrites the next pixel of a pair from its predecessor, in place.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "process/effects/effect_context.h"

namespace process {

// Value Blur and Noise Reduction: the next pixel is pulled towards its predecessor,
// next' = ((w next) >> 8 + ((65535 - w) prev) >> 8) >> 8 per byte, with the weight w and whether
// to mix at all chosen from the two pixels' luminances.
struct SmearMix {
  // By direction (Value Blur): a brighter predecessor mixes with weight brighter, a darker one
  // with darker; equal luminances or a weight of 0 leave the pixel alone.
  // By threshold (Noise Reduction): luminances closer than threshold mix with weight brighter.
  bool byThreshold = false;
  uint32_t brighter = 0, darker = 0;
  int32_t threshold = 0;

  void operator()(const uint8_t* prev, uint8_t* next, const uint8_t* = nullptr) const {
    const int32_t lp = Luminance(prev), ln = Luminance(next);
    uint32_t w;
    if (byThreshold) {
      if (!(std::abs(lp - ln) < threshold)) return;
      w = brighter;
    } else {
      w = lp > ln ? brighter : lp < ln ? darker : 0;
      if (w == 0) return;
    }
    // Each product is shifted by 8 first so that the sum stays within 32 bits; the sum is at
    // most 65535 * 255 / 256, so the result never passes 255.
    for (int c = 0; c < 4; ++c)
      next[c] = static_cast<uint8_t>((((w * next[c]) >> 8) + (((65535 - w) * prev[c]) >> 8)) >> 8);
  }
};

// Anti Alias: where the luminance drops sharply from the current pixel to the next (by more than
// dropThreshold) and the pixel one line further on beside the next is at least as bright as the
// current one, the next pixel keeps dropKeep of itself and takes the rest from the current one;
// where it rises sharply (by more than riseThreshold) and the beside pixel is at most as bright,
// it keeps riseKeep. A beside pixel outside the picture reads as black.
struct AntiAliasRule {
  int32_t dropThreshold = 0, riseThreshold = 0;
  double dropKeep = 0, riseKeep = 0;

  void operator()(const uint8_t* current, uint8_t* next, const uint8_t* beside) const {
    const int32_t lc = Luminance(current), ln = Luminance(next);
    const int32_t d = beside ? Luminance(beside) : 0;
    double keep;
    if (lc - ln > dropThreshold && lc <= d)
      keep = dropKeep;
    else if (ln - lc > riseThreshold && d <= lc)
      keep = riseKeep;
    else
      return;
    for (int c = 0; c < 4; ++c) next[c] = ClampTruncByte(next[c] * keep + current[c] * (1 - keep));
  }
};

// Run the eight smear passes of a rule over the destination, several lines at once on vector
// registers; every line keeps its own order, so the result is that of the pair rule taken line
// by line. False, having done nothing, where the CPU level is below AVX2.
bool RunSmearVector(const EffectContext& context, const SmearMix& rule);
bool RunSmearVector(const EffectContext& context, const AntiAliasRule& rule);

// The AVX2 passes themselves; call only where the CPU level allows AVX2.
bool RunSmearAvx2(const EffectContext& context, const SmearMix& rule);
bool RunSmearAvx2(const EffectContext& context, const AntiAliasRule& rule);

}  // namespace process
