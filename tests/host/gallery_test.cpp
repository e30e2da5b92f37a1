// palmora gallery: every effect with its defaults on a small picture, the full-size results, the
// index and the labelled contact sheet.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "contact_sheet.h"
#include "host_runner.h"

namespace host_test {
namespace {

class Gallery : public HostTest {};

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST_F(Gallery, WritesEveryResultTheIndexAndTheContactSheet) {
  Pixels in{12, 8, {}};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 12; ++x)
      in.rgba.insert(in.rgba.end(), {uint8_t(20 * x), uint8_t(30 * y), uint8_t(90), uint8_t(255)});
  WritePng(Path("in.png"), in);
  const RunResult run =
      RunPalmora({"gallery", Path("in.png"), "-o", Path("out"), "--thumb", "48", "-q"});
  ASSERT_EQ(run.status, 0) << run.err;

  // The index names every effect once: a file for those that ran, the plug-ins skipped.
  const std::string index = ReadText(Path("out/gallery.txt"));
  EXPECT_NE(index.find("Adobe Compatible Plug-ins\tskipped"), std::string::npos) << index;
  EXPECT_NE(index.find("Charcoal\tcharcoal.png\n"), std::string::npos) << index;
  EXPECT_NE(index.find("Lua Filter\tlua-filter.png\n"), std::string::npos) << index;
  EXPECT_EQ(index.find("failed"), std::string::npos) << index;
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(Path("out")))
    files += entry.path().extension() == ".png";
  const RunResult list = RunPalmora({"effect", "--list"});
  const long effects = std::count(list.out.begin(), list.out.end(), '\n');
  EXPECT_EQ(files, effects);  // every effect but the plug-ins, and the sheet

  // Full-size results; the sheet holds a row of thumbnails and labels under a title.
  const Pixels result = ReadPixels(Path("out/scribble.png"));
  EXPECT_EQ(result.width, 12);
  EXPECT_EQ(result.height, 8);
  const Pixels sheet = ReadPixels(Path("out/contact-sheet.png"));
  ASSERT_GT(sheet.width, 8 * 48);
  ASSERT_GT(sheet.height, (effects / 8) * 48);
  // Labels are drawn: some dark pixels lie in the band under the first thumbnail.
  int dark = 0;
  for (int y = 30 + 48; y < 30 + 48 + 20; ++y)
    for (int x = 0; x < 60; ++x) dark += sheet.At(x, y)[0] < 100;
  EXPECT_GT(dark, 5);
}

// Thumbnails shrink to fit (never grow), average the pixels they cover and show clear parts
// over a light chequerboard.
TEST(ContactSheet, ThumbnailsAverageAndShowTransparency) {
  host::Picture picture{4, 2, {}};
  for (int i = 0; i < 8; ++i)
    picture.rgba.insert(picture.rgba.end(), {uint8_t(i % 2 ? 200 : 100), 0, 0, 255});
  const host::Picture small = host::Thumbnail(picture, 2);
  ASSERT_EQ(small.width, 2);
  ASSERT_EQ(small.height, 1);
  EXPECT_EQ(small.rgba[0], 150);
  EXPECT_EQ(small.rgba[3], 255);
  EXPECT_EQ(host::Thumbnail(picture, 100).width, 4);
  host::Picture clear{1, 1, {10, 20, 30, 0}};
  const host::Picture shown = host::Thumbnail(clear, 8);
  EXPECT_GE(shown.rgba[0], 204);
  EXPECT_EQ(shown.rgba[0], shown.rgba[1]);
}

// Long labels stay inside their cells: broken after whole words onto a second line and, where
// even that is too long, shortened. The right-hand cells carry no label of their own, so any ink
// in their label band has spilled over from the left.
TEST(ContactSheet, LongLabelsStayInsideTheirCells) {
  const int thumb = 64, cellWidth = thumb + 16, cellHeight = thumb + 38, titleHeight = 30;
  const std::vector<std::string> labels = {
      "Histogram Equalize PHASED OUT", "Brightness Histogram Stretch HSL",
      "Add Negative Exponential Noise", "Supercalifragilisticexpialidocious", "Blur"};
  host::Picture grey{8, 8, std::vector<uint8_t>(8 * 8 * 4, 200)};
  std::vector<host::SheetEntry> entries;
  for (const std::string& label : labels) {
    entries.push_back({label, grey, false});
    entries.push_back({"", grey, false});
  }
  const host::Picture sheet = host::MakeContactSheet(entries, 2, thumb, "labels");
  auto inked = [&](int x0, int x1, int y0, int y1) {
    int count = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        count += sheet.rgba[(std::size_t(y) * sheet.width + x) * 4] < 160;
    return count;
  };
  for (std::size_t row = 0; row < labels.size(); ++row) {
    SCOPED_TRACE(labels[row]);
    const int band = titleHeight + int(row) * cellHeight + thumb + 2;
    EXPECT_EQ(inked(cellWidth, 2 * cellWidth, band, band + 30), 0);
    EXPECT_GT(inked(0, cellWidth, band, band + 14), 10);  // the first line is drawn
    const bool twoLines = labels[row].find(' ') != std::string::npos;
    EXPECT_EQ(inked(0, cellWidth, band + 15, band + 30) > 10, twoLines);
  }
}

}  // namespace
}  // namespace host_test
