// Shared set-up of the clipboard tests: an engine without a display and an empty clipboard.
#pragma once

#include <cstdlib>
#include <vector>

#include "platform/clipboard_store.h"
#include "platform/x11_display.h"
#include "support/engine_fixture.h"

namespace clipboard_test {

class ClipboardTest : public palmora_test::EngineTest {
 protected:
  void SetUp() override {
    ::unsetenv("DISPLAY");  // these tests use the process's own store only
    platform::ReleaseClipboard();
    platform::ClearClipboardForTesting();
    EngineTest::SetUp();
  }
  void TearDown() override {
    EngineTest::TearDown();
    platform::ReleaseClipboard();
    platform::ClearClipboardForTesting();
  }
};

// The import picture as the host reads it; empty when there is none.
inline std::vector<uint8_t> ImportPicture() {
  std::vector<uint8_t> pixels(std::size_t(PMR_GetNewRGBAWidth()) * PMR_GetNewRGBAHeight() * 4);
  if (!pixels.empty()) PMR_GetNewRGBA32(pixels.data());
  return pixels;
}

// 8-bit samples as the engine widens them.
inline uint16_t Widen8(uint8_t v) { return uint16_t(v * 256); }

}  // namespace clipboard_test
