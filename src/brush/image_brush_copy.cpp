// The image brush on its way into the blend buffer: sized to the brush, turned, and copied.
#include <algorithm>
#include <cstring>
#include <new>

#include "brush/image_brush.h"
#include "brush/image_brush_pictures.h"
#include "brush/picture_source.h"
#include "brush/tool_state.h"
#include "engine/engine_state.h"
#include "engine/pixel_formats.h"
#include "imaging/channels.h"
#include "imaging/resample.h"

namespace brush {
namespace {

ImageBrushPictures& Pictures() { return brush::ImageBrushes(); }

// The resampling filters of the sizing: 15 (area average) when shrinking, 8 (Lanczos3) otherwise.
constexpr uint32_t kShrinkFilter = 15;
constexpr uint32_t kGrowFilter = 8;

// k = trunc(strength x 2.559): 0..255, strengths outside 0..100 taken as the nearer end.
uint32_t KeepShare(int32_t strength) { return uint32_t(std::clamp(strength, 0, 100) * 2.559); }

// The blend buffer's rows for a square of side n: the buffer holds at most maxBrushSize of them.
int32_t BlendSide(int32_t n) { return std::min(n, engine::State().maxBrushSize); }

}  // namespace

void SizeImageBrush() {
  ImageBrushPictures& p = Pictures();
  const int32_t n = brush::Tool().brushSize;
  if (!p.brush || n < 1) return;
  if (p.sized && p.sized.width != n) p.sized = Rgba64Picture{};
  if (!p.sized) p.sized = MakeRgba64Picture(n, n);
  p.unturnedCurrent = false;
  const Rgba64Picture& brush = p.brush;
  if (brush.width == n && brush.height == n) {
    std::copy_n(brush.pixels.get(), std::size_t(n) * n * 4, p.sized.pixels.get());
    return;
  }
  // Only a square picture is copied straight; any other is resampled to the square.
  const uint32_t filter = n < brush.width ? kShrinkFilter : kGrowFilter;
  if (!imaging::is5_ResizeImage(brush.pixels.get(), uint32_t(brush.width), uint32_t(brush.height),
                                uint32_t(brush.width) * 8, p.sized.pixels.get(), uint32_t(n),
                                uint32_t(n), uint32_t(n) * 8, 8, filter, 0)) {
    p.sized = Rgba64Picture{};  // no sized picture rather than an unwritten one
  }
}

void RotateImageBrush(int32_t angle) {
  ImageBrushPictures& p = Pictures();
  if (!p.sized) return;
  const int32_t n = p.sized.width;
  const std::size_t bytes = engine::PlaneBytes(n, n, 4);
  if (!(p.unturnedCurrent && p.unturned && p.turned)) {
    if (p.turnedSide != n) {
      p.unturned.reset();
      p.turned.reset();
    }
    try {
      if (!p.unturned) p.unturned = engine::MakeOwnedPlane<uint8_t>(bytes);
      if (!p.turned) {
        p.turned = engine::MakeOwnedPlane<uint8_t>(bytes);
        std::memset(p.turned.get(), 0, bytes);
      }
    } catch (const std::bad_alloc&) {
      p.unturnedCurrent = false;
      throw;
    }
    p.turnedSide = n;
    engine::RGBA64ToRGBA32(p.sized.pixels.get(), p.unturned.get(), n, n);
    p.unturnedCurrent = true;
  }
  const engine::OwnedPlane<uint8_t> alpha =
      engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(n, n, 1));
  const uint32_t side = uint32_t(n), rowBytes = side * 4;
  uint8_t* turned = p.turned.get();
  // The alpha goes through the turn as the first channel, then the colour goes through it.
  const int32_t turnAngle = 360 - angle;
  imaging::IS3SplitImage(p.unturned.get(), side, side, rowBytes, 4, nullptr, nullptr, nullptr,
                         alpha.get(), side);
  imaging::IS3CombineImageChannels(turned, side, side, rowBytes, 4, alpha.get(), nullptr, nullptr,
                                   nullptr, side);
  if (TurnPixels(turned, n, n, turnAngle)) {
    imaging::IS3SplitImage(turned, side, side, rowBytes, 4, alpha.get(), nullptr, nullptr, nullptr,
                           side);
  }
  std::copy_n(p.unturned.get(), bytes, turned);
  if (TurnPixels(turned, n, n, turnAngle)) {
    imaging::IS3CombineImageChannels(turned, side, side, rowBytes, 4, nullptr, nullptr, nullptr,
                                     alpha.get(), side);
  }
}

void CopyFromImageBrush(int32_t strength) {
  const uint32_t k = KeepShare(strength);
  SizeImageBrush();
  const engine::EngineState& s = engine::State();
  const Rgba64Picture& sized = Pictures().sized;
  if (!sized || !s.blendBuffer) return;
  const int32_t n = BlendSide(sized.width);
  for (int32_t row = 0; row < n; ++row) {
    const uint16_t* picture = sized.pixels.get() + std::size_t(row) * sized.width * 4;
    uint16_t* blend = s.blendBuffer + std::size_t(row) * s.brushStride;
    if (k == 0) {
      std::copy_n(picture, std::size_t(n) * 4, blend);
      continue;
    }
    for (int32_t i = 0; i < n * 4; ++i)
      blend[i] = uint16_t((k * blend[i] + (255 - k) * picture[i]) >> 8);
  }
}

void CopyFromImageBrushRotate(int32_t strength) {
  const ImageBrushPictures& p = Pictures();
  const engine::EngineState& s = engine::State();
  if (!p.turned || !p.unturnedCurrent || !s.blendBuffer) return;
  const uint32_t k = KeepShare(strength);
  const int32_t n = BlendSide(p.turnedSide);
  for (int32_t row = 0; row < n; ++row) {
    const uint8_t* turned = p.turned.get() + std::size_t(row) * p.turnedSide * 4;
    uint16_t* blend = s.blendBuffer + std::size_t(row) * s.brushStride;
    for (int32_t i = 0; i < n * 4; ++i) {
      const uint32_t r = turned[i];
      blend[i] = uint16_t(k == 0 ? r * 256 : ((k * blend[i]) >> 8) + (255 - k) * r);
    }
  }
}

}  // namespace brush
