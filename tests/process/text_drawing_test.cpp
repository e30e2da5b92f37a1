#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/engine_state.h"
#include "support/engine_fixture.h"

namespace {

using engine::State;
using palmora_test::EngineTest;

constexpr int32_t kW = 80, kH = 40;

class TextDrawing : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    MakeCanvas(kW, kH);
    PMR_SetLastError("");
  }
  void TearDown() override {
    PMR_SetFontChooserCallback(nullptr, nullptr);
    EngineTest::TearDown();
  }
  static std::vector<uint8_t> Layer8() {
    std::vector<uint8_t> pixels(kW * kH * 4);
    EXPECT_EQ(PMR_GetRGBA32Layer(pixels.data(), kW * 4, 2), 1);
    return pixels;
  }
};

struct ChooserLog {
  int calls = 0;
  uint32_t flags[2] = {};
  bool recordClearedOnRetry = false;
  uint32_t failWith = 0;
};

int32_t FailingChooser(void* record, uint32_t flags, uint32_t* error, void* user) {
  auto* log = static_cast<ChooserLog*>(user);
  if (log->calls < 2) log->flags[log->calls] = flags;
  if (++log->calls == 1) {
    *error = log->failWith;
    return 0;
  }
  const uint8_t zero[60] = {};
  log->recordClearedOnRetry = std::memcmp(record, zero, 60) == 0;
  return 7;
}

TEST_F(TextDrawing, FontChoiceReportsFailuresAndRetriesFromAClearedRecord) {
  // The default chooser takes an installed face.
  EXPECT_NE(PMR_ChooseFont(), 0);
  EXPECT_NE(State().font.faceName[0], 0);
  EXPECT_EQ(State().font.height, -16);

  // Cancelled: 0 and no message.
  ChooserLog cancel;
  PMR_SetFontChooserCallback(&FailingChooser, &cancel);
  EXPECT_EQ(PMR_ChooseFont(), 0);
  EXPECT_EQ(cancel.calls, 1);
  EXPECT_EQ(cancel.flags[0], 0x41u);
  EXPECT_STREQ(PMR_GetLastError(), "");

  for (auto [code, message] : {std::pair{0x2001u, "Font Err: CFERR_NOFONTS"},
                               std::pair{9u, "Font Err: CDERR_MEMALLOCFAILURE"},
                               std::pair{0x1234u, "Font Err: Other Error"}}) {
    ChooserLog log;
    log.failWith = code;
    PMR_SetFontChooserCallback(&FailingChooser, &log);
    std::strcpy(State().font.faceName, "Something");
    EXPECT_EQ(PMR_ChooseFont(), 7);
    EXPECT_STREQ(PMR_GetLastError(), message);
    EXPECT_EQ(log.calls, 2);
    EXPECT_EQ(log.flags[1], 1u);
    EXPECT_TRUE(log.recordClearedOnRetry);
  }
}

TEST_F(TextDrawing, TextLandsRightAndBelowItsPointInItsColour) {
  const std::vector<uint8_t> before = Layer8();
  PMR_IPLText(255, 0, 0, 10, 8, 0, 0, 0, 0, "Hello", 1);  // no source buffer: nothing
  EXPECT_EQ(Layer8(), before);
  PMR_IPLAllocSrcBuffer32();
  PMR_ChooseFont();
  for (int smooth : {0, 1}) {
    PMR_Clear(0, 0, 0, 0);
    PMR_IPLText(255, 0, 0, 10, 8, 0, 0, 0, 0, "Hello", smooth);
    const std::vector<uint8_t> after = Layer8();
    int covered = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const uint8_t* p = &after[(y * kW + x) * 4];
        if (p[3] == 0) continue;
        ++covered;
        ASSERT_GE(x, 10) << smooth;
        ASSERT_GE(y, 8) << smooth;
        ASSERT_EQ(p[1], 0);
        ASSERT_EQ(p[2], 0);
        if (!smooth) {
          ASSERT_EQ(p[3], 255);
          ASSERT_EQ(p[0], 255);
        }
      }
    EXPECT_GT(covered, 40) << smooth;
  }
  PMR_IPLFreeSrcBuffer32();
}

TEST_F(TextDrawing, LinesStackAndTextPastTheCanvasDrawsNothing) {
  PMR_IPLAllocSrcBuffer32();
  PMR_ChooseFont();
  PMR_IPLText(0, 0, 255, 2, 0, 0, 0, 0, 0, "I\nI", 0);
  std::vector<uint8_t> after = Layer8();
  std::vector<int> rows(kH, 0);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) rows[y] += after[(y * kW + x) * 4 + 3] != 0;
  // Two separate bands of covered rows.
  int bands = 0;
  for (int y = 0; y < kH; ++y) bands += rows[y] > 0 && (y == 0 || rows[y - 1] == 0);
  EXPECT_EQ(bands, 2);

  PMR_Clear(0, 0, 0, 0);
  const std::vector<uint8_t> clear = Layer8();
  PMR_IPLText(0, 0, 255, kW + 5, 3, 0, 0, 0, 0, "Far", 1);
  PMR_IPLText(0, 0, 255, 3, kH, 0, 0, 0, 0, "Low", 1);
  PMR_IPLText(0, 0, 255, 3, 3, 0, 0, 0, 0, nullptr, 1);
  PMR_IPLText(0, 0, 255, 3, 3, 0, 0, 0, 0, "\xFF\xFE bad bytes",
              1);  // malformed UTF-8 is drawn as replacement marks
  after = Layer8();
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < kW; ++x) ASSERT_EQ(after[(y * kW + x) * 4 + 3], 0);
  PMR_IPLFreeSrcBuffer32();
}

}  // namespace
