#include "imaging/script/zeroed_pages.h"

#include <sys/mman.h>

#include <new>

namespace imaging::script {
namespace {

constexpr size_t kLargePage = size_t{2} << 20;

}  // namespace

ZeroedPages::ZeroedPages(size_t bytes) : bytes_(bytes) {
  if (bytes == 0) return;
  if (bytes > (SIZE_MAX >> 1)) throw std::bad_alloc();
  // One large page more than asked, so that the block can start on a large-page boundary.
  mappedBytes_ = bytes + (bytes >= kLargePage ? kLargePage : 0);
  void* map = ::mmap(nullptr, mappedBytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                     -1, 0);
  if (map == MAP_FAILED) throw std::bad_alloc();
  mapping_ = map;
  uintptr_t start = reinterpret_cast<uintptr_t>(map);
  if (bytes >= kLargePage) {
    start = (start + kLargePage - 1) & ~uintptr_t{kLargePage - 1};
#ifdef MADV_HUGEPAGE
    // Only advice: where large pages are not to be had the block works with small ones.
    ::madvise(reinterpret_cast<void*>(start), bytes & ~(kLargePage - 1), MADV_HUGEPAGE);
#endif
  }
  data_ = reinterpret_cast<uint8_t*>(start);
}

ZeroedPages::~ZeroedPages() {
  if (mapping_) ::munmap(mapping_, mappedBytes_);
}

}  // namespace imaging::script
