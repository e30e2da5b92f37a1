// palmora paint: where strokes land, what colour they leave, and that replays are repeatable and
// undoable.
#include <algorithm>

#include "host_runner.h"

namespace host_test {
namespace {

class PaintCommand : public HostTest {
 protected:
  // Paints a script on a 64 × 48 sheet and reads the page back.
  Pixels Paint(const std::vector<std::string>& records, std::vector<std::string> extra = {}) {
    const std::string script = WriteScript("s.srp", records);
    std::vector<std::string> args{"paint", script, "-o", Path("page.png"), "--size", "64x48", "-q"};
    args.insert(args.end(), extra.begin(), extra.end());
    const RunResult run = RunPalmora(args);
    EXPECT_EQ(run.status, 0) << run.err;
    return ReadPixels(Path("page.png"));
  }
};

bool IsWhite(const uint8_t* p) { return p[0] == 255 && p[1] == 255 && p[2] == 255 && p[3] == 255; }
bool IsReddish(const uint8_t* p) { return p[0] > 150 && p[1] < 120 && p[2] < 120; }

TEST_F(PaintCommand, APencilStrokeLandsAlongItsPathAndNowhereElse) {
  const Pixels page =
      Paint(Join({Brush("pencil", 7), Colour(255, 0, 0), Stroke({{10, 24}, {54, 24}})}));
  ASSERT_EQ(page.width, 64);
  ASSERT_EQ(page.height, 48);
  int reddish = 0;
  for (int x = 14; x <= 50; ++x) reddish += IsReddish(page.At(x, 24));
  EXPECT_GE(reddish, 30) << "most of the centre line carries the red";
  // Outside the stroke's reach (half the brush around the path) the paper stays white.
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x)
      if (y < 24 - 4 || y > 24 + 4 || x < 10 - 4 || x > 54 + 4) {
        ASSERT_TRUE(IsWhite(page.At(x, y))) << "(" << x << ", " << y << ")";
      }
}

TEST_F(PaintCommand, TheSameScriptPaintsTheSamePictureAndTheSeedChangesTheGrain) {
  const auto records =
      Join({Brush("grit chalk", 12), Colour(20, 40, 200), Stroke({{8, 8}, {56, 40}}, 0.8)});
  const Pixels first = Paint(records);
  const Pixels again = Paint(records);
  EXPECT_EQ(first.rgba, again.rgba);
  const std::string other = WriteScript("other.srp", records, 12345);
  ASSERT_EQ(RunPalmora({"paint", other, "-o", Path("other.png"), "--size", "64x48", "-q"}).status,
            0);
  EXPECT_NE(ReadPixels(Path("other.png")).rgba, first.rgba);
}

TEST_F(PaintCommand, UndoAfterTheReplayTakesBackTheLastStrokes) {
  const auto red = Join({Brush("pencil", 7), Colour(255, 0, 0), Stroke({{10, 12}, {54, 12}})});
  const auto blue = Join({Colour(0, 0, 255), Stroke({{32, 4}, {32, 44}})});
  const Pixels redOnly = Paint(red);
  const Pixels both = Paint(Join({red, blue}));
  EXPECT_NE(both.rgba, redOnly.rgba);
  EXPECT_EQ(Paint(Join({red, blue}), {"--undo", "1"}).rgba, redOnly.rgba);
  const Pixels none = Paint(Join({red, blue}), {"--undo", "2"});
  EXPECT_TRUE(std::all_of(none.rgba.begin(), none.rgba.end(), [](uint8_t v) { return v == 255; }));
}

TEST_F(PaintCommand, AStrokeWhollyOffTheSheetIsNoUndoStep) {
  // Undo takes back the last stroke that changed the sheet; one whose dabs all fell outside it
  // leaves nothing to undo (before, it stored the whole canvas as a step that undid nothing).
  const auto red = Join({Brush("pencil", 7), Colour(255, 0, 0), Stroke({{10, 12}, {54, 12}})});
  const auto offSheet = Join({Colour(0, 0, 255), Stroke({{-90, -60}, {-20, -70}})});
  const Pixels undone = Paint(Join({red, offSheet}), {"--undo", "1"});
  EXPECT_TRUE(
      std::all_of(undone.rgba.begin(), undone.rgba.end(), [](uint8_t v) { return v == 255; }));
  // A stroke that only grazes the sheet is a step of its own.
  const auto grazing = Join({Colour(0, 0, 255), Stroke({{-20, 30}, {1, 30}})});
  EXPECT_EQ(Paint(Join({red, grazing}), {"--undo", "1"}).rgba, Paint(red).rgba);
}

TEST_F(PaintCommand, UndoingMoreStepsThanTheReplayMadeFailsWithoutAPicture) {
  const std::string script =
      WriteScript("s.srp", Join({Brush("pencil", 5), Stroke({{4, 4}, {20, 4}})}));
  const RunResult run = RunPalmora({"paint", script, "-o", Path("page.png"), "--undo", "2", "-q"});
  EXPECT_TRUE(OneLineFailure(run));
  EXPECT_EQ(Files(), std::vector<std::string>{"s.srp"});
}

TEST_F(PaintCommand, TheEraserWipesPaintBackToThePaper) {
  const Pixels page =
      Paint(Join({Brush("airbrush", 30, 100), Colour(0, 0, 0), Stroke({{0, 24}, {64, 24}}),
                  Stroke({{0, 24}, {64, 24}}), Brush("eraser", 12), Stroke({{32, 0}, {32, 48}})}));
  EXPECT_LT(page.At(10, 24)[0], 200) << "the airbrush darkened the sheet";
  EXPECT_TRUE(IsWhite(page.At(32, 24))) << "the eraser took it back to white paper";
}

TEST_F(PaintCommand, SmudgeAndOilCarryThePaintThatIsThere) {
  // A black bar at x 20..28, then a smudge from inside it to the right: the white beyond the bar
  // darkens. An oil stroke in white that starts on the bar picks up its black.
  const auto bar = Join({Brush("airbrush", 12, 100), Colour(0, 0, 0)});
  std::vector<std::string> records = bar;
  for (int i = 0; i < 8; ++i) {
    const auto s = Stroke({{24, 0}, {24, 48}});
    records.insert(records.end(), s.begin(), s.end());
  }
  const Pixels before = Paint(records);
  ASSERT_LT(before.At(24, 12)[0], 60);
  ASSERT_GT(before.At(40, 12)[0], 240);
  const Pixels smudged = Paint(Join({records, Brush("smudge", 10), Stroke({{24, 12}, {44, 12}})}));
  EXPECT_LT(smudged.At(34, 12)[0], 235) << "dark paint was pushed to the right";
  EXPECT_GT(smudged.At(34, 36)[0], 240) << "away from the smudge nothing moved";
  const Pixels oiled =
      Paint(Join({records, Brush("oil", 10), Colour(255, 255, 255), Stroke({{24, 36}, {44, 36}})}));
  // Over the bar the white covers the black, but greyed by the black it picked up.
  int sum = 0;
  for (int x = 20; x <= 26; ++x) sum += oiled.At(x, 36)[0];
  EXPECT_GT(sum / 7, 150) << "the oil covered the bar";
  EXPECT_LT(sum / 7, 235) << "the white oil came out greyed by the black it met";
}

TEST_F(PaintCommand, TheImageBrushStampsItsPicture) {
  const Pixels page = Paint(Join({Brush("image brush", 40), {"Dab", "32", "24", "1"}}));
  const uint8_t* centre = page.At(32, 24);
  EXPECT_GT(centre[1], centre[0]) << "the leaf is green";
  EXPECT_GT(centre[1], centre[2]);
  EXPECT_TRUE(IsWhite(page.At(4, 4)));
}

TEST_F(PaintCommand, EveryBrushPaintsNearItsStrokeOnly) {
  for (const char* brush : {"pencil", "airbrush", "oil", "grit chalk", "textured brush"}) {
    const Pixels page =
        Paint(Join({Brush(brush, 10), Colour(0, 0, 0), Stroke({{12, 24}, {52, 24}})}));
    int dark = 0;
    for (int x = 16; x <= 48; ++x) dark += page.At(x, 24)[0] < 200;
    EXPECT_GT(dark, 10) << brush;
    EXPECT_TRUE(IsWhite(page.At(32, 4))) << brush;
    EXPECT_TRUE(IsWhite(page.At(2, 24))) << brush;
  }
}

TEST_F(PaintCommand, ABackgroundSetsTheSizeAndShowsWhereNothingIsPainted) {
  WritePng(Path("bg.png"), Solid(40, 30, 10, 120, 200));
  const std::string script = WriteScript(
      "s.srp", Join({Brush("pencil", 5), Colour(255, 0, 0), Stroke({{5, 5}, {35, 5}})}));
  const RunResult run =
      RunPalmora({"paint", script, "-o", Path("page.png"), "--background", Path("bg.png"), "-q"});
  ASSERT_EQ(run.status, 0) << run.err;
  const Pixels page = ReadPixels(Path("page.png"));
  ASSERT_EQ(page.width, 40);
  ASSERT_EQ(page.height, 30);
  const uint8_t* p = page.At(20, 20);
  EXPECT_EQ((std::vector<int>{p[0], p[1], p[2], p[3]}), (std::vector<int>{10, 120, 200, 255}));
}

TEST_F(PaintCommand, FilterRecordsRunEffectsOnThePainting) {
  // A red sheet turned by half the hue circle is cyan.
  const auto filter = std::vector<std::string>{
      "Filter", "Adjust HSL", "0", "1000", "500", "500", "0", "0", "0", "0", "0",
      "0",      "0",          "0", "0",    "0",   "0",   "0", "0", "0", "0"};
  WritePng(Path("red.png"), Solid(16, 16, 255, 0, 0));
  const std::string script = WriteScript("s.srp", filter);
  const RunResult run =
      RunPalmora({"paint", script, "-o", Path("page.png"), "--background", Path("red.png"), "-q"});
  ASSERT_EQ(run.status, 0) << run.err;
  const Pixels page = ReadPixels(Path("page.png"));
  const uint8_t* p = page.At(8, 8);
  EXPECT_EQ((std::vector<int>{p[0], p[1], p[2]}), (std::vector<int>{0, 255, 255}));
}

}  // namespace
// A damaged or hostile script with coordinates beyond any canvas is refused at the field's line;
// strokes that wander far off the page (within that bound) place only the dabs that can touch it,
// so they finish at once and paint what lies on the page.
TEST_F(PaintCommand, FarCoordinatesAreRefusedAndFarStrokesStayCheap) {
  for (const char* far : {"3.5e9", "2147483647", "1e308", "-1e308"}) {
    const std::string script = WriteScript("s.srp", {"Line2", "10", "10", far, "20"});
    const RunResult run =
        RunPalmora({"paint", script, "-o", Path("page.png"), "--size", "64x48", "-q"});
    EXPECT_TRUE(OneLineFailure(run)) << far;
    EXPECT_NE(
        run.err.find("s.srp:10: coordinate " + std::string(far) + " is far outside any canvas"),
        std::string::npos)
        << run.err;
  }
  const Pixels page = Paint(Join({Brush("pencil", 7),
                                  Colour(255, 0, 0),
                                  {"Line2", "-900000", "12", "900000", "12"},
                                  Stroke({{10, 36}, {900000, 36}, {-900000, 36}, {54, 36}})}));
  int across = 0, back = 0;
  for (int x = 0; x < 64; ++x) across += IsReddish(page.At(x, 12));
  for (int x = 0; x < 64; ++x) back += IsReddish(page.At(x, 36));
  EXPECT_GE(across, 60);
  EXPECT_GE(back, 60);
}

}  // namespace host_test
