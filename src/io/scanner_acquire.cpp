#include "io/scanner_acquire.h"

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "imaging/dib.h"
#include "platform/scanner.h"

namespace io {
namespace {

// The acquired bitmap, released however the acquisition ends.
class AcquiredBitmap {
 public:
  explicit AcquiredBitmap(void* bitmap) : bitmap_(bitmap) {}
  ~AcquiredBitmap() { platform::ScannerRelease(bitmap_); }
  AcquiredBitmap(const AcquiredBitmap&) = delete;
  AcquiredBitmap& operator=(const AcquiredBitmap&) = delete;
  const void* get() const { return bitmap_; }

 private:
  void* bitmap_;
};

}  // namespace

int32_t IsTwain() { return platform::ScannerAvailable() ? 1 : 0; }

int32_t TwainSelectSource() {
  if (!platform::ScannerAvailable()) return 0;
  return platform::ScannerSelectSource(nullptr) ? 1 : 0;
}

int32_t TwainAcquire() noexcept {
  int32_t result = 0;
  try {
    if (!platform::ScannerAvailable()) return 0;
    void* handle = platform::ScannerAcquire(nullptr, platform::kScanPixelColour);
    if (!handle) return 0;
    const AcquiredBitmap bitmap(handle);
    const uint32_t width = imaging::IS3DIBWidth(bitmap.get());
    const uint32_t height = imaging::IS3DIBHeight(bitmap.get());
    if (width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX) return 0;
    // Converted in a new buffer that replaces the import picture only once it is complete.
    auto pixels = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(width, height, 4));
    if (!imaging::IS3DIBToRGBA(bitmap.get(), 255, pixels.get())) return 0;
    engine::ImportBuffer& buffer = engine::State().importBuffer;
    engine::ReleasePlane(buffer.pixels);
    buffer.pixels = pixels.release();
    buffer.width = int32_t(width);
    buffer.height = int32_t(height);
    result = 1;
  } catch (...) {
    engine::SetLastError("TwainAcquire Excpt");
  }
  return result;
}

}  // namespace io
