#include "imaging/script/zeroed_pages.h"

#include <sys/mman.h>

#include <mutex>
#include <new>

namespace imaging::script {
namespace {

constexpr size_t kLargePage = size_t{2} << 20;
// The largest block kept between uses: a 2048 x 2048 layer, with room for its alignment.
constexpr size_t kMostKept = size_t{20} << 20;

// The one block kept for reuse, zero throughout.
struct Kept {
  std::mutex lock;
  void* mapping = nullptr;
  size_t mappedBytes = 0;
};
Kept& TheKept() {
  static Kept kept;
  return kept;
}

// The usable part of a mapping: from its first large-page boundary when it is large.
uint8_t* UsableStart(void* mapping, size_t bytes) {
  uintptr_t start = reinterpret_cast<uintptr_t>(mapping);
  if (bytes >= kLargePage) start = (start + kLargePage - 1) & ~uintptr_t{kLargePage - 1};
  return reinterpret_cast<uint8_t*>(start);
}

}  // namespace

ZeroedPages::ZeroedPages(size_t bytes) : bytes_(bytes) {
  if (bytes == 0) return;
  if (bytes > (SIZE_MAX >> 1)) throw std::bad_alloc();
  // One large page more than asked, so that the block can start on a large-page boundary.
  const size_t wanted = bytes + (bytes >= kLargePage ? kLargePage : 0);
  {
    Kept& kept = TheKept();
    const std::lock_guard<std::mutex> hold(kept.lock);
    // A kept block serves a request it holds, if it is not more than twice too large.
    if (kept.mapping && kept.mappedBytes >= wanted && kept.mappedBytes <= 2 * wanted) {
      mapping_ = kept.mapping, mappedBytes_ = kept.mappedBytes;
      kept.mapping = nullptr, kept.mappedBytes = 0;
    }
  }
  if (!mapping_) {
    void* map = ::mmap(nullptr, wanted, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (map == MAP_FAILED) throw std::bad_alloc();
    mapping_ = map, mappedBytes_ = wanted;
#ifdef MADV_HUGEPAGE
    // Only advice: where large pages are not to be had the block works with small ones.
    if (bytes >= kLargePage)
      ::madvise(UsableStart(map, bytes), bytes & ~(kLargePage - 1), MADV_HUGEPAGE);
#endif
  }
  data_ = UsableStart(mapping_, bytes);
}

ZeroedPages::~ZeroedPages() {
  if (!mapping_) return;
  if (recyclable_ && mappedBytes_ <= kMostKept) {
    Kept& kept = TheKept();
    const std::lock_guard<std::mutex> hold(kept.lock);
    // The larger of the two is kept: it serves more requests.
    if (kept.mappedBytes < mappedBytes_) {
      std::swap(kept.mapping, mapping_);
      std::swap(kept.mappedBytes, mappedBytes_);
    }
  }
  if (mapping_) ::munmap(mapping_, mappedBytes_);
}

}  // namespace imaging::script
