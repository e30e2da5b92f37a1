// Scratch memory for the filters' temporary pictures. Large temporaries allocated afresh on every
// call pay the kernel's zeroing of each new page; a provider that keeps blocks between calls
// (the engine installs one at load) lets a filter reuse warm memory instead. Without a provider
// blocks come from malloc and go back to free.
#pragma once

#include <cstddef>
#include <opencv2/core.hpp>

namespace imaging {

// acquire returns a block of at least bytes (64-byte aligned) or throws std::bad_alloc; release
// takes back a block that acquire returned.
struct ScratchProvider {
  void* (*acquire)(std::size_t bytes);
  void (*release)(void* block) noexcept;
};

// Installs provider (both functions set) or, with null functions, the malloc fallback.
void SetScratchProvider(ScratchProvider provider) noexcept;

// A scratch block held for the life of this object; throws std::bad_alloc when refused.
class ScratchBlock {
 public:
  explicit ScratchBlock(std::size_t bytes);
  ~ScratchBlock();
  ScratchBlock(const ScratchBlock&) = delete;
  ScratchBlock& operator=(const ScratchBlock&) = delete;
  void* data() const { return data_; }

 private:
  void* data_;
  void (*release_)(void*) noexcept;
};

// A rows x cols picture of an OpenCV type on a scratch block, for use as a filter's temporary or
// as the destination of an OpenCV call (which writes into it because size and type already match).
class ScratchPicture {
 public:
  ScratchPicture(int rows, int cols, int type);
  ScratchPicture(cv::Size size, int type) : ScratchPicture(size.height, size.width, type) {}
  cv::Mat& mat() { return mat_; }
  const cv::Mat& mat() const { return mat_; }

 private:
  ScratchBlock block_;
  cv::Mat mat_;
};

}  // namespace imaging
