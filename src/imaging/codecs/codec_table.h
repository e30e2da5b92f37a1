// The codecs behind the picture-file functions. Each codec lives in its own file and offers the
// same entry points: a content sniff (a score, 0 when the bytes are not its format), the
// dimensions and resolution, and a reader that returns a malloc'd RGBA32 picture. Readers treat
// their input as hostile: every size is checked before anything is allocated.
#pragma once

#include <cstdint>
#include <span>

#include "imaging/codecs/codec_limits.h"
#include "imaging/codecs/file_access.h"

namespace imaging {

using Bytes = std::span<const uint8_t>;

struct ImageInfo {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t bitDepth = 0;  // bits a pixel as stored
  ISResolution resolution;
};

struct CodecEntry {
  int32_t type;
  int (*sniff)(Bytes bytes);
  bool (*readInfo)(Bytes bytes, ImageInfo& info);
  MallocBlock (*read)(Bytes bytes, uint32_t& width, uint32_t& height);  // RGBA32
};

#define PALMORA_DECLARE_CODEC(name)                                 \
  namespace name {                                                  \
  int Sniff(Bytes bytes);                                           \
  bool ReadInfo(Bytes bytes, ImageInfo& info);                      \
  MallocBlock Read(Bytes bytes, uint32_t& width, uint32_t& height); \
  }

PALMORA_DECLARE_CODEC(bmp_codec)
PALMORA_DECLARE_CODEC(png_codec)
PALMORA_DECLARE_CODEC(jpeg_codec)
PALMORA_DECLARE_CODEC(tiff_codec)
PALMORA_DECLARE_CODEC(gif_codec)
PALMORA_DECLARE_CODEC(tga_codec)
PALMORA_DECLARE_CODEC(pcx_codec)
PALMORA_DECLARE_CODEC(psd_codec)
PALMORA_DECLARE_CODEC(emf_codec)
PALMORA_DECLARE_CODEC(wmf_codec)
#undef PALMORA_DECLARE_CODEC

// Decoding straight into a caller's buffer of a known size, for the codecs that can promise to
// write it only on success.
enum class DirectRead {
  kDone,          // dst holds the picture
  kFailed,        // not a picture of that size, or it failed before writing dst
  kNotAttempted,  // the codec cannot promise this file: decode into a block of its own instead
};
namespace jpeg_codec {
DirectRead ReadInto(Bytes bytes, uint8_t* dst, uint32_t width, uint32_t height, uint32_t channels);
}

// The codec with the highest sniff score, or kFileTypeUnknown.
int32_t GuessType(Bytes bytes);
const CodecEntry* CodecForType(int32_t type);

}  // namespace imaging
