// Reading a picture file into a host buffer of a known size.
#include <algorithm>
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

// Opens path for reading and tells whether it holds a metafile, which is drawn rather than
// decoded; the source is then already closed and null.
imaging::ISSource OpenPicture(const char* path, bool& metafile) {
  metafile = false;
  imaging::ISSource source = imaging::IS40_OpenFileSource(path);
  if (!source) return nullptr;
  const int32_t type = imaging::IS40_GuessFileType(source);
  imaging::IS40_Seek(source, 0, 0);
  if (type == imaging::kFileTypeWMF || type == imaging::kFileTypeEMF) {
    imaging::IS40_CloseSource(source);
    metafile = true;
    return nullptr;
  }
  return source;
}

// A metafile drawn at the canvas size over the current colour, as RGB24 (malloc'd), or null.
uint8_t* DrawMetafile(const char* path, uint32_t* width, uint32_t* height) {
  const auto& state = engine::State();
  return imaging::IS40_ReadMetafile(path, width, height, uint32_t(std::max(state.canvasWidth, 0)),
                                    uint32_t(std::max(state.canvasHeight, 0)),
                                    MetafileBackgroundColour(), 0);
}

// Metafiles are rendered at the canvas size over the current colour, as RGB24; they fit dst only
// when the canvas is its size.
int32_t ReadMetafileInto(const char* path, uint8_t* dst, int32_t width, int32_t height,
                         int channels) {
  uint32_t w = 0, h = 0;
  uint8_t* rgb = DrawMetafile(path, &w, &h);
  const std::unique_ptr<uint8_t, decltype(&std::free)> owned(rgb, &std::free);
  if (!rgb || w != uint32_t(width) || h != uint32_t(height)) return 0;
  const std::size_t count = std::size_t(width) * std::size_t(height);
  if (channels == 3) {
    std::memcpy(dst, rgb, count * 3);
    return 1;
  }
  const uint8_t* s = rgb;
  for (std::size_t i = 0; i < count; ++i, s += 3, dst += 4) {
    dst[0] = s[0], dst[1] = s[1], dst[2] = s[2], dst[3] = 255;  // widened with opaque alpha
  }
  return 1;
}

// Every other type is decoded by the library straight into dst when it is the file's size; dst is
// untouched when it is not or the file cannot be read.
int32_t ReadInto(uint8_t* dst, int32_t width, int32_t height, const char* path, int channels) {
  if (!dst || !path || width <= 0 || height <= 0) return 0;
  bool metafile = false;
  imaging::ISSource source = OpenPicture(path, metafile);
  if (metafile) return ReadMetafileInto(path, dst, width, height, channels);
  if (!source) return 0;
  const uint32_t format = channels == 4 ? imaging::kReadFormatRGBA32 : imaging::kReadFormatRGB24;
  const int32_t read =
      imaging::IS40_ReadImageInto(source, dst, uint32_t(width), uint32_t(height), format);
  imaging::IS40_CloseSource(source);
  return read;
}

}  // namespace

void ReadPicture(const char* path, DecodedPicture& block) {
  bool metafile = false;
  imaging::ISSource source = OpenPicture(path, metafile);
  if (metafile) {
    block.pixels = DrawMetafile(path, &block.width, &block.height);
    block.rgb24 = true;
    return;
  }
  if (!source) return;
  block.pixels =
      imaging::IS40_ReadImage(source, &block.width, &block.height, imaging::kReadFormatRGBA32, 0);
  imaging::IS40_CloseSource(source);
}

int32_t ReadFromFileRGB24(void* dst, int32_t width, int32_t height, const char* path) {
  return ReadInto(static_cast<uint8_t*>(dst), width, height, path, 3);
}

int32_t ReadFromFileRGBA32(void* dst, int32_t width, int32_t height, const char* path) {
  return ReadInto(static_cast<uint8_t*>(dst), width, height, path, 4);
}

}  // namespace io
