// PDF documents: checked with poppler's and qpdf's tools and read back with qpdf's library.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "imaging/picture_test_support.h"
#include "imaging/picture_writers.h"
#include "io/avi_reader.h"
#include "support/engine_fixture.h"

namespace {

using namespace picture_test;
using avi_test::RunCommand;
using palmora_test::EngineTest;
using PdfDocument = EngineTest;

namespace fs = std::filesystem;

// Writes a picture the host would hand over as a temporary copy.
fs::path Picture(const std::string& name, const std::vector<uint8_t>& rgba, int w, int h,
                 const char* extension) {
  const fs::path path = ScratchPath(name);
  if (std::string(extension) == ".bmp")
    EXPECT_TRUE(WriteFile(path, [&](imaging::ISDest d) {
      return imaging::IS3WriteBMP(d, rgba.data(), w, h, 32, 0, nullptr, nullptr, 0);
    }));
  else
    EXPECT_EQ(PMR_WriteToFileRGBA32(rgba.data(), w, h, path.c_str(), extension, 72), 1);
  return path;
}

std::vector<uint8_t> Opaque(std::vector<uint8_t> rgba) {
  for (std::size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
  return rgba;
}

bool QpdfCheckPasses(const fs::path& path) {
  return RunCommand("qpdf --check '" + path.string() + "' >/dev/null 2>&1; echo $?") == "0\n";
}

TEST_F(PdfDocument, OnePageAPictureAt96DpiInsideTheGreyBorder) {
  const auto first = Opaque(RandomPixels(96, 48, 4, 1)),
             second = Opaque(RandomPixels(40, 80, 4, 2));
  const fs::path a = Picture("page_a.png", first, 96, 48, ".png");
  const fs::path b = Picture("page_b.bmp", second, 40, 80, ".bmp");
  ASSERT_EQ(PMR_I2PDF_AddImage(a.c_str()), 1);
  ASSERT_EQ(PMR_I2PDF_AddImage(b.c_str()), 1);
  const fs::path out = ScratchPath("document.pdf");
  ASSERT_EQ(PMR_I2PDF_MakePDF(out.c_str()), 1);
  EXPECT_FALSE(fs::exists(a));  // the host's temporary copies are gone
  EXPECT_FALSE(fs::exists(b));
  EXPECT_TRUE(QpdfCheckPasses(out));

  // pdfinfo's columns, runs of blanks squeezed to one.
  const std::string info =
      RunCommand("pdfinfo -f 1 -l 2 -box '" + out.string() + "' 2>&1 | tr -s ' '");
  EXPECT_NE(info.find("Pages: 2\n"), std::string::npos) << info;
  // 96 pixels at 96 to the inch are 72 points, plus 20 on each side.
  EXPECT_NE(info.find("Page 1 MediaBox: 0.00 0.00 112.00 76.00\n"), std::string::npos) << info;
  EXPECT_NE(info.find("Page 2 MediaBox: 0.00 0.00 70.00 100.00\n"), std::string::npos) << info;

  // The pictures are embedded at their own size and with their exact pixels.
  const fs::path images = ScratchPath("extracted");
  fs::create_directories(images);
  RunCommand("pdfimages -png '" + out.string() + "' '" + (images / "img").string() + "'");
  const auto p0 = ReadFile(images / "img-000.png"), p1 = ReadFile(images / "img-001.png");
  EXPECT_EQ(p0.width, 96u);
  EXPECT_EQ(p0.height, 48u);
  EXPECT_EQ(p0.pixels, first);
  EXPECT_EQ(p1.width, 40u);
  EXPECT_EQ(p1.height, 80u);
  EXPECT_EQ(p1.pixels, second);

  // Rendered at 96 dpi, the border is grey 196.
  const fs::path page = ScratchPath("page");
  RunCommand("pdftoppm -r 96 -f 1 -l 1 -png '" + out.string() + "' '" + page.string() + "'");
  const auto rendered = ReadFile(ScratchPath("page-1.png"));
  ASSERT_GT(rendered.width, 0u);
  EXPECT_EQ(rendered.pixels[0], 196);
  EXPECT_EQ(rendered.pixels[1], 196);
  EXPECT_EQ(rendered.pixels[2], 196);
}

TEST_F(PdfDocument, TheSlideShowOpensFullScreenAndAdvancesWithTransitions) {
  const auto pixels = Opaque(RandomPixels(8, 8, 4, 3));
  for (int i = 0; i < 3; ++i)
    ASSERT_EQ(PMR_I2PDF_AddImage(
                  Picture("slide" + std::to_string(i) + ".png", pixels, 8, 8, ".png").c_str()),
              1);
  const fs::path out = ScratchPath("slides.pdf");
  ASSERT_EQ(PMR_I2PDF_MakePDFSlideshow(out.c_str()), 1);
  EXPECT_TRUE(QpdfCheckPasses(out));
  QPDF pdf;
  pdf.processFile(out.c_str());
  EXPECT_EQ(pdf.getRoot().getKey("/PageMode").getName(), "/FullScreen");
  ASSERT_EQ(pdf.getAllPages().size(), 3u);
  for (QPDFObjectHandle page : pdf.getAllPages()) {
    EXPECT_EQ(page.getKey("/Trans").getKey("/S").getName(), "/Cover");
    EXPECT_EQ(page.getKey("/Trans").getKey("/D").getNumericValue(), 1.0);
    EXPECT_EQ(page.getKey("/Dur").getNumericValue(), 4.0);
  }
  // The settings end with the document: the next one is a plain document again.
  ASSERT_EQ(PMR_I2PDF_AddImage(Picture("plain.png", pixels, 8, 8, ".png").c_str()), 1);
  const fs::path plain = ScratchPath("plain.pdf");
  ASSERT_EQ(PMR_I2PDF_MakePDF(plain.c_str()), 1);
  QPDF second;
  second.processFile(plain.c_str());
  EXPECT_FALSE(second.getRoot().hasKey("/PageMode"));
  QPDFObjectHandle firstPage = second.getAllPages().at(0);
  EXPECT_FALSE(firstPage.hasKey("/Trans"));
}

TEST_F(PdfDocument, FailuresLeaveNoFileAndKeepThePictures) {
  const fs::path out = ScratchPath("failed.pdf");
  EXPECT_EQ(PMR_I2PDF_MakePDF(out.c_str()), 0);  // empty list
  EXPECT_EQ(PMR_I2PDF_MakePDFSlideshow(out.c_str()), 0);
  EXPECT_EQ(PMR_I2PDF_AddImage(nullptr), 0);
  EXPECT_EQ(PMR_I2PDF_AddImage(ScratchPath("missing.png").c_str()), 0);

  const auto pixels = Opaque(RandomPixels(4, 4, 4, 4));
  const fs::path good = Picture("good.png", pixels, 4, 4, ".png");
  const fs::path broken = ScratchPath("broken.png");
  WriteBytes(broken, {0x89, 'P', 'N', 'G', 1, 2, 3});
  ASSERT_EQ(PMR_I2PDF_AddImage(good.c_str()), 1);
  ASSERT_EQ(PMR_I2PDF_AddImage(broken.c_str()), 1);
  EXPECT_EQ(PMR_I2PDF_MakePDF(out.c_str()), 0);
  EXPECT_FALSE(fs::exists(out));
  EXPECT_TRUE(fs::exists(good));
  EXPECT_TRUE(fs::exists(broken));
  EXPECT_EQ(PMR_I2PDF_MakePDF(out.c_str()), 0);  // the list was emptied all the same

  // An unwritable target, and a document that existed before a failure stays as it was.
  ASSERT_EQ(PMR_I2PDF_AddImage(good.c_str()), 1);
  EXPECT_EQ(PMR_I2PDF_MakePDF((ScratchPath("no_folder") / "x.pdf").c_str()), 0);
  EXPECT_TRUE(fs::exists(good));
  WriteBytes(out, {'o', 'l', 'd'});
  ASSERT_EQ(PMR_I2PDF_AddImage(broken.c_str()), 1);
  EXPECT_EQ(PMR_I2PDF_MakePDF(out.c_str()), 0);
  EXPECT_EQ(FileBytes(out), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_TRUE(fs::exists(broken));
}

}  // namespace
