// The engine's heap. Every plane the engine owns comes from here, so that sizes are checked in one
// place and memory failures (which hosts meet in practice) can be provoked in tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

namespace engine {

// Bytes of a width x height plane of bytesPerPixel-sized pixels. Negative sizes and products that
// do not fit the engine's 32-bit size arguments throw std::bad_alloc, so the allocation fails
// instead of wrapping.
std::size_t PlaneBytes(int64_t width, int64_t height, int64_t bytesPerPixel);

// Allocates bytes (64-byte aligned); throws std::bad_alloc when the heap or the test ceiling
// refuse.
void* AllocateBytes(std::size_t bytes);
// Allocates and returns null instead of throwing.
void* TryAllocateBytes(std::size_t bytes) noexcept;
void ReleaseBytes(void* block) noexcept;

template <class T>
T* AllocatePlane(std::size_t count) {
  if (count > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
  return static_cast<T*>(AllocateBytes(count * sizeof(T)));
}

// Releases a block and nulls the pointer.
template <class T>
void ReleasePlane(T*& block) noexcept {
  ReleaseBytes(block);
  block = nullptr;
}

// Throws std::bad_alloc when the test ceiling below refuses bytes: for blocks handed out again
// without a new allocation.
void CheckAllocationCeiling(std::size_t bytes);

// Test hook: allocations of more than ceiling bytes fail (0 removes the ceiling).
void SetAllocationCeilingForTesting(std::size_t ceiling) noexcept;

}  // namespace engine

#include <memory>

namespace engine {

struct PlaneDeleter {
  void operator()(void* block) const noexcept { ReleaseBytes(block); }
};

// An engine plane owned until it is handed over with release(): used to build new planes in
// locals and commit them only when every allocation has succeeded.
template <class T>
using OwnedPlane = std::unique_ptr<T[], PlaneDeleter>;

template <class T>
OwnedPlane<T> MakeOwnedPlane(std::size_t count) {
  return OwnedPlane<T>(AllocatePlane<T>(count));
}

}  // namespace engine
