#include "engine/heap.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdlib>

namespace engine {
namespace {
std::atomic<std::size_t> g_ceiling{0};
constexpr std::size_t kAlignment = 64;
// Planes of a canvas run to hundreds of megabytes. Placed on huge-page boundaries and marked for
// huge pages, touching them for the first time costs one fault per 2 MiB instead of per 4 KiB.
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kHugeThreshold = 4 * kHugePage;
}  // namespace

std::size_t PlaneBytes(int64_t width, int64_t height, int64_t bytesPerPixel) {
  if (width < 0 || height < 0 || bytesPerPixel < 0) throw std::bad_alloc();
  // Every factor is below 2^31, so the product of three fits in 128 bits; check against 2^40
  // after each step, far above any plane the engine makes (10000 x 10000 x 8) yet safe from wrap.
  constexpr uint64_t kLimit = uint64_t{1} << 40;
  uint64_t bytes = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  if (bytes > kLimit) throw std::bad_alloc();
  bytes *= static_cast<uint64_t>(bytesPerPixel);
  if (bytes > kLimit) throw std::bad_alloc();
  return static_cast<std::size_t>(bytes);
}

void* TryAllocateBytes(std::size_t bytes) noexcept {
  const std::size_t ceiling = g_ceiling.load(std::memory_order_relaxed);
  if (ceiling != 0 && bytes > ceiling) return nullptr;
  if (bytes == 0) bytes = 1;
  void* block = nullptr;
  const bool huge = bytes >= kHugeThreshold;
  if (posix_memalign(&block, huge ? kHugePage : kAlignment, bytes) != 0) return nullptr;
  if (huge) madvise(block, bytes, MADV_HUGEPAGE);  // advice only: failure changes nothing
  return block;
}

void* AllocateBytes(std::size_t bytes) {
  void* block = TryAllocateBytes(bytes);
  if (!block) throw std::bad_alloc();
  return block;
}

void CheckAllocationCeiling(std::size_t bytes) {
  const std::size_t ceiling = g_ceiling.load(std::memory_order_relaxed);
  if (ceiling != 0 && bytes > ceiling) throw std::bad_alloc();
}

void ReleaseBytes(void* block) noexcept { std::free(block); }

void SetAllocationCeilingForTesting(std::size_t ceiling) noexcept {
  g_ceiling.store(ceiling, std::memory_order_relaxed);
}

}  // namespace engine
