// The program-wide operator new, with the failure switch of failing_new.h (the file name joins it
// to the test program).
#include "support/failing_new.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace palmora_test {
namespace {
std::atomic<bool> g_armed{false};
std::atomic<long> g_left{0};

bool ShouldFail() noexcept {
  if (!g_armed.load(std::memory_order_relaxed)) return false;
  return g_left.fetch_sub(1, std::memory_order_relaxed) <= 0;
}
}  // namespace

void FailNewAfter(long successes) noexcept {
  g_left.store(successes);
  g_armed.store(true);
}
void StopFailingNew() noexcept { g_armed.store(false); }

}  // namespace palmora_test

void* operator new(std::size_t size) {
  if (palmora_test::ShouldFail()) throw std::bad_alloc();
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
