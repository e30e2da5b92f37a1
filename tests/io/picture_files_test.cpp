// The file exports, through the C interface.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/heap.h"
#include "imaging/picture_test_support.h"
#include "io/picture_files.h"
#include "support/engine_fixture.h"

namespace {

using namespace picture_test;
using palmora_test::EngineTest;
using PictureFiles = EngineTest;

TEST_F(PictureFiles, WritesEveryExtensionAndReadsItBack) {
  const int32_t w = 21, h = 13;
  const auto rgb = RandomPixels(w, h, 3, 8);
  const auto rgba = RandomPixels(w, h, 4, 9);
  for (const char* ext : {".bmp", ".PNG", ".pcx", ".Psd"}) {
    SCOPED_TRACE(ext);
    const auto path = ScratchPath(std::string("engine") + ext);
    ASSERT_EQ(PMR_WriteToFileRGB24(rgb.data(), w, h, path.c_str(), ext, 96), 1);
    std::vector<uint8_t> back(rgb.size(), 0);
    ASSERT_EQ(PMR_ReadFromFileRGB24(back.data(), w, h, path.c_str()), 1);
    EXPECT_EQ(back, rgb);
  }
  for (const char* ext : {".png", ".TGA", ".tif"}) {
    SCOPED_TRACE(ext);
    const auto path = ScratchPath(std::string("engine32") + ext);
    ASSERT_EQ(PMR_WriteToFileRGBA32(rgba.data(), w, h, path.c_str(), ext, 300), 1);
    std::vector<uint8_t> back(rgba.size(), 0);
    ASSERT_EQ(PMR_ReadFromFileRGBA32(back.data(), w, h, path.c_str()), 1);
    EXPECT_EQ(back, rgba);
  }
  // JPEG at quality 97 stays close; GIF through the quantiser stays close on a smooth picture.
  const auto smooth = SmoothPixels(w, h, 3);
  for (const char* ext : {".jpg", ".gif"}) {
    const auto path = ScratchPath(std::string("engine_lossy") + ext);
    ASSERT_EQ(PMR_WriteToFileRGB24(smooth.data(), w, h, path.c_str(), ext, 72), 1);
    std::vector<uint8_t> back(smooth.size(), 0);
    ASSERT_EQ(PMR_ReadFromFileRGB24(back.data(), w, h, path.c_str()), 1);
    EXPECT_LT(MeanDifference(back, smooth), 3.0) << ext;
  }
}

TEST_F(PictureFiles, RefusesWrongSizesUnlistedExtensionsAndBadArguments) {
  const int32_t w = 6, h = 5;
  const auto rgba = RandomPixels(w, h, 4, 2);
  const auto path = ScratchPath("sized.png");
  ASSERT_EQ(PMR_WriteToFileRGBA32(rgba.data(), w, h, path.c_str(), ".png", 72), 1);
  std::vector<uint8_t> dst(std::size_t(w + 1) * h * 4, 0xAB);
  EXPECT_EQ(PMR_ReadFromFileRGBA32(dst.data(), w + 1, h, path.c_str()), 0);
  EXPECT_EQ(PMR_ReadFromFileRGBA32(dst.data(), w - 1, h, path.c_str()), 0);
  EXPECT_TRUE(std::all_of(dst.begin(), dst.end(), [](uint8_t v) { return v == 0xAB; }));
  EXPECT_EQ(PMR_ReadFromFileRGBA32(nullptr, w, h, path.c_str()), 0);
  EXPECT_EQ(PMR_ReadFromFileRGBA32(dst.data(), w, h, "/nonexistent.png"), 0);

  const auto unlisted = ScratchPath("picture.xyz");
  EXPECT_EQ(PMR_WriteToFileRGBA32(rgba.data(), w, h, unlisted.c_str(), ".xyz", 72), 0);
  EXPECT_EQ(PMR_WriteToFileRGBA32(rgba.data(), w, h, unlisted.c_str(), ".bmp", 72),
            0);  // RGBA32 has no BMP
  EXPECT_EQ(PMR_WriteToFileRGB24(rgba.data(), w, h, unlisted.c_str(), ".tga", 72),
            0);  // nor RGB24 a TGA
  EXPECT_EQ(PMR_WriteToFileRGB24(rgba.data(), w, h, unlisted.c_str(), nullptr, 72), 0);
  EXPECT_FALSE(std::filesystem::exists(unlisted));
  EXPECT_EQ(PMR_WriteToFileRGB24(nullptr, w, h, unlisted.c_str(), ".bmp", 72), 0);
  EXPECT_EQ(PMR_WriteToFileRGB24(rgba.data(), -w, h, unlisted.c_str(), ".bmp", 72), 0);
  EXPECT_EQ(PMR_WriteToFileRGB24(rgba.data(), 1 << 30, 1 << 30, unlisted.c_str(), ".bmp", 72), 0);
  EXPECT_FALSE(std::filesystem::exists(unlisted));
}

TEST_F(PictureFiles, JpegQualityIsTheCallersAndOutOfRangeWritesNothing) {
  const int32_t w = 32, h = 24;
  const auto noisy = RandomPixels(w, h, 3, 5);
  const auto low = ScratchPath("q10.jpg"), high = ScratchPath("q90.jpg");
  ASSERT_EQ(PMR_WriteToFileJPG(noisy.data(), w, h, low.c_str(), 10, 72), 1);
  ASSERT_EQ(PMR_WriteToFileJPG(noisy.data(), w, h, high.c_str(), 90, 150), 1);
  EXPECT_LT(std::filesystem::file_size(low) * 2, std::filesystem::file_size(high));
  EXPECT_EQ(PMR_GetDPIFromFile(high.c_str()), 150);
  std::vector<uint8_t> back(noisy.size(), 0);
  EXPECT_EQ(PMR_ReadFromFileRGB24(back.data(), w, h, high.c_str()), 1);
  const auto refused = ScratchPath("refused.jpg");
  for (const int32_t quality : {0, 101, -5})
    EXPECT_EQ(PMR_WriteToFileJPG(noisy.data(), w, h, refused.c_str(), quality, 72), 0) << quality;
  EXPECT_EQ(PMR_WriteToFileJPG(nullptr, w, h, refused.c_str(), 50, 72), 0);
  EXPECT_FALSE(std::filesystem::exists(refused));
}

TEST_F(PictureFiles, MetafilesRenderAtTheCanvasSizeWithOpaqueAlpha) {
  MakeCanvas(16, 8);
  const auto rgb = SmoothPixels(8, 4, 3);
  const auto path = ScratchPath("canvas.wmf");  // ".wmf" writes the same enhanced metafile
  ASSERT_EQ(PMR_WriteToFileRGB24(rgb.data(), 8, 4, path.c_str(), ".wmf", 72), 1);
  std::vector<uint8_t> small(8 * 4 * 4);
  EXPECT_EQ(PMR_ReadFromFileRGBA32(small.data(), 8, 4, path.c_str()),
            0);  // the file's own size is not it
  std::vector<uint8_t> canvas(16 * 8 * 4, 0);
  ASSERT_EQ(PMR_ReadFromFileRGBA32(canvas.data(), 16, 8, path.c_str()), 1);
  for (std::size_t i = 3; i < canvas.size(); i += 4) ASSERT_EQ(canvas[i], 255);
  // The left column of the picture is red 0 and the right column red 255; stretched, so is the
  // canvas.
  EXPECT_EQ(canvas[0], 0);
  EXPECT_EQ(canvas[(16 * 3 + 15) * 4], 255);
}

TEST_F(PictureFiles, MetafilesRenderOverTheCurrentColour) {
  MakeCanvas(16, 8);
  const auto rgb = SmoothPixels(4, 4, 3);
  const auto path = ScratchPath("half.emf");
  ASSERT_EQ(PMR_WriteToFileRGB24(rgb.data(), 4, 4, path.c_str(), ".emf", 72), 1);
  // Widen the header's bounds (right edge, bytes 16..19) to twice the picture: the picture then
  // covers the left half of the frame and the current colour shows on the right half.
  auto bytes = FileBytes(path);
  const uint32_t right = 7;
  std::memcpy(&bytes[16], &right, 4);
  WriteBytes(path, bytes);

  PMR_SetColor(10, 200, 30);
  std::vector<uint8_t> canvas(16 * 8 * 3, 0);
  ASSERT_EQ(PMR_ReadFromFileRGB24(canvas.data(), 16, 8, path.c_str()), 1);
  for (int y = 0; y < 8; ++y) {
    const uint8_t* p = &canvas[(y * 16 + 12) * 3];
    EXPECT_EQ(p[0], 10);
    EXPECT_EQ(p[1], 200);
    EXPECT_EQ(p[2], 30);
  }
  // The 16-bit colour setter: the high bytes count, the low bytes do not.
  PMR_SetColor16(0x12FF, 0x3400, 0xABCD);
  ASSERT_EQ(PMR_ReadFromFileRGB24(canvas.data(), 16, 8, path.c_str()), 1);
  EXPECT_EQ(canvas[15 * 3], 0x12);
  EXPECT_EQ(canvas[15 * 3 + 1], 0x34);
  EXPECT_EQ(canvas[15 * 3 + 2], 0xAB);
  // The picture itself is not tinted: its top-left pixel is red 0.
  EXPECT_EQ(canvas[0], 0);
}

TEST_F(PictureFiles, ResolutionIsReadInEachFormatAndSnapped) {
  const auto rgb = SmoothPixels(4, 4, 3);
  const auto rgba = SmoothPixels(4, 4, 4);
  auto dpiOf = [&](const char* ext, int32_t dpi, bool alpha) {
    const auto path = ScratchPath(std::string("dpi") + std::to_string(dpi) + ext);
    if (alpha) {
      EXPECT_EQ(PMR_WriteToFileRGBA32(rgba.data(), 4, 4, path.c_str(), ext, dpi), 1);
    } else {
      EXPECT_EQ(PMR_WriteToFileRGB24(rgb.data(), 4, 4, path.c_str(), ext, dpi), 1);
    }
    return PMR_GetDPIFromFile(path.c_str());
  };
  // 300 dpi stored as 11811 pixels a metre reads back as 299.99..., truncated to 299, snapped to
  // 300.
  EXPECT_EQ(dpiOf(".bmp", 300, false), 300);
  EXPECT_EQ(dpiOf(".png", 300, false), 300);
  EXPECT_EQ(dpiOf(".png", 600, true), 600);
  EXPECT_EQ(dpiOf(".jpg", 299, false), 300);
  EXPECT_EQ(dpiOf(".jpg", 240, false), 72);
  EXPECT_EQ(dpiOf(".jpg", 451, false), 450);
  EXPECT_EQ(dpiOf(".tif", 150, true), 150);
  EXPECT_EQ(dpiOf(".tif", 97, true), 96);
  EXPECT_EQ(dpiOf(".pcx", 300, false), 72);  // not a format whose resolution is read
  EXPECT_EQ(PMR_GetDPIFromFile("/nonexistent.jpg"), 72);
  EXPECT_EQ(PMR_GetDPIFromFile(nullptr), 72);

  // The snapping table by hand: within one of a standard value, else 72.
  const std::pair<int32_t, int32_t> table[] = {
      {94, 72},   {95, 96},  {97, 96},   {98, 72},   {148, 72}, {149, 150}, {201, 200}, {202, 72},
      {299, 300}, {302, 72}, {449, 450}, {601, 600}, {602, 72}, {72, 72},   {0, 72},    {-5, 72}};
  for (const auto& [raw, snapped] : table) EXPECT_EQ(io::SnapDPI(raw), snapped) << raw;
}

Picture ReadPicture(const std::filesystem::path& path) { return ReadFile(path); }

TEST_F(PictureFiles, ThumbnailsFitTheLongerSideAndWhitenClearPixels) {
  auto wide = RandomPixels(400, 200, 4, 3);
  for (std::size_t i = 3; i < wide.size(); i += 4) wide[i] = 255;
  // A 4x4 block of clear black at the top left: it averages into the first thumbnail pixel.
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) std::memset(&wide[(y * 400 + x) * 4], 0, 4);
  }
  const auto src = ScratchPath("wide.png"), thumb = ScratchPath("wide_thumb.bmp");
  ASSERT_EQ(PMR_WriteToFileRGBA32(wide.data(), 400, 200, src.c_str(), ".png", 72), 1);
  EXPECT_EQ(PMR_MakeThumbnail(src.c_str(), thumb.c_str(), 100), 0);
  const Picture t = ReadPicture(thumb);
  ASSERT_EQ(t.width, 100u);
  ASSERT_EQ(t.height, 50u);
  EXPECT_EQ(t.pixels[0], 255);
  EXPECT_EQ(t.pixels[1], 255);
  EXPECT_EQ(t.pixels[2], 255);

  std::vector<uint8_t> tall(200 * 400 * 4, 128);
  const auto tallSrc = ScratchPath("tall.tga"), tallThumb = ScratchPath("tall_thumb.bmp");
  ASSERT_EQ(PMR_WriteToFileRGBA32(tall.data(), 200, 400, tallSrc.c_str(), ".tga", 72), 1);
  PMR_MakeThumbnail(tallSrc.c_str(), tallThumb.c_str(), 100);
  const Picture tt = ReadPicture(tallThumb);
  EXPECT_EQ(tt.width, 50u);
  EXPECT_EQ(tt.height, 100u);
  EXPECT_EQ(tt.pixels[0], 128);

  // Enlarging: a 10x5 picture to size 40 is 40x20.
  const auto tiny = ScratchPath("tiny.png"), big = ScratchPath("tiny_thumb.bmp");
  ASSERT_EQ(PMR_WriteToFileRGBA32(tall.data(), 10, 5, tiny.c_str(), ".png", 72), 1);
  PMR_MakeThumbnail(tiny.c_str(), big.c_str(), 40);
  EXPECT_EQ(ReadPicture(big).height, 20u);
}

