// The shipped picture-script library (data/scripts/<family>/): at least five scripts in each
// family, each a full opaque picture that tiles without a seam, as the backgrounds and textures
// that repeat it need.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/channels.h"
#include "imaging/picture_script.h"
#include "support/png_write.h"

namespace {

std::string SourceDir() {
  if (const char* dir = std::getenv("PALMORA_SOURCE_DIR")) return dir;
  const std::string file = __FILE__;
  return file.substr(0, file.rfind("/tests/"));
}

// Mean absolute colour difference between two columns (or rows) of the picture.
double Difference(const std::vector<uint8_t>& p, uint32_t w, uint32_t h, uint32_t a, uint32_t b,
                  bool columns) {
  double sum = 0;
  const uint32_t n = columns ? h : w;
  for (uint32_t i = 0; i < n; ++i) {
    const size_t pa = columns ? (size_t{i} * w + a) * 4 : (size_t{a} * w + i) * 4;
    const size_t pb = columns ? (size_t{i} * w + b) * 4 : (size_t{b} * w + i) * 4;
    for (int c = 0; c < 3; ++c) sum += std::abs(p[pa + c] - p[pb + c]);
  }
  return sum / (3.0 * n);
}

TEST(ScriptLibrary, EveryFamilyShipsFiveOrMoreSeamlessOpaquePictures) {
  const std::filesystem::path root = SourceDir() + "/data/scripts";
  for (const char* family : {"material", "nature", "surface", "other", "utility"}) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(root / family)) {
      if (entry.path().extension() != ".picscript") continue;
      ++count;
      const std::string path = entry.path().string();
      SCOPED_TRACE(path);
      imaging::ScriptHeader header{};
      ASSERT_TRUE(imaging::ISL_ReadScriptHeaderFromFile(path.c_str(), &header));
      const uint32_t w = header.width, h = header.height;
      std::vector<uint8_t> pixels(size_t{w} * h * 4);
      ASSERT_TRUE(imaging::ISL_Initialize());
      ASSERT_TRUE(imaging::ISL_LoadScriptFromFile(path.c_str()));
      ASSERT_TRUE(imaging::ISL_InitBuffers());
      ASSERT_TRUE(imaging::ISL_ExecuteScript(pixels.data(), w, h));
      imaging::ISL_Finish();
      for (size_t i = 3; i < pixels.size(); i += 4) ASSERT_EQ(pixels[i], 255);
      for (bool columns : {true, false}) {
        const uint32_t n = columns ? w : h;
        // Across the wrap the picture changes no more than between typical neighbours inside
        // it, or (for hard-edged patterns) than at its own sharpest edge.
        double mean = 0, largest = 0;
        for (uint32_t i = 1; i < n; ++i) {
          const double d = Difference(pixels, w, h, i - 1, i, columns);
          mean += d, largest = std::max(largest, d);
        }
        mean /= n - 1;
        EXPECT_LE(Difference(pixels, w, h, n - 1, 0, columns), std::max(2.5 * mean + 2, largest))
            << (columns ? "left-right seam" : "top-bottom seam");
      }
      if (const std::string dir = palmora_test::PictureDir(); !dir.empty()) {
        imaging::IS3RGBAToBGRA(pixels.data(), w, h, w * 4);
        palmora_test::WritePng(
            dir + "/library_" + family + "_" + entry.path().stem().string() + ".png", pixels.data(),
            w, h);
      }
    }
    EXPECT_GE(count, 5) << family;
  }
}

}  // namespace
