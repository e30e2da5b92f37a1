// Every writer's output read back through the type guess and the readers.
#include <gtest/gtest.h>

#include <cstring>

#include "imaging/imaging.h"
#include "imaging/picture_test_support.h"

namespace {

using namespace picture_test;
using namespace imaging;

constexpr uint32_t kW = 37, kH = 23;  // odd sizes: row padding and odd run lengths

struct LosslessCase {
  const char* name;
  int32_t type;
  int channels;  // of the pixels handed to the writer
  std::function<int32_t(ISDest, const uint8_t*)> write;
};

TEST(PictureRoundTrip, LosslessWritersGiveBackTheirPixels) {
  const LosslessCase cases[] = {
      {"bmp24", kFileTypeBMP, 3,
       [](ISDest d, const uint8_t* p) {
         return IS3WriteBMP(d, p, kW, kH, 24, 0, nullptr, nullptr, 0);
       }},
      {"bmp32", kFileTypeBMP, 4,
       [](ISDest d, const uint8_t* p) {
         return IS3WriteBMP(d, p, kW, kH, 32, 0, nullptr, nullptr, 0);
       }},
      {"png2", kFileTypePNG, 3,
       [](ISDest d, const uint8_t* p) {
         return IS3WritePNG(d, p, kW, kH, kW * 3, 8, 0, nullptr, 2, 0, nullptr, 0);
       }},
      {"png6", kFileTypePNG, 4,
       [](ISDest d, const uint8_t* p) {
         return IS3WritePNG(d, p, kW, kH, kW * 4, 8, 0, nullptr, 6, 0, nullptr, 0);
       }},
      {"png6i", kFileTypePNG, 4,
       [](ISDest d, const uint8_t* p) {
         return IS3WritePNG(d, p, kW, kH, kW * 4, 8, 0, nullptr, 6, 1, nullptr, 0);
       }},
      {"png0", kFileTypePNG, 1,
       [](ISDest d, const uint8_t* p) {
         return IS3WritePNG(d, p, kW, kH, kW, 8, 0, nullptr, 0, 0, nullptr, 0);
       }},
      {"tif32", kFileTypeTIFF, 4,
       [](ISDest d, const uint8_t* p) { return IS3WriteTIFF(d, p, kW, kH, 32, 0, 0, nullptr, 0); }},
      {"tif32z", kFileTypeTIFF, 4,
       [](ISDest d, const uint8_t* p) { return IS3WriteTIFF(d, p, kW, kH, 32, 0, 8, nullptr, 0); }},
      {"tif24lzw", kFileTypeTIFF, 3,
       [](ISDest d, const uint8_t* p) { return IS3WriteTIFF(d, p, kW, kH, 24, 0, 5, nullptr, 0); }},
      {"tif8pb", kFileTypeTIFF, 1,
       [](ISDest d, const uint8_t* p) {
         return IS3WriteTIFF(d, p, kW, kH, 8, 0, 32773, nullptr, 0);
       }},
      {"tga32", kFileTypeTGA, 4,
       [](ISDest d, const uint8_t* p) { return IS3WriteTGA(d, p, kW, kH, 32, 0, 0); }},
      {"tga32rle", kFileTypeTGA, 4,
       [](ISDest d, const uint8_t* p) { return IS3WriteTGA(d, p, kW, kH, 32, 1, 0); }},
      {"tga24rle", kFileTypeTGA, 3,
       [](ISDest d, const uint8_t* p) { return IS3WriteTGA(d, p, kW, kH, 24, 1, 0); }},
      {"tga8", kFileTypeTGA, 1,
       [](ISDest d, const uint8_t* p) { return IS3WriteTGA(d, p, kW, kH, 8, 0, 0); }},
      {"pcx24", kFileTypePCX, 3,
       [](ISDest d, const uint8_t* p) { return IS3WritePCX(d, p, kW, kH, 24, nullptr, 0); }},
      {"pcx8", kFileTypePCX, 1,
       [](ISDest d, const uint8_t* p) { return IS3WritePCX(d, p, kW, kH, 8, nullptr, 0); }},
      {"psd24", kFileTypePSD, 3,
       [](ISDest d, const uint8_t* p) { return IS3WritePSD(d, p, kW, kH, 24, 0, 0); }},
      {"psd32rle", kFileTypePSD, 4,
       [](ISDest d, const uint8_t* p) { return IS3WritePSD(d, p, kW, kH, 32, 1, 0); }},
      {"psd8rle", kFileTypePSD, 1,
       [](ISDest d, const uint8_t* p) { return IS3WritePSD(d, p, kW, kH, 8, 1, 0); }},
      {"emf", kFileTypeEMF, 3,
       [](ISDest d, const uint8_t* p) { return IS3WriteRGBToEMF(d, p, kW, kH, 0); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // Random pixels defeat run-length coding; a picture with long runs exercises it.
    for (int pattern = 0; pattern < 2; ++pattern) {
      auto pixels = RandomPixels(kW, kH, c.channels, 7);
      if (pattern == 1) {
        for (std::size_t i = 0; i < pixels.size(); ++i)
          pixels[i] = uint8_t(i / (c.channels * 50) * 40 + (i % c.channels));
      }
      const auto path = ScratchPath(std::string(c.name) + ".out");
      ASSERT_TRUE(WriteFile(path, [&](ISDest d) { return c.write(d, pixels.data()); }));
      EXPECT_EQ(GuessFile(path), c.type);
      const Picture back = ReadFile(path);
      ASSERT_EQ(back.width, kW);
      ASSERT_EQ(back.height, kH);
      EXPECT_EQ(back.pixels, Widen(pixels, c.channels));
    }
  }
}

TEST(PictureRoundTrip, SixteenBitPngKeepsTheHighByte) {
  std::vector<uint16_t> samples(std::size_t{kW} * kH * 4);
  std::mt19937 rng(3);
  for (auto& s : samples) s = uint16_t(rng());
  const auto path = ScratchPath("png16.png");
  ASSERT_TRUE(WriteFile(path, [&](ISDest d) {
    return IS3WritePNG(d, samples.data(), kW, kH, kW * 8, 16, 0, nullptr, 6, 0, nullptr, 0);
  }));
  const Picture back = ReadFile(path);
  ASSERT_EQ(back.width, kW);
  for (std::size_t i = 0; i < samples.size(); ++i) ASSERT_EQ(back.pixels[i], samples[i] >> 8) << i;
}

TEST(PictureRoundTrip, PalettedBmpAndPngMapIndicesThroughThePalette) {
  uint32_t palette[16];
  for (uint32_t i = 0; i < 16; ++i) palette[i] = (i * 16) | (255 - i * 16) << 8 | (i * 7) << 16;
  std::vector<uint8_t> indices(std::size_t{kW} * kH);
  for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = uint8_t(i * 7 % 16);
  std::vector<uint8_t> expected(indices.size() * 4);
  for (std::size_t i = 0; i < indices.size(); ++i) {
    const uint32_t c = palette[indices[i]];
    expected[i * 4] = uint8_t(c), expected[i * 4 + 1] = uint8_t(c >> 8),
                 expected[i * 4 + 2] = uint8_t(c >> 16), expected[i * 4 + 3] = 255;
  }
  const auto bmp = ScratchPath("pal.bmp"), png = ScratchPath("pal.png");
  ASSERT_TRUE(WriteFile(bmp, [&](ISDest d) {
    return IS3WriteBMP(d, indices.data(), kW, kH, 8, 16, palette, nullptr, 0);
  }));
  ASSERT_TRUE(WriteFile(png, [&](ISDest d) {
    return IS3WritePNG(d, indices.data(), kW, kH, kW, 8, 16, palette, 3, 0, nullptr, 0);
  }));
  EXPECT_EQ(ReadFile(bmp).pixels, expected);
  EXPECT_EQ(ReadFile(png).pixels, expected);
}

TEST(PictureRoundTrip, GifThroughTheQuantiserIsExactForFewColours) {
  // 200 distinct colours fit the palette: quantising must not change any of them.
  std::vector<uint8_t> rgb(std::size_t{kW} * kH * 3);
  for (std::size_t i = 0; i < rgb.size() / 3; ++i) {
    const uint32_t k = uint32_t(i % 200);
    rgb[i * 3] = uint8_t(k * 37), rgb[i * 3 + 1] = uint8_t(k * 11 + 5), rgb[i * 3 + 2] = uint8_t(k);
  }
  std::vector<uint8_t> indices(std::size_t{kW} * kH);
  uint32_t palette[256];
  ASSERT_EQ(
      IS3QuantizeRGBTo8Bit(rgb.data(), kW, kH, kW * 3, indices.data(), kW, 256, palette, 1, 20, 0),
      1);
  const auto path = ScratchPath("q.gif");
  ASSERT_TRUE(WriteFile(path, [&](ISDest d) {
    return IS3Write8BitToGIF(d, indices.data(), kW, kH, 0, 0, -1, 8, palette);
  }));
  EXPECT_EQ(GuessFile(path), kFileTypeGIF);
  EXPECT_EQ(ReadFile(path).pixels, Widen(rgb, 3));

  // Interlaced, with a transparent index: those pixels read clear.
  const auto clear = ScratchPath("t.gif");
  ASSERT_TRUE(WriteFile(clear, [&](ISDest d) {
    return IS3Write8BitToGIF(d, indices.data(), kW, kH, 1, 0, indices[5], 8, palette);
  }));
  const Picture back = ReadFile(clear);
  ASSERT_EQ(back.width, kW);
  for (std::size_t i = 0; i < indices.size(); ++i) {
    if (indices[i] == indices[5]) {
      ASSERT_EQ(back.pixels[i * 4 + 3], 0);
    } else {
      ASSERT_EQ(back.pixels[i * 4 + 3], 255);
      ASSERT_EQ(back.pixels[i * 4], rgb[i * 3]);
    }
  }
}

TEST(PictureRoundTrip, JpegStaysCloseAndHonoursQuality) {
  const uint32_t w = 64, h = 48;
  const auto rgb = SmoothPixels(w, h, 3);
  const auto high = ScratchPath("q97.jpg"), low = ScratchPath("q20.jpg");
  ASSERT_TRUE(WriteFile(
      high, [&](ISDest d) { return IS3WriteJPG(d, rgb.data(), w, h, 97, 24, nullptr, 0); }));
  ASSERT_TRUE(WriteFile(
      low, [&](ISDest d) { return IS3WriteJPG(d, rgb.data(), w, h, 20, 24, nullptr, 0); }));
  const Picture a = ReadFile(high), b = ReadFile(low);
  ASSERT_EQ(a.width, w);
  EXPECT_LT(MeanDifference(a.pixels, Widen(rgb, 3)), 1.5);
  EXPECT_LT(MaxDifference(a.pixels, Widen(rgb, 3)), 16);
  EXPECT_LT(std::filesystem::file_size(low), std::filesystem::file_size(high));
  EXPECT_GT(MeanDifference(b.pixels, Widen(rgb, 3)), MeanDifference(a.pixels, Widen(rgb, 3)));

  // Grey and progressive.
  const auto grey = SmoothPixels(w, h, 1);
  const auto g = ScratchPath("grey.jpg");
  ASSERT_TRUE(
      WriteFile(g, [&](ISDest d) { return IS3WriteJPG(d, grey.data(), w, h, 95, 8, nullptr, 1); }));
  EXPECT_LT(MeanDifference(ReadFile(g).pixels, Widen(grey, 1)), 1.5);
}

TEST(PictureRoundTrip, LineWritersMatchTheWholePictureWriters) {
  const auto rgba = RandomPixels(kW, kH, 4, 11);
  const auto rgb = RandomPixels(kW, kH, 3, 12);
  const ISResolution res{3780, 3780, 1};
  struct LineCase {
    const char* name;
    const std::vector<uint8_t>* pixels;
    int channels;
    bool bottomUp;
    std::function<ISLineWriter(ISDest)> init;
    int32_t (*next)(ISLineWriter, const void*);
    int32_t (*done)(ISLineWriter);
  };
  const LineCase cases[] = {
      {"bmp", &rgb, 3, true,
       [&](ISDest d) { return IS40_InitWriteBMPLines(d, kW, kH, 24, 0, nullptr, &res, 0); },
       IS40_WriteNextBMPLine, IS40_DestroyWriteBMPLines},
      {"png", &rgba, 4, false,
       [&](ISDest d) {
         return IS40_InitWritePNGLines(d, kW, kH, kW * 4, 8, 0, nullptr, 6, 0, &res, 0);
       },
       IS40_WriteNextPNGLine, IS40_DestroyWritePNGLines},
      {"tga", &rgba, 4, false,
       [&](ISDest d) { return IS40_InitWriteTGALines(d, kW, kH, 32, 0, 0); }, IS40_WriteNextTGALine,
       IS40_DestroyWriteTGALines},
      {"tif", &rgba, 4, false,
       [&](ISDest d) { return IS40_InitWriteTIFFLines(d, kW, kH, 32, 0, 8, nullptr, 0); },
       IS40_WriteNextTIFFLine, IS40_DestroyWriteTIFFLines},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto path = ScratchPath(std::string("lines.") + c.name);
    ASSERT_TRUE(WriteFile(path, [&](ISDest d) {
      ISLineWriter w = c.init(d);
      if (!w) return 0;
      for (uint32_t i = 0; i < kH; ++i) {
        const uint32_t y = c.bottomUp ? kH - 1 - i : i;
        if (!c.next(w, c.pixels->data() + std::size_t{y} * kW * c.channels)) return 0;
      }
      EXPECT_EQ(c.next(w, c.pixels->data()), 0);  // no row past the height
      return c.done(w);
    }));
    EXPECT_EQ(ReadFile(path).pixels, Widen(*c.pixels, c.channels));
  }
}

TEST(PictureRoundTrip, JpegLinesWithoutSubsamplingKeepColourEdges) {
  // A one-pixel red/blue checker is ruined by 2x2 chroma subsampling and kept by 1x1.
  const uint32_t w = 32, h = 16;
  std::vector<uint8_t> rgb(std::size_t{w} * h * 3);
  for (uint32_t i = 0; i < w * h; ++i) ((i % w + i / w) & 1 ? rgb[i * 3] : rgb[i * 3 + 2]) = 255;
  auto save = [&](const char* name, uint32_t f) {
    EXPECT_EQ(IS40_SetJPGDCT(3), 1);
    EXPECT_EQ(IS40_SetJPGSmoothingFactor(0), 1);
    EXPECT_EQ(IS40_SetJPGDownsampleFactors(f, f, 1, 1, 1, 1), 1);
    const auto path = ScratchPath(name);
    EXPECT_TRUE(WriteFile(path, [&](ISDest d) {
      ISLineWriter lw = IS40_InitWriteJPGLines(d, w, h, 97, 24, nullptr, 0);
      for (uint32_t y = 0; y < h; ++y) IS40_WriteNextJPGLine(lw, rgb.data() + y * w * 3);
      return IS40_DestroyWriteJPGLines(lw);
    }));
    return MeanDifference(ReadFile(path).pixels, Widen(rgb, 3));
  };
  const double sub = save("sub.jpg", 2), full = save("full.jpg", 1);
  IS40_SetJPGDownsampleFactors(2, 2, 1, 1, 1, 1);
  EXPECT_LT(full, 4.0);
  EXPECT_GT(sub, full * 3);
}

TEST(PictureRoundTrip, ShortLineWriterPadsTheFileAndReportsFailure) {
  const auto rgb = RandomPixels(kW, kH, 3, 5);
  const auto path = ScratchPath("short.png");
  ISDest d = IS3OpenFileDest(path.c_str(), 0);
  ISLineWriter w = IS40_InitWritePNGLines(d, kW, kH, kW * 3, 8, 0, nullptr, 2, 0, nullptr, 0);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(IS40_WriteNextPNGLine(w, rgb.data()), 1);
  EXPECT_EQ(IS40_DestroyWriteBMPLines(w), 0);  // a writer of another format is refused
  EXPECT_EQ(IS40_DestroyWritePNGLines(w), 0);
  IS3CloseDest(d);
  const Picture back = ReadFile(path);
  ASSERT_EQ(back.height, kH);
  EXPECT_EQ(back.pixels[std::size_t{kW} * 4 * 5], 0);  // padded rows are zero
}

TEST(PictureRoundTrip, MetafileRendersStretchedOverTheBackground) {
  const uint32_t w = 8, h = 4;
  std::vector<uint8_t> rgb(w * h * 3);
  for (uint32_t i = 0; i < w * h; ++i)
    rgb[i * 3] = uint8_t(i * 8), rgb[i * 3 + 1] = 100, rgb[i * 3 + 2] = uint8_t(255 - i);
  const auto path = ScratchPath("pic.emf");
  ASSERT_TRUE(WriteFile(path, [&](ISDest d) { return IS3WriteRGBToEMF(d, rgb.data(), w, h, 0); }));
  uint32_t ow = 0, oh = 0;
  uint8_t* same = IS40_ReadMetafile(path.c_str(), &ow, &oh, w, h, 0x0000FF, 0);
  ASSERT_NE(same, nullptr);
  EXPECT_EQ(std::vector<uint8_t>(same, same + w * h * 3), rgb);
  std::free(same);
  // At twice the size every source pixel covers a 2x2 block; its centre keeps the colour.
  uint8_t* twice = IS40_ReadMetafile(path.c_str(), &ow, &oh, w * 2, h * 2, 0x0000FF, 0);
  ASSERT_NE(twice, nullptr);
  EXPECT_EQ(ow, w * 2);
  EXPECT_EQ(oh, h * 2);
  std::free(twice);
  EXPECT_EQ(IS40_ReadMetafile("/nonexistent.emf", &ow, &oh, 4, 4, 0, 0), nullptr);
}

TEST(PictureRoundTrip, WritersRefuseBadArgumentsBeforeWriting) {
  const auto rgb = RandomPixels(4, 4, 3, 1);
  const auto path = ScratchPath("refused.out");
  ISDest d = IS3OpenFileDest(path.c_str(), 0);
  EXPECT_EQ(IS3WriteBMP(d, rgb.data(), 0, 4, 24, 0, nullptr, nullptr, 0), 0);
  EXPECT_EQ(IS3WriteBMP(d, rgb.data(), 4, 4, 8, 0, nullptr, nullptr, 0),
            0);  // 8 bits with no palette
  EXPECT_EQ(IS3WritePNG(d, rgb.data(), 4, 4, 11, 8, 0, nullptr, 2, 0, nullptr, 0),
            0);  // short rows
  EXPECT_EQ(IS3WritePNG(d, rgb.data(), 4, 4, 12, 8, 0, nullptr, 5, 0, nullptr, 0),
            0);  // no colour type 5
  EXPECT_EQ(IS3WriteJPG(d, rgb.data(), 4, 4, 0, 24, nullptr, 0), 0);
  EXPECT_EQ(IS3WriteTIFF(d, rgb.data(), 4, 4, 16, 0, 0, nullptr, 0), 0);
  EXPECT_EQ(IS3WriteTGA(nullptr, rgb.data(), 4, 4, 24, 0, 0), 0);
  EXPECT_EQ(IS3WritePCX(d, nullptr, 4, 4, 24, nullptr, 0), 0);
  EXPECT_EQ(IS3Write8BitToGIF(d, rgb.data(), 4, 4, 0, 0, 300, 8, nullptr), 0);
  EXPECT_EQ(IS3CloseDest(d), 1);
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

}  // namespace
