// The processing buffers: canvas-sized 8-bit copies of the current layer that effects read, and
// the destinations they write into.
#pragma once

#include <cstdint>

namespace engine {

// Each Alloc and Free refuses (engine::ReentrantRelease) inside a host callback, where an engine
// call may still be using the buffers. Each Alloc frees the buffer first, then takes canvas width x
// height pixels from the engine's scratch pool (throwing std::bad_alloc, with the pointer left
// null, when that fails). The source buffers are filled from the current layer (zeros when there is
// none of the canvas size).
void AllocSrcBuffer32();
void AllocDstBuffer32();
void AllocSrcBuffer24();
void AllocDstBuffer24();
void FreeSrcBuffer32();
void FreeDstBuffer32();
void FreeSrcBuffer24();
void FreeDstBuffer24();

// Refills the source buffer 32 from the current layer; nothing when there is none.
void UpdateSrcBuffer32();
// Copies canvas width x height x 4 bytes into the buffer when both exist.
void SetSrcBuffer32(const void* pixels);
void SetDstBuffer32(const void* pixels);

// The buffer when it exists and still matches the canvas size, else null: a buffer allocated
// before a canvas resize is never read or written with the new geometry.
uint8_t* UsableSrcBuffer32();
uint8_t* UsableDstBuffer32();

// A processing buffer held for the length of one call: allocated on construction (throwing
// std::bad_alloc when that fails), freed on destruction, also when the call fails part-way.
template <void (*kAlloc)(), void (*kFree)(), uint8_t* (*kUsable)()>
class HeldBuffer {
 public:
  HeldBuffer() { kAlloc(); }
  // Cannot be refused: a held buffer is never made inside a host callback (its Alloc refuses).
  ~HeldBuffer() {
    try {
      kFree();
    } catch (...) {
    }
  }
  HeldBuffer(const HeldBuffer&) = delete;
  HeldBuffer& operator=(const HeldBuffer&) = delete;
  uint8_t* pixels() const { return kUsable(); }
};
using HeldSrcBuffer32 = HeldBuffer<&AllocSrcBuffer32, &FreeSrcBuffer32, &UsableSrcBuffer32>;
using HeldDstBuffer32 = HeldBuffer<&AllocDstBuffer32, &FreeDstBuffer32, &UsableDstBuffer32>;

}  // namespace engine
