#include "imaging/overlay.h"

#include <algorithm>
#include <cstring>

namespace imaging {
namespace {

struct Span {
  int64_t dstX, dstY, srcX, srcY, width, height;
};

// The part of the source that lands inside the destination, or an empty span.
Span ClipPlacement(int64_t dstW, int64_t dstH, int64_t srcW, int64_t srcH, int64_t x, int64_t y) {
  const int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
  const int64_t right = std::min<int64_t>(x + srcW, dstW),
                bottom = std::min<int64_t>(y + srcH, dstH);
  if (right <= left || bottom <= top) return {0, 0, 0, 0, 0, 0};
  return {left, top, left - x, top - y, right - left, bottom - top};
}

template <class Sample>
void MixRows(uint8_t* dst, uint32_t dstRowBytes, const uint8_t* src, uint32_t srcRowBytes,
             int64_t samplesPerRow, int64_t rows, double opacity) {
  for (int64_t row = 0; row < rows; ++row) {
    auto* d = reinterpret_cast<Sample*>(dst + row * dstRowBytes);
    const auto* s = reinterpret_cast<const Sample*>(src + row * srcRowBytes);
    for (int64_t i = 0; i < samplesPerRow; ++i) {
      const double mixed = d[i] + (static_cast<double>(s[i]) - d[i]) * opacity;
      d[i] = static_cast<Sample>(mixed);
    }
  }
}

// Non-premultiplied "over": the source's alpha (times opacity) decides how much of it covers the
// destination; the destination keeps the union of both alphas.
template <class Sample>
void AlphaBlendRows(uint8_t* dst, uint32_t dstRowBytes, const uint8_t* src, uint32_t srcRowBytes,
                    int64_t pixels, int64_t rows, double opacity) {
  constexpr double kMax = static_cast<double>(static_cast<Sample>(~Sample{0}));
  const bool full = opacity >= 1.0;
  for (int64_t row = 0; row < rows; ++row) {
    auto* d = reinterpret_cast<Sample*>(dst + row * dstRowBytes);
    const auto* s = reinterpret_cast<const Sample*>(src + row * srcRowBytes);
    for (int64_t p = 0; p < pixels; ++p, d += 4, s += 4) {
      // An opaque source at full opacity replaces the pixel and a clear one leaves it; the
      // general formula gives the same samples, only slower.
      if (s[3] == 0) continue;
      if (full && s[3] == static_cast<Sample>(kMax)) {
        d[0] = s[0], d[1] = s[1], d[2] = s[2], d[3] = s[3];
        continue;
      }
      const double sa = s[3] / kMax * opacity;
      const double da = d[3] / kMax;
      const double outA = sa + da * (1.0 - sa);
      if (outA <= 0.0) continue;
      for (int c = 0; c < 3; ++c) {
        const double v = (s[c] * sa + d[c] * da * (1.0 - sa)) / outA;
        d[c] = static_cast<Sample>(std::clamp(v + 0.5, 0.0, kMax));
      }
      d[3] = static_cast<Sample>(std::clamp(outA * kMax + 0.5, 0.0, kMax));
    }
  }
}

}  // namespace

int32_t IS3OverlayImage(void* dst, uint32_t dstWidth, uint32_t dstHeight, uint32_t bytesPerPixel,
                        uint32_t dstRowBytes, const void* src, uint32_t srcWidth,
                        uint32_t srcHeight, uint32_t srcRowBytes, int32_t x, int32_t y,
                        double opacity, uint32_t flags) {
  if (!dst || !src || dstWidth == 0 || dstHeight == 0 || srcWidth == 0 || srcHeight == 0) return 0;
  switch (bytesPerPixel) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 8:
      break;
    default:
      return 0;
  }
  if (uint64_t{dstRowBytes} < uint64_t{dstWidth} * bytesPerPixel ||
      uint64_t{srcRowBytes} < uint64_t{srcWidth} * bytesPerPixel) {
    return 0;
  }
  if (flags > kOverlayAlphaBlend || !(opacity >= 0.0)) return 0;
  if (flags == kOverlayAlphaBlend && bytesPerPixel != 4 && bytesPerPixel != 8) return 0;

  const Span span = ClipPlacement(dstWidth, dstHeight, srcWidth, srcHeight, x, y);
  if (span.width == 0) return 1;
  auto* d = static_cast<uint8_t*>(dst) + span.dstY * dstRowBytes + span.dstX * bytesPerPixel;
  const auto* s =
      static_cast<const uint8_t*>(src) + span.srcY * srcRowBytes + span.srcX * bytesPerPixel;
  const std::size_t rowBytes = static_cast<std::size_t>(span.width) * bytesPerPixel;
  const bool wide = bytesPerPixel == 2 || bytesPerPixel == 8;

  if (flags == kOverlayCopy && opacity >= 1.0) {
    if (rowBytes == dstRowBytes && rowBytes == srcRowBytes) {
      std::memmove(d, s, rowBytes * static_cast<std::size_t>(span.height));
    } else {
      for (int64_t row = 0; row < span.height; ++row)
        std::memmove(d + row * dstRowBytes, s + row * srcRowBytes, rowBytes);
    }
  } else if (flags == kOverlayCopy) {
    if (wide)
      MixRows<uint16_t>(d, dstRowBytes, s, srcRowBytes, rowBytes / 2, span.height, opacity);
    else
      MixRows<uint8_t>(d, dstRowBytes, s, srcRowBytes, rowBytes, span.height, opacity);
  } else {
    const double clamped = std::min(opacity, 1.0);
    if (wide)
      AlphaBlendRows<uint16_t>(d, dstRowBytes, s, srcRowBytes, span.width, span.height, clamped);
    else
      AlphaBlendRows<uint8_t>(d, dstRowBytes, s, srcRowBytes, span.width, span.height, clamped);
  }
  return 1;
}

int32_t IS40_OverlayImage(void* dst, uint32_t dstWidth, uint32_t dstHeight, uint32_t bytesPerPixel,
                          uint32_t dstRowBytes, const void* src, uint32_t srcWidth,
                          uint32_t srcHeight, uint32_t srcRowBytes, int32_t x, int32_t y,
                          double opacity, uint32_t flags, uint32_t colourKey, uint32_t reserved) {
  return IS3OverlayImage(dst, dstWidth, dstHeight, bytesPerPixel, dstRowBytes, src, srcWidth,
                         srcHeight, srcRowBytes, x, y, opacity, flags);
}

}  // namespace imaging
