// Run-length line streams with which hosts store layers and the mask compactly. A stream is a
// sequence of records with no header and no terminator; the reader is told how many pixels to
// decode.
//   RGBA32 line: 5-byte records (count, red, green, blue, alpha), count 1..255 equal pixels.
//   G8 line:     2-byte records (count, value), count 1..255 equal samples.
// Encoders take the high byte of every sample; decoders write each byte times 256.
#pragma once

#include <cstdint>

namespace engine {

inline constexpr int32_t kRGBA32RecordBytes = 5;
inline constexpr int32_t kG8RecordBytes = 2;
inline constexpr int32_t kMaxRun = 255;

// Encode count pixels (samples) into dst, which must hold a record per pixel in the worst case.
// Return the bytes written; 0 for null buffers or a count below 1 (or too large for the result).
int32_t RLECompressRGBA64ToRGBA32(const uint16_t* src, uint8_t* dst, int32_t count);
int32_t RLECompressG16ToG8(const uint16_t* src, uint8_t* dst, int32_t count);

// Decode count pixels (samples), never writing more than count even when a run goes past it.
// The stream must hold them; for streams of unknown origin use the checked variants.
// Returns the position in dst after the last pixel written (dst for null buffers).
uint16_t* RLEUncompressRGBA32ToRGBA64(const uint8_t* src, uint16_t* dst, int32_t count);
void RLEUncompressG8ToG16(const uint8_t* src, uint16_t* dst, int32_t count);

// Checked decoders for streams loaded from files: they read only the srcBytes bytes of the
// stream. When those do not hold count pixels in whole records, nothing is written and the result
// is 0; otherwise the result is the number of stream bytes the count pixels took.
int32_t RLEUncompressRGBA32ToRGBA64Checked(const uint8_t* src, uint16_t* dst, int32_t count,
                                           int32_t srcBytes);
int32_t RLEUncompressG8ToG16Checked(const uint8_t* src, uint16_t* dst, int32_t count,
                                    int32_t srcBytes);

}  // namespace engine
