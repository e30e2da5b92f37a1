#include "engine/pixel_formats.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#define PALMORA_HAVE_SSE2 1
#else
#define PALMORA_HAVE_SSE2 0
#endif

namespace engine {
namespace {

std::size_t PackedPixels(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return 0;
  return std::size_t(width) * std::size_t(height);
}

#if PALMORA_HAVE_SSE2
// Streaming stores need 16-byte aligned addresses. Returns how many leading elements of
// `unitBytes` bytes to handle one by one before dst is aligned, or falls back to cached stores
// when dst can never be aligned in whole elements.
std::size_t AlignHead(const void* dst, std::size_t unitBytes, std::size_t count, Stores& stores) {
  if (stores != Stores::kStreaming) return 0;
  const auto misalign = reinterpret_cast<std::uintptr_t>(dst) & 15;
  if (misalign % unitBytes != 0) {
    stores = Stores::kCached;
    return 0;
  }
  return std::min(count, misalign ? (16 - misalign) / unitBytes : 0);
}

inline void Put(void* dst, __m128i v, Stores stores) {
  if (stores == Stores::kStreaming) {
    _mm_stream_si128(static_cast<__m128i*>(dst), v);
  } else {
    _mm_storeu_si128(static_cast<__m128i*>(dst), v);
  }
}

inline __m128i Load(const void* src) { return _mm_loadu_si128(static_cast<const __m128i*>(src)); }

// Streamed lines must reach memory before another thread or call reads them.
inline void Finish(Stores stores) {
  if (stores == Stores::kStreaming) _mm_sfence();
}
#endif

}  // namespace

// Each kernel below converts sample by sample (or pixel by pixel) in plain loops; on x86-64 the
// bulk runs through SSE2 so that it can also stream its stores, and the plain loop takes the
// head and the tail.

void RowRGBA64ToRGBA32(const uint16_t* src, uint8_t* dst, std::size_t pixels, Stores stores) {
  const std::size_t samples = pixels * 4;
  std::size_t i = 0;
#if PALMORA_HAVE_SSE2
  for (const std::size_t head = AlignHead(dst, 1, samples, stores); i < head; ++i)
    dst[i] = High8(src[i]);
  for (; i + 16 <= samples; i += 16) {
    const __m128i a = _mm_srli_epi16(Load(src + i), 8);
    const __m128i b = _mm_srli_epi16(Load(src + i + 8), 8);
    Put(dst + i, _mm_packus_epi16(a, b), stores);
  }
  Finish(stores);
#endif
  for (; i < samples; ++i) dst[i] = High8(src[i]);
}

void RowRGBA32ToRGBA64(const uint8_t* src, uint16_t* dst, std::size_t pixels, Stores stores) {
  const std::size_t samples = pixels * 4;
  std::size_t i = 0;
#if PALMORA_HAVE_SSE2
  for (const std::size_t head = AlignHead(dst, 2, samples, stores); i < head; ++i)
    dst[i] = Widen8(src[i]);
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= samples; i += 16) {
    const __m128i v = Load(src + i);
    // Interleaving a zero byte below each source byte makes the 16-bit sample byte << 8.
    Put(dst + i, _mm_unpacklo_epi8(zero, v), stores);
    Put(dst + i + 8, _mm_unpackhi_epi8(zero, v), stores);
  }
  Finish(stores);
#endif
  for (; i < samples; ++i) dst[i] = Widen8(src[i]);
}

void RowLoadRGBA32(const uint8_t* src, uint16_t* dst, std::size_t pixels, Stores stores) {
  std::size_t i = 0;
  auto one = [&](std::size_t p) {
    const uint16_t keep = src[4 * p + 3] ? 0xFFFF : 0;
    for (int c = 0; c < 4; ++c) dst[4 * p + c] = Widen8(src[4 * p + c]) & keep;
  };
#if PALMORA_HAVE_SSE2
  for (const std::size_t head = AlignHead(dst, 8, pixels, stores); i < head; ++i) one(i);
  const __m128i zero = _mm_setzero_si128();
  for (; i + 4 <= pixels; i += 4) {
    __m128i v = Load(src + 4 * i);
    const __m128i transparent = _mm_cmpeq_epi32(_mm_srli_epi32(v, 24), zero);
    v = _mm_andnot_si128(transparent, v);
    Put(dst + 4 * i, _mm_unpacklo_epi8(zero, v), stores);
    Put(dst + 4 * i + 8, _mm_unpackhi_epi8(zero, v), stores);
  }
  Finish(stores);
#endif
  for (; i < pixels; ++i) one(i);
}

