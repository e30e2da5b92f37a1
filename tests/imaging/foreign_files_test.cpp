// Files made by the format libraries' own writers, and byte-built files in forms our writers
// never produce: the readers must decode what other programs write.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>
#include <tiffio.h>

#include <cstdio>
#include <cstring>
#include <jpeglib.h>

#include "imaging/imaging.h"
#include "imaging/picture_test_support.h"

namespace {

using namespace picture_test;
using namespace imaging;

void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(uint8_t(x)), v.push_back(uint8_t(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) { Put16(v, x & 0xFFFF), Put16(v, x >> 16); }
void Put16be(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(uint8_t(x >> 8)), v.push_back(uint8_t(x));
}
void Put32be(std::vector<uint8_t>& v, uint32_t x) { Put16be(v, x >> 16), Put16be(v, x & 0xFFFF); }

// A BMP file with a 40-byte info header; pixel data and palette supplied by the test.
std::vector<uint8_t> Bmp(int32_t w, int32_t h, uint16_t bits, uint32_t compression,
                         const std::vector<uint32_t>& paletteOrMasks,
                         const std::vector<uint8_t>& data, uint32_t colours = 0) {
  std::vector<uint8_t> f{'B', 'M'};
  const uint32_t offset = 14 + 40 + uint32_t(paletteOrMasks.size()) * 4;
  Put32(f, offset + uint32_t(data.size())), Put32(f, 0), Put32(f, offset);
  Put32(f, 40), Put32(f, uint32_t(w)), Put32(f, uint32_t(h)), Put16(f, 1), Put16(f, bits);
  Put32(f, compression), Put32(f, uint32_t(data.size())), Put32(f, 2835), Put32(f, 2835);
  Put32(f, colours), Put32(f, 0);
  for (uint32_t p : paletteOrMasks) Put32(f, p);  // palette entries as B, G, R, 0
  f.insert(f.end(), data.begin(), data.end());
  return f;
}

std::vector<uint8_t> Pixel(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
  return {r, g, b, a};
}
std::vector<uint8_t> At(const Picture& p, uint32_t x, uint32_t y) {
  const uint8_t* q = &p.pixels[(std::size_t{y} * p.width + x) * 4];
  return {q[0], q[1], q[2], q[3]};
}

TEST(ForeignFiles, BmpInTheFormsOtherWritersUse) {
  // 4-bit palette, bottom-up: rows padded to 4 bytes; the first stored row is the bottom one.
  const std::vector<uint32_t> pal{0x000000, 0x0000FF, 0x00FF00,
                                  0xFF0000};  // black, blue, green, red (as BGR0)
  auto four = Bmp(3, 2, 4, 0, pal, {0x12, 0x30, 0, 0, 0x01, 0x20, 0, 0}, 4);
  Picture p = ReadBytes(four);
  ASSERT_EQ(p.width, 3u);
  EXPECT_EQ(At(p, 0, 1), Pixel(0, 0, 255));  // bottom row: 1 = blue
  EXPECT_EQ(At(p, 1, 1), Pixel(0, 255, 0));  // 2 = green
  EXPECT_EQ(At(p, 2, 1), Pixel(255, 0, 0));  // 3 = red
  EXPECT_EQ(At(p, 1, 0), Pixel(0, 0, 255));

  // 1-bit, top-down (negative height).
  auto mono = Bmp(10, -2, 1, 0, {0x000000, 0xFFFFFF}, {0x80, 0x40, 0, 0, 0xFF, 0xC0, 0, 0});
  p = ReadBytes(mono);
  ASSERT_EQ(p.height, 2u);
  EXPECT_EQ(At(p, 0, 0), Pixel(255, 255, 255));
  EXPECT_EQ(At(p, 1, 0), Pixel(0, 0, 0));
  EXPECT_EQ(At(p, 9, 0), Pixel(255, 255, 255));
  EXPECT_EQ(At(p, 9, 1), Pixel(255, 255, 255));

  // 16-bit 5-6-5 bit fields: pure red, green and blue.
  auto fields =
      Bmp(3, 1, 16, 3, {0xF800, 0x07E0, 0x001F}, {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0, 0});
  p = ReadBytes(fields);
  EXPECT_EQ(At(p, 0, 0), Pixel(255, 0, 0));
  EXPECT_EQ(At(p, 1, 0), Pixel(0, 255, 0));
  EXPECT_EQ(At(p, 2, 0), Pixel(0, 0, 255));

  // 32-bit with the fourth byte left zero everywhere is opaque, not invisible.
  p = ReadBytes(Bmp(1, 1, 32, 0, {}, {10, 20, 30, 0}));
  EXPECT_EQ(At(p, 0, 0), Pixel(30, 20, 10));

  // RLE8: a run, an absolute run (padded), end of line, a delta, end of bitmap.
  std::vector<uint32_t> pal8(4);
  for (uint32_t i = 0; i < 4; ++i) pal8[i] = i * 0x404040;
  const std::vector<uint8_t> rle8{3, 1, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 1, 1, 1, 3, 0, 1};
  p = ReadBytes(Bmp(6, 3, 8, 1, pal8, rle8, 4));
  ASSERT_EQ(p.width, 6u);
  const std::vector<uint8_t> bottomIndices{1, 1, 1, 2, 3, 2};
  for (uint32_t x = 0; x < 6; ++x) EXPECT_EQ(At(p, x, 2)[0], bottomIndices[x] * 0x40);
  EXPECT_EQ(At(p, 2, 0)[0], 0);     // skipped by the delta: index 0
  EXPECT_EQ(At(p, 1, 0)[0], 0xC0);  // the delta moved to (1, 2): one pixel of index 3
  // RLE4: 5 pixels alternating 1 and 2.
  p = ReadBytes(Bmp(5, 1, 4, 2, pal8, {5, 0x12, 0, 1}, 4));
  ASSERT_EQ(p.width, 5u);
  EXPECT_EQ(At(p, 0, 0)[0], 0x40);
  EXPECT_EQ(At(p, 1, 0)[0], 0x80);
  EXPECT_EQ(At(p, 4, 0)[0], 0x40);
}

void WritePngWithLibpng(const std::filesystem::path& path, uint32_t w, uint32_t h, int bitDepth,
                        int colourType, const std::vector<uint8_t>& rows, bool tRNS,
                        bool interlace) {
  FILE* f = std::fopen(path.c_str(), "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, f);
  png_set_IHDR(png, info, w, h, bitDepth, colourType,
               interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (colourType == PNG_COLOR_TYPE_PALETTE) {
    png_color pal[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}};
    png_set_PLTE(png, info, pal, 4);
    png_byte alpha[2] = {0, 128};
    if (tRNS) png_set_tRNS(png, info, alpha, 2, nullptr);
  }
  png_write_info(png, info);
  const std::size_t rowBytes = rows.size() / h;
  std::vector<png_bytep> pointers(h);
  for (uint32_t y = 0; y < h; ++y) pointers[y] = const_cast<png_bytep>(rows.data() + y * rowBytes);
  png_write_image(png, pointers.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
}

TEST(ForeignFiles, PngPalettesLowBitDepthsAndSixteenBitGrey) {
  // 2-bit palette with transparency for the first two entries, interlaced.
  const auto pal = ScratchPath("pal2.png");
  WritePngWithLibpng(pal, 4, 2, 2, PNG_COLOR_TYPE_PALETTE, {0x1B, 0xE4}, true,
                     true);  // 0 1 2 3 / 3 2 1 0
  Picture p = ReadFile(pal);
  ASSERT_EQ(p.width, 4u);
  EXPECT_EQ(At(p, 0, 0), Pixel(255, 0, 0, 0));
  EXPECT_EQ(At(p, 1, 0), Pixel(0, 255, 0, 128));
  EXPECT_EQ(At(p, 2, 0), Pixel(0, 0, 255, 255));
  EXPECT_EQ(At(p, 0, 1), Pixel(9, 9, 9, 255));
  // 16-bit grey and alpha, big-endian samples in the file: the high bytes survive.
  const auto ga = ScratchPath("ga16.png");
  WritePngWithLibpng(ga, 2, 1, 16, PNG_COLOR_TYPE_GRAY_ALPHA,
                     {0x12, 0x34, 0xAB, 0xCD, 0xFE, 0xDC, 0x00, 0xFF}, false, false);
  p = ReadFile(ga);
  EXPECT_EQ(At(p, 0, 0), Pixel(0x12, 0x12, 0x12, 0xAB));
  EXPECT_EQ(At(p, 1, 0), Pixel(0xFE, 0xFE, 0xFE, 0x00));
}

void WriteJpegWithLibjpeg(const std::filesystem::path& path, uint32_t w, uint32_t h, int components,
                          J_COLOR_SPACE space, const std::vector<uint8_t>& pixels,
                          bool progressive) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  FILE* f = std::fopen(path.c_str(), "wb");
  jpeg_stdio_dest(&c, f);
  c.image_width = w, c.image_height = h, c.input_components = components, c.in_color_space = space;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 100, TRUE);
  for (int i = 0; i < c.num_components; ++i)
    c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  for (uint32_t y = 0; y < h; ++y) {
    JSAMPROW row = const_cast<JSAMPROW>(pixels.data() + y * w * components);
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::fclose(f);
}

TEST(ForeignFiles, JpegCmykAndProgressive) {
  // Flat 16x16 CMYK with inverted inks (the Adobe convention libjpeg marks): c=200, m=100,
  // y=50, k=128 give red 200*128/255, green 100*128/255, blue 50*128/255.
  std::vector<uint8_t> cmyk(16 * 16 * 4);
  for (std::size_t i = 0; i < 256; ++i)
    cmyk[i * 4] = 200, cmyk[i * 4 + 1] = 100, cmyk[i * 4 + 2] = 50, cmyk[i * 4 + 3] = 128;
  const auto path = ScratchPath("cmyk.jpg");
  WriteJpegWithLibjpeg(path, 16, 16, 4, JCS_CMYK, cmyk, false);
  Picture p = ReadFile(path);
  ASSERT_EQ(p.width, 16u);
  const auto px = At(p, 7, 7);
  EXPECT_NEAR(px[0], 200 * 128 / 255, 2);
  EXPECT_NEAR(px[1], 100 * 128 / 255, 2);
  EXPECT_NEAR(px[2], 50 * 128 / 255, 2);

  const auto rgb = SmoothPixels(40, 24, 3);
  const auto prog = ScratchPath("prog.jpg");
  WriteJpegWithLibjpeg(prog, 40, 24, 3, JCS_RGB, rgb, true);
  p = ReadFile(prog);
  ASSERT_EQ(p.width, 40u);
  EXPECT_LT(MaxDifference(p.pixels, Widen(rgb, 3)), 8);
}

TEST(ForeignFiles, TiffTiledPaletteAndSixteenBit) {
  const auto path = ScratchPath("tiled.tif");
  TIFF* t = TIFFOpen(path.c_str(), "w");
  const uint32_t w = 20, h = 18;
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, w), TIFFSetField(t, TIFFTAG_IMAGELENGTH, h);
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 16), TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB),
      TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(t, TIFFTAG_TILEWIDTH, 16), TIFFSetField(t, TIFFTAG_TILELENGTH, 16);
  TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
  std::vector<uint16_t> tile(16 * 16 * 3);
  for (uint32_t ty = 0; ty < h; ty += 16) {
    for (uint32_t tx = 0; tx < w; tx += 16) {
      for (uint32_t y = 0; y < 16; ++y) {
        for (uint32_t x = 0; x < 16; ++x) {
          uint16_t* s = &tile[(y * 16 + x) * 3];
          s[0] = uint16_t((tx + x) * 3000), s[1] = uint16_t((ty + y) * 3000), s[2] = 0xABCD;
        }
      }
      TIFFWriteTile(t, tile.data(), tx, ty, 0, 0);
    }
  }
  TIFFClose(t);
  Picture p = ReadFile(path);
  ASSERT_EQ(p.width, w);
  // libtiff scales 16-bit samples by 255 / 65535 rather than taking the high byte.
  const auto corner = At(p, 19, 17);
  EXPECT_NEAR(corner[0], 19 * 3000 * 255 / 65535, 1);
  EXPECT_NEAR(corner[1], 17 * 3000 * 255 / 65535, 1);
  EXPECT_NEAR(corner[2], 0xAB, 1);

