// Pictures to and from the clipboard: the process-wide store of device-independent bitmaps, and
// the desktop's CLIPBOARD selection (PNG and BMP) when a display is named.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "engine/canvas_lifecycle.h"
#include "engine/heap.h"
#include "engine/layer_stack.h"
#include "engine/parallel_rows.h"
#include "imaging/codecs/codec_limits.h"
#include "imaging/dib.h"
#include "imaging/file_handles.h"
#include "imaging/geometry.h"
#include "imaging/picture_readers.h"
#include "imaging/picture_writers.h"
#include "io/clipboard.h"
#include "io/import_buffer.h"
#include "io/picture_files.h"
#include "mask/mask_alpha.h"
#include "platform/clipboard_store.h"
#include "platform/x11_display.h"
#include "engine/processing_buffers.h"

namespace io {
namespace {

// The types offered to and accepted from other programs, the lossless one first.
const std::vector<std::string>& DesktopTypes() {
  static const std::vector<std::string> types{"image/png", "image/bmp"};
  return types;
}

// Clipboard blocks carry this much room beyond the pixels.
constexpr std::size_t kBlockSlack = 4000;

// Encodes the block's picture for another program; runs on the selection service's thread.
bool EncodeBlock(const platform::ClipboardBlock& block, const std::string& mime,
                 std::vector<uint8_t>& out) {
  const uint32_t w = imaging::IS3DIBWidth(block.bytes), h = imaging::IS3DIBHeight(block.bytes);
  if (!w || !h) return false;
  imaging::MallocBlock rgba(static_cast<uint8_t*>(std::malloc(std::size_t(w) * h * 4)));
  if (!rgba || !imaging::IS3DIBToRGBA(block.bytes, 255, rgba.get())) return false;
  char* bytes = nullptr;
  std::size_t size = 0;
  imaging::ISDest dest = imaging::OpenMemoryDest(&bytes, &size);
  if (!dest) return false;
  const int32_t written =
      mime == "image/png"
          ? imaging::IS3WritePNG(dest, rgba.get(), w, h, w * 4, 8, 0, nullptr, 6, 0, nullptr, 0)
          : imaging::IS3WriteBMP(dest, rgba.get(), w, h, 32, 0, nullptr, nullptr, 0);
  const int32_t closed = imaging::IS40_CloseDest(dest);
  imaging::MallocBlock owned(reinterpret_cast<uint8_t*>(bytes));
  if (!written || !closed) return false;
  out.assign(owned.get(), owned.get() + size);
  return true;
}

// Lets other programs paste the block while this process holds the desktop clipboard.
void OfferToDesktop() {
  if (!platform::DisplayNamed()) return;
  std::shared_ptr<const platform::ClipboardBlock> block = platform::ClipboardContents();
  if (!block) return;
  platform::OfferClipboard(DesktopTypes(),
                           [block](const std::string& mime, std::vector<uint8_t>& out) {
                             return EncodeBlock(*block, mime, out);
                           });
}

// A picture another program put on the desktop clipboard, decoded into the import buffer.
int32_t ImportDesktopPicture(const std::vector<uint8_t>& bytes) {
  if (bytes.size() > UINT32_MAX) return 0;
  imaging::ISSource source = imaging::IS40_OpenMemorySource(bytes.data(), uint32_t(bytes.size()));
  if (!source) return 0;
  uint32_t w = 0, h = 0;
  imaging::MallocBlock rgba(imaging::IS3ReadImageToRGBA(source, &w, &h, 0));
  imaging::IS40_CloseSource(source);
  if (!rgba || !w || !h || w > INT32_MAX || h > INT32_MAX) return 0;
  return CreateNewRGBA(int32_t(w), int32_t(h), [&](uint8_t* dst) {
    std::memcpy(dst, rgba.get(), std::size_t(w) * h * 4);
    return true;
  });
}

// Canvas-sized copy of the current layer with the mask applied to its alpha when enabled.
bool MaskedLayerCopy(const engine::HeldSrcBuffer32& copy) {
  if (!copy.pixels()) return false;
  if (engine::State().maskEnabled) mask::ApplyMaskToAlpha_RGBA32(copy.pixels());
  return true;
}

// A live canvas whose current layer holds pixels.
bool HaveCurrentLayer() {
  return engine::CanvasLive() && engine::LayerWithPixels(engine::State().currentLayerIndex);
}

}  // namespace

int32_t PutPictureOnClipboard(const uint8_t* rgba, int32_t width, int32_t height) {
  if (!rgba || width <= 0 || height <= 0) return 0;
  if (!imaging::DimensionsAllowed(uint64_t(width), uint64_t(height))) return 0;
  const std::size_t pixelBytes = engine::PlaneBytes(width, height, 4);
  if (imaging::DIBBytes(uint32_t(width), uint32_t(height)) == 0) return 0;
  const uint32_t w = uint32_t(width), h = uint32_t(height);
  const bool put = platform::PutClipboardBlock(pixelBytes + kBlockSlack, [&](uint8_t* block) {
    if (!imaging::WriteDIBHeader(w, h, block)) return false;
    engine::ForRowBands(height, std::size_t(width) * 8, [&](int32_t y0, int32_t y1) {
      imaging::RGBAToDIBRows(rgba, w, h, uint32_t(y0), uint32_t(y1), block);
    });
    return true;
  });
  if (!put) throw std::bad_alloc();  // the picture was checked: only memory can refuse it
  OfferToDesktop();
  return 1;
}

int32_t ToClipboard() {
  if (!HaveCurrentLayer()) return 0;
  const engine::HeldSrcBuffer32 copy;
  if (!MaskedLayerCopy(copy)) return 0;
  const engine::EngineState& s = engine::State();
  return PutPictureOnClipboard(copy.pixels(), s.canvasWidth, s.canvasHeight);
}

int32_t ToClipboardRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (!HaveCurrentLayer()) return 0;
  const engine::EngineState& s = engine::State();
  const int64_t width = std::abs(int64_t{x1} - x2), height = std::abs(int64_t{y1} - y2);
  if (width == 0 || height == 0 || std::min(x1, x2) < 0 || std::min(y1, y2) < 0 ||
      std::max(x1, x2) > s.canvasWidth || std::max(y1, y2) > s.canvasHeight)
    return 0;
  auto crop = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(width, height, 4));
  {
    const engine::HeldSrcBuffer32 copy;
    if (!MaskedLayerCopy(copy)) return 0;
    const imaging::CropRect rect{x1, y1, x2, y2};
    if (!imaging::IS3CropImage(copy.pixels(), uint32_t(s.canvasWidth), uint32_t(s.canvasHeight),
                               uint32_t(s.canvasWidth) * 4, crop.get(), uint32_t(width) * 4, &rect,
                               4))
      return 0;
  }
  return PutPictureOnClipboard(crop.get(), int32_t(width), int32_t(height));
}

