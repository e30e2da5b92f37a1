// Reading a picture file into a host buffer of a known size.
#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine/engine_state.h"
#include "imaging/imaging.h"
#include "io/metafile_colour.h"
#include "io/picture_files.h"
#include "io/picture_read.h"

namespace io {
namespace {

int32_t ReadInto(uint8_t* dst, int32_t width, int32_t height, const char* path, int channels) {
  if (!dst || !path || width <= 0 || height <= 0) return 0;
  DecodedPicture block;
  ReadPicture(path, block);
  if (!block.pixels || block.width != uint32_t(width) || block.height != uint32_t(height)) return 0;
  const std::size_t count = std::size_t(width) * std::size_t(height);
  const int from = block.rgb24 ? 3 : 4;
  if (from == channels) {
    std::memcpy(dst, block.pixels, count * std::size_t(channels));
    return 1;
  }
  const uint8_t* s = block.pixels;
  for (std::size_t i = 0; i < count; ++i, s += from, dst += channels) {
    dst[0] = s[0], dst[1] = s[1], dst[2] = s[2];
    if (channels == 4) dst[3] = 255;  // a metafile widened with opaque alpha
  }
  return 1;
}

}  // namespace

void ReadPicture(const char* path, DecodedPicture& block) {
  imaging::ISSource source = imaging::IS40_OpenFileSource(path);
  if (!source) return;
  const int32_t type = imaging::IS40_GuessFileType(source);
  imaging::IS40_Seek(source, 0, 0);
  if (type == imaging::kFileTypeWMF || type == imaging::kFileTypeEMF) {
    imaging::IS40_CloseSource(source);
    const auto& state = engine::State();
    block.pixels = imaging::IS40_ReadMetafile(path, &block.width, &block.height,
                                              uint32_t(std::max(state.canvasWidth, 0)),
                                              uint32_t(std::max(state.canvasHeight, 0)),
                                              MetafileBackgroundColour(), 0);
    block.rgb24 = true;
    return;
  }
  block.pixels = imaging::IS40_ReadImage(source, &block.width, &block.height, imaging::kReadFormatRGBA32, 0);
  imaging::IS40_CloseSource(source);
}

int32_t ReadFromFileRGB24(void* dst, int32_t width, int32_t height, const char* path) {
  return ReadInto(static_cast<uint8_t*>(dst), width, height, path, 3);
}

int32_t ReadFromFileRGBA32(void* dst, int32_t width, int32_t height, const char* path) {
  return ReadInto(static_cast<uint8_t*>(dst), width, height, path, 4);
}

}  // namespace io