  const auto palPath = ScratchPath("pal.tif");
  t = TIFFOpen(palPath.c_str(), "w");
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, 4), TIFFSetField(t, TIFFTAG_IMAGELENGTH, 1);
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8), TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
  std::vector<uint16_t> r(256, 0), g(256, 0), b(256, 0);
  r[1] = 0xFFFF, g[2] = 0xFFFF, b[3] = 0x8000;
  TIFFSetField(t, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
  uint8_t row[4] = {0, 1, 2, 3};
  TIFFWriteScanline(t, row, 0, 0);
  TIFFClose(t);
  p = ReadFile(palPath);
  ASSERT_EQ(p.width, 4u);
  EXPECT_EQ(At(p, 1, 0), Pixel(255, 0, 0));
  EXPECT_EQ(At(p, 3, 0), Pixel(0, 0, 128));
}

int WriteBytesToVector(GifFileType* gif, const GifByteType* bytes, int count) {
  auto* v = static_cast<std::vector<uint8_t>*>(gif->UserData);
  v->insert(v->end(), bytes, bytes + count);
  return count;
}

TEST(ForeignFiles, GifFrameOffsetOnItsScreenWithALocalPalette) {
  std::vector<uint8_t> bytes;
  int error = 0;
  GifFileType* gif = EGifOpen(&bytes, WriteBytesToVector, &error);
  GifColorType global[2] = {{0, 0, 0}, {255, 255, 255}},
               local[4] = {{10, 0, 0}, {0, 20, 0}, {0, 0, 30}, {40, 40, 40}};
  ColorMapObject* g = GifMakeMapObject(2, global);
  ColorMapObject* l = GifMakeMapObject(4, local);
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, 6, 5, 8, 0, g);
  GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, 3};
  GifByteType ext[4];
  EGifGCBToExtension(&gcb, ext);
  EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext);
  EGifPutImageDesc(gif, 2, 1, 3, 2, false, l);
  GifPixelType rows[2][3] = {{0, 1, 2}, {3, 3, 1}};
  EGifPutLine(gif, rows[0], 3), EGifPutLine(gif, rows[1], 3);
  EGifCloseFile(gif, &error);
  GifFreeMapObject(g), GifFreeMapObject(l);

  const Picture p = ReadBytes(bytes);
  ASSERT_EQ(p.width, 6u);
  ASSERT_EQ(p.height, 5u);
  EXPECT_EQ(At(p, 0, 0), Pixel(0, 0, 0, 0));  // outside the frame: clear
  EXPECT_EQ(At(p, 2, 1), Pixel(10, 0, 0));
  EXPECT_EQ(At(p, 4, 1), Pixel(0, 0, 30));
  EXPECT_EQ(At(p, 2, 2), Pixel(0, 0, 0, 0));  // the transparent index
  EXPECT_EQ(At(p, 4, 2), Pixel(0, 20, 0));
}

