// Strokes painted as pictures: hard and soft round brushes, grit, texture, smudging with remix,
// and every mix rule over a colour chart. With PALMORA_STROKE_PICTURES set to a folder, each
// picture is written there as a PNG to be looked at; the test itself checks that each one painted.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "brush/brush_fixture.h"
#include "engine/engine_state.h"

namespace {

using brush_test::BrushTest;
using engine::State;

constexpr int32_t kWidth = 320, kHeight = 120;

// Writes the current layer flattened over a checkerboard, 8 bits a channel.
void WritePng(const std::string& name, const uint16_t* pixels) {
  const char* folder = std::getenv("PALMORA_STROKE_PICTURES");
  if (!folder) return;
  const std::string path = std::string(folder) + "/" + name + ".png";
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr) << path;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    FAIL() << "libpng failed on " << path;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_byte> row(kWidth * 3);
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      const uint16_t* p = pixels + (std::size_t(y) * kWidth + x) * 4;
      const double alpha = p[3] / 65535.0;
      const double back = ((x / 8 + y / 8) % 2) ? 200 : 240;
      for (int c = 0; c < 3; ++c)
        row[x * 3 + c] = png_byte((p[c] >> 8) * alpha + back * (1 - alpha));
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

class StrokePictures : public BrushTest {
 protected:
  void SetUp() override {
    BrushTest::SetUp();
    PMR_SetRandomSeed(2024);
    MakeBrushCanvas(kWidth, kHeight, 64, 24);
  }
  static void Line(int32_t y, int32_t red, int32_t green, int32_t blue, int32_t spacing = 3) {
    for (int32_t x = 20; x < kWidth - 20; x += spacing) PMR_DrawDabGrit(x, y, red, green, blue);
  }
  static std::size_t Painted() {
    std::size_t painted = 0;
    const uint16_t* p = State().layers[2].pixels;
    for (int32_t i = 0; i < kWidth * kHeight; ++i) painted += p[i * 4 + 3] != 0;
    return painted;
  }
};

TEST_F(StrokePictures, RoundGritTextureAndSmudge) {
  PMR_SetTool(1.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
  Line(20, 0xC000, 0x2000, 0x2000);  // hard
  PMR_SetTool(1.0f, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
  PMR_SetAlpha(30);
  Line(50, 0x2000, 0x4000, 0xC000);  // soft rim, 30 %
  PMR_SetAlpha(100);
  PMR_SetTool(1.0f, 2, 170, 200, 120, 30, 6, 0, 0, 0, 0, 0, 0, "", "", 0);
  PMR_SetDensity(180);
  Line(80, 0x2000, 0x9000, 0x3000);  // grit with colour variation
  ASSERT_GT(Painted(), 0u);
  WritePng("round_soft_grit", State().layers[2].pixels);

  // Texture from a striped layer, then a smudge dragged across the painted lines.
  uint16_t* stripes = State().layers[3].pixels;
  for (int32_t i = 0; i < kWidth * kHeight; ++i) {
    const int32_t x = i % kWidth, y = i / kWidth;
    const uint16_t v = ((x + y) / 6) % 2 ? 65535 : 12000;
    stripes[i * 4] = stripes[i * 4 + 1] = stripes[i * 4 + 2] = v;
  }
  PMR_CreateTexture(3);
  PMR_SetTool(1.0f, 0, 0, 0, 60, 0, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
  Line(105, 0x8000, 0x2000, 0x8000);
  PMR_DeleteTexture();
  PMR_SetTool(1.0f, 0, 0, 0, 100, 0, 0, 200, 0, 1, 0, 0, 0, "", "", 0);
  PMR_CopyBlendBufferSurface(60, 10, 0, 0);
  for (int32_t y = 10; y < kHeight - 10; y += 2) {
    PMR_MixBlendBufferSurface(60 + y / 4, y, 100);
    PMR_DrawDabGrit(60 + y / 4, y, 0, 0, 0);
  }
  WritePng("texture_smudge", State().layers[2].pixels);
}

// Each mix rule paints a short stroke over a chart of colour bands (greys, then hues).
TEST_F(StrokePictures, MixRulesOverAColourChart) {
  const int32_t rules[] = {32,  33,  34,  35,  36,  37,  38,  39,  40,  41,  42,  43,
                           44,  45,  46,  47,  48,  249, 250, 251, 252, 253, 254, 255,
                           256, 257, 258, 259, 260, 261, 262, 295, 340, 387, 388};
  PMR_SetColorBanks(200, 30, 30, 30, 200, 30, 30, 30, 200, 240, 220, 40);
  for (int32_t rule : rules) {
    std::vector<uint16_t> chart(std::size_t(kWidth) * kHeight * 4);
    for (int32_t y = 0; y < kHeight; ++y) {
      for (int32_t x = 0; x < kWidth; ++x) {
        uint16_t* p = &chart[(std::size_t(y) * kWidth + x) * 4];
        const int32_t band = x * 8 / kWidth;
        const uint16_t grey = uint16_t(band * 65535 / 7);
        const uint16_t hue[3] = {uint16_t(band & 1 ? 65280 : 8000),
                                 uint16_t(band & 2 ? 65280 : 8000),
                                 uint16_t(band & 4 ? 65280 : 8000)};
        for (int c = 0; c < 3; ++c) p[c] = y < kHeight / 2 ? grey : hue[c];
        p[3] = 65535;
      }
    }
    palmora_test::WriteLayer(2, chart);
    PMR_SetTool(1.0f, 0, 0, 0, 80, 0, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
    PMR_SetMixMode(rule, 200);
    // Dabs side by side, not overlapping, so that each meets the chart itself.
    Line(30, 0xE000, 0x6000, 0x1000, 26);
    Line(90, 0x3000, 0x9000, 0xF000, 26);
    ASSERT_EQ(palmora_test::ReadLayer(2).size(), chart.size());
    WritePng("mix_rule_" + std::to_string(rule), State().layers[2].pixels);
  }
}

}  // namespace
