#include "engine/processing_buffers.h"

#include <cstring>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/host_reentry.h"
#include "engine/layer_read_8bit.h"
#include "engine/scratch_pool.h"

namespace engine {
namespace {

struct BufferSlot {
  uint8_t*& pixels;
  int32_t& width;
  int32_t& height;
};

BufferSlot Slot(uint8_t* engine::ProcessingBuffers::*pixels,
                int32_t engine::ProcessingBuffers::*width,
                int32_t engine::ProcessingBuffers::*height) {
  engine::ProcessingBuffers& b = engine::State().processingBuffers;
  return {b.*pixels, b.*width, b.*height};
}

BufferSlot Src32() {
  using B = engine::ProcessingBuffers;
  return Slot(&B::src32, &B::src32Width, &B::src32Height);
}
BufferSlot Dst32() {
  using B = engine::ProcessingBuffers;
  return Slot(&B::dst32, &B::dst32Width, &B::dst32Height);
}
BufferSlot Src24() {
  using B = engine::ProcessingBuffers;
  return Slot(&B::src24, &B::src24Width, &B::src24Height);
}
BufferSlot Dst24() {
  using B = engine::ProcessingBuffers;
  return Slot(&B::dst24, &B::dst24Width, &B::dst24Height);
}

// The buffers live in the scratch pool: an effect that allocates and frees them on every run
// reuses the same warm memory.
void Free(BufferSlot slot) {
  engine::ReturnScratch(slot.pixels);
  slot.pixels = nullptr;
  slot.width = slot.height = 0;
}

// Frees, then allocates a canvas-sized buffer. On failure the pointer stays null.
bool Allocate(BufferSlot slot, int32_t bytesPerPixel) {
  Free(slot);
  const engine::EngineState& s = engine::State();
  if (s.canvasWidth <= 0 || s.canvasHeight <= 0) return false;
  slot.pixels = static_cast<uint8_t*>(
      engine::AcquireScratch(engine::PlaneBytes(s.canvasWidth, s.canvasHeight, bytesPerPixel)));
  slot.width = s.canvasWidth;
  slot.height = s.canvasHeight;
  return true;
}

bool MatchesCanvas(const BufferSlot& slot) {
  const engine::EngineState& s = engine::State();
  return slot.pixels && slot.width == s.canvasWidth && slot.height == s.canvasHeight;
}

void FillFromCurrentLayer32(uint8_t* pixels) {
  const engine::EngineState& s = engine::State();
  if (!engine::GetRGBA32Layer(pixels, s.canvasWidth * 4, s.currentLayerIndex))
    std::memset(pixels, 0, engine::PlaneBytes(s.canvasWidth, s.canvasHeight, 4));
}

void CopyIn(BufferSlot slot, const void* pixels) {
  if (!pixels || !MatchesCanvas(slot)) return;
  std::memcpy(slot.pixels, pixels, engine::PlaneBytes(slot.width, slot.height, 4));
}

}  // namespace

void AllocSrcBuffer32() {
  engine::RefuseInsideHostCallback();
  if (Allocate(Src32(), 4)) FillFromCurrentLayer32(Src32().pixels);
}
void AllocDstBuffer32() {
  engine::RefuseInsideHostCallback();
  Allocate(Dst32(), 4);
}
void AllocSrcBuffer24() {
  engine::RefuseInsideHostCallback();
  if (!Allocate(Src24(), 3)) return;
  const engine::EngineState& s = engine::State();
  if (!engine::GetRGB24(s.processingBuffers.src24, s.canvasWidth * 3))
    std::memset(s.processingBuffers.src24, 0, engine::PlaneBytes(s.canvasWidth, s.canvasHeight, 3));
}
void AllocDstBuffer24() {
  engine::RefuseInsideHostCallback();
  Allocate(Dst24(), 3);
}
void FreeSrcBuffer32() {
  engine::RefuseInsideHostCallback();
  Free(Src32());
}
void FreeDstBuffer32() {
  engine::RefuseInsideHostCallback();
  Free(Dst32());
}
void FreeSrcBuffer24() {
  engine::RefuseInsideHostCallback();
  Free(Src24());
}
void FreeDstBuffer24() {
  engine::RefuseInsideHostCallback();
  Free(Dst24());
}

void UpdateSrcBuffer32() {
  if (MatchesCanvas(Src32())) FillFromCurrentLayer32(Src32().pixels);
}
void SetSrcBuffer32(const void* pixels) { CopyIn(Src32(), pixels); }
void SetDstBuffer32(const void* pixels) { CopyIn(Dst32(), pixels); }

uint8_t* UsableSrcBuffer32() { return MatchesCanvas(Src32()) ? Src32().pixels : nullptr; }
uint8_t* UsableDstBuffer32() { return MatchesCanvas(Dst32()) ? Dst32().pixels : nullptr; }

}  // namespace engine
