#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "imaging/imaging.h"
#include "support/png_write.h"

namespace {

std::string SourceDir() {
  if (const char* dir = std::getenv("PALMORA_SOURCE_DIR")) return dir;
  const std::string file = __FILE__;  // <source>/tests/imaging/picture_script_test.cpp
  return file.substr(0, file.rfind("/tests/"));
}

class PictureScript : public ::testing::Test {
 protected:
  void TearDown() override {
    imaging::ISL_Finish();
    for (const std::string& path : written_) std::remove(path.c_str());
  }
  std::string WriteScript(const std::string& name, const std::string& text) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    written_.push_back(path);
    return path;
  }
  // Runs a script file the way the engine does and returns its picture (runner order).
  std::vector<uint8_t> Paint(const std::string& path, uint32_t& w, uint32_t& h) {
    imaging::ScriptHeader header{};
    EXPECT_TRUE(imaging::ISL_Initialize());
    EXPECT_TRUE(imaging::ISL_LoadScriptFromFile(path.c_str()));
    EXPECT_TRUE(imaging::ISL_InitBuffers());
    EXPECT_TRUE(imaging::ISL_ReadScriptHeaderFromFile(path.c_str(), &header));
    w = header.width;
    h = header.height;
    std::vector<uint8_t> pixels(size_t{w} * h * 4);
    EXPECT_TRUE(imaging::ISL_ExecuteScript(pixels.data(), w, h));
    imaging::ISL_Finish();
    return pixels;
  }
  std::vector<std::string> written_;
};

TEST_F(PictureScript, HeaderCarriesTheSizeAtOffsetsSixteenAndTwenty) {
  const std::string path =
      WriteScript("size.picscript", "picture-script 1\nsize 321 123 # wide\neffect 21\n");
  uint8_t header[32] = {};
  ASSERT_TRUE(imaging::ISL_ReadScriptHeaderFromFile(path.c_str(), header));
  uint32_t width = 0, height = 0;
  std::memcpy(&width, header + 16, 4);
  std::memcpy(&height, header + 20, 4);
  EXPECT_EQ(width, 321u);
  EXPECT_EQ(height, 123u);
}

TEST_F(PictureScript, MissingOrMalformedFilesAreRefused) {
  const char* bad[] = {
      "",                                                      // empty
      "size 10 10\neffect 5\n",                                // no format line
      "picture-script 2\nsize 10 10\n",                        // unknown version
      "picture-script 1\neffect 5\n",                          // effect before size
      "picture-script 1\nsize 0 10\n",                         // empty picture
      "picture-script 1\nsize 10 99999\n",                     // too large
      "picture-script 1\nsize 10 -4\n",                        // negative
      "picture-script 1\nsize 10 10\nsize 5 5\n",              // size twice
      "picture-script 1\nsize 10 10\neffect 999\n",            // unknown effect
      "picture-script 1\nsize 10 10\neffect 5\n 16 = 1\n",     // slot out of range
      "picture-script 1\nsize 10 10\neffect 5\n 1 = abc\n",    // not a number
      "picture-script 1\nsize 10 10\n 1 = 3\n",                // value with no effect
      "picture-script 1\nsize 10 10\neffect 5\n 1 = 1e999\n",  // not finite
  };
  uint8_t header[32];
  std::memset(header, 0xEE, sizeof header);
  int n = 0;
  for (const char* text : bad) {
    const std::string path = WriteScript("bad" + std::to_string(n++) + ".picscript", text);
    EXPECT_FALSE(imaging::ISL_ReadScriptHeaderFromFile(path.c_str(), header)) << text;
    ASSERT_TRUE(imaging::ISL_Initialize());
    EXPECT_FALSE(imaging::ISL_LoadScriptFromFile(path.c_str())) << text;
    EXPECT_FALSE(imaging::ISL_InitBuffers());
  }
  EXPECT_FALSE(imaging::ISL_ReadScriptHeaderFromFile("/nonexistent/none.picscript", header));
  EXPECT_FALSE(imaging::ISL_LoadScriptFromFile(nullptr));
  for (uint8_t b : header) EXPECT_EQ(b, 0xEE);
  std::vector<uint8_t> pixels(16, 3);
  EXPECT_FALSE(imaging::ISL_ExecuteScript(pixels.data(), 2, 2));
  EXPECT_EQ(pixels, std::vector<uint8_t>(16, 3));
}

