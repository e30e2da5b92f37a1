#include "engine/scratch_pool.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <vector>

#include "engine/canvas_lifecycle.h"
#include "engine/engine_state.h"
#include "engine/heap.h"
#include "imaging/scratch.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define PALMORA_POISON(block, bytes) ASAN_POISON_MEMORY_REGION(block, bytes)
#define PALMORA_UNPOISON(block, bytes) ASAN_UNPOISON_MEMORY_REGION(block, bytes)
#else
#define PALMORA_POISON(block, bytes) ((void)(block), (void)(bytes))
#define PALMORA_UNPOISON(block, bytes) ((void)(block), (void)(bytes))
#endif

namespace engine {
namespace {

struct Block {
  void* memory;
  std::size_t capacity;
  bool lent;
};

constexpr std::size_t kMinimumLimit = std::size_t{256} << 20;
constexpr std::size_t kPlanesKept = 6;

struct Pool {
  std::mutex lock;
  std::vector<Block> blocks;  // lent and idle; a few dozen at most
  std::size_t idleBytes = 0;
  std::size_t limitForTesting = 0;
};

Pool& ThePool() {
  static Pool* pool = new Pool;  // never destroyed: blocks may come back during shutdown
  return *pool;
}

std::size_t LimitLocked(const Pool& pool) {
  if (pool.limitForTesting != 0) return pool.limitForTesting;
  const EngineState& s = State();
  std::size_t plane = 0;
  if (CanvasLive() && s.canvasWidth > 0 && s.canvasHeight > 0)
    plane = std::size_t(s.canvasWidth) * std::size_t(s.canvasHeight) * 4;
  return std::max(kMinimumLimit, kPlanesKept * plane);
}

// Releases idle blocks, largest first, until at most limit idle bytes remain. The blocks are
// taken out under the lock and released outside it.
void ShrinkTo(std::size_t limit) noexcept {
  std::vector<void*> released;
  {
    Pool& pool = ThePool();
    std::lock_guard<std::mutex> guard(pool.lock);
    while (pool.idleBytes > limit) {
      auto largest = pool.blocks.end();
      for (auto it = pool.blocks.begin(); it != pool.blocks.end(); ++it)
        if (!it->lent && (largest == pool.blocks.end() || it->capacity > largest->capacity))
          largest = it;
      if (largest == pool.blocks.end()) break;
      pool.idleBytes -= largest->capacity;
      PALMORA_UNPOISON(largest->memory, largest->capacity);
      try {
        released.push_back(largest->memory);
      } catch (...) {
        ReleaseBytes(largest->memory);
      }
      pool.blocks.erase(largest);
    }
  }
  for (void* block : released) ReleaseBytes(block);
}

void* ImagingAcquire(std::size_t bytes) { return AcquireScratch(bytes); }
void ImagingRelease(void* block) noexcept { ReturnScratch(block); }

// The image library's temporaries come from this pool too.
const bool g_installed = (imaging::SetScratchProvider({&ImagingAcquire, &ImagingRelease}), true);

}  // namespace

void* AcquireScratch(std::size_t bytes) {
  // A kept block obeys the heap's test ceiling as a new one would.
  CheckAllocationCeiling(bytes);
  const std::size_t capacity = std::max<std::size_t>(bytes, 1);
  Pool& pool = ThePool();
  {
    std::lock_guard<std::mutex> guard(pool.lock);
    Block* best = nullptr;
    for (Block& b : pool.blocks)
      if (!b.lent && b.capacity >= capacity && (!best || b.capacity < best->capacity)) best = &b;
    // A kept block far larger than the request stays for a request of its size (a 24-bit plane
    // may take a 32-bit one, a row buffer may not take a plane).
    if (best && best->capacity / 4 <= capacity) {
      best->lent = true;
      pool.idleBytes -= best->capacity;
      PALMORA_UNPOISON(best->memory, best->capacity);
      return best->memory;
    }
    pool.blocks.reserve(pool.blocks.size() + 1);  // so that recording the new block cannot fail
  }
  void* memory = AllocateBytes(capacity);
  std::lock_guard<std::mutex> guard(pool.lock);
  try {
    pool.blocks.push_back({memory, capacity, true});
  } catch (...) {
    ReleaseBytes(memory);
    throw;
  }
  return memory;
}

void ReturnScratch(void* block) noexcept {
  if (!block) return;
  Pool& pool = ThePool();
  bool kept = false;
  std::size_t limit = 0;
  {
    std::lock_guard<std::mutex> guard(pool.lock);
    for (Block& b : pool.blocks)
      if (b.memory == block && b.lent) {
        b.lent = false;
        pool.idleBytes += b.capacity;
        PALMORA_POISON(b.memory, b.capacity);
        kept = true;
        break;
      }
    limit = LimitLocked(pool);
  }
  if (!kept) {
    ReleaseBytes(block);
    return;
  }
  ShrinkTo(limit);
}

void TrimScratch() noexcept { ShrinkTo(0); }

std::size_t IdleScratchBytes() noexcept {
  Pool& pool = ThePool();
  std::lock_guard<std::mutex> guard(pool.lock);
  return pool.idleBytes;
}

std::size_t IdleScratchLimit() noexcept {
  Pool& pool = ThePool();
  std::lock_guard<std::mutex> guard(pool.lock);
  return LimitLocked(pool);
}

void SetIdleScratchLimitForTesting(std::size_t bytes) noexcept {
  {
    Pool& pool = ThePool();
    std::lock_guard<std::mutex> guard(pool.lock);
    pool.limitForTesting = bytes;
  }
  ShrinkTo(IdleScratchLimit());
}

}  // namespace engine
