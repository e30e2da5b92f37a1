// Saving the flattened canvas line by line: the file read back must be the whole-canvas flatten
// converted to 8 bits, in every format, and a save that cannot finish must leave nothing behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstring>

#include "engine/heap.h"
#include "imaging/picture_test_support.h"
#include "support/engine_fixture.h"

namespace {

using namespace picture_test;
using palmora_test::EngineTest;
using palmora_test::PaintPattern;
using palmora_test::WriteLayer;
using PageSave = EngineTest;

// The flattened canvas through PMR_Merge, as 8-bit RGBA (high bytes) or RGB.
std::vector<uint8_t> MergedPage(int channels) {
  const auto& s = engine::State();
  const std::size_t pixels = std::size_t(s.canvasWidth) * s.canvasHeight;
  std::vector<uint16_t> merged(pixels * 4);
  PMR_Merge(merged.data());
  std::vector<uint8_t> out(pixels * channels);
  for (std::size_t i = 0; i < pixels; ++i) {
    for (int c = 0; c < channels; ++c) out[i * channels + c] = uint8_t(merged[i * 4 + c] >> 8);
  }
  return out;
}

// Layers that make the flatten do real work: a noisy background, two noisy layers in other modes
// and opacities with varied alpha, and a hidden one that must not show.
void BuildStack(int32_t width, int32_t height) {
  PaintPattern(1, 11);
  PaintPattern(2, 12);
  PMR_CreateLayer(3, width, height);
  PaintPattern(3, 13);
  PMR_CreateLayer(4, width, height);
  PaintPattern(4, 14);
  PMR_SetLayerOptions(2, 1, 0, 70, "Multiply");
  PMR_SetLayerOptions(3, 1, 0, 100, "Screen");
  PMR_SetLayerOptions(4, 0, 0, 100, "Normal");
}

std::vector<uint8_t> ReadBack(const std::filesystem::path& path, int32_t w, int32_t h,
                              int channels) {
  std::vector<uint8_t> back(std::size_t(w) * h * channels, 0);
  const int32_t ok = channels == 3 ? PMR_ReadFromFileRGB24(back.data(), w, h, path.c_str())
                                   : PMR_ReadFromFileRGBA32(back.data(), w, h, path.c_str());
  EXPECT_EQ(ok, 1) << path;
  return back;
}

TEST_F(PageSave, LosslessFormatsHoldTheFlattenedCanvasExactlyAndUpright) {
  // 301 wide: BMP rows need padding; 500 high: several bands, the last one short.
  const int32_t w = 301, h = 500;
  MakeCanvas(w, h);
  BuildStack(w, h);
  const auto rgb = MergedPage(3), rgba = MergedPage(4);
  for (const char* ext : {".bmp", ".png", ".BMP"}) {
    SCOPED_TRACE(ext);
    const auto path = ScratchPath(std::string("page24") + ext);
    ASSERT_EQ(PMR_SavePageToFileRGB24(path.c_str(), ext, 96), 1);
    EXPECT_EQ(ReadBack(path, w, h, 3), rgb);
  }
  for (const char* ext : {".png", ".tga", ".tif", ".Tif"}) {
    SCOPED_TRACE(ext);
    const auto path = ScratchPath(std::string("page32") + ext);
    ASSERT_EQ(PMR_SavePageToFileRGB32(path.c_str(), ext, 96), 1);
    EXPECT_EQ(ReadBack(path, w, h, 4), rgba);
  }
}

TEST_F(PageSave, OneRowAndOneColumnCanvases) {
  for (auto [w, h] : {std::pair{1, 37}, std::pair{513, 1}}) {
    MakeCanvas(w, h);
    BuildStack(w, h);
    const auto rgba = MergedPage(4);
    const auto path = ScratchPath("thin.png");
    ASSERT_EQ(PMR_SavePageToFileRGB32(path.c_str(), ".png", 72), 1);
    EXPECT_EQ(ReadBack(path, w, h, 4), rgba);
    PMR_DeleteImage();
  }
}

TEST_F(PageSave, JpegKeepsFullColourResolution) {
  // Columns alternating between red and blue: with the chroma halved they would smear into
  // purple; at full resolution and quality 97 they stay close.
  const int32_t w = 96, h = 40;
  MakeCanvas(w, h);
  std::vector<uint16_t> stripes(std::size_t(w) * h * 4);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      uint16_t* p = &stripes[(std::size_t(y) * w + x) * 4];
      p[0] = x % 2 ? 0 : 0xFF00, p[1] = 0x4000, p[2] = x % 2 ? 0xFF00 : 0, p[3] = 0xFF00;
    }
  }
  WriteLayer(2, stripes);
  const auto rgb = MergedPage(3);
  const auto path = ScratchPath("page.JPG");
  ASSERT_EQ(PMR_SavePageToFileRGB24(path.c_str(), ".JPG", 150), 1);
  const auto back = ReadBack(path, w, h, 3);
  EXPECT_LT(MeanDifference(back, rgb), 4.0);
  EXPECT_LT(MaxDifference(back, rgb), 48);
}

