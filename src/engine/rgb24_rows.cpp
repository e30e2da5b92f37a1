// The 3-byte row kernels of pixel_formats.h: the portable loops, and the choice of the SSSE3
// kernels where the processor has them (made once).
#include <atomic>

#include "engine/rgb24_rows_internal.h"

namespace engine {
namespace rgb24 {
namespace {

std::atomic<bool> g_vectorAllowed{true};

bool UseVector() {
#if defined(__x86_64__) || defined(__i386__)
  static const bool ssse3 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3") != 0;
  }();
  return ssse3 && g_vectorAllowed.load(std::memory_order_relaxed);
#else
  return false;
#endif
}

}  // namespace

void ReadPortable(Kind kind, const uint16_t* __restrict src, uint8_t* __restrict dst,
                  std::size_t first, std::size_t end) {
  if (kind == Kind::kReadAlpha) {
    for (std::size_t i = first; i < end; ++i) {
      const uint8_t grey = High8(src[4 * i + 3]);
      dst[3 * i + 0] = grey;
      dst[3 * i + 1] = grey;
      dst[3 * i + 2] = grey;
    }
    return;
  }
  for (std::size_t i = first; i < end; ++i) {
    dst[3 * i + 0] = High8(src[4 * i + 0]);
    dst[3 * i + 1] = High8(src[4 * i + 1]);
    dst[3 * i + 2] = High8(src[4 * i + 2]);
  }
}

void LoadPortable(Kind kind, const uint8_t* __restrict src, uint16_t* __restrict dst,
                  std::size_t first, std::size_t end) {
  for (std::size_t i = first; i < end; ++i) {
    const uint8_t* in = src + 3 * i;
    uint16_t* out = dst + 4 * i;
    switch (kind) {
      case Kind::kLoadColour:
        out[0] = Widen8(in[0]);
        out[1] = Widen8(in[1]);
        out[2] = Widen8(in[2]);
        break;
      case Kind::kLoadAlpha:
        // Transparent pixels stay transparent: the alpha load reshapes what is there.
        if (out[3] != 0) out[3] = Widen8(in[0]);
        break;
      case Kind::kLoadBgr:
        out[0] = Widen8(in[2]);
        out[1] = Widen8(in[1]);
        out[2] = Widen8(in[0]);
        out[3] = 65535;
        break;
      default:
        break;
    }
  }
}

void SetVectorRowsForTesting(bool enabled) noexcept {
  g_vectorAllowed.store(enabled, std::memory_order_relaxed);
}

namespace {

void Read(Kind kind, const uint16_t* src, uint8_t* dst, std::size_t pixels, Stores stores) {
  if (UseVector()) {
    ReadSsse3(kind, src, dst, pixels, stores);
  } else {
    ReadPortable(kind, src, dst, 0, pixels);
  }
}

void Load(Kind kind, const uint8_t* src, uint16_t* dst, std::size_t pixels, Stores stores) {
  if (UseVector()) {
    LoadSsse3(kind, src, dst, pixels, stores);
  } else {
    LoadPortable(kind, src, dst, 0, pixels);
  }
}

}  // namespace
}  // namespace rgb24

void RowRGBA64ToRGB24(const uint16_t* src, uint8_t* dst, std::size_t pixels, Stores stores) {
  rgb24::Read(rgb24::Kind::kReadColour, src, dst, pixels, stores);
}

void RowAlphaToGrey24(const uint16_t* src, uint8_t* dst, std::size_t pixels, Stores stores) {
  rgb24::Read(rgb24::Kind::kReadAlpha, src, dst, pixels, stores);
}

void RowLoadRGB24Colour(const uint8_t* src, uint16_t* dst, std::size_t pixels, Stores stores) {
  rgb24::Load(rgb24::Kind::kLoadColour, src, dst, pixels, stores);
}

void RowLoadRGB24Alpha(const uint8_t* src, uint16_t* dst, std::size_t pixels, Stores stores) {
  rgb24::Load(rgb24::Kind::kLoadAlpha, src, dst, pixels, stores);
}

void RowLoadBGR24(const uint8_t* src, uint16_t* dst, std::size_t pixels, Stores stores) {
  rgb24::Load(rgb24::Kind::kLoadBgr, src, dst, pixels, stores);
}

}  // namespace engine
