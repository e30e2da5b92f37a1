// Pasting the clipboard's picture (or a screen capture) into the current layer, and making an
// image brush of it.
#include <algorithm>
#include <functional>
#include <new>

#include "brush/image_brush.h"
#include "engine/engine_state.h"
#include "engine/canvas_lifecycle.h"
#include "engine/heap.h"
#include "engine/layer_load_rgba32.h"
#include "engine/layer_stack.h"
#include "engine/parallel_rows.h"
#include "engine/pixel_formats.h"
#include "imaging/codecs/codec_limits.h"
#include "imaging/dib.h"
#include "imaging/geometry.h"
#include "imaging/overlay.h"
#include "imaging/resample.h"
#include "io/clipboard.h"
#include "io/import_buffer.h"
#include "platform/clipboard_store.h"
#include "engine/alpha_filters.h"
#include "engine/mask_texture_weight.h"
#include "render/composite_layer_rect.h"

namespace io {
namespace {

// The current layer when there is a canvas to paste onto, else null.
engine::LayerRecord* PasteTarget() {
  if (!engine::CanvasLive()) return nullptr;
  return engine::LayerWithPixels(engine::State().currentLayerIndex);
}

// Empties the import buffer when the paste that filled it is over, also when it fails.
struct ImportReleaser {
  ~ImportReleaser() { DeleteNewRGBA(); }
};

// Installs a new picture as the import buffer.
void ReplaceImport(engine::OwnedPlane<uint8_t> pixels, int32_t width, int32_t height) {
  engine::ImportBuffer& b = engine::State().importBuffer;
  engine::ReleasePlane(b.pixels);
  b.pixels = pixels.release();
  b.width = width;
  b.height = height;
}

// Gives count pixels of picture row `row` from column `col`: a pointer into the picture, or the
// pixels converted into scratch (room for count pixels).
using RowSource =
    std::function<const uint8_t*(int32_t row, int32_t col, int32_t count, uint8_t* scratch)>;

bool Opaque(const uint8_t* pixels, int32_t count) {
  uint8_t all = 255;
  for (int32_t i = 0; i < count; ++i) all &= pixels[4 * i + 3];
  return all == 255;
}

// The picture (pw x ph, its corner at (x, y)) laid over an 8-bit copy of the layer, transparent
// parts of the picture leaving the layer's colour, then loaded back through the mask and the
// texture. Only the rectangle the picture covers is read and written; rows are independent and
// may run in parallel. True when any of it was on the canvas.
bool PasteRows(engine::LayerRecord& layer, int32_t x, int32_t y, int32_t pw, int32_t ph,
               const RowSource& source) {
  const engine::EngineState& s = engine::State();
  const int64_t right = std::min<int64_t>(int64_t{x} + pw, std::min(s.canvasWidth, layer.width));
  const int64_t bottom = std::min<int64_t>(int64_t{y} + ph, std::min(s.canvasHeight, layer.height));
  const int32_t x0 = std::max(x, 0), y0 = std::max(y, 0);
  if (x0 >= right || y0 >= bottom) return false;
  const int32_t w = int32_t(right - x0), h = int32_t(bottom - y0);
  const std::size_t rowBytes = engine::PlaneBytes(w, 1, 4);
  engine::ForRowBands(h, std::size_t(w) * 16, [&](int32_t begin, int32_t end) {
    auto scratch = engine::MakeOwnedPlane<uint8_t>(2 * rowBytes);
    uint8_t* mixed = scratch.get() + rowBytes;
    for (int32_t r = begin; r < end; ++r) {
      const int32_t row = y0 + r;
      const uint8_t* picture = source(row - y, x0 - x, w, scratch.get());
      const uint8_t* load = picture;
      // An opaque row replaces the layer's pixels whole; elsewhere the layer shows through.
      if (!Opaque(picture, w)) {
        engine::RGBA64ToRGBA32(
            layer.pixels + std::size_t(row) * std::size_t(layer.stride) + std::size_t(x0) * 4,
            mixed, w, 1);
        imaging::IS3OverlayImage(mixed, uint32_t(w), 1, 4, uint32_t(rowBytes), picture, uint32_t(w),
                                 1, uint32_t(rowBytes), 0, 0, 1.0, imaging::kOverlayAlphaBlend);
        load = mixed;
      }
      engine::LoadRGBA32IntoLayer(layer, load, int64_t(rowBytes), x0, row, w, 1, true);
    }
  });
  return true;
}

// The import picture pasted at (x, y).
bool PasteImportAt(engine::LayerRecord& layer, int32_t x, int32_t y) {
  const engine::ImportBuffer& picture = engine::State().importBuffer;
  if (!picture.pixels) return false;
  const std::size_t stride = std::size_t(picture.width) * 4;
  return PasteRows(layer, x, y, picture.width, picture.height,
                   [&](int32_t row, int32_t col, int32_t, uint8_t*) {
                     return picture.pixels + std::size_t(row) * stride + std::size_t(col) * 4;
                   });
}

// Scales the import picture so that its longer side becomes size. smooth premultiplies around
// the filter (shrinkFilter and growFilter choose it); otherwise pixels are picked.
bool ScaleImport(int32_t size, bool smooth, uint32_t shrinkFilter, uint32_t growFilter) {
  engine::ImportBuffer& b = engine::State().importBuffer;
  const int32_t longer = b.height < b.width ? b.width : b.height;
  const double f = double(size) / double(longer);
  if (f == 1.0) return true;
  const int64_t newWidth = std::max<int64_t>(1, int64_t(f * b.width));
  const int64_t newHeight = std::max<int64_t>(1, int64_t(f * b.height));
  if (!imaging::DimensionsAllowed(uint64_t(newWidth), uint64_t(newHeight))) return false;
  auto out = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(newWidth, newHeight, 4));
  std::fill_n(out.get(), std::size_t(newWidth) * std::size_t(newHeight) * 4, uint8_t{0});
  const uint32_t w = uint32_t(b.width), h = uint32_t(b.height);
  const uint32_t nw = uint32_t(newWidth), nh = uint32_t(newHeight);
  int32_t ok = 0;
  if (smooth) {
    engine::AdjustRGBA32PreFilter(b.pixels, b.width, b.height);
    const uint32_t filter = newWidth < b.width || newHeight < b.height ? shrinkFilter : growFilter;
    ok = imaging::is5_ResizeImage(b.pixels, w, h, 4 * w, out.get(), nw, nh, 4 * nw, 4, filter, 0);
    engine::AdjustRGBA32PostFilter(out.get(), int32_t(nw), int32_t(nh));
  } else {
    ok = imaging::IS3SimpleResampleImage(b.pixels, w, h, 4 * w, out.get(), nw, nh, 4 * nw, 4);
  }
  if (!ok) return false;
  ReplaceImport(std::move(out), int32_t(nw), int32_t(nh));
  return true;
}

// The resize filter a paste uses: bicubic (17) for tiny pictures, else 8.
uint32_t PasteFilter(int64_t w, int64_t h, int64_t nw, int64_t nh) {
  return w < 5 || h < 5 || nw < 5 || nh < 5 ? 17 : 8;
}

// Turns the import picture by angle degrees; corners it leaves are transparent.
bool RotateImport(int32_t angle, bool smooth) {
  if (angle == 0 || angle == 360) return true;
  engine::ImportBuffer& b = engine::State().importBuffer;
  const float r = float(angle * 0.0174532925);
  uint32_t ow = 0, oh = 0;
  const uint32_t w = uint32_t(b.width), h = uint32_t(b.height);
  if (!imaging::is5_GetRotatedPixelSize(r, w, h, &ow, &oh) || !ow || !oh) return true;
  if (!imaging::DimensionsAllowed(ow, oh)) return false;
  auto out = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(ow, oh, 4));
  std::fill_n(out.get(), std::size_t(ow) * oh * 4, uint8_t{0});
  if (smooth) engine::AdjustRGBA32PreFilter(b.pixels, b.width, b.height);
  if (!imaging::is5_RotateImage(b.pixels, w, h, 4, 4 * w, out.get(), 4 * ow, 0, 0, r,
                                smooth ? imaging::kRotateBicubic : imaging::kRotateNearest))
    return false;
  if (smooth) engine::AdjustRGBA32PostFilter(out.get(), int32_t(ow), int32_t(oh));
  ReplaceImport(std::move(out), int32_t(ow), int32_t(oh));
  return true;
}

}  // namespace