void RowLoadRGBA32Colour(const uint8_t* src, uint16_t* dst, std::size_t pixels, Stores stores) {
  std::size_t i = 0;
  auto one = [&](std::size_t p) {
    for (int c = 0; c < 3; ++c) dst[4 * p + c] = Widen8(src[4 * p + c]);
  };
#if PALMORA_HAVE_SSE2
  for (const std::size_t head = AlignHead(dst, 8, pixels, stores); i < head; ++i) one(i);
  const __m128i zero = _mm_setzero_si128();
  const __m128i alpha = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
  for (; i + 4 <= pixels; i += 4) {
    const __m128i v = Load(src + 4 * i);
    const __m128i keptLo = _mm_and_si128(alpha, Load(dst + 4 * i));
    const __m128i keptHi = _mm_and_si128(alpha, Load(dst + 4 * i + 8));
    Put(dst + 4 * i, _mm_or_si128(keptLo, _mm_andnot_si128(alpha, _mm_unpacklo_epi8(zero, v))),
        stores);
    Put(dst + 4 * i + 8, _mm_or_si128(keptHi, _mm_andnot_si128(alpha, _mm_unpackhi_epi8(zero, v))),
        stores);
  }
  Finish(stores);
#endif
  for (; i < pixels; ++i) one(i);
}

void CopyRow(void* dst, const void* src, std::size_t bytes, Stores stores) {
#if PALMORA_HAVE_SSE2
  if (stores == Stores::kStreaming && bytes >= 256) {
    auto* to = static_cast<uint8_t*>(dst);
    const auto* from = static_cast<const uint8_t*>(src);
    // Cached bytes up to the first 16-byte boundary of dst, then whole 64-byte blocks streamed.
    const std::size_t head = (16 - (reinterpret_cast<std::uintptr_t>(to) & 15)) & 15;
    std::memcpy(to, from, head);
    std::size_t i = head;
    for (; i + 64 <= bytes; i += 64) {
      const __m128i a = Load(from + i), b = Load(from + i + 16);
      const __m128i c = Load(from + i + 32), d = Load(from + i + 48);
      _mm_stream_si128(reinterpret_cast<__m128i*>(to + i), a);
      _mm_stream_si128(reinterpret_cast<__m128i*>(to + i + 16), b);
      _mm_stream_si128(reinterpret_cast<__m128i*>(to + i + 32), c);
      _mm_stream_si128(reinterpret_cast<__m128i*>(to + i + 48), d);
    }
    Finish(stores);
    std::memcpy(to + i, from + i, bytes - i);
    return;
  }
#endif
  std::memcpy(dst, src, bytes);
}

void RGBA32ToRGBA64(const uint8_t* src, uint16_t* dst, int32_t width, int32_t height) {
  if (!src || !dst) return;
  const std::size_t pixels = PackedPixels(width, height);
  RowRGBA32ToRGBA64(src, dst, pixels, StoresFor(pixels * 8));
}

void RGBA64ToRGBA32(const uint16_t* src, uint8_t* dst, int32_t width, int32_t height) {
  if (!src || !dst) return;
  const std::size_t pixels = PackedPixels(width, height);
  RowRGBA64ToRGBA32(src, dst, pixels, StoresFor(pixels * 4));
}

void FillAlphaRGBA32(uint8_t* buffer, int32_t width, int32_t height, uint8_t value) {
  if (!buffer) return;
  const std::size_t pixels = PackedPixels(width, height);
  for (std::size_t i = 0; i < pixels; ++i) buffer[4 * i + 3] = value;
}

}  // namespace engine
