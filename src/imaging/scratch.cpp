#include "imaging/scratch.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace imaging {
namespace {

void* MallocAcquire(std::size_t bytes) {
  void* block = nullptr;
  if (posix_memalign(&block, 64, bytes == 0 ? 1 : bytes) != 0) throw std::bad_alloc();
  return block;
}
void MallocRelease(void* block) noexcept { std::free(block); }

// Constant-initialised, so a provider installed by another file's static initialiser is never
// overwritten by this file's.
constinit std::atomic<void* (*)(std::size_t)> g_acquire{&MallocAcquire};
constinit std::atomic<void (*)(void*) noexcept> g_release{&MallocRelease};

std::size_t PictureBytes(int rows, int cols, int type) {
  if (rows < 0 || cols < 0) throw std::bad_alloc();
  const std::size_t element = CV_ELEM_SIZE(type);
  const std::size_t count = std::size_t(rows) * std::size_t(cols);
  if (element != 0 && count > SIZE_MAX / element) throw std::bad_alloc();
  return count * element;
}

}  // namespace

void SetScratchProvider(ScratchProvider provider) noexcept {
  const bool usable = provider.acquire && provider.release;
  g_acquire.store(usable ? provider.acquire : &MallocAcquire);
  g_release.store(usable ? provider.release : &MallocRelease);
}

ScratchBlock::ScratchBlock(std::size_t bytes) : release_(g_release.load()) {
  // Read the pair before acquiring, so a block always goes back where it came from.
  data_ = g_acquire.load()(bytes);
}

ScratchBlock::~ScratchBlock() { release_(data_); }

ScratchPicture::ScratchPicture(int rows, int cols, int type)
    : block_(PictureBytes(rows, cols, type)), mat_(rows, cols, type, block_.data()) {}

}  // namespace imaging
