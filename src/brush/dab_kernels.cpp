// The colour kernels of plain paint (mixMode 32) and multiply (33 and every value below 32).
#include <algorithm>

#include "brush/dab_internal.h"
#include "brush/dab_vector_kernels.h"
#include "brush/paint_pixel.h"

namespace brush {
namespace {

// n / na for the opaque target (na = 65535) by a constant divisor, which the compiler turns into
// a multiplication; the quotient is the same.
inline uint32_t DivideByAlpha(uint32_t n, uint32_t na) { return na == 65535 ? n / 65535u : n / na; }

template <bool kPlain>
void LowRuleSpan(const PaintSpan& span, const PaintRules& r) {
  const uint32_t* coverage = span.coverage;
  for (int32_t i = 0; i < span.count; ++i) {
    const uint32_t a = coverage[i];
    if (a == 0) continue;
    const uint16_t* sp = span.source + span.sourceStep * i;
    const uint32_t s[4] = {sp[0], sp[1], sp[2], sp[3]};
    uint16_t* dp = span.target + 4 * i;
    uint32_t d[4] = {dp[0], dp[1], dp[2], dp[3]};
    const uint32_t da = d[3];
    uint32_t n[3] = {d[0], d[1], d[2]};
    uint32_t na;
    if (da == 0) {
      // A transparent pixel takes the source colour unchanged.
      n[0] = s[0], n[1] = s[1], n[2] = s[2];
      na = (a * s[3]) >> 16;
      d[0] = d[1] = d[2] = 0;  // its colour counts as nothing for the remix
    } else if (kPlain && r.blending) {
      // Carried paint spreads linearly by the coverage, colour and alpha alike.
      const uint32_t k = 65536 - a;
      na = (((k * da) >> 8) + ((a * s[3]) >> 8)) >> 8;
      if (s[3] != 0) {
        for (int c = 0; c < 3; ++c) n[c] = (((k * d[c]) >> 8) + ((a * s[c]) >> 8)) >> 8;
      }
    } else if (r.erase) {
      na = ((65535 - a) * da) >> 16;
    } else if (kPlain) {
      // "Over" with 16-bit truncations: the premultiplied pixel d.da.(1 - p) (its low 16 bits
      // dropped) plus p.s, over the new alpha p + da.(1 - p). A result past 65535 (possible for
      // a near-white source on a nearly clear pixel) is limited rather than wrapped.
      const uint32_t p = (a * s[3]) >> 16;
      const uint32_t q = 65535 - p;
      na = (((65535 - da) * p) >> 16) + da;
      for (int c = 0; c < 3; ++c) {
        const uint32_t kept = (((d[c] * da) >> 16) * q) & 0xFFFF0000u;
        const uint32_t laid = ((p * s[c]) >> 16) << 16;
        n[c] = std::min<uint32_t>(DivideByAlpha(kept + laid, na), 65535);
      }
    } else {
      // Multiply over: s.d + s.(1 - da) + d.(1 - p) in premultiplied terms, over the new alpha.
      const uint32_t p = (a * s[3]) / 65535;
      na = ((65535 - da) * p) / 65535 + da;
      for (int c = 0; c < 3; ++c) {
        const uint32_t ps = (p * s[c]) >> 16, pd = (d[c] * da) >> 16;
        const uint64_t sum = (65535 - p) * pd / 65535 + (65535 - da) * ps / 65535 + pd * ps / 65535;
        n[c] = uint32_t(std::min<uint64_t>(sum * 65535 / na, 65535));
      }
    }
    if (r.remix) Remix(r.blend + 4 * std::size_t(span.position[i]), d, s, r);
    WriteBack(dp, n[0], n[1], n[2], na, da, r);
  }
}

// Plain paint of the dab colour, the common brush: the same rule as LowRuleSpan<true> without the
// blend buffer and the eraser. Products that depend only on the coverage are kept from the last
// pixel with the same coverage, and the reciprocal of the new alpha from the last pixel with the
// same one (a stroke over its own paint meets the same alphas again and again). Pairs of pixels
// go through the vector kernel where the processor has one and the locks do not interfere.
void PlainConstantSpan(const PaintSpan& span, const PaintRules& r) {
  const uint16_t* src = span.source;
  int32_t i = 0;
  if (PlainWriteBack(r)) {
    if (const PlainGroupsKernel groups = VectorPlainKernel())
      i = groups(span.target, span.coverage, span.count, src);
  }
  const uint32_t s[3] = {src[0], src[1], src[2]}, sa = src[3];
  uint32_t lastA = 0, p = 0, q = 65535, laid[3] = {};
  uint32_t lastNa = 0;
  double scale = 0;
  for (; i < span.count; ++i) {
    const uint32_t a = span.coverage[i];
    if (a == 0) continue;
    uint16_t* dp = span.target + 4 * i;
    const uint32_t da = dp[3];
    if (da == 0) {
      WriteBack(dp, s[0], s[1], s[2], (a * sa) >> 16, 0, r);
      continue;
    }
    if (a != lastA) {
      lastA = a;
      p = (a * sa) >> 16;
      q = 65535 - p;
      for (int c = 0; c < 3; ++c) laid[c] = (p * s[c]) >> 16;
    }
    const uint32_t na = (((65535 - da) * p) >> 16) + da;
    if (na != lastNa) lastNa = na, scale = 65536.0 / na;
    uint32_t n[3];
    for (int c = 0; c < 3; ++c)
      n[c] = std::min(OverQuotient((((dp[c] * da) >> 16) * q) >> 16, laid[c], scale), 65535u);
    WriteBack(dp, n[0], n[1], n[2], na, da, r);
  }
}

}  // namespace

PaintKernel LowRuleKernel(int32_t mixMode, const PaintRules& rules, bool constantSource) {
  if (mixMode != kPlainPaint) return &LowRuleSpan<false>;
  if (constantSource && !rules.blending && !rules.erase) return &PlainConstantSpan;
  return &LowRuleSpan<true>;
}

}  // namespace brush
