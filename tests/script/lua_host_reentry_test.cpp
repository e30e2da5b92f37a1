// A host whose message-box callback calls back into the engine while a filter runs: calls that
// would release or re-create what the run is using are refused, and the run finishes on intact
// buffers.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "palmora/effects.h"
#include "palmora/engine.h"
#include "palmora/lua.h"
#include "palmora/processing.h"
#include "script/lua_test_support.h"

namespace {

using palmora_test::LuaFilterTest;

struct Reentry {
  const char* name;
  const char* message;
  std::function<void()> call;
};

std::function<void()>* g_hostAction = nullptr;
void CallBack(const char*, const char*, void*) {
  if (g_hostAction) (*g_hostAction)();
}

class LuaHostReentry : public LuaFilterTest {
 protected:
  void TearDown() override {
    g_hostAction = nullptr;
    LuaFilterTest::TearDown();
  }
};

// The script writes, shows a box (the host calls back), writes again, flushes into the layer,
// shows another box and writes a last pixel: every step after the first box touches the buffers.
constexpr const char* kScript = R"(
  set_rgb(0, 0, 1, 0, 0)
  message_box("first", "x")
  set_rgb(1, 0, 0, 1, 0)
  flush()
  message_box("second", "x")
  set_rgb(2, 0, 0, 0, 1)
  set_mask(0, 1, 0.5)
)";

TEST_F(LuaHostReentry, ReleasingCallsFromABoxAreRefusedAndTheRunFinishes) {
  const std::vector<Reentry> calls = {
      {"DeleteImage", "DeleteImage Excpt", [] { PMR_DeleteImage(); }},
      {"NewSize", "NewSize Excpt", [] { PMR_NewSize(nullptr, 40, 40, 8, 0); }},
      {"CreateImage", "CreateImage Excpt", [] { PMR_CreateImage(nullptr, 40, 40, 8, 0); }},
      {"FreeSrc", "IPLFreeSrcBuffer32 Excpt", [] { PMR_IPLFreeSrcBuffer32(); }},
      {"FreeDst", "IPLFreeDstBuffer32 Excpt", [] { PMR_IPLFreeDstBuffer32(); }},
      {"AllocSrc", "IPLAllocSrcBuffer32 Excpt", [] { PMR_IPLAllocSrcBuffer32(); }},
      {"Effect", "IPLImageProc Excpt",
       [] {
         PMR_IPLImageProcess(0, "Vignette", 0, 500, 500, 500, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                             0, "");
       }},
      {"PhotoPop", "IPLPhotoPop Excpt", [] { PMR_IPLPhotoPop(50, 1.2, 1); }},
  };
  for (const Reentry& reentry : calls) {
    SCOPED_TRACE(reentry.name);
    MakeFilterCanvas(4, 3);
    const auto& s = engine::State();
    uint8_t* const src = s.processingBuffers.src32;
    uint8_t* const dst = s.processingBuffers.dst32;
    uint16_t* const mask = s.maskPlane;
    PMR_SetLastError("");
    std::function<void()> action = reentry.call;
    g_hostAction = &action;
    PMR_SetMessageBoxCallback(CallBack, nullptr);
    Run(kScript);
    g_hostAction = nullptr;

    EXPECT_STREQ(PMR_GetLastError(), reentry.message);
    ASSERT_EQ(s.processingBuffers.src32, src);
    ASSERT_EQ(s.processingBuffers.dst32, dst);
    ASSERT_EQ(s.maskPlane, mask);
    EXPECT_EQ(s.canvasWidth, 4);
    const uint8_t expectFirst[] = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(dst[(i / 3) * 4 + i % 3], expectFirst[i]) << i;
    EXPECT_EQ(mask[4], 32767);
    // The flush reached the source too; the run's end loaded the last pixel into the layer.
    EXPECT_EQ(src[4 + 1], 255);
    std::vector<uint8_t> layer(4 * 3 * 4);
    ASSERT_EQ(PMR_GetRGBA32Layer(layer.data(), 16, 2), 1);
    EXPECT_EQ(layer[8 + 2], 255);
  }
}

TEST_F(LuaHostReentry, TheSameCallsWorkAgainOnceTheRunIsOver) {
  MakeFilterCanvas(4, 3);
  std::function<void()> action = [] { PMR_IPLFreeSrcBuffer32(); };
  g_hostAction = &action;
  PMR_SetMessageBoxCallback(CallBack, nullptr);
  Run("message_box('x', 'y')");
  EXPECT_NE(Source(), nullptr);
  PMR_IPLFreeSrcBuffer32();
  EXPECT_EQ(Source(), nullptr);
  PMR_DeleteImage();
  EXPECT_EQ(engine::State().maskPlane, nullptr);
}

}  // namespace
