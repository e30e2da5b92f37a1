// The process-wide clipboard: the latest device-independent bitmap block put on it. It starts
// empty, never touches a display, and is shared with the X11 selection service, which serves the
// same block to other programs while this process owns the desktop clipboard.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

// One clipboard block: size bytes, zero where its writer left them alone.
struct ClipboardBlock {
  uint8_t* bytes = nullptr;  // malloc'd
  std::size_t size = 0;
  std::size_t capacity = 0;
  ClipboardBlock() = default;
  ClipboardBlock(const ClipboardBlock&) = delete;
  ClipboardBlock& operator=(const ClipboardBlock&) = delete;
  ~ClipboardBlock();
};

// Makes a block of size bytes, lets fill write it and puts it on the clipboard. fill validates
// before it writes: when it returns false (or throws), or memory runs out (false), the clipboard
// keeps its previous block. A previous block that no reader holds is reused for the new one.
bool PutClipboardBlock(std::size_t size, const std::function<bool(uint8_t*)>& fill);

// The block on the clipboard, or null when it is empty. Readers keep it alive while they hold it.
std::shared_ptr<const ClipboardBlock> ClipboardContents();

// Test hook: empties the clipboard.
void ClearClipboardForTesting();

}  // namespace platform
