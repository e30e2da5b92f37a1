#include "imaging/zlib_buffers.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>

namespace imaging {
namespace {

// Inflates the whole blob and returns the size of its content, or -1 when the stream is not
// complete and intact or its content passes limit bytes. With dst null the content is thrown
// away as it comes (a check that writes nothing); otherwise it lands in dst.
int64_t InflateInto(const void* blob, uint32_t blobSize, uint8_t* dst, uint32_t limit) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return -1;
  stream.next_in = static_cast<Bytef*>(const_cast<void*>(blob));
  stream.avail_in = blobSize;
  static constexpr uInt kScratchBytes = 1u << 16;
  unsigned char scratch[kScratchBytes];
  uint64_t total = 0;
  int status = Z_OK;
  // Z_OK always means progress; a stream that runs out of input or of room ends in Z_BUF_ERROR.
  do {
    stream.next_out = dst ? dst + total : scratch;
    stream.avail_out = dst ? static_cast<uInt>(limit - total) : kScratchBytes;
    const uInt room = stream.avail_out;
    status = inflate(&stream, Z_NO_FLUSH);
    total += room - stream.avail_out;
  } while (status == Z_OK && total <= limit);
  inflateEnd(&stream);
  if (status != Z_STREAM_END || total > limit) return -1;
  return static_cast<int64_t>(total);
}

}  // namespace

int32_t IS3ZDeflateBuffer(const void* src, uint32_t srcBytes, void* out, void* outArgument,
                          int32_t level) {
  if (!src || !out || !outArgument || level < -1 || level > 9) return 0;
  if (srcBytes > uint32_t{INT32_MAX} / 2) return 0;
  uLongf blobBytes = compressBound(srcBytes);
  auto* blob = static_cast<Bytef*>(std::malloc(blobBytes));
  if (!blob) return 0;
  if (compress2(blob, &blobBytes, static_cast<const Bytef*>(src), srcBytes, level) != Z_OK) {
    std::free(blob);
    return 0;
  }
  // Hand back a block of the blob's own size (shrinking in place; the larger one serves if not).
  if (void* shrunk = std::realloc(blob, blobBytes)) blob = static_cast<Bytef*>(shrunk);
  const auto size = static_cast<uint32_t>(blobBytes);
  std::memcpy(out, &blob, sizeof blob);
  std::memcpy(outArgument, &size, sizeof size);
  return static_cast<int32_t>(size);
}

int32_t IS3ZInflateBuffer(const void* blob, uint32_t blobSize, void* dst, uint32_t dstBytes,
                          uint32_t flags) {
  if (!blob || !dst || blobSize == 0 || dstBytes > uint32_t{INT32_MAX}) return 0;
  // Check the whole stream first, writing nothing, so that a bad blob leaves dst as it was.
  const int64_t content = InflateInto(blob, blobSize, nullptr, dstBytes);
  if (content <= 0) return 0;
  if (InflateInto(blob, blobSize, static_cast<uint8_t*>(dst), static_cast<uint32_t>(content)) !=
      content) {
    return 0;
  }
  return static_cast<int32_t>(content);
}

}  // namespace imaging