TEST_F(PictureFiles, AVeryThinPictureStillGetsAOnePixelThumbnail) {
  std::vector<uint8_t> strip(1000 * 2 * 4, 200);
  const auto src = ScratchPath("strip.png"), thumb = ScratchPath("strip_thumb.bmp");
  ASSERT_EQ(PMR_WriteToFileRGBA32(strip.data(), 1000, 2, src.c_str(), ".png", 72), 1);
  PMR_MakeThumbnail(src.c_str(), thumb.c_str(), 100);  // 100 / 1000 x 2 truncates to 0
  const Picture t = ReadPicture(thumb);
  EXPECT_EQ(t.width, 100u);
  EXPECT_EQ(t.height, 1u);
}

TEST_F(PictureFiles, WebPicturesShrinkToTheLimitsAndNeverGrow) {
  const auto rgba = SmoothPixels(400, 200, 4);
  const auto src = ScratchPath("web.png");
  ASSERT_EQ(PMR_WriteToFileRGBA32(rgba.data(), 400, 200, src.c_str(), ".png", 72), 1);
  auto sizeFor = [&](int32_t mw, int32_t mh) {
    const auto out = ScratchPath("web_" + std::to_string(mw) + "x" + std::to_string(mh) + ".jpg");
    EXPECT_EQ(PMR_MakeWebPic(src.c_str(), out.c_str(), mw, mh), 0);
    const Picture p = ReadPicture(out);
    return std::make_pair(p.width, p.height);
  };
  EXPECT_EQ(sizeFor(1000, 1000), std::make_pair(400u, 200u));  // limits larger than the source
  EXPECT_EQ(sizeFor(100, 100), std::make_pair(100u, 50u));     // the width limits
  EXPECT_EQ(sizeFor(1000, 50), std::make_pair(100u, 50u));     // the height limits
  EXPECT_EQ(sizeFor(300, 300), std::make_pair(300u, 150u));
}