TEST_F(PageSave, StoresTheResolution) {
  MakeCanvas(16, 16);
  for (const char* ext : {".bmp", ".png", ".jpg"}) {
    const auto path = ScratchPath(std::string("dpi_page") + ext);
    ASSERT_EQ(PMR_SavePageToFileRGB24(path.c_str(), ext, 300), 1);
    EXPECT_EQ(PMR_GetDPIFromFile(path.c_str()), 300) << ext;
  }
  for (const char* ext : {".png", ".tif"}) {
    const auto path = ScratchPath(std::string("dpi_page32") + ext);
    ASSERT_EQ(PMR_SavePageToFileRGB32(path.c_str(), ext, 600), 1);
    EXPECT_EQ(PMR_GetDPIFromFile(path.c_str()), 600) << ext;
  }
}

TEST_F(PageSave, RefusesBadArgumentsWithoutMakingAFile) {
  const auto path = ScratchPath("refused.png");
  EXPECT_EQ(PMR_SavePageToFileRGB32(path.c_str(), ".png", 72), 0);  // no canvas yet
  EXPECT_FALSE(std::filesystem::exists(path));

  MakeCanvas(20, 10);
  EXPECT_EQ(PMR_SavePageToFileRGB32(nullptr, ".png", 72), 0);
  EXPECT_EQ(PMR_SavePageToFileRGB32("", ".png", 72), 0);
  EXPECT_EQ(PMR_SavePageToFileRGB32(path.c_str(), nullptr, 72), 0);
  EXPECT_EQ(PMR_SavePageToFileRGB32(path.c_str(), ".bmp", 72), 0);  // no RGBA32 BMP
  EXPECT_EQ(PMR_SavePageToFileRGB32(path.c_str(), ".jpg", 72), 0);
  EXPECT_EQ(PMR_SavePageToFileRGB24(path.c_str(), ".tga", 72), 0);  // no RGB24 TGA
  EXPECT_EQ(PMR_SavePageToFileRGB24(path.c_str(), ".gif", 72), 0);  // not a line format
  EXPECT_EQ(PMR_SavePageToFileRGB24(path.c_str(), "png", 72), 0);
  EXPECT_FALSE(std::filesystem::exists(path));

  const auto missingFolder = ScratchPath("no_such_folder") / "page.png";
  EXPECT_EQ(PMR_SavePageToFileRGB24(missingFolder.c_str(), ".png", 72), 0);
  EXPECT_EQ(PMR_SavePageToFileRGB24(ScratchPath("").c_str(), ".png", 72), 0);  // a folder
  EXPECT_FALSE(std::filesystem::exists(missingFolder));
}

TEST_F(PageSave, MemoryFailureReportsAndWritesNothing) {
  MakeCanvas(300, 300);
  const auto path = ScratchPath("nomem_page.png");
  engine::SetAllocationCeilingForTesting(1024);
  EXPECT_EQ(PMR_SavePageToFileRGB24(path.c_str(), ".png", 72), 0);
  EXPECT_STREQ(PMR_GetLastError(), "PMR_SavePageToFileRGB24 Excpt");
  EXPECT_EQ(PMR_SavePageToFileRGB32(path.c_str(), ".png", 72), 0);
  EXPECT_STREQ(PMR_GetLastError(), "PMR_SavePageToFileRGB32 Excpt");
  engine::SetAllocationCeilingForTesting(0);
  EXPECT_FALSE(std::filesystem::exists(path));
}

// The process may write no file beyond `bytes` while this lives; a write past it fails (EFBIG)
// instead of raising the signal.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    previousHandler_ = ::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    ::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit previous_{};
  sighandler_t previousHandler_;
};

TEST_F(PageSave, AFileThatCannotBeWrittenToTheEndIsRemoved) {
  MakeCanvas(400, 300);
  BuildStack(400, 300);  // noise: none of the formats shrinks it below the limit
  const auto path24 = ScratchPath("cut_page.bmp"), path32 = ScratchPath("cut_page.tif");
  // An older file of the same name is replaced: it goes too.
  WriteBytes(path24, {1, 2, 3});
  {
    FileSizeLimit limit(64 * 1024);
    EXPECT_EQ(PMR_SavePageToFileRGB24(path24.c_str(), ".bmp", 72), 0);
    EXPECT_EQ(PMR_SavePageToFileRGB24(ScratchPath("cut_page.jpg").c_str(), ".jpg", 72), 0);
    EXPECT_EQ(PMR_SavePageToFileRGB32(path32.c_str(), ".tif", 72), 0);
    EXPECT_EQ(PMR_SavePageToFileRGB32(ScratchPath("cut_page.png").c_str(), ".png", 72), 0);
  }
  EXPECT_FALSE(std::filesystem::exists(path24));
  EXPECT_FALSE(std::filesystem::exists(path32));
  EXPECT_FALSE(std::filesystem::exists(ScratchPath("cut_page.jpg")));
  EXPECT_FALSE(std::filesystem::exists(ScratchPath("cut_page.png")));
  // Without the limit the same saves succeed.
  EXPECT_EQ(PMR_SavePageToFileRGB24(path24.c_str(), ".bmp", 72), 1);
  EXPECT_EQ(ReadBack(path24, 400, 300, 3), MergedPage(3));
}

}  // namespace
