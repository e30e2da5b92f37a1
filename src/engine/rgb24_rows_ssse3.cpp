// The 3-byte row kernels with SSSE3 byte shuffles, sixteen pixels a step: 48 host bytes are three
// 16-byte registers, and 16 engine pixels are eight. Going out, the high bytes of the samples are
// packed into four registers of 4-byte pixels and three shuffles per output register pick the
// wanted bytes; coming in, shuffles spread the 48 bytes into 4-byte pixels and a zero byte below
// each makes it byte x 256. Every value is the one the portable loop computes.
#include <algorithm>
#include <array>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "engine/rgb24_rows_internal.h"

namespace engine::rgb24 {

#if defined(__x86_64__) || defined(__i386__)
namespace {

using Control = std::array<int8_t, 16>;
constexpr int8_t kZero = -128;  // a shuffle control byte with its top bit set writes 0

// Output register o of the 48 packed bytes takes from register k of 4-byte pixels (pixels
// 4k..4k+3) the bytes of its pixels: byte c of a 3-byte pixel is byte from[c] of its 4-byte one.
constexpr Control PackControl(int o, int k, std::array<int, 3> from) {
  Control m{};
  for (int i = 0; i < 16; ++i) {
    const int j = 16 * o + i, pixel = j / 3, c = j % 3;
    m[i] = pixel / 4 == k ? int8_t((pixel % 4) * 4 + from[c]) : kZero;
  }
  return m;
}

// Register k of 4-byte pixels takes from input register o of the 48 packed bytes: slot s of a
// 4-byte pixel is byte to[s] of its 3-byte pixel, or 0 where to[s] is negative.
constexpr Control SpreadControl(int k, int o, std::array<int, 4> to) {
  Control m{};
  for (int i = 0; i < 16; ++i) {
    const int pixel = 4 * k + i / 4, s = i % 4;
    const int j = 3 * pixel + to[s];
    m[i] = to[s] >= 0 && j / 16 == o ? int8_t(j % 16) : kZero;
  }
  return m;
}

// The three output registers of a pack: register o draws on pixel registers o and o + 1.
struct PackControls {
  Control lo[3], hi[3];
};
constexpr PackControls MakePack(std::array<int, 3> from) {
  PackControls p{};
  for (int o = 0; o < 3; ++o) {
    p.lo[o] = PackControl(o, o, from);
    p.hi[o] = PackControl(o, o + 1, from);
  }
  return p;
}

// The four pixel registers of a spread: register k (bytes 12k..12k+11) draws on input registers
// kFirstInput[k] and the one after it.
struct SpreadControls {
  Control first[4], second[4];
};
constexpr int kFirstInput[4] = {0, 0, 1, 1};
constexpr SpreadControls MakeSpread(std::array<int, 4> to) {
  SpreadControls s{};
  for (int k = 0; k < 4; ++k) {
    s.first[k] = SpreadControl(k, kFirstInput[k], to);
    s.second[k] = SpreadControl(k, kFirstInput[k] + 1, to);
  }
  return s;
}

constexpr PackControls kPackColour = MakePack({0, 1, 2});
constexpr PackControls kPackAlpha = MakePack({3, 3, 3});
constexpr SpreadControls kSpreadColour = MakeSpread({0, 1, 2, -1});
constexpr SpreadControls kSpreadAlpha = MakeSpread({-1, -1, -1, 0});
constexpr SpreadControls kSpreadBgr = MakeSpread({2, 1, 0, -1});

inline __m128i Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
inline __m128i Shuffle(__m128i v, const Control& m) { return _mm_shuffle_epi8(v, Load(m.data())); }
inline void Put(void* p, __m128i v, Stores stores) {
  if (stores == Stores::kStreaming) {
    _mm_stream_si128(static_cast<__m128i*>(p), v);
  } else {
    _mm_storeu_si128(static_cast<__m128i*>(p), v);
  }
}

// Pixels to take one by one before dst + head * unitBytes lies on a 16-byte boundary, when the
// stores stream (they need it). Units of 3 bytes always get there within 16; units of 8 only from
// an 8-byte boundary, else the stores stay cached.
std::size_t StreamHead(const void* dst, std::size_t unitBytes, std::size_t pixels, Stores& stores) {
  if (stores != Stores::kStreaming) return 0;
  const auto address = reinterpret_cast<std::uintptr_t>(dst);
  for (std::size_t head = 0; head < 16; ++head) {
    if ((address + head * unitBytes) % 16 == 0) return std::min(head, pixels);
  }
  stores = Stores::kCached;
  return 0;
}

template <Kind kKind>
void ReadRow(const uint16_t* src, uint8_t* dst, std::size_t pixels, Stores stores) {
  constexpr const PackControls& pack = kKind == Kind::kReadAlpha ? kPackAlpha : kPackColour;
  std::size_t i = StreamHead(dst, 3, pixels, stores);
  ReadPortable(kKind, src, dst, 0, i);
  for (; i + 16 <= pixels; i += 16) {
    const uint16_t* in = src + 4 * i;
    __m128i q[4];
    for (int k = 0; k < 4; ++k) {
      q[k] = _mm_packus_epi16(_mm_srli_epi16(Load(in + 16 * k), 8),
                              _mm_srli_epi16(Load(in + 16 * k + 8), 8));
    }
    for (int o = 0; o < 3; ++o) {
      Put(dst + 3 * i + 16 * o,
          _mm_or_si128(Shuffle(q[o], pack.lo[o]), Shuffle(q[o + 1], pack.hi[o])), stores);
    }
  }
  if (stores == Stores::kStreaming) _mm_sfence();
  ReadPortable(kKind, src, dst, i, pixels);
}

template <Kind kKind>
void LoadRow(const uint8_t* src, uint16_t* dst, std::size_t pixels, Stores stores) {
  constexpr const SpreadControls& spread = kKind == Kind::kLoadColour  ? kSpreadColour
                                           : kKind == Kind::kLoadAlpha ? kSpreadAlpha
                                                                       : kSpreadBgr;
  const __m128i zero = _mm_setzero_si128();
  const __m128i alphaLanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
  std::size_t i = StreamHead(dst, 8, pixels, stores);
  LoadPortable(kKind, src, dst, 0, i);
  for (; i + 16 <= pixels; i += 16) {
    const uint8_t* in = src + 3 * i;
    const __m128i bytes[3] = {Load(in), Load(in + 16), Load(in + 32)};
    for (int k = 0; k < 4; ++k) {
      const __m128i q = _mm_or_si128(Shuffle(bytes[kFirstInput[k]], spread.first[k]),
                                     Shuffle(bytes[kFirstInput[k] + 1], spread.second[k]));
      // Two registers of two engine pixels each; a zero byte below each byte is byte << 8.
      const __m128i wide[2] = {_mm_unpacklo_epi8(zero, q), _mm_unpackhi_epi8(zero, q)};
      for (int h = 0; h < 2; ++h) {
        uint16_t* out = dst + 4 * (i + 4 * k + 2 * h);
        __m128i v = wide[h];
        if constexpr (kKind == Kind::kLoadColour) {
          v = _mm_or_si128(v, _mm_and_si128(alphaLanes, Load(out)));
        } else if constexpr (kKind == Kind::kLoadAlpha) {
          // The new alpha where the old one is not 0; everything else as it was.
          const __m128i old = Load(out);
          const __m128i take = _mm_andnot_si128(_mm_cmpeq_epi16(old, zero), alphaLanes);
          v = _mm_or_si128(_mm_andnot_si128(take, old), _mm_and_si128(take, v));
        } else {
          v = _mm_or_si128(v, alphaLanes);
        }
        Put(out, v, stores);
      }
    }
  }
  if (stores == Stores::kStreaming) _mm_sfence();
  LoadPortable(kKind, src, dst, i, pixels);
}

}  // namespace

void ReadSsse3(Kind kind, const uint16_t* src, uint8_t* dst, std::size_t pixels, Stores stores) {
  if (kind == Kind::kReadAlpha) {
    ReadRow<Kind::kReadAlpha>(src, dst, pixels, stores);
  } else {
    ReadRow<Kind::kReadColour>(src, dst, pixels, stores);
  }
}

void LoadSsse3(Kind kind, const uint8_t* src, uint16_t* dst, std::size_t pixels, Stores stores) {
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

void ReadSsse3(Kind kind, const uint16_t* src, uint8_t* dst, std::size_t pixels, Stores) {
  ReadPortable(kind, src, dst, 0, pixels);
}
void LoadSsse3(Kind kind, const uint8_t* src, uint16_t* dst, std::size_t pixels, Stores) {
  LoadPortable(kind, src, dst, 0, pixels);
}

#endif

}  // namespace engine::rgb24