int32_t FromClipboardInto(int32_t x, int32_t y, int32_t centred) {
  engine::LayerRecord* layer = PasteTarget();
  if (!layer) return 0;
  if (const auto block = StoreIsTheClipboard() ? platform::ClipboardContents() : nullptr) {
    // The picture would only pass through the import buffer on its way to the layer: its rows
    // are read straight from the bitmap instead, and the import buffer ends empty all the same.
    const int32_t w = int32_t(imaging::IS3DIBWidth(block->bytes));
    const int32_t h = int32_t(imaging::IS3DIBHeight(block->bytes));
    if (w <= 0 || h <= 0) return 0;
    const ImportReleaser release;
    if (centred == 1) x -= w / 2, y -= h / 2;
    return PasteRows(*layer, x, y, w, h,
                     [&](int32_t row, int32_t col, int32_t count, uint8_t* scratch) {
                       imaging::DIBRowToRGBA(block->bytes, 255, uint32_t(row), uint32_t(col),
                                             uint32_t(count), scratch);
                       return static_cast<const uint8_t*>(scratch);
                     })
               ? 1
               : 0;
  }
  if (!FromClipboard()) return 0;
  const ImportReleaser release;
  const engine::ImportBuffer& b = engine::State().importBuffer;
  if (centred == 1) x -= b.width / 2, y -= b.height / 2;
  return PasteImportAt(*layer, x, y) ? 1 : 0;
}

