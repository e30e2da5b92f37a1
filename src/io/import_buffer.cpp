#include "io/import_buffer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/engine_state.h"
#include "engine/canvas_lifecycle.h"
#include "engine/heap.h"
#include "engine/layer_load_rgba32.h"
#include "engine/layer_stack.h"
#include "imaging/resample.h"
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

namespace {

void DropAlpha(const uint8_t* s, uint8_t* d, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i, s += 4, d += 3) d[0] = s[0], d[1] = s[1], d[2] = s[2];
}

}  // namespace

void GetNewRGBA24(void* dst) {
  const engine::ImportBuffer& buffer = engine::State().importBuffer;
  if (!dst || !buffer.pixels) return;
  DropAlpha(buffer.pixels, static_cast<uint8_t*>(dst),
            std::size_t(buffer.width) * std::size_t(buffer.height));
}

int32_t GetResizedNewRGBA24(void* dst, int32_t width, int32_t height) {
  const engine::ImportBuffer& buffer = engine::State().importBuffer;
  if (!dst || !buffer.pixels || width <= 0 || height <= 0) return 0;
  auto resized = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(width, height, 4));
  const bool tiny = buffer.width < 5 || buffer.height < 5 || width < 5 || height < 5;
  if (!imaging::is5_ResizeImage(buffer.pixels, uint32_t(buffer.width), uint32_t(buffer.height),
                                uint32_t(buffer.width) * 4, resized.get(), uint32_t(width),
                                uint32_t(height), uint32_t(width) * 4, 4, tiny ? 17 : 8, 0))
    return 0;
  DropAlpha(resized.get(), static_cast<uint8_t*>(dst), std::size_t(width) * std::size_t(height));
  return 1;
}

int32_t IsNewRGBA32Transparent() {
  const engine::ImportBuffer& buffer = engine::State().importBuffer;
  if (!buffer.pixels) return 0;
  const std::size_t count = std::size_t(buffer.width) * std::size_t(buffer.height);
  uint8_t all = 255;
  for (std::size_t i = 0; i < count; ++i) all &= buffer.pixels[4 * i + 3];
  return all != 255 ? 1 : 0;
}

int32_t SetInNewRGBA() {
  const engine::ImportBuffer& buffer = engine::State().importBuffer;
  const engine::EngineState& s = engine::State();
  engine::LayerRecord* layer = engine::LayerWithPixels(s.currentLayerIndex);
  if (!buffer.pixels || !layer || !engine::CanvasLive()) return 0;
  // Only the picture's own rows and columns are read: a layer larger than the picture keeps
  // the rest.
  engine::LoadRGBA32IntoLayer(*layer, buffer.pixels, int64_t(buffer.width) * 4, 0, 0,
                              std::min(buffer.width, layer->width),
                              std::min(buffer.height, layer->height), true);
  return 1;
}

int32_t CreateNewRGBA(int32_t width, int32_t height, const std::function<bool(uint8_t*)>& fill) {
  engine::ImportBuffer& buffer = engine::State().importBuffer;
  try {
    const std::size_t bytes = engine::PlaneBytes(width, height, 4);
    if (width <= 0 || height <= 0) return 0;
    if (buffer.pixels && engine::PlaneBytes(buffer.width, buffer.height, 4) == bytes) {
      if (!fill(buffer.pixels)) return 0;
    } else {
      auto pixels = engine::MakeOwnedPlane<uint8_t>(bytes);
      if (!fill(pixels.get())) return 0;
      engine::ReleasePlane(buffer.pixels);
      buffer.pixels = pixels.release();
    }
  } catch (const std::bad_alloc&) {
    engine::SetLastError("CreateNewRGBA Excpt");
    return 0;
  }
  buffer.width = width;
  buffer.height = height;
  return 1;
}

}  // namespace io
