#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "brush/brush_fixture.h"
#include "brush/image_brush_pictures.h"
#include "engine/engine_state.h"
#include "engine/heap.h"

namespace {

using brush_test::BrushTest;
using engine::State;

constexpr int32_t kMax = 16;

class ImageBrush : public BrushTest {
 protected:
  void SetUp() override {
    BrushTest::SetUp();
    MakeBrushCanvas(40, 30, kMax, 8);
    PMR_SetLastError("");
  }
  static const brush::ImageBrushPictures& Pictures() { return brush::ImageBrushes(); }
  static std::vector<uint16_t> BrushPixels() {
    const auto& b = Pictures().brush;
    return std::vector<uint16_t>(b.pixels.get(),
                                 b.pixels.get() + std::size_t(b.width) * b.height * 4);
  }
  // Sample (x, y, c) of the blend buffer's used square.
  static uint16_t& Blend(int x, int y, int c) {
    return State().blendBuffer[(y * kMax + x) * 4 + c];
  }
  static std::vector<uint8_t> RandomRgba(int w, int h, std::mt19937& rng) {
    std::vector<uint8_t> pixels(std::size_t(w) * h * 4);
    for (auto& b : pixels) b = uint8_t(rng());
    return pixels;
  }
};

TEST_F(ImageBrush, LoadsWidenEachByteAndRefusePicturesLargerThanTheBrushBuffers) {
  std::mt19937 rng(1);
  const std::vector<uint8_t> picture = RandomRgba(5, 7, rng);
  PMR_LoadImageBrushFromRGBA32(picture.data(), 5, 7);
  ASSERT_EQ(Pictures().brush.width, 5);
  ASSERT_EQ(Pictures().brush.height, 7);
  const std::vector<uint16_t> loaded = BrushPixels();
  for (std::size_t i = 0; i < picture.size(); ++i) ASSERT_EQ(loaded[i], picture[i] << 8);

  const std::vector<uint8_t> wide = RandomRgba(kMax + 1, 2, rng);
  PMR_LoadImageBrushFromRGBA32(wide.data(), kMax + 1, 2);
  PMR_LoadImageBrushFromRGBA32(wide.data(), 2, kMax + 1);
  PMR_LoadImageBrushFromRGBA32(nullptr, 2, 2);
  PMR_LoadImageBrushFromRGBA32(wide.data(), 0, 2);
  PMR_LoadImageBrush(nullptr);
  PMR_LoadImageBrush("/no/such/picture.png");
  EXPECT_EQ(BrushPixels(), loaded);
  EXPECT_STREQ(PMR_GetLastError(), "");
}

TEST_F(ImageBrush, CopyIntoTheBlendBufferWeighsByStrength) {
  std::mt19937 rng(2);
  const std::vector<uint8_t> picture =
      RandomRgba(8, 8, rng);  // the brush's own size: copied straight
  PMR_LoadImageBrushFromRGBA32(picture.data(), 8, 8);
  for (int32_t strength : {0, 1, 37, 100, 250}) {
    brush_test::FillRandom(State().blendBuffer, kMax * kMax * 4, rng);
    const std::vector<uint16_t> before(State().blendBuffer, State().blendBuffer + kMax * kMax * 4);
    PMR_CopyFromImageBrush(strength);
    const uint32_t k = uint32_t(std::min(strength, 100) * 2.559);
    for (int y = 0; y < kMax; ++y)
      for (int x = 0; x < kMax; ++x)
        for (int c = 0; c < 4; ++c) {
          const uint32_t b = before[(y * kMax + x) * 4 + c];
          uint32_t expected = b;  // outside the 8 x 8 square nothing changes
          if (x < 8 && y < 8) {
            const uint32_t p = uint32_t(picture[(y * 8 + x) * 4 + c]) << 8;
            expected = k == 0 ? p : (k * b + (255 - k) * p) >> 8;
          }
          ASSERT_EQ(Blend(x, y, c), expected) << "strength " << strength << " at " << x << "," << y;
        }
  }
}

TEST_F(ImageBrush, SizingResamplesAnyOtherShapeToTheBrushSquare) {
  // A flat colour stays flat through either filter; a tall picture as wide as the brush is
  // resampled, never copied past the square.
  for (auto [w, h] : {std::pair{16, 16}, std::pair{3, 5}, std::pair{8, 13}}) {
    std::vector<uint8_t> flat(std::size_t(w) * h * 4);
    for (std::size_t i = 0; i < flat.size(); i += 4)
      flat[i] = 200, flat[i + 1] = 100, flat[i + 2] = 50, flat[i + 3] = 255;
    PMR_LoadImageBrushFromRGBA32(flat.data(), w, h);
    PMR_SizeImageBrush();
    const auto& sized = Pictures().sized;
    ASSERT_EQ(sized.width, 8);
    ASSERT_EQ(sized.height, 8);
    for (int i = 0; i < 64; ++i) {
      ASSERT_NEAR(sized.pixels[i * 4], 200 << 8, 256) << w << "x" << h;
      ASSERT_NEAR(sized.pixels[i * 4 + 3], 255 << 8, 256);
    }
  }
  PMR_SetSize(5);
  PMR_SizeImageBrush();
  EXPECT_EQ(Pictures().sized.width, 5);
}

TEST_F(ImageBrush, FramesAreChosenFromTheStripByPosition) {
  // A 4 x 1 strip of square frames whose red byte is the frame number x 10, written as a PNG.
  const int side = 4, frames = 4;
  std::vector<uint8_t> strip(std::size_t(side) * frames * side * 4, 255);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side * frames; ++x)
      strip[(y * side * frames + x) * 4] = uint8_t(x / side * 10);
  const std::string path = ::testing::TempDir() + "palmora_image_brush_strip.png";
  PMR_LoadImageBrushFromRGBA32(strip.data(), side * frames, side);
  PMR_SaveImageBrush(path.c_str());
  PMR_FillImageBrush(1, 2, 3);
  PMR_LoadImageBrushArray(path.c_str());
  EXPECT_EQ(Pictures().frameCount, 4);
  EXPECT_EQ(Pictures().brush.width, side);
  auto frame = [&] { return Pictures().brush.pixels[0] >> 8; };
  EXPECT_EQ(frame(), 0);
  const std::pair<float, int> choices[] = {{0.5f, 20},
                                           {0.26f, 10},
                                           {0.999f, 30},
                                           {1.0f, 30},
                                           {7.0f, 30},
                                           {-0.5f, 0},
                                           {std::numeric_limits<float>::quiet_NaN(), 0}};
  for (auto [position, red] : choices) {
    PMR_CopyFromImageBrushArray(position);
    EXPECT_EQ(frame(), red) << position;
    EXPECT_EQ(Pictures().brush.pixels[(side * side - 1) * 4] >> 8, red);
  }
  // A brush of another size gives way to a frame.
  PMR_FillImageBrush(1, 2, 3);
  PMR_CopyFromImageBrushArray(0.3f);
  EXPECT_EQ(Pictures().brush.width, side);
  EXPECT_EQ(frame(), 10);
  std::remove(path.c_str());
}