int32_t FromClipboardIntoEX2(int32_t x, int32_t y, int32_t size, int32_t angle, int32_t centred,
                             int32_t smooth, int32_t opacity) {
  engine::LayerRecord* layer = PasteTarget();
  if (!layer || size <= 0 || !FromClipboard()) return 0;
  const ImportReleaser release;
  engine::ImportBuffer& b = engine::State().importBuffer;
  {
    const int32_t longer = b.height < b.width ? b.width : b.height;
    const double f = double(size) / double(longer);
    const uint32_t filter =
        PasteFilter(b.width, b.height, std::max<int64_t>(1, int64_t(f * b.width)),
                    std::max<int64_t>(1, int64_t(f * b.height)));
    if (!ScaleImport(size, smooth != 0, filter, filter)) return 0;
  }
  if (!RotateImport(angle, smooth != 0)) return 0;
  if (centred == 1) x -= b.width / 2, y -= b.height / 2;

  // Clip to the canvas (and the layer): columns and rows before 0 and past the edge are dropped.
  const engine::EngineState& s = engine::State();
  const int32_t limitW = std::min(s.canvasWidth, layer->width);
  const int32_t limitH = std::min(s.canvasHeight, layer->height);
  const int64_t skipX = x < 0 ? -int64_t{x} : 0, skipY = y < 0 ? -int64_t{y} : 0;
  const int32_t px = std::max(x, 0), py = std::max(y, 0);
  const int64_t w = std::min<int64_t>(b.width - skipX, int64_t{limitW} - px);
  const int64_t h = std::min<int64_t>(b.height - skipY, int64_t{limitH} - py);
  if (w <= 0 || h <= 0) return 0;
  if (w != b.width || h != b.height) {
    auto visible = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(w, h, 4));
    std::fill_n(visible.get(), std::size_t(w) * std::size_t(h) * 4, uint8_t{0});
    imaging::IS3OverlayImage(visible.get(), uint32_t(w), uint32_t(h), 4, uint32_t(w) * 4, b.pixels,
                             uint32_t(b.width), uint32_t(b.height), uint32_t(b.width) * 4,
                             int32_t(-skipX), int32_t(-skipY), 1.0, imaging::kOverlayAlphaBlend);
    ReplaceImport(std::move(visible), int32_t(w), int32_t(h));
  }
  engine::AdjustRGBA32RectByMaskAndTexture(b.pixels, px, py, b.width, b.height);
  auto wide = engine::MakeOwnedPlane<uint16_t>(engine::PlaneBytes(b.width, b.height, 4));
  engine::RGBA32ToRGBA64(b.pixels, wide.get(), b.width, b.height);
  render::CompositeLayerRect(wide.get(), 0, 0, b.width, b.height, b.width * 4, nullptr,
                             layer->pixels, px, py, layer->stride, 0, 0, opacity, layer->alphaLock,
                             0);
  return 1;
}

int32_t FromClipboardToImageBrush(int32_t size) {
  if (size <= 0 || !imaging::DimensionsAllowed(uint64_t(size), uint64_t(size))) return 0;
  if (!FromClipboard()) return 0;
  const ImportReleaser release;
  if (!ScaleImport(size, true, 15, 8)) return 0;
  engine::ImportBuffer& b = engine::State().importBuffer;
  auto square = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(size, size, 4));
  std::fill_n(square.get(), std::size_t(size) * std::size_t(size) * 4, uint8_t{0});
  imaging::IS3OverlayImage(square.get(), uint32_t(size), uint32_t(size), 4, uint32_t(size) * 4,
                           b.pixels, uint32_t(b.width), uint32_t(b.height), uint32_t(b.width) * 4,
                           (size - b.width) / 2, (size - b.height) / 2, 1.0,
                           imaging::kOverlayAlphaBlend);
  ReplaceImport(std::move(square), size, size);
  brush::LoadImageBrushFromRGBA32(b.pixels, size, size);
  return 1;
}

int32_t ScreenCaptureInto() {
  engine::LayerRecord* layer = PasteTarget();
  if (!layer || !ScreenCapture()) return 0;
  const ImportReleaser release;
  return PasteImportAt(*layer, 0, 0) ? 1 : 0;
}

}  // namespace io
