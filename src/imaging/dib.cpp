#include "imaging/dib.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/codecs/codec_limits.h"

namespace imaging {
namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

uint32_t Get32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Get16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
void Put32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v), p[1] = uint8_t(v >> 8), p[2] = uint8_t(v >> 16), p[3] = uint8_t(v >> 24);
}
void Put16(uint8_t* p, uint16_t v) { p[0] = uint8_t(v), p[1] = uint8_t(v >> 8); }

// What the header says about the pixels, once it has been found convertible.
struct DIBLayout {
  uint32_t width = 0, height = 0;
  bool topDown = false;
  uint32_t bitCount = 0;
  std::size_t rowBytes = 0;
  const uint8_t* pixels = nullptr;
};

bool ReadLayout(const void* dib, DIBLayout& out) {
  if (!dib) return false;
  const auto* h = static_cast<const uint8_t*>(dib);
  const uint32_t headerBytes = Get32(h);
  if (headerBytes < 40 || headerBytes > 124) return false;
  const int32_t width = int32_t(Get32(h + 4));
  const int32_t height = int32_t(Get32(h + 8));
  const uint16_t planes = Get16(h + 12);
  const uint16_t bitCount = Get16(h + 14);
  const uint32_t compression = Get32(h + 16);
  if (planes != 1 || width <= 0 || height == 0 || height == INT32_MIN) return false;
  const uint32_t rows = uint32_t(height < 0 ? -height : height);
  if (!DimensionsAllowed(uint64_t(width), uint64_t(rows))) return false;
  uint32_t masksBytes = 0;
  if (bitCount == 32 && compression == kBiBitfields) {
    // Only the usual byte order: red, green and blue in the third, second and first byte.
    const uint8_t* masks = h + 40;
    if (Get32(masks) != 0x00FF0000u || Get32(masks + 4) != 0x0000FF00u ||
        Get32(masks + 8) != 0x000000FFu)
      return false;
    if (headerBytes == 40) masksBytes = 12;  // the masks follow a short header
  } else if (!((bitCount == 32 || bitCount == 24) && compression == kBiRgb)) {
    return false;
  }
  // Colours tables are not used by 24- and 32-bit bitmaps unless a count says so.
  const uint32_t paletteEntries = Get32(h + 32);
  if (paletteEntries > 256) return false;
  out.width = uint32_t(width);
  out.height = rows;
  out.topDown = height < 0;
  out.bitCount = bitCount;
  out.rowBytes = (std::size_t(width) * bitCount / 8 + 3) & ~std::size_t(3);
  out.pixels = h + headerBytes + masksBytes + paletteEntries * 4;
  return true;
}

// Swaps the first and third byte of every 4-byte pixel (RGBA <-> BGRA). stream writes past the
// cache: whole large pictures are written once and not read back soon.
void SwapRedBlue(const uint8_t* s, uint8_t* d, std::size_t count, bool stream) {
  std::size_t i = 0;
  auto one = [&](std::size_t k) {
    uint32_t p;
    std::memcpy(&p, s + 4 * k, 4);
    p = (p & 0xFF00FF00u) | ((p >> 16) & 0xFFu) | ((p & 0xFFu) << 16);
    std::memcpy(d + 4 * k, &p, 4);
  };
#if defined(__SSE2__)
  while (i < count && (reinterpret_cast<uintptr_t>(d + 4 * i) & 15)) one(i++);
  if ((reinterpret_cast<uintptr_t>(d + 4 * i) & 15) == 0) {
    const __m128i greenAlpha = _mm_set1_epi32(int32_t(0xFF00FF00u));
    const __m128i low = _mm_set1_epi32(0xFF);
    for (; i + 4 <= count; i += 4) {
      const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * i));
      const __m128i q = _mm_or_si128(_mm_and_si128(p, greenAlpha),
                                     _mm_or_si128(_mm_and_si128(_mm_srli_epi32(p, 16), low),
                                                  _mm_slli_epi32(_mm_and_si128(p, low), 16)));
      auto* out = reinterpret_cast<__m128i*>(d + 4 * i);
      if (stream)
        _mm_stream_si128(out, q);
      else
        _mm_store_si128(out, q);
    }
    if (stream) _mm_sfence();
  }
#else
  (void)stream;
#endif
  for (; i < count; ++i) one(i);
}

// Pictures larger than this are written past the cache.
constexpr std::size_t kStreamBytes = std::size_t(4) << 20;

}  // namespace