TEST(ForeignFiles, TgaColourMappedRunLengthAndPcxPlanes) {
  // Colour-mapped RLE TGA, bottom-up, map starting at index 5, 24-bit entries (B, G, R).
  std::vector<uint8_t> tga{0, 1, 9};
  Put16(tga, 5), Put16(tga, 2), tga.push_back(24);
  Put32(tga, 0), Put16(tga, 3), Put16(tga, 2), tga.push_back(8), tga.push_back(0);
  tga.insert(tga.end(), {0, 0, 255, 255, 0, 0});    // entry 5 red, entry 6 blue
  tga.insert(tga.end(), {0x82, 5, 0x02, 6, 5, 6});  // three of 5, then raw 6 5 6
  Picture p = ReadBytes(tga);
  ASSERT_EQ(p.width, 3u);
  EXPECT_EQ(At(p, 0, 1), Pixel(255, 0, 0));  // the first stored row is the bottom one
  EXPECT_EQ(At(p, 0, 0), Pixel(0, 0, 255));
  EXPECT_EQ(At(p, 1, 0), Pixel(255, 0, 0));

  // 16-colour PCX: 1 bit in each of 4 planes, header palette.
  std::vector<uint8_t> pcx(128, 0);
  pcx[0] = 0x0A, pcx[1] = 5, pcx[2] = 1, pcx[3] = 1;
  pcx[8] = 7;  // xmax: 8 pixels wide, 1 high
  for (int i = 0; i < 16; ++i) pcx[16 + i * 3] = uint8_t(i * 16);
  pcx[65] = 4, pcx[66] = 2;  // 4 planes of 2 bytes
  // Plane bits for pixel 0: index 0b1111 = 15; pixel 1: 0b0001 = 1; others 0.
  pcx.insert(pcx.end(), {0xC1, 0xC0, 0, 0x80, 0, 0x80, 0, 0x80, 0});
  p = ReadBytes(pcx);
  ASSERT_EQ(p.width, 8u);
  EXPECT_EQ(At(p, 0, 0)[0], 15 * 16);
  EXPECT_EQ(At(p, 1, 0)[0], 16);
  EXPECT_EQ(At(p, 2, 0)[0], 0);
}