TEST_F(PictureScript, TurnByNinetyDegreesIsAQuarterTurnAnticlockwise) {
  const uint32_t side = 9;
  std::vector<uint8_t> picture(side * side * 4);
  for (size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<uint8_t>(i * 13 + 1);
  const std::vector<uint8_t> original = picture;
  std::vector<uint8_t> reference(picture.size());
  ASSERT_TRUE(imaging::IS3QuickRotateImage(picture.data(), side, side, side * 4, reference.data(),
                                           side * 4, imaging::kTurnLeft, 4));
  ASSERT_TRUE(imaging::ISL_Initialize());
  ASSERT_TRUE(imaging::ISL_AddEffect(51, 1));
  ASSERT_TRUE(imaging::ISL_SetEffectValue(0, 3, 90));
  ASSERT_TRUE(imaging::ISL_SetEffectValue(0, 4, 100));
  ASSERT_TRUE(imaging::ISL_ExecuteScriptOnImage(picture.data(), side, side));
  EXPECT_EQ(picture, reference);
  // Three more quarters complete the turn.
  ASSERT_TRUE(imaging::ISL_SetEffectValue(0, 3, 270));
  ASSERT_TRUE(imaging::ISL_ExecuteScriptOnImage(picture.data(), side, side));
  EXPECT_EQ(picture, original);
}

TEST_F(PictureScript, EffectCallsOutsideTheListOrSessionAreRefused) {
  std::vector<uint8_t> pixels(64, 5);
  EXPECT_FALSE(imaging::ISL_AddEffect(51, 1));  // no session
  ASSERT_TRUE(imaging::ISL_Initialize());
  EXPECT_FALSE(imaging::ISL_ExecuteScriptOnImage(pixels.data(), 4, 4));  // empty list
  EXPECT_FALSE(imaging::ISL_AddEffect(9999, 1));
  ASSERT_TRUE(imaging::ISL_AddEffect(51, 1));
  EXPECT_FALSE(imaging::ISL_SetEffectValue(1, 3, 10));
  EXPECT_FALSE(imaging::ISL_SetEffectValue(0, 16, 10));
  ASSERT_TRUE(imaging::ISL_SetEffectValue(0, 4, -5));  // a negative zoom makes the run fail...
  EXPECT_FALSE(imaging::ISL_ExecuteScriptOnImage(pixels.data(), 4, 4));
  EXPECT_EQ(pixels, std::vector<uint8_t>(64, 5));  // ...and leaves the picture alone
}

TEST_F(PictureScript, GeneratorsRepeatForTheSameValuesAndDifferForOthers) {
  for (uint32_t effect : {5u, 11u, 21u}) {
    auto paint = [&](double seed) {
      std::vector<uint8_t> pixels(48 * 40 * 4);
      EXPECT_TRUE(imaging::ISL_Initialize());
      EXPECT_TRUE(imaging::ISL_AddEffect(effect, 1));
      EXPECT_TRUE(imaging::ISL_SetEffectValue(0, 0, seed));
      EXPECT_TRUE(imaging::ISL_ExecuteScriptOnImage(pixels.data(), 48, 40));
      imaging::ISL_Finish();
      return pixels;
    };
    const auto first = paint(7), again = paint(7), other = paint(8);
    EXPECT_EQ(first, again) << "effect " << effect;
    EXPECT_NE(first, other) << "effect " << effect;
    for (size_t i = 3; i < first.size(); i += 4) ASSERT_EQ(first[i], 255) << "effect " << effect;
  }
}

TEST_F(PictureScript, PlasmaAndPerlinNoiseTileWithoutSeams) {
  // Tiled side by side, the step across the seam is no larger than steps inside the picture.
  for (uint32_t effect : {5u, 11u}) {
    const uint32_t w = 64, h = 64;
    std::vector<uint8_t> pixels(w * h * 4);
    ASSERT_TRUE(imaging::ISL_Initialize());
    ASSERT_TRUE(imaging::ISL_AddEffect(effect, 1));
    ASSERT_TRUE(imaging::ISL_SetEffectValue(0, 1, effect == 5 ? 30 : 32));
    ASSERT_TRUE(imaging::ISL_ExecuteScriptOnImage(pixels.data(), w, h));
    int largestInside = 0, largestSeam = 0;
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t c = 0; c < 3; ++c) {
        for (uint32_t x = 1; x < w; ++x)
          largestInside = std::max(largestInside, std::abs(pixels[(y * w + x) * 4 + c] -
                                                           pixels[(y * w + x - 1) * 4 + c]));
        largestSeam = std::max(largestSeam,
                               std::abs(pixels[(y * w) * 4 + c] - pixels[(y * w + w - 1) * 4 + c]));
      }
    EXPECT_LE(largestSeam, largestInside + 2) << "effect " << effect;
  }
}

TEST_F(PictureScript, ShippedScriptsPaintPictures) {
  const std::string folder = SourceDir() + "/data/scripts/";
  for (const char* name : {"plasma_clouds", "perlin_sky", "grainy_marble"}) {
    uint32_t w = 0, h = 0;
    std::vector<uint8_t> pixels = Paint(folder + name + ".picscript", w, h);
    ASSERT_GT(w, 0u);
    // A real picture: many different colours, fully opaque.
    std::vector<bool> seen(1 << 24);
    size_t distinct = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) {
      ASSERT_EQ(pixels[i + 3], 255) << name;
      const uint32_t key = pixels[i] | pixels[i + 1] << 8 | pixels[i + 2] << 16;
      distinct += !seen[key];
      seen[key] = true;
    }
    EXPECT_GT(distinct, 100u) << name;
    if (const std::string dir = palmora_test::PictureDir(); !dir.empty()) {
      imaging::IS3RGBAToBGRA(pixels.data(), w, h, w * 4);
      palmora_test::WritePng(dir + "/" + name + ".png", pixels.data(), w, h);
    }
  }
}

}  // namespace
