// Photo pop against its steps done one by one, and the displacement bump through a picture script.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "imaging/colour_filters.h"
#include "process/effects/own_effect_model.h"
#include "support/engine_fixture.h"

namespace {

constexpr int kW = 24, kH = 17;

class PhotoPopAndBump : public palmora_test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    MakeCanvas(kW, kH);
    std::vector<uint16_t> pixels(std::size_t(kW) * kH * 4);
    std::mt19937 rng(3);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        uint16_t* p = &pixels[(std::size_t(y) * kW + x) * 4];
        // Blocks of colour with hard edges, so that sharpening has something to do.
        p[0] = uint16_t(((x / 5) * 50 + (y / 4) * 20) % 256 * 256);
        p[1] = uint16_t(((x / 3) * 80) % 256 * 256);
        p[2] = uint16_t((rng() % 256) * 256);
        p[3] = 65280;
      }
    palmora_test::WriteLayer(2, pixels);
    PMR_IPLAllocSrcBuffer32();
    PMR_IPLAllocDstBuffer32();
  }
  std::vector<uint8_t> Layer8() {
    std::vector<uint8_t> out(std::size_t(kW) * kH * 4);
    EXPECT_EQ(PMR_GetRGBA32Layer(out.data(), kW * 4, 2), 1);
    return out;
  }
};

TEST_F(PhotoPopAndBump, PhotoPopIsSharpenThenContrastThenSaturation) {
  std::vector<uint8_t> layer = Layer8();
  // Sharpen the colour as an RGB24 picture; alpha stays.
  std::vector<uint8_t> rgb(std::size_t(kW) * kH * 3), sharp(rgb.size());
  for (int i = 0; i < kW * kH; ++i)
    for (int c = 0; c < 3; ++c) rgb[i * 3 + c] = layer[i * 4 + c];
  ASSERT_EQ(imaging::IS3SharpenImage(rgb.data(), kW, kH, 3, kW * 3, sharp.data(), kW * 3, 5, 7), 1);
  for (int i = 0; i < kW * kH; ++i)
    for (int c = 0; c < 3; ++c) layer[i * 4 + c] = sharp[i * 3 + c];
  // The gentle pass, the contrast pass, then saturation 80: factor (80 - 50) x 0.04 + 1 = 2.2.
  for (int amount : {1, 600}) {
    effects_model::Run run;
    run.w = kW, run.h = kH, run.src = layer;
    effects_model::Args args;
    args.sliders[0] = amount;
    effects_model::RunModel("Hyper Contrast", args, run);
    layer = run.dst;
  }
  ASSERT_EQ(imaging::IS3ModifyImageSaturation(layer.data(), kW, kH, 4, kW * 4, 2.2), 1);

  PMR_IPLPhotoPop(600, 80.0, 1);
  EXPECT_EQ(Layer8(), layer);
}

std::string WriteScript(const std::string& text) {
  const std::string path = ::testing::TempDir() + "palmora_bump_test.picscript";
  std::ofstream(path) << text;
  return path;
}

TEST_F(PhotoPopAndBump, DisplacementBumpWithoutAmountKeepsThePicture) {
  const std::string script =
      WriteScript("picture-script 1\nsize 8 8\neffect 5\n  0 = 3\n  1 = 60\n");
  std::vector<uint8_t> expected = Layer8();
  PMR_AdjustRGBA32PreFilter(expected.data(), kW, kH);
  PMR_AdjustRGBA32PostFilter(expected.data(), kW, kH);
  PMR_IPLUpdateSrcBuffer32();
  PMR_AdjustRGBA32PreFilter(engine::State().processingBuffers.src32, kW, kH);
  PMR_IPLDisplacementBummp(script.c_str(), 0.0, 0);
  EXPECT_EQ(Layer8(), expected);
  std::remove(script.c_str());
}

TEST_F(PhotoPopAndBump, DisplacementBumpMovesPixelsAlongTheRelief) {
  const std::string script =
      WriteScript("picture-script 1\nsize 8 8\neffect 5\n  0 = 3\n  1 = 60\n");
  const std::vector<uint8_t> before = Layer8();
  PMR_IPLUpdateSrcBuffer32();
  PMR_IPLDisplacementBummp(script.c_str(), 100.0, 0x00FF00);
  EXPECT_NE(Layer8(), before);
  EXPECT_STREQ(PMR_GetLastError(), "");
  std::remove(script.c_str());
}

TEST_F(PhotoPopAndBump, DisplacementBumpWithoutAScriptWritesNothing) {
  const std::vector<uint16_t> before = palmora_test::ReadLayer(2);
  PMR_IPLDisplacementBummp("/nonexistent/relief.picscript", 50.0, 0);
  PMR_IPLDisplacementBummp(nullptr, 50.0, 0);
  EXPECT_EQ(palmora_test::ReadLayer(2), before);
}

}  // namespace