std::size_t DIBBytes(uint32_t width, uint32_t height) {
  const uint64_t image = uint64_t(width) * height * 4;
  if (image > UINT32_MAX) return 0;
  return std::size_t(kDIBHeaderBytes + image);
}

int32_t WriteDIBHeader(uint32_t width, uint32_t height, void* block) {
  if (!block || !DimensionsAllowed(width, height) || DIBBytes(width, height) == 0) return 0;
  auto* h = static_cast<uint8_t*>(block);
  std::memset(h, 0, kDIBHeaderBytes);
  Put32(h, kDIBHeaderBytes);
  Put32(h + 4, width);
  Put32(h + 8, height);  // positive: the last picture row comes first
  Put16(h + 12, 1);
  Put16(h + 14, 32);
  Put32(h + 16, kBiRgb);
  Put32(h + 20, width * height * 4);
  Put32(h + 24, 2835);  // 72 dots per inch, in pixels per metre
  Put32(h + 28, 2835);
  return 1;
}

int32_t RGBAToDIBRows(const void* rgba, uint32_t width, uint32_t height, uint32_t y0, uint32_t y1,
                      void* block) {
  if (!rgba || !block || !DimensionsAllowed(width, height) || DIBBytes(width, height) == 0 ||
      y0 > y1 || y1 > height)
    return 0;
  const auto* src = static_cast<const uint8_t*>(rgba);
  uint8_t* rows = static_cast<uint8_t*>(block) + kDIBHeaderBytes;
  const std::size_t rowBytes = std::size_t(width) * 4;
  const bool stream = rowBytes * height >= kStreamBytes;
  for (uint32_t y = y0; y < y1; ++y)
    SwapRedBlue(src + rowBytes * y, rows + rowBytes * (height - 1 - y), width, stream);
  return 1;
}

int32_t IS3RGBAToDIB(const void* rgba, uint32_t width, uint32_t height, void* block) {
  if (!rgba || !WriteDIBHeader(width, height, block)) return 0;
  return RGBAToDIBRows(rgba, width, height, 0, height, block);
}

uint32_t IS3DIBWidth(const void* dib) {
  DIBLayout layout;
  return ReadLayout(dib, layout) ? layout.width : 0;
}

uint32_t IS3DIBHeight(const void* dib) {
  DIBLayout layout;
  return ReadLayout(dib, layout) ? layout.height : 0;
}

namespace {

// One span of one row; the layout has been read and the span checked.
void ConvertSpan(const DIBLayout& layout, uint32_t alpha, uint32_t y, uint32_t x, uint32_t count,
                 uint8_t* d, bool stream) {
  const uint32_t sourceRow = layout.topDown ? y : layout.height - 1 - y;
  const uint8_t* s = layout.pixels + layout.rowBytes * sourceRow;
  if (layout.bitCount == 32) {
    SwapRedBlue(s + std::size_t(x) * 4, d, count, stream);
  } else {
    s += std::size_t(x) * 3;
    for (uint32_t i = 0; i < count; ++i, s += 3, d += 4)
      d[0] = s[2], d[1] = s[1], d[2] = s[0], d[3] = uint8_t(alpha);
  }
}

}  // namespace

int32_t DIBToRGBARows(const void* dib, uint32_t alpha, uint32_t y0, uint32_t y1, void* dst) {
  DIBLayout layout;
  if (!dst || !ReadLayout(dib, layout) || y0 > y1 || y1 > layout.height) return 0;
  auto* out = static_cast<uint8_t*>(dst);
  const std::size_t outRowBytes = std::size_t(layout.width) * 4;
  const bool stream = outRowBytes * layout.height >= kStreamBytes;
  for (uint32_t y = y0; y < y1; ++y)
    ConvertSpan(layout, alpha, y, 0, layout.width, out + outRowBytes * y, stream);
  return 1;
}

int32_t IS3DIBToRGBA(const void* dib, uint32_t alpha, void* dst) {
  DIBLayout layout;
  if (!dst || !ReadLayout(dib, layout)) return 0;
  return DIBToRGBARows(dib, alpha, 0, layout.height, dst);
}

int32_t DIBRowToRGBA(const void* dib, uint32_t alpha, uint32_t y, uint32_t x, uint32_t count,
                     void* dst) {
  DIBLayout layout;
  if (!dst || !ReadLayout(dib, layout)) return 0;
  if (y >= layout.height || x > layout.width || count > layout.width - x) return 0;
  ConvertSpan(layout, alpha, y, x, count, static_cast<uint8_t*>(dst), false);
  return 1;
}

}  // namespace imaging
