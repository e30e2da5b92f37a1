#include "platform/clipboard_store.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace platform {
namespace {

std::mutex& StoreLock() {
  static std::mutex lock;
  return lock;
}
std::shared_ptr<ClipboardBlock>& Current() {
  static std::shared_ptr<ClipboardBlock> block;
  return block;
}

}  // namespace

ClipboardBlock::~ClipboardBlock() { std::free(bytes); }

bool PutClipboardBlock(std::size_t size, const std::function<bool(uint8_t*)>& fill) {
  if (size == 0 || !fill) return false;
  {
    // The current block can carry the new picture when nobody else (the selection service
    // serving another program) holds it; then no fresh pages need to be faulted in. The lock
    // stays held while it is rewritten, so no reader can pick it up half-written.
    std::lock_guard<std::mutex> hold(StoreLock());
    const std::shared_ptr<ClipboardBlock>& current = Current();
    if (current && current.use_count() == 1 && current->capacity >= size) {
      if (!fill(current->bytes)) return false;
      std::memset(current->bytes + size, 0, current->capacity - size);
      current->size = size;
      return true;
    }
  }
  auto block = std::make_shared<ClipboardBlock>();
  block->bytes = static_cast<uint8_t*>(std::calloc(size, 1));
  if (!block->bytes) return false;
  block->size = block->capacity = size;
  if (!fill(block->bytes)) return false;
  std::lock_guard<std::mutex> hold(StoreLock());
  Current() = std::move(block);
  return true;
}

std::shared_ptr<const ClipboardBlock> ClipboardContents() {
  std::lock_guard<std::mutex> hold(StoreLock());
  return Current();
}

void ClearClipboardForTesting() {
  std::lock_guard<std::mutex> hold(StoreLock());
  Current().reset();
}

}  // namespace platform
