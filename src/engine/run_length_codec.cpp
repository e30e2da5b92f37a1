#include "engine/run_length_codec.h"

#include <algorithm>
#include <cstddef>

#include "engine/pixel_formats.h"

namespace engine {
namespace {

// The channel count and record size of each stream, and how one pixel's 8-bit key is read and
// written. Keys compare whole pixels at once.
struct RGBA32Line {
  static constexpr int32_t kSamples = 4;
  static constexpr int32_t kRecord = kRGBA32RecordBytes;
  static uint32_t Key(const uint16_t* p) {
    return uint32_t{High8(p[0])} | uint32_t{High8(p[1])} << 8 | uint32_t{High8(p[2])} << 16 |
           uint32_t{High8(p[3])} << 24;
  }
  static void PutRecord(uint8_t* out, uint32_t run, uint32_t key) {
    out[0] = static_cast<uint8_t>(run);
    for (int c = 0; c < 4; ++c) out[1 + c] = static_cast<uint8_t>(key >> (8 * c));
  }
  static void Fill(uint16_t* dst, std::size_t n, const uint8_t* record) {
    const uint16_t r = Widen8(record[1]), g = Widen8(record[2]), b = Widen8(record[3]),
                   a = Widen8(record[4]);
    for (std::size_t i = 0; i < n; ++i, dst += 4) {
      dst[0] = r;
      dst[1] = g;
      dst[2] = b;
      dst[3] = a;
    }
  }
};

struct G8Line {
  static constexpr int32_t kSamples = 1;
  static constexpr int32_t kRecord = kG8RecordBytes;
  static uint32_t Key(const uint16_t* p) { return High8(p[0]); }
  static void PutRecord(uint8_t* out, uint32_t run, uint32_t key) {
    out[0] = static_cast<uint8_t>(run);
    out[1] = static_cast<uint8_t>(key);
  }
  static void Fill(uint16_t* dst, std::size_t n, const uint8_t* record) {
    std::fill_n(dst, n, Widen8(record[1]));
  }
};

// A run continues while the next pixel's 8-bit values equal the run's and the run is shorter
// than 255; the last run is always written.
template <class Line>
int32_t Encode(const uint16_t* src, uint8_t* dst, int32_t count) {
  if (!src || !dst || count < 1 || count > INT32_MAX / Line::kRecord) return 0;
  uint8_t* out = dst;
  uint32_t key = Line::Key(src);
  uint32_t run = 1;
  for (int32_t i = 1; i < count; ++i) {
    const uint32_t next = Line::Key(src + std::size_t(i) * Line::kSamples);
    if (next == key && run < kMaxRun) {
      ++run;
      continue;
    }
    Line::PutRecord(out, run, key);
    out += Line::kRecord;
    key = next;
    run = 1;
  }
  Line::PutRecord(out, run, key);
  out += Line::kRecord;
  return static_cast<int32_t>(out - dst);
}

// Decodes count pixels; a run that would pass count is cut to what remains. Returns the pixels
// written (count, for a well-formed stream).
template <class Line>
int32_t Decode(const uint8_t* src, uint16_t* dst, int32_t count) {
  int32_t written = 0;
  for (; written < count; src += Line::kRecord) {
    const int32_t n = std::min<int32_t>(src[0], count - written);
    Line::Fill(dst + std::size_t(written) * Line::kSamples, std::size_t(n), src);
    written += n;
  }
  return written;
}

// The bytes of whole records within srcBytes that bring the count to `count`, or 0 when the
// stream ends first.
template <class Line>
int32_t StreamBytesFor(const uint8_t* src, int32_t count, int32_t srcBytes) {
  int64_t covered = 0;
  int32_t at = 0;
  while (covered < count) {
    if (srcBytes - at < Line::kRecord) return 0;
    covered += src[at];
    at += Line::kRecord;
  }
  return at;
}

template <class Line>
int32_t DecodeChecked(const uint8_t* src, uint16_t* dst, int32_t count, int32_t srcBytes) {
  if (!src || !dst || count < 1 || srcBytes < 1) return 0;
  const int32_t bytes = StreamBytesFor<Line>(src, count, srcBytes);
  if (bytes == 0) return 0;
  Decode<Line>(src, dst, count);
  return bytes;
}

}  // namespace

int32_t RLECompressRGBA64ToRGBA32(const uint16_t* src, uint8_t* dst, int32_t count) {
  return Encode<RGBA32Line>(src, dst, count);
}

int32_t RLECompressG16ToG8(const uint16_t* src, uint8_t* dst, int32_t count) {
  return Encode<G8Line>(src, dst, count);
}

uint16_t* RLEUncompressRGBA32ToRGBA64(const uint8_t* src, uint16_t* dst, int32_t count) {
  if (!src || !dst) return dst;
  return dst + std::size_t(Decode<RGBA32Line>(src, dst, count)) * 4;
}

void RLEUncompressG8ToG16(const uint8_t* src, uint16_t* dst, int32_t count) {
  if (src && dst) Decode<G8Line>(src, dst, count);
}

int32_t RLEUncompressRGBA32ToRGBA64Checked(const uint8_t* src, uint16_t* dst, int32_t count,
                                           int32_t srcBytes) {
  return DecodeChecked<RGBA32Line>(src, dst, count, srcBytes);
}

int32_t RLEUncompressG8ToG16Checked(const uint8_t* src, uint16_t* dst, int32_t count,
                                    int32_t srcBytes) {
  return DecodeChecked<G8Line>(src, dst, count, srcBytes);
}

}  // namespace engine
