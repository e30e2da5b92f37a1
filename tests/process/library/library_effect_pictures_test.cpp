// Each library effect through PMR_IPLImageProcess on a photograph-like picture, written as PNG
// files (one contact sheet and each result) for a person to judge when PALMORA_TEST_PNG_DIR names
// a folder. Without it the test checks that every effect changes the picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "support/engine_fixture.h"
#include "support/photo_picture.h"
#include "support/png_write.h"

namespace {

struct Look {
  const char* file;
  const char* effect;
  std::vector<int> sliders, options;
};

class LibraryEffectPictures : public palmora_test::EngineTest {};

TEST_F(LibraryEffectPictures, EveryLibraryEffectOnAPhotograph) {
  const int w = 384, h = 256;
  const std::vector<uint8_t> photo = palmora_test::PhotoPicture(w, h, false);
  MakeCanvas(w, h);
  PMR_IPLAllocSrcBuffer32();
  PMR_IPLAllocDstBuffer32();
  const std::string dir = palmora_test::PictureDir();
  const Look looks[] = {
      {"blur", "Blur", {1000}, {}},
      {"blur_more", "Blur More", {300}, {}},
      {"gaussian_blur", "Gaussian Blur", {100}, {}},
      {"motion_blur", "Motion Blur", {200, 100}, {}},
      {"motion_blur_2", "Motion Blur 2", {300, 0}, {}},
      {"radial_blur", "Radial Blur", {150, 500, 500}, {}},
      {"radial_blur_2", "Radial Blur 2", {150, 720, 250}, {}},
      {"zoom_blur", "Zoom Blur", {300, 500, 500}, {}},
      {"zoom_blur_2", "Zoom Blur 2", {300, 720, 250}, {}},
      {"arithmetic_mean", "Arithmetic Mean", {200}, {}},
      {"midpoint", "Midpoint", {200}, {}},
      {"mosaic", "Mosaic", {150}, {}},
      {"oil_paint", "Oil Paint", {500, 500}, {0, 0, 1}},
      {"stipple", "Stipple", {500}, {0, 1}},
      {"surface_blur", "Surface Blur", {400, 400}, {}},
      {"noise_reduction_2", "Noise Reduction 2", {500}, {}},
      {"grayscale", "Grayscale", {}, {}},
      {"negative", "Negative", {}, {}},
      {"posterize", "Posterize", {100}, {}},
      {"solarize", "Solarize", {500}, {}},
      {"watercolor_tint", "Watercolor Tint", {800}, {}},
      {"dust_and_scratches", "Dust and Scratches", {100, 150}, {}},
      {"halftone", "Halftone", {200, 500}, {}},
      {"halftone_black", "Halftone", {150, 500}, {1}},
      {"color_noise", "Color Noise", {250}, {}},
      {"hugo_noise", "Hugo Noise", {400, 150}, {}},
      {"perlin_noise", "Perlin Noise", {600, 200, 600}, {}},
      {"sharpen", "Sharpen", {800}, {}},
      {"sharpen_more", "Sharpen More", {800}, {}},
      {"unsharp_mask", "Unsharp Mask", {200, 300, 20}, {}},
      {"bevel", "Bevel", {300, 700}, {}},
      {"crackle", "Crackle", {300, 300, 800}, {}},
      {"emboss", "Emboss", {375, 300}, {}},
      {"fingerprint", "Fingerprint", {300, 700}, {}},
      {"gausy", "Gausy", {300, 700}, {}},
      {"edge2", "Edge2", {250, 300, 200}, {}},
      {"geometric_mean", "Geometric Mean", {200}, {}},
      {"harmonic_mean", "Harmonic Mean", {200}, {}},
      {"maximum2", "Maximum2", {200}, {}},
      {"minimum2", "Minimum2", {200}, {}},
      {"median", "Median", {300}, {}},
      {"hdri", "HDRI", {300, 500, 600}, {}},
      {"reduce", "Reduce", {600}, {}},
      {"frosted_glass", "Frosted Glass", {300}, {}},
  };
  const int columns = 6, rows = int((std::size(looks) + 1 + columns - 1) / columns);
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
    SCOPED_TRACE(look.effect);
    PMR_LoadRGBA32Layer(photo.data(), w * 4, 2, 0, 0, w, h, 0);
    PMR_IPLUpdateSrcBuffer32();
    int s[6] = {}, o[8] = {};
    std::copy(look.sliders.begin(), look.sliders.end(), s);
    std::copy(look.options.begin(), look.options.end(), o);
    PMR_IPLImageProcess(0, look.effect, 0, s[0], s[1], s[2], s[3], s[4], s[5], o[0], o[1], o[2],
                        o[3], o[4], o[5], o[6], o[7], 255, 255, 255, nullptr);
    std::vector<uint8_t> result(photo.size());
    ASSERT_EQ(PMR_GetRGBA32Layer(result.data(), w * 4, 2), 1);
    EXPECT_NE(result, photo);
    if (!dir.empty()) palmora_test::WritePng(dir + "/" + look.file + ".png", result.data(), w, h);
    place(result, slot++);
  }
  if (!dir.empty())
    palmora_test::WritePng(dir + "/library_contact_sheet.png", sheet.data(), w * columns, h * rows);
}

}  // namespace
