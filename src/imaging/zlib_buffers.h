// Compressing buffers with zlib: the blobs in which hosts store layers.
//
// A blob is one complete zlib stream (RFC 1950: a two-byte header, deflate data and the Adler-32
// checksum of the uncompressed bytes), so any zlib reader can open it and the round trip is
// exact.
#pragma once

#include <cstdint>

namespace imaging {

// Compresses srcBytes bytes at src into a new blob.
//   out          the address of the caller's pointer variable (uint8_t**, passed as void*). On
//                success it receives a block allocated with malloc that holds the blob; the caller
//                releases it with free (a host, with PMR_Free).
//   outArgument  the address of the caller's 32-bit unsigned size variable (uint32_t*). On
//                success it receives the blob's size in bytes.
//   level        the zlib level: 0 (stored, fastest) to 9 (smallest), or -1 for zlib's default,
//                which is 6.
// Returns the blob's size in bytes (always above 0) on success. Returns 0 and writes nothing
// through out and outArgument for null pointers, a level outside -1..9, an input of 2 GiB or
// more, or a lack of memory.
int32_t IS3ZDeflateBuffer(const void* src, uint32_t srcBytes, void* out, void* outArgument,
                          int32_t level);

// Inflates the blob of blobSize bytes at blob into dst, which holds dstBytes bytes. flags is
// reserved; pass 0. Returns the number of bytes the blob holds (above 0) when the blob is a
// complete, intact zlib stream (its checksum verified) whose content fits dst; bytes of dst past
// that count are left alone. Returns 0 and leaves dst untouched for null pointers, a truncated or
// corrupt blob, content larger than dstBytes, or an empty content.
int32_t IS3ZInflateBuffer(const void* blob, uint32_t blobSize, void* dst, uint32_t dstBytes,
                          uint32_t flags);

}  // namespace imaging
