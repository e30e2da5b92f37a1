// The view span on AVX2: whole entries of the common rules and alpha modes, their covering tests,
// and the blends left over by the scalar steps, four composites at a time. BlendOverViewComposite
// and the alpha-mode pre-pass are written again on lanes with the same operations in the same
// order (this file is built without contraction into fused multiply-adds), so each composite
// comes out as the scalar steps leave it.
#include "render/view_span.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cstring>
#include <utility>

#include "render/alpha_prepass_lanes_avx2.h"
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
inline void Store4(int32_t* p, __m128i v) { _mm_store_si128(reinterpret_cast<__m128i*>(p), v); }

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

// Four pixels of an entry, positions j..j+3 of the span; past the span's end a contiguous row
// is not read (those lanes compute on zeros and are never kept).
inline lanes::Channels LoadFour(const SpanPixels& px, int32_t j, int32_t count) {
  if (px.cols) {
    const __m256i v =
        _mm256_i32gather_epi64(reinterpret_cast<const long long*>(px.base), Load4(px.cols + j), 8);
    return lanes::Split(v);
  }
  if (j + 4 <= count) return lanes::Split(px.base + 4 * j);
  uint16_t last[16] = {};
  std::memcpy(last, px.base + 4 * j, std::size_t(count - j) * 8);
  return lanes::Split(last);
}

// A contiguous span asks for the line of the next span that lies where it reads now, so that the
// next span finds each entry's pixels in the cache (the entries of a span are read one after
// another, which breaks the processor's own stream detection at every span).
inline void AskAhead(const SpanPixels& px, int32_t j) {
  if (!px.cols && (j & 7) == 0)
    _mm_prefetch(reinterpret_cast<const char*>(px.base + 4 * (j + kViewSpan)), _MM_HINT_T0);
}

// An entry's four pixels as PrepareEntry leaves them before the opacity: the background counts
// as opaque, and an alpha mode's pre-pass reinterprets alpha and colour. live: the pixel takes
// part (every pixel of an alpha mode and of the background, elsewhere those with some alpha).
template <int32_t kAlphaMode>
inline __m128i PrepareFour(const ViewEntryConstants& e, lanes::Channels& p) {
  const __m128i ones = _mm_set1_epi32(-1);
  if (e.background) p.a = _mm_set1_epi32(65535);
  if constexpr (kAlphaMode >= 0) {
    prepass_lanes::PrePassFour<kAlphaMode>(_mm_set1_epi32(e.K), p.a, p.c);
    return ones;
  } else {
    if (e.background) return ones;
    return _mm_xor_si128(_mm_cmpeq_epi32(p.a, _mm_setzero_si128()), ones);
  }
}

