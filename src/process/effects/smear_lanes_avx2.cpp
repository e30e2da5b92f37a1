// The smear passes on AVX2, eight lines at once. A register holds eight RGBA pixels, one per
// 32-bit lane. Along the columns the lanes are eight neighbouring columns of one row, which a
// pass takes together anyway. Along the rows the lanes are eight rows: blocks of 8 x 8 pixels are
// transposed so that each register holds one column of the eight rows, the chain runs across the
// block column by column, and the block is transposed back. Rows and columns left over (fewer
// than eight, or the last pixels of a line) take the pair rule itself.
//
// A rule that looks at the pixel one line further on (Anti Alias) sees it as the pass found it:
// within a band the lines are taken in the pass's order, so a line's neighbour is read before it
// is rewritten, and the one line past a band comes from a copy made before the pass. Rules
// without that look let the lines run in any order. Either way bands of lines run on the cores.
//
// Everything is exact. Luminance (c0 + c1 + c2) / 3 is (sum * 43691) >> 17, which equals the
// division for every sum up to 765; (w * v) >> 8 for a 16-bit weight and a byte is the high half
// of w * (v << 8); Anti Alias's mix is the scalar double expression on four lanes at a time
// (this file is built without contraction into fused multiply-adds).
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>

#include "engine/heap.h"
#include "engine/parallel_rows.h"
#include "process/effects/smear_passes.h"
#include "process/effects/smear_rules.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace process {

#if defined(__x86_64__) || defined(__i386__)
namespace {

// Eight pixels split into their four bytes (one register each) with their luminances.
struct Split {
  __m256i c[4];
  __m256i luma;
};

inline __m256i LumaOf(__m256i c0, __m256i c1, __m256i c2) {
  const __m256i sum = _mm256_add_epi32(_mm256_add_epi32(c0, c1), c2);
  return _mm256_srli_epi32(_mm256_mulhi_epu16(sum, _mm256_set1_epi32(43691)), 1);
}

inline Split SplitPixels(__m256i v) {
  const __m256i byte = _mm256_set1_epi32(0xFF);
  Split s;
  s.c[0] = _mm256_and_si256(v, byte);
  s.c[1] = _mm256_and_si256(_mm256_srli_epi32(v, 8), byte);
  s.c[2] = _mm256_and_si256(_mm256_srli_epi32(v, 16), byte);
  s.c[3] = _mm256_srli_epi32(v, 24);
  s.luma = LumaOf(s.c[0], s.c[1], s.c[2]);
  return s;
}

inline __m256i Join(const Split& s) {
  return _mm256_or_si256(
      _mm256_or_si256(s.c[0], _mm256_slli_epi32(s.c[1], 8)),
      _mm256_or_si256(_mm256_slli_epi32(s.c[2], 16), _mm256_slli_epi32(s.c[3], 24)));
}

inline __m256i LumaOfPixels(__m256i v) {
  const __m256i byte = _mm256_set1_epi32(0xFF);
  return LumaOf(_mm256_and_si256(v, byte), _mm256_and_si256(_mm256_srli_epi32(v, 8), byte),
                _mm256_and_si256(_mm256_srli_epi32(v, 16), byte));
}

// SmearMix on eight pairs.
struct MixLanes {
  static constexpr bool kBeside = false;
  __m256i brighter, darker, brighterUsed, darkerUsed, threshold;
  bool byThreshold;

  explicit MixLanes(const SmearMix& mix) {
    brighter = _mm256_set1_epi32(int32_t(mix.brighter));
    darker = _mm256_set1_epi32(int32_t(mix.darker));
    brighterUsed = _mm256_set1_epi32(mix.brighter ? -1 : 0);
    darkerUsed = _mm256_set1_epi32(mix.darker ? -1 : 0);
    threshold = _mm256_set1_epi32(mix.threshold);
    byThreshold = mix.byThreshold;
  }

