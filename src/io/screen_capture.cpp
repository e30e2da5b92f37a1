// Capturing the screen into the import buffer.
#include "engine/engine_state.h"
#include "engine/heap.h"
#include "io/clipboard.h"
#include "platform/x11_display.h"

namespace io {

int32_t ScreenCapture() {
  if (!platform::DisplayNamed()) return 0;
  // The capture is built aside and installed only when the whole screen arrived.
  engine::OwnedPlane<uint8_t> pixels;
  int32_t width = 0, height = 0;
  const bool captured = platform::CaptureScreen([&](int32_t w, int32_t h) {
    pixels = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(w, h, 4));
    width = w, height = h;
    return pixels.get();
  });
  if (!captured || !pixels) return 0;
  engine::ImportBuffer& b = engine::State().importBuffer;
  engine::ReleasePlane(b.pixels);
  b.pixels = pixels.release();
  b.width = width;
  b.height = height;
  return 1;
}

}  // namespace io