int32_t RGBA32ToClipboardRect(const void* src, int32_t x, int32_t y, int32_t width, int32_t height,
                              int32_t useMask) {
  if (!src || width <= 0 || height <= 0) return 0;
  if (!imaging::DimensionsAllowed(uint64_t(width), uint64_t(height))) return 0;
  const auto* pixels = static_cast<const uint8_t*>(src);
  if ((useMask & 0xFF) && engine::State().maskEnabled) {
    // The mask shapes a copy: the host's buffer is its own and stays as it was.
    const std::size_t bytes = engine::PlaneBytes(width, height, 4);
    auto masked = engine::MakeOwnedPlane<uint8_t>(bytes);
    std::memcpy(masked.get(), pixels, bytes);
    mask::ApplyMaskToAlphaRect_RGBA32(masked.get(), width * 4, x, y,
                                      int32_t(int64_t{x} + width - 1),
                                      int32_t(int64_t{y} + height - 1));
    return PutPictureOnClipboard(masked.get(), width, height);
  }
  return PutPictureOnClipboard(pixels, width, height);
}

int32_t ToClipboardFromFile(const char* path) {
  // A file that cannot be read leaves the import buffer as it was; one that can passes through
  // it and leaves it empty.
  if (!path || !ReadFromFile(path)) return 0;
  const engine::ImportBuffer& buffer = engine::State().importBuffer;
  const int32_t put = PutPictureOnClipboard(buffer.pixels, buffer.width, buffer.height);
  DeleteNewRGBA();
  return put;
}

bool StoreIsTheClipboard() { return !platform::DisplayNamed() || platform::OwnsClipboard(); }

int32_t FromClipboard() {
  if (!StoreIsTheClipboard()) {
    // Another program (or nobody) holds the desktop clipboard: it, not our store, is current.
    std::string mime;
    std::vector<uint8_t> bytes;
    switch (platform::ReadClipboard(DesktopTypes(), mime, bytes)) {
      case platform::SelectionRead::kDelivered:
        return ImportDesktopPicture(bytes);
      case platform::SelectionRead::kNothing:
        return 0;
      case platform::SelectionRead::kNoDisplay:
        // No server now: the store is the clipboard, unless another program had replaced our
        // picture on the desktop before.
        if (platform::ClipboardTakenByAnotherClient()) return 0;
        break;
    }
  }
  const std::shared_ptr<const platform::ClipboardBlock> block = platform::ClipboardContents();
  if (!block) return 0;
  const uint32_t w = imaging::IS3DIBWidth(block->bytes), h = imaging::IS3DIBHeight(block->bytes);
  if (!w || !h) return 0;
  return CreateNewRGBA(int32_t(w), int32_t(h), [&](uint8_t* dst) {
    engine::ForRowBands(int32_t(h), std::size_t(w) * 8, [&](int32_t y0, int32_t y1) {
      imaging::DIBToRGBARows(block->bytes, 255, uint32_t(y0), uint32_t(y1), dst);
    });
    return true;
  });
}

int32_t FromClipboardToFile(const char* path, const char* extension, int32_t dpi) {
  if (!path || !extension || !FromClipboard()) return 0;
  const engine::ImportBuffer& buffer = engine::State().importBuffer;
  const int32_t written =
      WriteToFileRGBA32(buffer.pixels, buffer.width, buffer.height, path, extension, dpi);
  DeleteNewRGBA();
  return written;
}

}  // namespace io
