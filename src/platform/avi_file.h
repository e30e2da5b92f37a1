// Movie files in place of the desktop's AVI file services, written with libavformat. A file holds
// one video stream; frames go in either as they are (uncompressed DIB rows, the "DIB " handler) or
// through an encoder that a host-installed compression chooser names.
#pragma once

#include <cstdint>

#include "platform/dib_section.h"

namespace platform {

// The desktop's AVI result codes, which the movie writer hands on.
inline constexpr uint32_t kAviOk = 0;
inline constexpr uint32_t kAviErrBadHandle = 0x8004406C;
inline constexpr uint32_t kAviErrBadParam = 0x8004406A;
inline constexpr uint32_t kAviErrFileWrite = 0x80044074;
inline constexpr uint32_t kAviErrNoCompressor = 0x80044071;
inline constexpr uint32_t kAviErrMemory = 0x80044067;
inline constexpr uint32_t kAviErrError = 0x800440C7;
inline constexpr uint32_t kAviErrCompressor = 0x80044070;
inline constexpr uint32_t kAviErrUserAbort = 0x800440C6;

inline constexpr uint32_t kAviKeyFrame = 0x10;

constexpr uint32_t FourCC(const char (&text)[5]) {
  return uint32_t(uint8_t(text[0])) | uint32_t(uint8_t(text[1])) << 8 |
         uint32_t(uint8_t(text[2])) << 16 | uint32_t(uint8_t(text[3])) << 24;
}

struct AviFile;
struct AviStream;

struct AviStreamInfo {
  uint32_t type = 0;  // FourCC("vids")
  uint32_t handler = 0;
  uint32_t scale = 0;  // seconds a frame = scale / rate
  uint32_t rate = 0;
  uint32_t suggestedBufferSize = 0;
  int32_t frameLeft = 0, frameTop = 0, frameRight = 0, frameBottom = 0;
};

// What the compression step chose: handler FourCC("DIB ") stores frames as they are; otherwise
// codec names an encoder of libavcodec ("ffv1", "png", ...).
struct AviCompressOptions {
  uint32_t handler = 0;
  char codec[32] = {};
};

// Stands in for the compression dialog: fills codec (an empty name keeps frames uncompressed) and
// returns non-zero, or returns 0 when the user cancels.
using AviCompressionChooser = int32_t (*)(char* codec, int32_t codecBytes, void* user);
// Null restores the default, which keeps frames uncompressed without asking.
void SetAviCompressionChooser(AviCompressionChooser chooser, void* user);

// Creates (or truncates) the file. Null when it cannot be created.
AviFile* AviFileOpen(const char* path);
uint32_t AviFileCreateStream(AviFile* file, AviStream** stream, const AviStreamInfo& info);
// Asks the compression chooser; 1 when a choice was made, 0 when cancelled.
int32_t AviSaveOptions(AviStream* stream, AviCompressOptions* options);
uint32_t AviMakeCompressedStream(AviStream** compressed, AviStream* source,
                                 const AviCompressOptions& options);
// Fixes the frame format (24- or 32-bit, uncompressed, bottom-up). The first format set stays.
uint32_t AviStreamSetFormat(AviStream* stream, int32_t position, const BitmapInfoHeader* format,
                            int32_t formatBytes);
// The format set on the stream; false when none was.
bool AviStreamFormat(const AviStream* stream, BitmapInfoHeader* format);
uint32_t AviStreamWrite(AviStream* stream, int32_t start, int32_t samples, const void* bits,
                        int32_t bytes, uint32_t flags);
void AviStreamRelease(AviStream* stream);
// Finishes and closes the file. With keep false, or when the file holds no frame, or when
// finishing fails, the file is removed. Returns kAviOk when a complete movie was kept.
uint32_t AviFileRelease(AviFile* file, bool keep);

}  // namespace platform
