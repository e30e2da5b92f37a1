// The engine's scratch pool: large temporary blocks (the effect frame's copies of the layer, the
// 24-bit buffers, the filters' working pictures) kept between calls, so that an effect run on a
// big canvas reuses memory that is already mapped instead of paying a page fault for every page
// of every temporary on every call. Blocks come from the engine heap (its test ceiling applies);
// the idle blocks kept are bounded, and are released by TrimScratch (canvas deletion and resizing,
// the library's exit, and PMR_TrimScratch for a host that wants the memory back).
#pragma once

#include <cstddef>
#include <cstdint>

namespace engine {

// A block of at least bytes, 64-byte aligned, with unspecified contents: a kept one when one is
// large enough (the smallest such), else a new one. Throws std::bad_alloc when the heap refuses.
void* AcquireScratch(std::size_t bytes);
// Takes back a block from AcquireScratch (null is ignored); idle blocks beyond the bound are
// released at once, largest first. A block the pool did not hand out goes back to the heap.
void ReturnScratch(void* block) noexcept;
// Releases every idle block.
void TrimScratch() noexcept;

// Bytes held in idle blocks.
std::size_t IdleScratchBytes() noexcept;
// The bound on idle bytes: the larger of 256 MiB and six 32-bit planes of the canvas.
std::size_t IdleScratchLimit() noexcept;
// Test hook: a fixed bound on idle bytes (0 restores the automatic one).
void SetIdleScratchLimitForTesting(std::size_t bytes) noexcept;

// A scratch block held for one scope.
class ScratchLease {
 public:
  explicit ScratchLease(std::size_t bytes) : block_(static_cast<uint8_t*>(AcquireScratch(bytes))) {}
  ~ScratchLease() { ReturnScratch(block_); }
  ScratchLease(const ScratchLease&) = delete;
  ScratchLease& operator=(const ScratchLease&) = delete;
  uint8_t* get() const { return block_; }

 private:
  uint8_t* block_;
};

}  // namespace engine
