#include "io/movie_writer.h"

#include <memory>
#include <new>

#include "engine/engine_state.h"
#include "io/movie_bitmaps.h"

namespace io {
namespace {

using namespace platform;

// The checks both steps start with. A bitmap of another size or depth than the movie's first
// frame is refused like a bitmap that is no DIB section: it would corrupt the stream, and it does
// not spoil the frames around it.
uint32_t FirstChecks(const MovieWriter* movie, const Bitmap* bitmap) {
  if (!movie) return kAviErrBadHandle;
  if (!bitmap || !bitmap->dibSection) return kAviErrBadParam;
  if (movie->failed) return kAviErrError;
  BitmapInfoHeader first;
  if (AviStreamFormat(movie->compressedStream, &first) &&
      (first.width != bitmap->header.width || first.height != bitmap->header.height ||
       first.bitCount != bitmap->header.bitCount))
    return kAviErrBadParam;
  return kAviOk;
}

uint32_t Fail(MovieWriter* movie, uint32_t code) {
  movie->failed = 1;
  return code;
}

uint32_t EnsureRawStream(MovieWriter* movie, const Bitmap* bitmap) {
  if (movie->rawStream) return kAviOk;
  AviStreamInfo info;
  info.type = FourCC("vids");
  info.handler = 0;
  info.scale = uint32_t(movie->period);
  info.rate = 1000;  // frames a second = 1000 / period
  info.suggestedBufferSize = bitmap->header.sizeImage;
  info.frameRight = bitmap->header.width;
  info.frameBottom = bitmap->header.height;
  const uint32_t result = AviFileCreateStream(movie->file, &movie->rawStream, info);
  return result == kAviOk ? kAviOk : Fail(movie, result);
}

// The compressed stream from the chosen options, its format the bitmap's header.
uint32_t MakeCompressedStream(MovieWriter* movie, const Bitmap* bitmap,
                              const AviCompressOptions& options) {
  uint32_t result = AviMakeCompressedStream(&movie->compressedStream, movie->rawStream, options);
  if (result != kAviOk) return Fail(movie, result);
  const int32_t formatBytes = int32_t(bitmap->header.size + 4 * bitmap->header.clrUsed);
  result = AviStreamSetFormat(movie->compressedStream, 0, &bitmap->header, formatBytes);
  return result == kAviOk ? kAviOk : Fail(movie, result);
}

void WriteFrame(const Bitmap* bitmap) {
  MovieWriter* movie = engine::State().movie;
  AviOptionsStep(movie, bitmap);
  AviFrameStep(movie, bitmap);
}

}  // namespace

uint32_t AviOptionsStep(MovieWriter* movie, const Bitmap* bitmap) {
  if (const uint32_t checked = FirstChecks(movie, bitmap); checked != kAviOk) return checked;
  if (movie->compressedStream) return kAviErrCompressor;
  if (const uint32_t raw = EnsureRawStream(movie, bitmap); raw != kAviOk) return raw;
  AviCompressOptions options;
  if (!AviSaveOptions(movie->rawStream, &options)) return Fail(movie, kAviErrUserAbort);
  return MakeCompressedStream(movie, bitmap, options);
}

uint32_t AviFrameStep(MovieWriter* movie, const Bitmap* bitmap) {
  if (const uint32_t checked = FirstChecks(movie, bitmap); checked != kAviOk) return checked;
  if (const uint32_t raw = EnsureRawStream(movie, bitmap); raw != kAviOk) return raw;
  if (!movie->compressedStream) {
    AviCompressOptions uncompressed;
    uncompressed.handler = FourCC("DIB ");
    if (const uint32_t made = MakeCompressedStream(movie, bitmap, uncompressed); made != kAviOk)
      return made;
  }
  const uint32_t result =
      AviStreamWrite(movie->compressedStream, movie->frameCount, 1, bitmap->bits.get(),
                     int32_t(bitmap->header.sizeImage), kAviKeyFrame);
  if (result != kAviOk) return Fail(movie, result);
  ++movie->frameCount;
  return kAviOk;
}

MovieWriter* CreateAVI(const char* path, int32_t period) {
  if (!path || !*path || period < 1) return nullptr;
  // One movie at a time: an open one is finished rather than abandoned with its frames.
  CloseAVI();
  auto movie = std::make_unique<MovieWriter>();
  movie->period = period;
  movie->file = AviFileOpen(path);
  if (!movie->file) return nullptr;
  engine::State().movie = movie.get();
  return movie.release();
}

void WriteAVI(const char* bitmapPath) {
  if (!engine::State().movie) return;
  const auto bitmap = LoadBitmapFile(bitmapPath);
  WriteFrame(bitmap.get());
}

void WriteAVI_RGB24(const void* pixels, int32_t width, int32_t height) {
  if (!engine::State().movie) return;
  const auto bitmap = RGBToDibSection(pixels, width, height);
  WriteFrame(bitmap.get());
}

int32_t CloseAVI() {
  MovieWriter* movie = engine::State().movie;
  if (!movie) return 0;
  engine::State().movie = nullptr;
  AviStreamRelease(movie->spareStream);
  AviStreamRelease(movie->compressedStream);
  AviStreamRelease(movie->rawStream);
  AviFileRelease(movie->file, !movie->failed);
  delete movie;
  return 0;
}

}  // namespace io
