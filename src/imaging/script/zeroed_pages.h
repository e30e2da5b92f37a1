// A large block of zeroed memory straight from the system, for the generators' whole-picture
// layers and grids. Pages are committed only when first written, so a layer that paints a few
// strokes costs little, and the block asks for large pages: filling a 2048 x 2048 layer then
// takes a handful of page faults instead of four thousand, which on a virtual machine is most of
// the cost of a sparse generator. One block of moderate size is kept for the next user once its
// owner has zeroed again what it wrote (Recycle), so that generators run one after another
// reuse committed memory instead of faulting it in afresh.
#pragma once

#include <cstddef>
#include <cstdint>

namespace imaging::script {

class ZeroedPages {
 public:
  // Throws std::bad_alloc when the system refuses the block.
  explicit ZeroedPages(size_t bytes);
  ~ZeroedPages();
  ZeroedPages(const ZeroedPages&) = delete;
  ZeroedPages& operator=(const ZeroedPages&) = delete;

  uint8_t* data() const { return data_; }
  size_t size() const { return bytes_; }

  // Offers the block for reuse; the owner promises that every byte of it is zero again.
  void Recycle() { recyclable_ = true; }

 private:
  void* mapping_ = nullptr;
  size_t mappedBytes_ = 0;
  uint8_t* data_ = nullptr;
  size_t bytes_ = 0;
  bool recyclable_ = false;
};

}  // namespace imaging::script
