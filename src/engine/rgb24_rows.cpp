// The 3-byte row kernels of pixel_formats.h: the portable loops, and the choice of the vector
// kernels where the CPU level allows them.
#include "engine/rgb24_rows_internal.h"
#include "platform/cpu_features.h"

namespace engine {
namespace rgb24 {
namespace {

// The widest kernels the current CPU level allows: 0 (the portable loops), 1 (SSSE3) or 2 (AVX2).
int Level() noexcept {
  if (platform::CpuAtLeast(platform::CpuLevel::kAvx2)) return 2;
  return platform::CpuAtLeast(platform::CpuLevel::kSsse3) ? 1 : 0;
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

namespace {

// Reads have no AVX2 kernel: their 3-byte output does not split into the 128-bit halves of a
// register, and the SSSE3 kernel already keeps up with memory.
void Read(Kind kind, const uint16_t* src, uint8_t* dst, std::size_t pixels, Stores stores) {
  if (Level() >= 1) {
    ReadSsse3(kind, src, dst, pixels, stores);
  } else {
    ReadPortable(kind, src, dst, 0, pixels);
  }
}

void Load(Kind kind, const uint8_t* src, uint16_t* dst, std::size_t pixels, Stores stores) {
  switch (Level()) {
    case 2:
      LoadAvx2(kind, src, dst, pixels, stores);
      break;
    case 1:
      LoadSsse3(kind, src, dst, pixels, stores);
      break;
    default:
      LoadPortable(kind, src, dst, 0, pixels);
      break;
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
