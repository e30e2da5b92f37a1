// Each own effect on a photograph-like picture, written as PNG files for a person to judge when
// PALMORA_TEST_PNG_DIR names a folder. Without it the test only checks that every effect keeps
// the picture's size and changes something.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "process/effects/run_own_effect.h"
#include "support/photo_picture.h"
#include "support/png_write.h"

namespace {

struct Look {
  const char* file;
  const char* effect;
  std::vector<int> sliders, options;
};

TEST(EffectPictures, EveryEffectOnAPhotograph) {
  const int w = 384, h = 256;
  const std::vector<uint8_t> photo = palmora_test::PhotoPicture(w, h, false);
  const std::string dir = palmora_test::PictureDir();
  if (!dir.empty()) palmora_test::WritePng(dir + "/photo.png", photo.data(), w, h);
  const Look looks[] = {
      {"anti_alias", "Anti Alias", {600, 600, 600, 600}, {}},
      {"adaptive_blur", "Adaptive Blur", {900, 800, 800}, {}},
      {"detail_blur", "Detail Blur", {30}, {}},
      {"value_blur", "Value Blur", {900, 300}, {}},
      {"noise_reduction", "Noise Reduction", {900, 120}, {}},
      {"noise_reduction_rgb", "Noise Reduction RGB", {900, 100, 900, 100, 900, 100}, {}},
      {"hyper_contrast", "Hyper Contrast", {500}, {}},
      {"adjust_lab", "Adjust Lab", {550, 600, 400}, {}},
      {"channel_red", "Channel", {}, {0, 0, 1}},
      {"fader", "Fader", {300, 700, 200, 800}, {0, 0, 0, 1, 1, 0}},
      {"basic_threshold", "Basic Threshold", {450}, {}},
      {"line_art_cleaner", "Line Art Cleaner", {450, 40}, {}},
      {"clamp", "Clamp", {250, 0, 750, 1000}, {0, 0, 1, 1, 1}},
      {"bas_relief", "Bas Relief", {500}, {2}},
      {"vignette", "Vignette", {0, 0, 0, 400}, {0, 0, 1}},
      {"vignette_round_clear", "Vignette", {0, 0, 0, 600}, {0, 0, 0, 1, 0, 0, 1}},
      {"borderize", "Borderize", {130, 120}, {}},
      {"reflection", "Reflection", {450, 800, 700, 250}, {0, 0, 0, 1}},
      {"grayscale", "Grayscale", {}, {}},
      {"invert", "Invert", {}, {}},
  };
  // All results side by side, four to a row in the order above, the photograph first.
  const int columns = 4, rows = int((std::size(looks) + 1 + columns - 1) / columns);
  std::vector<uint8_t> sheet(std::size_t(w) * columns * h * rows * 4, 255);
  auto place = [&](const std::vector<uint8_t>& picture, int slot) {
    const int ox = (slot % columns) * w, oy = (slot / columns) * h;
    for (int y = 0; y < h; ++y)
      std::copy_n(&picture[std::size_t(y) * w * 4], w * 4,
                  &sheet[(std::size_t(oy + y) * w * columns + ox) * 4]);
  };
  place(photo, 0);
  int slot = 1;
  for (const Look& look : looks) {
    process::OwnEffectArguments a;
    for (std::size_t i = 0; i < look.sliders.size(); ++i) a.sliders[i] = look.sliders[i];
    for (std::size_t i = 0; i < look.options.size(); ++i) a.options[i] = look.options[i];
    std::vector<uint8_t> src = photo, dst(photo.size());
    ASSERT_TRUE(process::RunOwnEffectOnBuffers(look.effect, src.data(), dst.data(), w, h, a));
    EXPECT_NE(dst, photo) << look.effect;
    if (!dir.empty()) palmora_test::WritePng(dir + "/" + look.file + ".png", dst.data(), w, h);
    place(dst, slot++);
  }
  if (!dir.empty())
    palmora_test::WritePng(dir + "/contact_sheet.png", sheet.data(), w * columns, h * rows);
}

}  // namespace
