// The blends of a view span by one of the common rules, four composites at a time on AVX2:
// BlendOverViewComposite written again on four lanes, with the same operations in the same order
// (this file is built without contraction into fused multiply-adds), so each composite comes out
// as the scalar blend leaves it.
#include "render/view_span.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cstring>

#include "render/pixel_lanes_avx2.h"
#include "render/rule_lanes_avx2.h"
#endif

namespace render {

#if defined(__x86_64__) || defined(__i386__)
namespace {

using namespace rule_lanes;

// 32-bit lane masks (all bits set for true) to the 64-bit masks of double lanes, and back.
inline D4 Wide(__m128i mask) { return _mm256_castsi256_pd(_mm256_cvtepi32_epi64(mask)); }
inline __m128i Narrow(D4 mask) {
  const __m256i low = _mm256_permutevar8x32_epi32(_mm256_castpd_si256(mask),
                                                  _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6));
  return _mm256_castsi256_si128(low);
}
inline __m128i Load4(const int32_t* p) {
  return _mm_load_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store4(int32_t* p, __m128i v) {
  _mm_store_si128(reinterpret_cast<__m128i*>(p), v);
}

// BlendOverViewComposite of source (s, a) over composites j..j+3 by one rule, kept where take is
// set.
template <BlendRule kRule>
inline void BlendFour(ViewSpanState& st, int32_t j, __m128i a, const __m128i s[3], D4 take) {
  const D4 one = Splat(1.0);
  const D4 Sa = _mm256_cvtepi32_pd(a) * Splat(kInvAlphaOne);
  const D4 Da = _mm256_load_pd(st.A + j);
  const D4 R = lanes::Clamp01(AddsAlphas(kRule) ? Sa + Da : Da + Sa * (one - Da));
  const D4 perR = one / R;
  for (int k = 0; k < 3; ++k) {
    const D4 u = _mm256_load_pd(st.c[k] + j);
    const D4 Sc = _mm256_cvtepi32_pd(s[k]) * Splat(kInvColorOne) * Sa;
    const D4 Dc = u * Da;
    const D4 c = lanes::Clamp01(RuleX<kRule>(Sc, Dc, Sa, Da) * perR);
    _mm256_store_pd(st.c[k] + j, _mm256_blendv_pd(u, c, take));
  }
  _mm256_store_pd(st.A + j, _mm256_blendv_pd(Da, R, take));
}

template <BlendRule kRule>
void BlendSpanAvx2(ViewSpanState& st, int32_t count) {
  for (int32_t j = 0; j < count; j += 4) {
    uint32_t marks;
    std::memcpy(&marks, st.blend + j, 4);
    if (marks == 0) continue;
    const __m256i wide = _mm256_cvtepu8_epi64(_mm_cvtsi32_si128(int32_t(marks)));
    const D4 take = _mm256_castsi256_pd(_mm256_cmpgt_epi64(wide, _mm256_setzero_si256()));
    const __m128i s[3] = {Load4(st.s[0] + j), Load4(st.s[1] + j), Load4(st.s[2] + j)};
    BlendFour<kRule>(st, j, Load4(st.a + j), s, take);
  }
}

// Composites j..j+3 take the integer pixel (colour, alpha) where take is set, with A and c made
// from it as the scalar copy makes them.
inline void CopyFour(ViewSpanState& st, int32_t j, __m128i take, const __m128i colour[3],
                              __m128i alpha) {
  const D4 takeD = Wide(take);
  for (int k = 0; k < 3; ++k) {
    Store4(st.copy[k] + j, _mm_blendv_epi8(Load4(st.copy[k] + j), colour[k], take));
    const D4 c = _mm256_cvtepi32_pd(colour[k]) * Splat(1.0 / 65280.0);
    _mm256_store_pd(st.c[k] + j, _mm256_blendv_pd(_mm256_load_pd(st.c[k] + j), c, takeD));
  }
  Store4(st.copy[3] + j, _mm_blendv_epi8(Load4(st.copy[3] + j), alpha, take));
  const D4 A = _mm256_cvtepi32_pd(alpha) * Splat(1.0 / 65535.0);
  _mm256_store_pd(st.A + j, _mm256_blendv_pd(_mm256_load_pd(st.A + j), A, takeD));
  Store4(st.copied + j, _mm_or_si128(Load4(st.copied + j), take));
}

// One entry of an ordinary mode (no alpha pre-pass, no layer mask) over the span. Per position,
// as the scalar steps: a clear pixel adds nothing; under the covering entry it only marks the
// position filled; at the covering entry it starts the composite; above it, it is combined: laid
// down over an empty composite, copied when opaque under operator 0, else blended.
template <BlendRule kRule>
void EntrySpanAvx2(ViewSpanState& st, int32_t count, const ViewEntryConstants& e,
                            const uint16_t* row) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i ones = _mm_set1_epi32(-1);
  const __m128i index = _mm_set1_epi32(e.index);
  const __m128i full = _mm_set1_epi32(65535);
  const bool texture = e.mode >= kModeTexturize && e.mode <= kModeTexturize3;
  const bool normalOp = e.mode == kModeNormal;
  for (int32_t j = 0; j < count; j += 4) {
    // Positions under a covering pixel whose composite below is known to be filled need nothing
    // from this entry: such groups are not even read.
    const __m128i start = Load4(st.start + j);
    const __m128i filled = _mm_xor_si128(_mm_cmpeq_epi32(Load4(st.filled + j), zero), ones);
    const __m128i done = _mm_and_si128(_mm_cmpgt_epi32(start, index), filled);
    if (_mm_test_all_ones(done)) continue;
    if (row) {
      lanes::Channels p;
      if (j + 4 <= count) {
        p = lanes::Split(row + 4 * j);
      } else {
        uint16_t last[16] = {};
        std::memcpy(last, row + 4 * j, std::size_t(count - j) * 8);
        p = lanes::Split(last);
      }
      for (int k = 0; k < 3; ++k) Store4(st.s[k] + j, p.c[k]);
      Store4(st.a + j, p.a);
    }
    const __m128i raw = Load4(st.a + j);
    const __m128i live = e.background ? ones : _mm_xor_si128(_mm_cmpeq_epi32(raw, zero), ones);
    if (_mm_testz_si128(live, live)) continue;
    __m128i a = e.background ? full : raw;
    if (e.opacityScale) a = _mm_srli_epi32(_mm_mullo_epi32(a, _mm_set1_epi32(e.opacityScale)), 8);
    const __m128i colour[3] = {Load4(st.s[0] + j), Load4(st.s[1] + j), Load4(st.s[2] + j)};
    const __m128i below = _mm_and_si128(live, _mm_cmpgt_epi32(start, index));
    const __m128i atStart =
        e.index > 0 ? _mm_and_si128(live, _mm_cmpeq_epi32(start, index)) : zero;
    const __m128i combine = _mm_andnot_si128(_mm_or_si128(below, atStart), live);

    if (!_mm_testz_si128(below, below) && !texture) {
      const __m128i lays = _mm_andnot_si128(_mm_cmpeq_epi32(a, zero), below);
      Store4(st.filled + j, _mm_or_si128(filled, lays));
    }

    __m128i copies = zero, copyAlpha = a, opaqueBlend = zero;
    __m128i copyColour[3] = {colour[0], colour[1], colour[2]};
    D4 blends = _mm256_setzero_pd();
    if (!_mm_testz_si128(combine, combine)) {
      const __m128i empty =
          _mm_and_si128(combine, Narrow(_mm256_cmp_pd(_mm256_load_pd(st.A + j),
                                                      _mm256_setzero_pd(), _CMP_EQ_OQ)));
      // Over an empty composite the texture operators leave it clear, the rest lay their pixel.
      copies = empty;
      if (texture) {
        for (auto& c : copyColour) c = _mm_andnot_si128(empty, c);
        copyAlpha = _mm_andnot_si128(empty, copyAlpha);
      }
      __m128i rest = _mm_andnot_si128(empty, combine);
      if (normalOp) {
        const __m128i opaque = _mm_and_si128(rest, _mm_cmpgt_epi32(a, _mm_set1_epi32(65279)));
        copies = _mm_or_si128(copies, opaque);
        copyAlpha = _mm_blendv_epi8(copyAlpha, full, opaque);
        rest = _mm_andnot_si128(opaque, rest);
      }
      blends = Wide(rest);
    }
    if (!_mm_testz_si128(atStart, atStart)) {
      if (normalOp) {
        // A copy: alpha 65535 over a filled composite, its own alpha over an empty one.
        const __m128i fills = _mm_or_si128(filled, _mm_cmpeq_epi32(a, full));
        copies = _mm_or_si128(copies, atStart);
        copyAlpha = _mm_blendv_epi8(copyAlpha, _mm_blendv_epi8(a, full, fills), atStart);
      } else {
        // Over a filled composite the Normal rule with alpha 1 leaves the clamped source colour;
        // over an empty one the pixel is laid down.
        opaqueBlend = _mm_and_si128(atStart, filled);
        copies = _mm_or_si128(copies, _mm_andnot_si128(filled, atStart));
      }
    }
    if (_mm256_movemask_pd(blends)) {
      BlendFour<kRule>(st, j, a, colour, blends);
      Store4(st.copied + j, _mm_andnot_si128(Narrow(blends), Load4(st.copied + j)));
    }
    if (!_mm_testz_si128(copies, copies)) CopyFour(st, j, copies, copyColour, copyAlpha);
    if (!_mm_testz_si128(opaqueBlend, opaqueBlend)) {
      const D4 take = Wide(opaqueBlend);
      for (int k = 0; k < 3; ++k) {
        const D4 c = lanes::Clamp01(_mm256_cvtepi32_pd(colour[k]) * Splat(kInvColorOne));
        _mm256_store_pd(st.c[k] + j, _mm256_blendv_pd(_mm256_load_pd(st.c[k] + j), c, take));
      }
      _mm256_store_pd(st.A + j, _mm256_blendv_pd(_mm256_load_pd(st.A + j), Splat(1.0), take));
      Store4(st.copied + j, _mm_andnot_si128(opaqueBlend, Load4(st.copied + j)));
    }
  }
}

// Indexed by rule; null for the rules without lanes. Filled at compile time, so nothing in this
// file runs before the caller has checked the processor.
constexpr ViewSpanBlendKernels MakeBlendKernels() {
  ViewSpanBlendKernels t{};
  t[static_cast<int>(BlendRule::kNormal)] = &BlendSpanAvx2<BlendRule::kNormal>;
  t[static_cast<int>(BlendRule::kMultiply)] = &BlendSpanAvx2<BlendRule::kMultiply>;
  t[static_cast<int>(BlendRule::kScreen)] = &BlendSpanAvx2<BlendRule::kScreen>;
  t[static_cast<int>(BlendRule::kOverlay)] = &BlendSpanAvx2<BlendRule::kOverlay>;
  t[static_cast<int>(BlendRule::kSoftLight)] = &BlendSpanAvx2<BlendRule::kSoftLight>;
  t[static_cast<int>(BlendRule::kDarken)] = &BlendSpanAvx2<BlendRule::kDarken>;
  t[static_cast<int>(BlendRule::kLighten)] = &BlendSpanAvx2<BlendRule::kLighten>;
  t[static_cast<int>(BlendRule::kAdd)] = &BlendSpanAvx2<BlendRule::kAdd>;
  t[static_cast<int>(BlendRule::kSubtract)] = &BlendSpanAvx2<BlendRule::kSubtract>;
  t[static_cast<int>(BlendRule::kDodge)] = &BlendSpanAvx2<BlendRule::kDodge>;
  t[static_cast<int>(BlendRule::kBurn)] = &BlendSpanAvx2<BlendRule::kBurn>;
  return t;
}

constexpr ViewSpanEntryKernels MakeEntryKernels() {
  ViewSpanEntryKernels t{};
  t[static_cast<int>(BlendRule::kNormal)] = &EntrySpanAvx2<BlendRule::kNormal>;
  t[static_cast<int>(BlendRule::kMultiply)] = &EntrySpanAvx2<BlendRule::kMultiply>;
  t[static_cast<int>(BlendRule::kScreen)] = &EntrySpanAvx2<BlendRule::kScreen>;
  t[static_cast<int>(BlendRule::kOverlay)] = &EntrySpanAvx2<BlendRule::kOverlay>;
  t[static_cast<int>(BlendRule::kSoftLight)] = &EntrySpanAvx2<BlendRule::kSoftLight>;
  t[static_cast<int>(BlendRule::kDarken)] = &EntrySpanAvx2<BlendRule::kDarken>;
  t[static_cast<int>(BlendRule::kLighten)] = &EntrySpanAvx2<BlendRule::kLighten>;
  t[static_cast<int>(BlendRule::kAdd)] = &EntrySpanAvx2<BlendRule::kAdd>;
  t[static_cast<int>(BlendRule::kSubtract)] = &EntrySpanAvx2<BlendRule::kSubtract>;
  t[static_cast<int>(BlendRule::kDodge)] = &EntrySpanAvx2<BlendRule::kDodge>;
  t[static_cast<int>(BlendRule::kBurn)] = &EntrySpanAvx2<BlendRule::kBurn>;
  return t;
}

}  // namespace

constinit const ViewSpanBlendKernels kViewSpanBlendAvx2 = MakeBlendKernels();
constinit const ViewSpanEntryKernels kViewSpanEntryAvx2 = MakeEntryKernels();

#else

constinit const ViewSpanBlendKernels kViewSpanBlendAvx2{};
constinit const ViewSpanEntryKernels kViewSpanEntryAvx2{};

#endif

}  // namespace render