  Split Step(const Split& prev, const Split& next, __m256i) const {
    __m256i w, apply;
    if (byThreshold) {
      const __m256i distance = _mm256_abs_epi32(_mm256_sub_epi32(prev.luma, next.luma));
      apply = _mm256_cmpgt_epi32(threshold, distance);
      w = brighter;
    } else {
      const __m256i isBrighter = _mm256_cmpgt_epi32(prev.luma, next.luma);
      const __m256i isDarker = _mm256_cmpgt_epi32(next.luma, prev.luma);
      w = _mm256_blendv_epi8(darker, brighter, isBrighter);
      apply = _mm256_or_si256(_mm256_and_si256(isBrighter, brighterUsed),
                              _mm256_and_si256(isDarker, darkerUsed));
    }
    if (_mm256_testz_si256(apply, apply)) return next;
    const __m256i rest = _mm256_sub_epi32(_mm256_set1_epi32(65535), w);
    Split out;
    for (int c = 0; c < 4; ++c) {
      const __m256i mixed = _mm256_srli_epi32(
          _mm256_add_epi32(_mm256_mulhi_epu16(w, _mm256_slli_epi32(next.c[c], 8)),
                           _mm256_mulhi_epu16(rest, _mm256_slli_epi32(prev.c[c], 8))),
          8);
      out.c[c] = _mm256_blendv_epi8(next.c[c], mixed, apply);
    }
    out.luma = LumaOf(out.c[0], out.c[1], out.c[2]);
    return out;
  }
};

// AntiAliasRule on eight pairs.
struct AntiAliasLanes {
  static constexpr bool kBeside = true;
  __m256i dropThreshold, riseThreshold;
  __m256d dropKeep, riseKeep;

  explicit AntiAliasLanes(const AntiAliasRule& rule) {
    dropThreshold = _mm256_set1_epi32(rule.dropThreshold);
    riseThreshold = _mm256_set1_epi32(rule.riseThreshold);
    dropKeep = _mm256_set1_pd(rule.dropKeep);
    riseKeep = _mm256_set1_pd(rule.riseKeep);
  }

  // trunc(next * keep + current * (1 - keep)) limited to 0..255, on four lanes.
  static __m128i MixFour(__m128i next, __m128i current, __m256d keep) {
    const __m256d v = _mm256_add_pd(
        _mm256_mul_pd(_mm256_cvtepi32_pd(next), keep),
        _mm256_mul_pd(_mm256_cvtepi32_pd(current), _mm256_sub_pd(_mm256_set1_pd(1.0), keep)));
    // max(v, 0) gives 0 for a NaN as the scalar "not above 0" does.
    return _mm256_cvttpd_epi32(
        _mm256_min_pd(_mm256_max_pd(v, _mm256_setzero_pd()), _mm256_set1_pd(255.0)));
  }