TEST_F(ImageBrush, StripsWithoutAWholeFrameOrTooHighAreRefused) {
  std::mt19937 rng(4);
  const std::string narrow = ::testing::TempDir() + "palmora_image_brush_narrow.png";
  const std::string high = ::testing::TempDir() + "palmora_image_brush_high.png";
  State().maxBrushSize = 64;  // only to write the test pictures
  std::vector<uint8_t> pixels = RandomRgba(3, 5, rng);
  PMR_LoadImageBrushFromRGBA32(pixels.data(), 3, 5);
  PMR_SaveImageBrush(narrow.c_str());
  pixels = RandomRgba(40, kMax + 1, rng);
  PMR_LoadImageBrushFromRGBA32(pixels.data(), 40, kMax + 1);
  PMR_SaveImageBrush(high.c_str());
  State().maxBrushSize = kMax;
  PMR_FillImageBrush(9, 9, 9);
  const std::vector<uint16_t> before = BrushPixels();
  PMR_LoadImageBrushArray(narrow.c_str());
  PMR_LoadImageBrushArray(high.c_str());
  PMR_LoadImageBrushArray(nullptr);
  PMR_CopyFromImageBrushArray(0.5f);  // no strip yet
  EXPECT_EQ(BrushPixels(), before);
  EXPECT_EQ(Pictures().frameCount, 0);
  std::remove(narrow.c_str());
  std::remove(high.c_str());
}

TEST_F(ImageBrush, FillColourAndBlendBufferPictures) {
  PMR_ColorImageBrush(10, 20, 30);  // none yet: a white opaque brush square, coloured
  ASSERT_EQ(Pictures().brush.width, 8);
  EXPECT_EQ(BrushPixels()[0], 10 * 257);
  EXPECT_EQ(BrushPixels()[3], 65535);
  PMR_FillImageBrush(300, -4, 128);
  EXPECT_EQ(BrushPixels()[0], 65535);
  EXPECT_EQ(BrushPixels()[1], 0);
  EXPECT_EQ(BrushPixels()[2], 128 * 257);

  std::mt19937 rng(6);
  brush_test::FillRandom(State().blendBuffer, kMax * kMax * 4, rng);
  PMR_CopyToImageBrush();
  const std::vector<uint16_t> copied = BrushPixels();
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      for (int c = 0; c < 4; ++c) ASSERT_EQ(copied[(y * 8 + x) * 4 + c], Blend(x, y, c));
  PMR_ColorImageBrush(1, 2, 3);
  const std::vector<uint16_t> coloured = BrushPixels();
  for (int i = 0; i < 64; ++i) {
    ASSERT_EQ(coloured[i * 4], 257);
    ASSERT_EQ(coloured[i * 4 + 3], copied[i * 4 + 3]) << "alpha kept";
  }
}

