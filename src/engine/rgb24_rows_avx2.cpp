// The 3-byte loads with AVX2, four pixels a step. Each 128-bit half of a register takes two
// pixels: the halves are loaded from the source at 3 x 4m and 3 x 4m + 6 bytes, so that one
// in-lane byte shuffle puts every byte into the high byte of its 16-bit sample. Only the loads of
// 3-byte pixels run here; the rest of a row (its last pixels, whose second half-load would pass
// the row's end) goes through the portable loop. Every value is the one the portable loop computes.
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "engine/rgb24_rows_internal.h"

namespace engine::rgb24 {

#if defined(__x86_64__) || defined(__i386__)
namespace {

// In each half: the byte of the two 3-byte pixels at the half's start that becomes the high byte
// of each sample of pixel 0 (a0..a3) and pixel 1 (b0..b3); Z leaves the sample 0.
constexpr char Z = -128;
#define PMR_PAIR(a0, a1, a2, a3, b0, b1, b2, b3) \
  Z, a0, Z, a1, Z, a2, Z, a3, Z, b0, Z, b1, Z, b2, Z, b3
#define PMR_HALVES(...) __VA_ARGS__, __VA_ARGS__

inline __m256i Control(Kind kind) {
  switch (kind) {
    case Kind::kLoadColour:
      return _mm256_setr_epi8(PMR_HALVES(PMR_PAIR(0, 1, 2, Z, 3, 4, 5, Z)));
    case Kind::kLoadAlpha:
      return _mm256_setr_epi8(PMR_HALVES(PMR_PAIR(Z, Z, Z, 0, Z, Z, Z, 3)));
    default:  // blue, green, red
      return _mm256_setr_epi8(PMR_HALVES(PMR_PAIR(2, 1, 0, Z, 5, 4, 3, Z)));
  }
}
#undef PMR_PAIR
#undef PMR_HALVES

// Pixels to take one by one before a streamed store lines up on 32 bytes; from an address that
// is not a whole number of pixels off, the stores stay cached.
std::size_t StreamHead32(const uint16_t* dst, std::size_t pixels, Stores& stores) {
  if (stores != Stores::kStreaming) return 0;
  const auto misalign = reinterpret_cast<std::uintptr_t>(dst) & 31;
  if (misalign % 8 != 0) {
    stores = Stores::kCached;
    return 0;
  }
  const std::size_t head = misalign ? (32 - misalign) / 8 : 0;
  return head < pixels ? head : pixels;
}

template <Kind kKind>
void LoadRow(const uint8_t* src, uint16_t* dst, std::size_t pixels, Stores stores) {
  const __m256i control = Control(kKind);
  const __m256i zero = _mm256_setzero_si256();
  const __m256i alphaLanes = _mm256_set1_epi64x(int64_t(0xFFFF) << 48);
  std::size_t i = StreamHead32(dst, pixels, stores);
  LoadPortable(kKind, src, dst, 0, i);
  // The second half-load reads 16 bytes from 3i + 6: it stays inside the row while i + 8 <= pixels.
  for (; i + 8 <= pixels; i += 4) {
    const uint8_t* in = src + 3 * i;
    const __m256i bytes = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 6)), 1);
    __m256i v = _mm256_shuffle_epi8(bytes, control);
    __m256i* out = reinterpret_cast<__m256i*>(dst + 4 * i);
    if constexpr (kKind == Kind::kLoadColour) {
      v = _mm256_or_si256(v, _mm256_and_si256(alphaLanes, _mm256_loadu_si256(out)));
    } else if constexpr (kKind == Kind::kLoadAlpha) {
      // The new alpha where the old one is not 0; everything else as it was.
      const __m256i old = _mm256_loadu_si256(out);
      const __m256i take = _mm256_andnot_si256(_mm256_cmpeq_epi16(old, zero), alphaLanes);
      v = _mm256_or_si256(_mm256_andnot_si256(take, old), _mm256_and_si256(take, v));
    } else {
      v = _mm256_or_si256(v, alphaLanes);
    }
    if (stores == Stores::kStreaming) {
      _mm256_stream_si256(out, v);
    } else {
      _mm256_storeu_si256(out, v);
    }
  }
  if (stores == Stores::kStreaming) _mm_sfence();
  LoadPortable(kKind, src, dst, i, pixels);
}

}  // namespace

void LoadAvx2(Kind kind, const uint8_t* src, uint16_t* dst, std::size_t pixels, Stores stores) {
  switch (kind) {
    case Kind::kLoadColour:
      LoadRow<Kind::kLoadColour>(src, dst, pixels, stores);
      break;
    case Kind::kLoadAlpha:
      LoadRow<Kind::kLoadAlpha>(src, dst, pixels, stores);
      break;
    default:
      LoadRow<Kind::kLoadBgr>(src, dst, pixels, stores);
      break;
  }
}

#else

void LoadAvx2(Kind kind, const uint8_t* src, uint16_t* dst, std::size_t pixels, Stores) {
  LoadPortable(kind, src, dst, 0, pixels);
}

#endif

}  // namespace engine::rgb24