  Split Step(const Split& current, const Split& next, __m256i besideLuma) const {
    const __m256i drop = _mm256_andnot_si256(
        _mm256_cmpgt_epi32(current.luma, besideLuma),
        _mm256_cmpgt_epi32(_mm256_sub_epi32(current.luma, next.luma), dropThreshold));
    const __m256i rise = _mm256_andnot_si256(
        _mm256_or_si256(drop, _mm256_cmpgt_epi32(besideLuma, current.luma)),
        _mm256_cmpgt_epi32(_mm256_sub_epi32(next.luma, current.luma), riseThreshold));
    const __m256i apply = _mm256_or_si256(drop, rise);
    if (_mm256_testz_si256(apply, apply)) return next;
    // The keep fraction per lane, four lanes to a register of doubles.
    const __m256d keepLow =
        _mm256_blendv_pd(riseKeep, dropKeep,
                         _mm256_castsi256_pd(_mm256_cvtepi32_epi64(_mm256_castsi256_si128(drop))));
    const __m256d keepHigh = _mm256_blendv_pd(
        riseKeep, dropKeep,
        _mm256_castsi256_pd(_mm256_cvtepi32_epi64(_mm256_extracti128_si256(drop, 1))));
    Split out;
    for (int c = 0; c < 4; ++c) {
      const __m128i low =
          MixFour(_mm256_castsi256_si128(next.c[c]), _mm256_castsi256_si128(current.c[c]), keepLow);
      const __m128i high = MixFour(_mm256_extracti128_si256(next.c[c], 1),
                                   _mm256_extracti128_si256(current.c[c], 1), keepHigh);
      out.c[c] = _mm256_blendv_epi8(next.c[c], _mm256_set_m128i(high, low), apply);
    }
    out.luma = LumaOf(out.c[0], out.c[1], out.c[2]);
    return out;
  }
};

inline __m256i Load(const uint8_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
inline void Store(uint8_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

// Transposes eight registers of eight 32-bit lanes (its own inverse).
inline void Transpose8(__m256i r[8]) {
  __m256i t[8], u[8];
  for (int i = 0; i < 4; ++i) {
    t[2 * i] = _mm256_unpacklo_epi32(r[2 * i], r[2 * i + 1]);
    t[2 * i + 1] = _mm256_unpackhi_epi32(r[2 * i], r[2 * i + 1]);
  }
  for (int i = 0; i < 2; ++i) {
    u[4 * i + 0] = _mm256_unpacklo_epi64(t[4 * i + 0], t[4 * i + 2]);
    u[4 * i + 1] = _mm256_unpackhi_epi64(t[4 * i + 0], t[4 * i + 2]);
    u[4 * i + 2] = _mm256_unpacklo_epi64(t[4 * i + 1], t[4 * i + 3]);
    u[4 * i + 3] = _mm256_unpackhi_epi64(t[4 * i + 1], t[4 * i + 3]);
  }
  for (int i = 0; i < 4; ++i) {
    r[i] = _mm256_permute2x128_si256(u[i], u[i + 4], 0x20);
    r[i + 4] = _mm256_permute2x128_si256(u[i], u[i + 4], 0x31);
  }
}

struct Plane {
  uint8_t* pixels;
  int32_t width, height;
  std::ptrdiff_t rowBytes;
  uint8_t* At(int32_t x, int32_t y) const { return pixels + y * rowBytes + std::ptrdiff_t(x) * 4; }
};

// The lines of a pass between low and high (lowest first) as a range in the pass's own order.
// outsideLine, where set, is the line just past the range in the pass's order (high upwards of
// the lines, low - 1 downwards) as the pass found it: a band of lines running beside another
// band reads its last line's beside from there, as the other band may already have rewritten it.
struct LineRange {
  int32_t low, high;
  const uint8_t* outsideLine = nullptr;  // pixels of that row, or of that column top to bottom
};

// Rows [range.low, range.high) of one pass along the rows. Groups of eight rows run on the lanes,
// taken in the pass's order of rows (which a rule with beside needs); the rest row by row.
template <class Lanes, class Rule>
void SmearRows(const Plane& p, const SmearPass& pass, LineRange range, const Lanes& lanes,
               const Rule& rule) {
  const int32_t s = pass.alongStep;
  const int32_t across = pass.acrossStep;
  const int32_t pairs = s > 0 ? pass.alongEnd - pass.alongStart : pass.alongStart - pass.alongEnd;
  if (pairs <= 0 || range.high <= range.low) return;
  const int32_t groups = (range.high - range.low) / 8;
  const int32_t blocks = pairs / 8;
  // Row by row in the pass's order, for the rows no group covers and the ends of the rows.
  const int32_t outsideOfRange = across > 0 ? range.high : range.low - 1;
  // The start of row y as the pass found it, where this range may read it.
  const auto besideRow = [&](int32_t y) -> const uint8_t* {
    if (!Lanes::kBeside || y < 0 || y >= p.height) return nullptr;
    if (range.outsideLine && y == outsideOfRange) return range.outsideLine;
    return p.pixels + y * p.rowBytes;
  };
  const auto scalarRow = [&](int32_t y, int32_t from) {
    const uint8_t* beside = besideRow(y + across);
    for (int32_t x = from; Before(x, pass.alongEnd, s); x += s)
      rule(p.At(x, y), p.At(x + s, y), beside ? beside + std::ptrdiff_t(x + s) * 4 : nullptr);
  };
  // Downwards the groups start at the top of the range and the leftover rows lie at its bottom;
  // upwards the other way round.
  const int32_t leftover = (range.high - range.low) - 8 * groups;
  for (int32_t g = 0; g < groups; ++g) {
    const int32_t y0 = across > 0 ? range.low + 8 * g : range.high - 8 * (g + 1);
    uint8_t* rows[8];
    for (int i = 0; i < 8; ++i) rows[i] = p.pixels + (y0 + i) * p.rowBytes;
    // The row beside the group's last row in the pass's order, as the pass found it.
    const int32_t outsideY = across > 0 ? y0 + 8 : y0 - 1;
    const uint8_t* outside = besideRow(outsideY);
    alignas(32) uint32_t start[8];
    for (int i = 0; i < 8; ++i) std::memcpy(&start[i], rows[i] + pass.alongStart * 4, 4);
    Split prev = SplitPixels(_mm256_load_si256(reinterpret_cast<const __m256i*>(start)));
    for (int32_t b = 0; b < blocks; ++b) {
      // The block's eight next pixels of each row, lowest column first.
      const int32_t low = s > 0 ? pass.alongStart + 1 + 8 * b : pass.alongStart - 8 - 8 * b;
      __m256i block[8];
      for (int i = 0; i < 8; ++i) block[i] = Load(rows[i] + std::ptrdiff_t(low) * 4);
      __m256i outsideRow = _mm256_setzero_si256();
      if (Lanes::kBeside && outside) outsideRow = Load(outside + std::ptrdiff_t(low) * 4);
      Transpose8(block);
      for (int j = 0; j < 8; ++j) {
        const int column = s > 0 ? j : 7 - j;
        __m256i besideLuma = _mm256_setzero_si256();
        if constexpr (Lanes::kBeside) {
          // Row i's beside is row i + across of the same column, before this step rewrites it.
          const __m256i edge = _mm256_permutevar8x32_epi32(outsideRow, _mm256_set1_epi32(column));
          const __m256i down = _mm256_setr_epi32(1, 2, 3, 4, 5, 6, 7, 7);
          const __m256i up = _mm256_setr_epi32(0, 0, 1, 2, 3, 4, 5, 6);
          const __m256i beside =
              across > 0
                  ? _mm256_blend_epi32(_mm256_permutevar8x32_epi32(block[column], down), edge, 0x80)
                  : _mm256_blend_epi32(_mm256_permutevar8x32_epi32(block[column], up), edge, 0x01);
          besideLuma = LumaOfPixels(beside);
        }
        prev = lanes.Step(prev, SplitPixels(block[column]), besideLuma);
        block[column] = Join(prev);
      }
      Transpose8(block);
      for (int i = 0; i < 8; ++i) Store(rows[i] + std::ptrdiff_t(low) * 4, block[i]);
    }
    // The ends of the rows, from the pixel the blocks ended on, in the pass's order of rows so
    // that each row's beside is read before it is rewritten.
    const int32_t from = pass.alongStart + s * 8 * blocks;
    for (int k = 0; k < 8; ++k) scalarRow(across > 0 ? y0 + k : y0 + 7 - k, from);
  }
  // The rows no group covers come last in the pass's order.
  for (int32_t k = 0; k < leftover; ++k)
    scalarRow(across > 0 ? range.low + 8 * groups + k : range.high - 8 * groups - 1 - k,
              pass.alongStart);
}

// Columns [range.low, range.high) of one pass along the columns: at each step the span of the
// next row is mixed with the row before it, eight pixels at a time. With beside, the span is
// taken in the pass's order of columns so that each pixel's beside (the next column's pixel of
// the same row) is read before it is rewritten.
template <class Lanes, class Rule>
void SmearColumns(const Plane& p, const SmearPass& pass, LineRange range, const Lanes& lanes,
                  const Rule& rule) {
  const int32_t s = pass.alongStep;
  const int32_t across = Lanes::kBeside ? pass.acrossStep : 1;
  const int32_t count = range.high - range.low;
  if (count <= 0) return;
  // Vector chunks only where every beside lies inside the picture.
  // Vector chunks only where every beside lies inside the picture, and inside the range where
  // the column past it comes from outsideLine.
  int32_t chunks = count / 8;
  if constexpr (Lanes::kBeside) {
    const int32_t right = range.outsideLine ? range.high : p.width;
    const int32_t left = range.outsideLine ? range.low : 0;
    while (chunks > 0 &&
           (across > 0 ? range.low + 8 * chunks >= right : range.high - 8 * chunks - 1 < left))
      --chunks;
  }
  const int32_t outsideOfRange = across > 0 ? range.high : range.low - 1;
  for (int32_t y = pass.alongStart; Before(y, pass.alongEnd, s); y += s) {
    for (int32_t k = 0; k < chunks; ++k) {
      const int32_t x = across > 0 ? range.low + 8 * k : range.high - 8 * (k + 1);
      __m256i besideLuma = _mm256_setzero_si256();
      if constexpr (Lanes::kBeside) besideLuma = LumaOfPixels(Load(p.At(x + across, y + s)));
      const Split prev = SplitPixels(Load(p.At(x, y)));
      Store(p.At(x, y + s), Join(lanes.Step(prev, SplitPixels(Load(p.At(x, y + s))), besideLuma)));
    }
    for (int32_t k = 8 * chunks; k < count; ++k) {
      const int32_t x = across > 0 ? range.low + k : range.high - 1 - k;
      const int32_t besideX = x + across;
      const uint8_t* beside = nullptr;
      if (Lanes::kBeside && besideX >= 0 && besideX < p.width) {
        beside = range.outsideLine && besideX == outsideOfRange
                     ? range.outsideLine + std::ptrdiff_t(y + s) * 4
                     : p.At(besideX, y + s);
      }
      rule(p.At(x, y), p.At(x, y + s), beside);
    }
  }
}

// A pass whose lines look at their neighbour line in bands on the cores. Each line reads its
// neighbour as the pass found it, so a band needs, besides its own lines, only the line just past
// its end in the pass's order unchanged: that line is copied before any band starts, and the band
// reads it from the copy. Every line then sees what the pass in one order would show it, on any
// number of threads. Where the copies cannot be had, the pass runs on one thread.
template <class Run>
void RunBesideBands(const Plane& p, const SmearPass& pass, LineRange lines, const Run& run) {
  const int32_t groups = (lines.high - lines.low + 7) / 8;
  const int32_t threads = engine::RowBandThreads();
  const int32_t lineLength = pass.horizontal ? p.width : p.height;
  if (threads <= 1 || groups < 2) {
    run(lines);
    return;
  }
  // Bands of whole groups, a few per thread so that a thread held up by the system does not hold
  // up the pass. Boundary k (1 <= k < bands) lies before line low + 8 k g; the band below it reads
  // that line upwards, the band above it reads the line before it downwards.
  const int32_t bandGroups = std::max(1, (groups + 4 * threads - 1) / (4 * threads));
  const int32_t bands = (groups + bandGroups - 1) / bandGroups;
  const bool upwards = pass.acrossStep > 0;
  const auto boundaryLine = [&](int32_t k) {
    return lines.low + 8 * bandGroups * k - (upwards ? 0 : 1);
  };
  engine::OwnedPlane<uint8_t> copies;
  try {
    copies = engine::MakeOwnedPlane<uint8_t>(std::size_t(bands) * lineLength * 4);
  } catch (const std::bad_alloc&) {
    run(lines);
    return;
  }
  const auto copyOf = [&](int32_t k) { return copies.get() + std::size_t(k) * lineLength * 4; };
  for (int32_t k = 1; k < bands; ++k) {
    const int32_t line = boundaryLine(k);
    if (pass.horizontal) {
      std::memcpy(copyOf(k), p.At(0, line), std::size_t(lineLength) * 4);
    } else {
      for (int32_t y = 0; y < p.height; ++y)
        std::memcpy(copyOf(k) + std::size_t(y) * 4, p.At(line, y), 4);
    }
  }
  // The pool hands out bands of bandGroups groups (or, run serially, all of them at once), so
  // every inner end of a band is a boundary.
  engine::ForRowBands(
      groups, std::size_t(lineLength) * 16 * 8,
      [&](int32_t begin, int32_t end) {
        LineRange part{lines.low + 8 * begin, std::min(lines.high, lines.low + 8 * end)};
        const int32_t edge = upwards ? end : begin;
        if (edge > 0 && edge < groups && edge % bandGroups == 0)
          part.outsideLine = copyOf(edge / bandGroups);
        run(part);
      },
      bandGroups);
}

template <class Lanes, class Rule>
bool RunPasses(const EffectContext& context, const Rule& rule) {
  const Plane p{context.destination, context.width, context.height, context.rowBytes};
  const Lanes lanes(rule);
  SmearPass passes[8];
  SmearPassesFor(context.width, context.height, passes);
  for (const SmearPass& pass : passes) {
    const LineRange lines{pass.acrossStep > 0 ? pass.acrossStart : pass.acrossEnd + 1,
                          pass.acrossStep > 0 ? pass.acrossEnd : pass.acrossStart + 1};
    if (lines.high <= lines.low) continue;
    const auto run = [&](LineRange part) {
      if (pass.horizontal) {
        SmearRows(p, pass, part, lanes, rule);
      } else {
        SmearColumns(p, pass, part, lanes, rule);
      }
    };
    if constexpr (Lanes::kBeside) {
      RunBesideBands(p, pass, lines, run);
    } else {
      // The lines do not meet: bands of them on the cores, in any order. Bands are whole groups
      // of eight lines, so that only the last band has lines left over for the pair rule.
      const std::size_t groupBytes =
          std::size_t(pass.horizontal ? context.width : context.height) * 16 * 8;
      const int32_t groups = (lines.high - lines.low + 7) / 8;
      engine::ForRowBands(groups, groupBytes, [&](int32_t begin, int32_t end) {
        run({lines.low + 8 * begin, std::min(lines.high, lines.low + 8 * end)});
      });
    }
  }
  return true;
}

}  // namespace

bool RunSmearAvx2(const EffectContext& context, const SmearMix& rule) {
  return RunPasses<MixLanes>(context, rule);
}

bool RunSmearAvx2(const EffectContext& context, const AntiAliasRule& rule) {
  return RunPasses<AntiAliasLanes>(context, rule);
}

#else

bool RunSmearAvx2(const EffectContext&, const SmearMix&) { return false; }
bool RunSmearAvx2(const EffectContext&, const AntiAliasRule&) { return false; }

#endif

}  // namespace process
