// The insides of the file handles, shared by the codecs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>

#include "imaging/file_handles.h"

namespace imaging {

struct FileSource {
  const uint8_t* data = nullptr;
  std::size_t size = 0;
  std::size_t position = 0;
  void* mapping = nullptr;  // set when the bytes are a mapped file
  std::size_t mappingBytes = 0;
  uint8_t emptyFile = 0;

  std::span<const uint8_t> Remaining() const { return {data + position, size - position}; }
};

struct FileDest {
  std::FILE* file = nullptr;
  bool failed = false;

  bool Write(const void* bytes, std::size_t count) {
    if (failed) return false;
    if (count && std::fwrite(bytes, 1, count, file) != count) failed = true;
    return !failed;
  }
  bool Put8(uint8_t v) { return Write(&v, 1); }
  bool Put16le(uint16_t v) {
    const uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
    return Write(b, 2);
  }
  bool Put32le(uint32_t v) {
    const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    return Write(b, 4);
  }
  bool Put16be(uint16_t v) {
    const uint8_t b[2] = {uint8_t(v >> 8), uint8_t(v)};
    return Write(b, 2);
  }
  bool Put32be(uint32_t v) {
    const uint8_t b[4] = {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
    return Write(b, 4);
  }
};

}  // namespace imaging