TEST(ForeignFiles, PsdSixteenBitGreyWithAlphaAndResolution) {
  std::vector<uint8_t> psd{'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0};
  Put16be(psd, 2), Put32be(psd, 1), Put32be(psd, 2), Put16be(psd, 16), Put16be(psd, 1);
  Put32be(psd, 0);
  std::vector<uint8_t> res{'8', 'B', 'I', 'M', 0x03, 0xED, 0, 0};
  Put32be(res, 16), Put32be(res, 300u << 16), Put16be(res, 1), Put16be(res, 1),
      Put32be(res, 300u << 16), Put16be(res, 1), Put16be(res, 1);
  Put32be(psd, uint32_t(res.size()));
  psd.insert(psd.end(), res.begin(), res.end());
  Put32be(psd, 0), Put16be(psd, 0);
  psd.insert(psd.end(), {0x12, 0x34, 0xFE, 0x00, 0x80, 0x00, 0x40, 0x00});  // grey, then alpha
  const Picture p = ReadBytes(psd);
  ASSERT_EQ(p.width, 2u);
  EXPECT_EQ(At(p, 0, 0), Pixel(0x12, 0x12, 0x12, 0x80));
  EXPECT_EQ(At(p, 1, 0), Pixel(0xFE, 0xFE, 0xFE, 0x40));
  ISSource s = IS40_OpenMemorySource(psd.data(), uint32_t(psd.size()));
  ISResolution r;
  uint32_t w = 0, h = 0, bits = 0;
  ASSERT_EQ(IS3GetPSDDims(s, &w, &h, &bits, &r), 1);
  IS40_CloseSource(s);
  EXPECT_EQ(r.xRes, 300u);
  EXPECT_EQ(r.unit, 2u);
  EXPECT_EQ(bits, 32u);
}

TEST(ForeignFiles, ResolutionRecordsInEachFormatsOwnUnits) {
  const auto rgb = SmoothPixels(8, 8, 3);
  auto dims = [](const std::filesystem::path& path, auto reader) {
    ISSource s = IS3OpenFileSource(path.c_str());
    ISResolution r;
    uint32_t w = 0, h = 0, bits = 0;
    EXPECT_EQ(reader(s, &w, &h, &bits, &r), 1);
    IS3CloseSource(s);
    EXPECT_EQ(w, 8u);
    return r;
  };
  const ISResolution ppm{11811, 11811, 0}, dpi{300, 300, 1}, inch{300, 300, 2};
  const auto bmp = ScratchPath("r.bmp"), png = ScratchPath("r.png"), jpg = ScratchPath("r.jpg"),
             tif = ScratchPath("r.tif");
  WriteFile(bmp,
            [&](ISDest d) { return IS3WriteBMP(d, rgb.data(), 8, 8, 24, 0, nullptr, &ppm, 0); });
  const ISResolution pngRes{11811, 11811, 1};
  WriteFile(png, [&](ISDest d) {
    return IS3WritePNG(d, rgb.data(), 8, 8, 24, 8, 0, nullptr, 2, 0, &pngRes, 0);
  });
  WriteFile(jpg, [&](ISDest d) { return IS3WriteJPG(d, rgb.data(), 8, 8, 90, 24, &dpi, 0); });
  WriteFile(tif, [&](ISDest d) { return IS3WriteTIFF(d, rgb.data(), 8, 8, 24, 0, 0, &inch, 0); });
  const ISResolution b = dims(bmp, IS3GetBMPDims), p = dims(png, IS3GetPNGDims),
                     j = dims(jpg, IS3GetJPGDims);
  EXPECT_EQ(b.xRes, 11811u);
  EXPECT_EQ(b.unit, 2u);
  EXPECT_EQ(p.xRes, 11811u);
  EXPECT_EQ(p.unit, 1u);
  EXPECT_EQ(j.xRes, 300u);
  EXPECT_EQ(j.unit, 1u);
  ISSource s = IS3OpenFileSource(tif.c_str());
  ISResolution t;
  ASSERT_EQ(IS3GetTIFFDims(s, 0, nullptr, nullptr, nullptr, &t), 1);
  EXPECT_EQ(IS3GetTIFFDims(s, 1, nullptr, nullptr, nullptr, &t), 0);  // no second page
  IS3CloseSource(s);
  EXPECT_EQ(t.xRes, 300u);
  EXPECT_EQ(t.unit, 2u);
}

}  // namespace