TEST_F(PictureFiles, MemoryFailuresReportTheirMessages) {
  const auto rgb = SmoothPixels(64, 64, 3);
  const auto path = ScratchPath("nomem.gif");
  engine::SetAllocationCeilingForTesting(1024);
  EXPECT_EQ(PMR_WriteToFileRGB24(rgb.data(), 64, 64, path.c_str(), ".gif", 72), 0);
  EXPECT_STREQ(PMR_GetLastError(), "WriteToFileRGB24 Excpt");
  engine::SetAllocationCeilingForTesting(0);
  const auto png = ScratchPath("nomem.png");
  ASSERT_EQ(PMR_WriteToFileRGB24(rgb.data(), 64, 64, png.c_str(), ".png", 72), 1);
  engine::SetAllocationCeilingForTesting(1024);
  EXPECT_EQ(PMR_MakeThumbnail(png.c_str(), ScratchPath("nomem.bmp").c_str(), 16), 0);
  EXPECT_STREQ(PMR_GetLastError(), "MakeThumbnails Excpt");
  EXPECT_EQ(PMR_MakeWebPic(png.c_str(), ScratchPath("nomem.jpg").c_str(), 16, 16), 0);
  EXPECT_STREQ(PMR_GetLastError(), "MakeWebPic Excpt");
  engine::SetAllocationCeilingForTesting(0);
}

}  // namespace
