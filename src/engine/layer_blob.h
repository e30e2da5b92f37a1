// Compressed layer blobs: a whole layer as RGBA32 bytes in one zlib stream.
#pragma once

#include <cstdint>

namespace engine {

// Converts the layer (canvas-sized) to packed RGBA32 and compresses it with the image library;
// out, outArgument and level pass through to imaging::IS3ZDeflateBuffer, which says what the
// caller gets back. Returns that call's result (the blob's size), or 0 when the layer has no
// pixels. A temporary buffer that cannot be allocated throws std::bad_alloc.
int32_t GetRGBA32LayerCompressed(void* out, int32_t reserved, void* outArgument, int32_t index,
                                 int32_t level);
// Inflates a blob into the layer (its own width x height): every byte becomes its value times
// 256, alpha and the colour of transparent pixels included, so a blob taken from a layer of
// 8-bit content brings it back exactly. A blob that is damaged or does not hold exactly the
// layer's bytes is refused and the layer left as it was. Returns 1, or 0 when refused.
int32_t LoadRGBA32LayerCompressed(const void* blob, int32_t reserved, int32_t blobSize,
                                  int32_t index);

}  // namespace engine