// One entry without layer mask over the span, kAlphaMode its mode when it is an alpha mode (its
// operator is then that mode, of the Normal rule), -1 for an ordinary mode of rule kRule. Per
// position, as the scalar steps: a pixel that does not take part adds nothing; under the
// covering entry it only marks the position filled; at the covering entry it starts the
// composite; above it, it is combined: laid down over an empty composite, copied when opaque
// under operator 0, else blended.
template <BlendRule kRule, int32_t kAlphaMode>
void EntrySpanAvx2(ViewSpanState& st, int32_t count, const ViewEntryConstants& e, SpanPixels px) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i ones = _mm_set1_epi32(-1);
  const __m128i index = _mm_set1_epi32(e.index);
  const __m128i full = _mm_set1_epi32(65535);
  const bool texture = kAlphaMode < 0 && e.mode >= kModeTexturize && e.mode <= kModeTexturize3;
  const bool normalOp = kAlphaMode < 0 && e.mode == kModeNormal;
  for (int32_t j = 0; j < count; j += 4) {
    AskAhead(px, j);
    // Positions under a covering pixel whose composite below is known to be filled need nothing
    // from this entry: such groups are not even read.
    const __m128i start = Load4(st.start + j);
    const __m128i filled = _mm_xor_si128(_mm_cmpeq_epi32(Load4(st.filled + j), zero), ones);
    const __m128i done = _mm_and_si128(_mm_cmpgt_epi32(start, index), filled);
    if (_mm_test_all_ones(done)) continue;
    lanes::Channels p = LoadFour(px, j, count);
    const __m128i live = PrepareFour<kAlphaMode>(e, p);
    if (_mm_testz_si128(live, live)) continue;
    __m128i a = p.a;
    if (e.opacityScale) a = _mm_srli_epi32(_mm_mullo_epi32(a, _mm_set1_epi32(e.opacityScale)), 8);
    const __m128i* colour = p.c;
    const __m128i below = _mm_and_si128(live, _mm_cmpgt_epi32(start, index));
    const __m128i atStart = e.index > 0 ? _mm_and_si128(live, _mm_cmpeq_epi32(start, index)) : zero;
    const __m128i combine = _mm_andnot_si128(_mm_or_si128(below, atStart), live);

    if (!_mm_testz_si128(below, below) && !texture) {
      const __m128i lays = _mm_andnot_si128(_mm_cmpeq_epi32(a, zero), below);
      Store4(st.filled + j, _mm_or_si128(filled, lays));
    }

    __m128i copies = zero, copyAlpha = a, opaqueBlend = zero;
    __m128i copyColour[3] = {colour[0], colour[1], colour[2]};
    D4 blends = _mm256_setzero_pd();
    if (!_mm_testz_si128(combine, combine)) {
      const __m128i empty = _mm_and_si128(
          combine,
          Narrow(_mm256_cmp_pd(_mm256_load_pd(st.A + j), _mm256_setzero_pd(), _CMP_EQ_OQ)));
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

// The covering test of an entry of full opacity without layer mask (not the background), four
// positions at a time, kAlphaMode as above (-1: an ordinary mode of the Normal rule). A pixel
// replaces all below it when it is opaque enough to be copied under operator 0 (alpha 65280 or
// more) or has alpha 65535 under another operator of the Normal rule. Where the result no longer
// depends on whether anything lay below, the position is marked filled so that nothing below is
// read.
template <int32_t kAlphaMode>
int32_t CoverSpanAvx2(ViewSpanState& st, int32_t count, const ViewEntryConstants& e,
                      SpanPixels px) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i index = _mm_set1_epi32(e.index);
  const __m128i full = _mm_set1_epi32(65535);
  const bool copyOp = kAlphaMode < 0 && e.mode == kModeNormal;
  int32_t covered = 0;
  for (int32_t j = 0; j < count; j += 4) {
    AskAhead(px, j);
    const __m128i start = Load4(st.start + j);
    __m128i open = _mm_cmpeq_epi32(start, zero);
    if (_mm_testz_si128(open, open)) continue;
    // Lanes past the span are never counted.
    if (j + 4 > count)
      open = _mm_and_si128(open,
                           _mm_cmpgt_epi32(_mm_set1_epi32(count - j), _mm_setr_epi32(0, 1, 2, 3)));
    lanes::Channels p = LoadFour(px, j, count);
    PrepareFour<kAlphaMode>(e, p);
    const __m128i replaces = _mm_and_si128(
        open, copyOp ? _mm_cmpgt_epi32(p.a, _mm_set1_epi32(65279)) : _mm_cmpeq_epi32(p.a, full));
    if (_mm_testz_si128(replaces, replaces)) continue;
    Store4(st.start + j, _mm_blendv_epi8(start, index, replaces));
    // A copy of alpha 65535 is the same over a filled or an empty composite: the entries below
    // need not be asked.
    if (copyOp) {
      const __m128i settled = _mm_and_si128(replaces, _mm_cmpeq_epi32(p.a, full));
      Store4(st.filled + j, _mm_or_si128(Load4(st.filled + j), settled));
    }
    covered += __builtin_popcount(unsigned(_mm_movemask_ps(_mm_castsi128_ps(replaces))));
  }
  return covered;
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

// Indexed by mode: the ordinary modes of a rule with lanes, and the alpha modes whose pre-pass has
// lanes (they blend by the Normal rule).
template <int32_t kMode>
constexpr void AddModeKernels(ViewSpanEntryKernels& entry, ViewSpanCoverKernels& cover) {
  if constexpr (IsAlphaMode(kMode)) {
    if constexpr (prepass_lanes::HasPrePassLanes(kMode)) {
      entry[kMode] = &EntrySpanAvx2<BlendRule::kNormal, kMode>;
      cover[kMode] = &CoverSpanAvx2<kMode>;
    }
  } else {
    constexpr BlendRule rule = kMergeModes[kMode].rule;
    if constexpr (HasRuleLanes(rule)) entry[kMode] = &EntrySpanAvx2<rule, -1>;
    if constexpr (rule == BlendRule::kNormal) cover[kMode] = &CoverSpanAvx2<-1>;
  }
}

template <int32_t... kModes>
constexpr ViewSpanEntryKernels MakeEntryKernels(std::integer_sequence<int32_t, kModes...>) {
  ViewSpanEntryKernels entry{};
  ViewSpanCoverKernels cover{};
  (AddModeKernels<kModes>(entry, cover), ...);
  return entry;
}

template <int32_t... kModes>
constexpr ViewSpanCoverKernels MakeCoverKernels(std::integer_sequence<int32_t, kModes...>) {
  ViewSpanEntryKernels entry{};
  ViewSpanCoverKernels cover{};
  (AddModeKernels<kModes>(entry, cover), ...);
  return cover;
}

}  // namespace

constinit const ViewSpanBlendKernels kViewSpanBlendAvx2 = MakeBlendKernels();
constinit const ViewSpanEntryKernels kViewSpanEntryAvx2 =
    MakeEntryKernels(std::make_integer_sequence<int32_t, kMergeModeCount>{});
constinit const ViewSpanCoverKernels kViewSpanCoverAvx2 =
    MakeCoverKernels(std::make_integer_sequence<int32_t, kMergeModeCount>{});

#else

constinit const ViewSpanBlendKernels kViewSpanBlendAvx2{};
constinit const ViewSpanEntryKernels kViewSpanEntryAvx2{};
constinit const ViewSpanCoverKernels kViewSpanCoverAvx2{};

#endif

}  // namespace render