TEST_F(ImageBrush, TurnedAlphaFollowsTheTurnedColour) {
  // Alpha equal to red: after the turn, alpha and red must still agree pixel for pixel, whatever
  // the turn's interpolation.
  std::mt19937 rng(8);
  std::vector<uint8_t> picture(8 * 8 * 4);
  for (int i = 0; i < 64; ++i) {
    const uint8_t v = uint8_t((i % 8) * 30 + (i / 8));
    picture[i * 4] = picture[i * 4 + 3] = v;
    picture[i * 4 + 1] = uint8_t(rng()), picture[i * 4 + 2] = uint8_t(rng());
  }
  PMR_LoadImageBrushFromRGBA32(picture.data(), 8, 8);
  PMR_SizeImageBrush();
  PMR_RotateImageBrush(90);
  const auto& p = Pictures();
  ASSERT_TRUE(p.turned && p.unturnedCurrent);
  const uint8_t* unturnedBefore = p.unturned.get();
  bool moved = false;
  for (int i = 0; i < 64; ++i) {
    ASSERT_EQ(p.turned[i * 4 + 3], p.turned[i * 4]) << i;
    moved = moved || p.turned[i * 4] != picture[i * 4];
  }
  EXPECT_TRUE(moved);
  // A second turn without resizing reuses the unturned copy.
  PMR_RotateImageBrush(45);
  EXPECT_EQ(p.unturned.get(), unturnedBefore);

  for (int32_t strength : {0, 60}) {
    brush_test::FillRandom(State().blendBuffer, kMax * kMax * 4, rng);
    const std::vector<uint16_t> before(State().blendBuffer, State().blendBuffer + kMax * kMax * 4);
    PMR_CopyFromImageBrushRotate(strength);
    const uint32_t k = uint32_t(strength * 2.559);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        for (int c = 0; c < 4; ++c) {
          const uint32_t r = p.turned[(y * 8 + x) * 4 + c], b = before[(y * kMax + x) * 4 + c];
          ASSERT_EQ(Blend(x, y, c), k == 0 ? r * 256 : ((k * b) >> 8) + (255 - k) * r);
        }
  }
  // Resizing makes the turned picture stale: the rotated copy does nothing until the next turn.
  PMR_SizeImageBrush();
  const std::vector<uint16_t> before(State().blendBuffer, State().blendBuffer + kMax * kMax * 4);
  PMR_CopyFromImageBrushRotate(0);
  EXPECT_EQ(std::vector<uint16_t>(State().blendBuffer, State().blendBuffer + kMax * kMax * 4),
            before);
}

TEST_F(ImageBrush, SavedPngReadsBackAndFailuresLeaveThingsAsTheyWere) {
  std::mt19937 rng(10);
  const std::vector<uint8_t> picture = RandomRgba(6, 3, rng);
  PMR_LoadImageBrushFromRGBA32(picture.data(), 6, 3);
  const std::string path = ::testing::TempDir() + "palmora_image_brush_saved.png";
  PMR_SaveImageBrush(path.c_str());
  PMR_FillImageBrush(0, 0, 0);
  PMR_LoadImageBrush(path.c_str());
  ASSERT_EQ(Pictures().brush.width, 6);
  const std::vector<uint16_t> loaded = BrushPixels();
  for (std::size_t i = 0; i < picture.size(); ++i) ASSERT_EQ(loaded[i] >> 8, picture[i]) << i;
  std::remove(path.c_str());
  PMR_SaveImageBrush("/no/such/folder/brush.png");
  PMR_SaveImageBrush(nullptr);
  EXPECT_STREQ(PMR_GetLastError(), "");

  engine::SetAllocationCeilingForTesting(16);
  PMR_FillImageBrush(1, 2, 3);
  EXPECT_STREQ(PMR_GetLastError(), "FillImageBrush Excpt");
  PMR_LoadImageBrushFromRGBA32(picture.data(), 6, 3);
  EXPECT_STREQ(PMR_GetLastError(), "LoadImageBrushFromRGBA32 Excpt");
  engine::SetAllocationCeilingForTesting(0);
  EXPECT_EQ(BrushPixels(), loaded);

  // Without a canvas no picture fits and nothing is sized.
  PMR_DeleteImage();
  State().maxBrushSize = 0;
  PMR_LoadImageBrushFromRGBA32(picture.data(), 6, 3);
  PMR_CopyFromImageBrush(0);
  PMR_CopyFromImageBrushRotate(0);
  PMR_CopyToImageBrush();
  EXPECT_EQ(BrushPixels(), loaded);
}

}  // namespace
