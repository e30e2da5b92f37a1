#include "io/import_buffer.h"

#include <cstring>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "io/picture_read.h"

namespace io {

int32_t ReadFromFile(const char* path) {
  if (!path) return 0;
  DecodedPicture picture;
  ReadPicture(path, picture);
  if (!picture.pixels || picture.width == 0 || picture.height == 0) return 0;
  const int64_t width = picture.width, height = picture.height;
  // Built in a local and installed last, so that a memory failure keeps the earlier picture.
  auto pixels = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(width, height, 4));
  const std::size_t count = std::size_t(width) * std::size_t(height);
  if (picture.rgb24) {
    const uint8_t* s = picture.pixels;
    uint8_t* d = pixels.get();
    for (std::size_t i = 0; i < count; ++i, s += 3, d += 4)
      d[0] = s[0], d[1] = s[1], d[2] = s[2], d[3] = 255;  // metafiles are opaque
  } else {
    std::memcpy(pixels.get(), picture.pixels, count * 4);
  }
  engine::ImportBuffer& buffer = engine::State().importBuffer;
  engine::ReleasePlane(buffer.pixels);
  buffer.pixels = pixels.release();
  buffer.width = int32_t(width);
  buffer.height = int32_t(height);
  return 1;
}

int32_t GetNewRGBAWidth() { return engine::State().importBuffer.width; }

int32_t GetNewRGBAHeight() { return engine::State().importBuffer.height; }

void GetNewRGBA32(void* dst) {
  const engine::ImportBuffer& buffer = engine::State().importBuffer;
  if (!dst || !buffer.pixels) return;
  std::memcpy(dst, buffer.pixels, engine::PlaneBytes(buffer.width, buffer.height, 4));
}

int32_t DeleteNewRGBA() {
  engine::ImportBuffer& buffer = engine::State().importBuffer;
  engine::ReleasePlane(buffer.pixels);
  buffer.width = buffer.height = 0;
  return 1;
}

}  // namespace io
