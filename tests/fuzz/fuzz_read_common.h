// The body every decoder fuzzer shares: the codec's header reader and pixel reader on the input,
// with a pixel limit low enough that a tiny file cannot make the fuzzer spend gigabytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "imaging/codecs/codec_table.h"

namespace palmora_fuzz {

inline int ReadWithCodec(int32_t type, const uint8_t* data, std::size_t size) {
  imaging::SetDecodePixelLimit(uint64_t{1} << 22);
  const imaging::CodecEntry* codec = imaging::CodecForType(type);
  const imaging::Bytes bytes(data, size);
  codec->sniff(bytes);
  imaging::ImageInfo info;
  codec->readInfo(bytes, info);
  uint32_t w = 0, h = 0;
  imaging::MallocBlock pixels = codec->read(bytes, w, h);
  if (pixels) {
    // Touch the last byte: the block must hold the whole picture.
    volatile uint8_t last = pixels[std::size_t{w} * h * 4 - 1];
    (void)last;
  }
  return 0;
}

}  // namespace palmora_fuzz
