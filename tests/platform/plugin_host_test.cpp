#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/engine_fixture.h"

namespace {

using palmora_test::EngineTest;

class PluginHost : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    setenv("PALMORA_PLUGIN_PATH", "/no/such/folder:" PALMORA_TEST_PLUGIN_DIR, 1);
    while (*PMR_PhotoshopPluginNextName()) {
    }
    PMR_SetLastError("");
  }
  void TearDown() override {
    unsetenv("PALMORA_PLUGIN_PATH");
    while (*PMR_PhotoshopPluginNextName()) {
    }
    EngineTest::TearDown();
  }
  static std::string PluginFile() {
    return std::string(PALMORA_TEST_PLUGIN_DIR) + "/palmora_test_plugin.so";
  }
};

TEST_F(PluginHost, ScansListNewestFirstUntilEmpty) {
  EXPECT_EQ(PMR_PhotoshopPluginScan(0), 2);
  EXPECT_EQ(PMR_PhotoshopPluginScan(1), 2);
  // Both scans' entries, the second scan's first, each in discovery order reversed.
  for (int scan = 0; scan < 2; ++scan) {
    EXPECT_EQ(std::string(PMR_PhotoshopPluginNextName()), "Testing :: Refuse :: " + PluginFile());
    EXPECT_EQ(std::string(PMR_PhotoshopPluginNextName()),
              "Testing :: Clear Red :: " + PluginFile());
  }
  EXPECT_STREQ(PMR_PhotoshopPluginNextName(), "");
  EXPECT_STREQ(PMR_PhotoshopPluginNextName(), "");
  setenv("PALMORA_PLUGIN_PATH", "/no/such/folder", 1);
  EXPECT_EQ(PMR_PhotoshopPluginScan(0), 0);
  EXPECT_STREQ(PMR_GetLastError(), "");
}

TEST_F(PluginHost, TheEffectRunsTheListedFilterOnTheLayer) {
  const int w = 6, h = 4;
  MakeCanvas(w, h);
  std::vector<uint8_t> pixels(w * h * 4);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(40 + i);
  ASSERT_EQ(PMR_LoadRGBA32Layer(pixels.data(), w * 4, 2, 0, 0, w, h, 0), 1);
  PMR_IPLAllocSrcBuffer32();
  PMR_IPLAllocDstBuffer32();
  auto run = [&](const std::string& plugin, int keepAlpha) {
    PMR_IPLImageProcess(0, "Adobe Compatible Plug-ins", 0, 0, 0, 0, 0, 0, 0, 0, 0, keepAlpha, 0, 0,
                        0, 0, 0, 0, 0, 0, plugin.c_str());
    std::vector<uint8_t> after(w * h * 4);
    EXPECT_EQ(PMR_GetRGBA32Layer(after.data(), w * 4, 2), 1);
    return after;
  };
  // Refused or unknown plug-ins leave the layer.
  EXPECT_EQ(run("Testing :: Refuse :: " + PluginFile(), 1), pixels);
  EXPECT_EQ(run("Testing :: Clear Red :: /no/such/plugin.so", 1), pixels);
  EXPECT_EQ(run("not a listed text", 1), pixels);
  // The plug-in clears what it sees as red: the layer's red. Option 3 keeps the alpha.
  std::vector<uint8_t> after = run("Testing :: Clear Red :: " + PluginFile(), 1);
  for (int i = 0; i < w * h; ++i) {
    ASSERT_EQ(after[i * 4], 0) << i;
    ASSERT_EQ(after[i * 4 + 1], pixels[i * 4 + 1]);
    ASSERT_EQ(after[i * 4 + 2], pixels[i * 4 + 2]);
    ASSERT_EQ(after[i * 4 + 3], pixels[i * 4 + 3]);
  }
  after = run("Testing :: Clear Red :: " + PluginFile(), 0);
  EXPECT_EQ(after[3], 7);
  PMR_IPLFreeSrcBuffer32();
  PMR_IPLFreeDstBuffer32();
}

}  // namespace
