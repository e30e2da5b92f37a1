// Making the image brush: from files, memory, strips of frames, a colour or the blend buffer, and
// writing it out.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "brush/image_brush.h"
#include "brush/image_brush_pictures.h"
#include "brush/picture_source.h"
#include "brush/tool_state.h"
#include "engine/engine_state.h"
#include "engine/pixel_formats.h"
#include "imaging/file_handles.h"
#include "imaging/picture_writers.h"

namespace brush {
namespace {

ImageBrushPictures& Pictures() { return brush::ImageBrushes(); }

bool FitsTheBrush(int32_t width, int32_t height) {
  const int32_t limit = engine::State().maxBrushSize;
  return width >= 1 && height >= 1 && width <= limit && height <= limit;
}

Rgba64Picture Converted(const uint8_t* pixels, int32_t width, int32_t height) {
  Rgba64Picture picture = MakeRgba64Picture(width, height);
  engine::RGBA32ToRGBA64(pixels, picture.pixels.get(), width, height);
  return picture;
}

// The brush size when it can size a picture, else 0.
int32_t BrushSide() {
  const engine::EngineState& s = engine::State();
  const int32_t n = brush::Tool().brushSize;
  return n >= 1 && n <= s.maxBrushSize ? n : 0;
}

uint16_t Wide(int32_t channel) { return uint16_t(std::clamp(channel, 0, 255) * 257); }

}  // namespace

void LoadImageBrush(const char* name) {
  if (!name) return;
  const RgbaPicture read = ReadPictureFile(name);
  if (!read || !FitsTheBrush(read.width, read.height)) return;
  Pictures().brush = Converted(read.pixels.get(), read.width, read.height);
}

void LoadImageBrushFromRGBA32(const uint8_t* pixels, int32_t width, int32_t height) {
  if (!pixels || !FitsTheBrush(width, height)) return;
  Pictures().brush = Converted(pixels, width, height);
}

void LoadImageBrushArray(const char* name) {
  if (!name) return;
  const RgbaPicture read = ReadPictureFile(name);
  if (!read || read.height > engine::State().maxBrushSize || read.width < read.height) return;
  Rgba64Picture strip = Converted(read.pixels.get(), read.width, read.height);
  Rgba64Picture frame = MakeRgba64Picture(read.height, read.height);
  ImageBrushPictures& p = Pictures();
  p.strip = std::move(strip);
  p.frameCount = read.width / read.height;
  p.brush = std::move(frame);
  CopyFromImageBrushArray(0.0f);
}

void CopyFromImageBrushArray(float position) {
  ImageBrushPictures& p = Pictures();
  if (!p.strip || p.frameCount < 1) return;
  const int32_t side = p.strip.height;
  // Positions run from 0 up to (not including) 1; others choose the nearer end frame.
  const float chosen = float(p.frameCount) * position;
  const int32_t index =
      chosen >= 0 ? int32_t(std::min(std::trunc(chosen), float(p.frameCount - 1))) : 0;
  // A frame is the strip's height square; an image brush of another size gives way to one.
  if (p.brush.width != side || p.brush.height != side) p.brush = MakeRgba64Picture(side, side);
  for (int32_t row = 0; row < side; ++row) {
    const uint16_t* from =
        p.strip.pixels.get() + (std::size_t(row) * p.strip.width + std::size_t(index) * side) * 4;
    std::copy_n(from, std::size_t(side) * 4, p.brush.pixels.get() + std::size_t(row) * side * 4);
  }
}

void FillImageBrush(int32_t red, int32_t green, int32_t blue) {
  const int32_t n = BrushSide();
  if (n == 0) return;
  Rgba64Picture picture = MakeRgba64Picture(n, n);
  const uint16_t pixel[4] = {Wide(red), Wide(green), Wide(blue), 65535};
  for (std::size_t i = 0; i < std::size_t(n) * n; ++i)
    std::memcpy(picture.pixels.get() + 4 * i, pixel, sizeof pixel);
  Pictures().brush = std::move(picture);
}

void ColorImageBrush(int32_t red, int32_t green, int32_t blue) {
  ImageBrushPictures& p = Pictures();
  if (!p.brush) {
    const int32_t n = BrushSide();
    if (n == 0) return;
    Rgba64Picture white = MakeRgba64Picture(n, n);
    std::fill_n(white.pixels.get(), std::size_t(n) * n * 4, uint16_t(65535));
    p.brush = std::move(white);
  }
  const uint16_t colour[3] = {Wide(red), Wide(green), Wide(blue)};
  uint16_t* px = p.brush.pixels.get();
  for (std::size_t i = 0; i < std::size_t(p.brush.width) * p.brush.height; ++i, px += 4) {
    px[0] = colour[0], px[1] = colour[1], px[2] = colour[2];
  }
}

void CopyToImageBrush() {
  const engine::EngineState& s = engine::State();
  const int32_t n = BrushSide();
  if (n == 0 || !s.blendBuffer) return;
  Rgba64Picture picture = MakeRgba64Picture(n, n);
  for (int32_t row = 0; row < n; ++row) {
    std::copy_n(s.blendBuffer + std::size_t(row) * s.brushStride, std::size_t(n) * 4,
                picture.pixels.get() + std::size_t(row) * n * 4);
  }
  Pictures().brush = std::move(picture);
}

void SaveImageBrush(const char* name) {
  const Rgba64Picture& brush = Pictures().brush;
  if (!name || !brush) return;
  const engine::OwnedPlane<uint8_t> rgba =
      engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(brush.width, brush.height, 4));
  engine::RGBA64ToRGBA32(brush.pixels.get(), rgba.get(), brush.width, brush.height);
  imaging::ISDest dest = imaging::IS3OpenFileDest(name, 0);
  if (!dest) return;
  // 2834 pixels per metre: about 72 dots per inch.
  const imaging::ISResolution resolution{2834, 2834, 1};
  constexpr uint32_t kRgba = 6;
  imaging::IS3WritePNG(dest, rgba.get(), uint32_t(brush.width), uint32_t(brush.height),
                       uint32_t(brush.width) * 4, 8, 0, nullptr, kRgba, 0, &resolution, 0);
  imaging::IS3CloseDest(dest);
}

}  // namespace brush
