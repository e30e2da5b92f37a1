// The host's own pieces: paint-script parsing and the spacing of dabs along a pen path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "dab_spacer.h"
#include "host_error.h"
#include "paint_script.h"

namespace host {
namespace {

TEST(PaintScriptParse, ReadsWhatTheEngineRecords) {
  // The lines a Lua filter's paint_ calls write (with Windows line ends, as the engine's own
  // platform writes text files).
  const std::string text =
      "1554\r\nDescription\r\n1\r\n \r\nRandomSeed\r\n12345\r\n"
      "SelectBrush\r\noil\r\n0\r\n0\r\nSetColor\r\n255\r\n127\r\n0\r\n"
      "DrawStart\r\n10\r\n20\r\n-1\r\nSmoothPlot2\r\n0\r\n0\r\n0\r\n1\r\n0\r\n"
      "SmoothPlot2\r\n10\r\n20\r\n0.5\r\n0\r\n0\r\nSmoothPlot2\r\n0\r\n0\r\n0\r\n0\r\n1\r\n"
      "DrawStop\r\n1\r\nScriptEnd\r\nanything after the end is not read\r\n";
  const PaintScript script = ParsePaintScript(text, "t");
  EXPECT_EQ(script.seed, 12345u);
  ASSERT_EQ(script.records.size(), 7u);
  EXPECT_EQ(script.records[0].kind, RecordKind::kSelectBrush);
  EXPECT_EQ(script.records[0].fields[0].text, "oil");
  EXPECT_EQ(script.records[1].Number(1), 127);
  EXPECT_EQ(script.records[2].line, 15);
  EXPECT_EQ(script.records[4].Number(2), 0.5);
  EXPECT_EQ(script.records[6].kind, RecordKind::kDrawStop);
}

TEST(PaintScriptParse, ARecordingNeverClosedEndsAtTheEndOfTheFile) {
  const PaintScript script =
      ParsePaintScript("1554\nDescription\n0\nRandomSeed\n1\nDab\n1\n2\n0.5\n", "t");
  ASSERT_EQ(script.records.size(), 1u);
  EXPECT_EQ(script.records[0].Number(1), 2);
}

TEST(PaintScriptParse, RefusalsNameTheLine) {
  auto message = [](const std::string& text) {
    try {
      ParsePaintScript(text, "s");
    } catch (const HostError& e) {
      return std::string(e.what());
    }
    return std::string("accepted");
  };
  const std::string header = "1554\nDescription\n1\n \nRandomSeed\n1\n";
  EXPECT_EQ(message(header + "SetColor\n1\n2\n"),
            "s:7: SetColor record ends early (it has 3 fields)");
  EXPECT_EQ(message(header + "SetColor\n1\nx\n3\n"), "s:9: SetColor needs a number here, not 'x'");
  EXPECT_EQ(message("1554\nDescription\n-1\n"),
            "s:3: the description line count must be a whole number");
  EXPECT_EQ(message("1554\nDescription\n0\nRandomSeed\n-5\n"),
            "s:5: the random seed must be a number 0..4294967295");
  EXPECT_EQ(message("1554\nDescription\n0\n"), "s:4: missing \"RandomSeed\"");
}

// The dab positions of a path, by a reference walk: every point at arc length k × spacing.
std::vector<PenPoint> Walk(const std::vector<PenPoint>& path, double spacing) {
  std::vector<PenPoint> dabs;
  auto spacer =
      DabSpacer([&](double) { return spacing; }, [&](const PenPoint& p) { dabs.push_back(p); });
  spacer.Start(path[0]);
  for (std::size_t i = 1; i < path.size(); ++i) spacer.MoveTo(path[i]);
  return dabs;
}

TEST(DabSpacing, DabsSitAtEqualArcLengthsAcrossCorners) {
  // An L: 10 pixels right, then 10 down; spacing 3 puts dabs at arc lengths 0, 3, ..., 18.
  const auto dabs = Walk({{0, 0, 1}, {10, 0, 1}, {10, 10, 1}}, 3);
  ASSERT_EQ(dabs.size(), 7u);
  for (std::size_t k = 0; k < dabs.size(); ++k) {
    const double s = 3.0 * k;
    const double x = s <= 10 ? s : 10, y = s <= 10 ? 0 : s - 10;
    EXPECT_NEAR(dabs[k].x, x, 1e-9) << k;
    EXPECT_NEAR(dabs[k].y, y, 1e-9) << k;
  }
}

TEST(DabSpacing, ManyShortMovesAddUpLikeOneLongOne) {
  std::vector<PenPoint> fine{{0, 0, 1}};
  for (int i = 1; i <= 100; ++i) fine.push_back({i * 0.25, 0, 1});
  const auto dabs = Walk(fine, 2.5);
  ASSERT_EQ(dabs.size(), 11u);
  EXPECT_NEAR(dabs.back().x, 25, 1e-9);
  EXPECT_EQ(Walk({{5, 5, 1}, {5, 5, 1}, {5, 5, 1}}, 1).size(), 1u) << "a pen at rest dabs once";
}

TEST(DabSpacing, PressureIsInterpolatedAndSetsTheNextGap) {
  std::vector<double> pressures;
  std::vector<double> xs;
  auto spacer =
      DabSpacer([](double p) { return 10 * p; },
                [&](const PenPoint& p) { xs.push_back(p.x), pressures.push_back(p.pressure); });
  spacer.Start({0, 0, 1});
  spacer.MoveTo({100, 0, 0.5});
  // Gap after a dab = 10 × its pressure; pressure falls linearly by 0.005 per pixel.
  ASSERT_GE(xs.size(), 3u);
  for (std::size_t k = 1; k < xs.size(); ++k) {
    EXPECT_NEAR(xs[k] - xs[k - 1], 10 * pressures[k - 1], 1e-9);
    EXPECT_NEAR(pressures[k], 1 - 0.005 * xs[k], 1e-9);
  }
}

// With a reach, a path inside it gets exactly the dabs it gets without one; a path that runs far
// outside gets only the dabs inside, the first where it comes back in.
TEST(DabSpacing, AReachKeepsDabsInsideAndInsidePathsUnchanged) {
  auto walk = [](const std::vector<PenPoint>& path, bool reach) {
    std::vector<PenPoint> dabs;
    auto spacer =
        DabSpacer([](double) { return 3.0; }, [&](const PenPoint& p) { dabs.push_back(p); });
    if (reach) spacer.SetReach(-10, -10, 110, 60);
    spacer.Start(path[0]);
    for (std::size_t i = 1; i < path.size(); ++i) spacer.MoveTo(path[i]);
    return dabs;
  };
  const std::vector<PenPoint> inside = {{0, 0, 1}, {100, 0, 1}, {100, 50, 1}, {3, 7, 1}};
  const auto free = walk(inside, false), reached = walk(inside, true);
  ASSERT_EQ(free.size(), reached.size());
  for (std::size_t k = 0; k < free.size(); ++k) {
    EXPECT_EQ(free[k].x, reached[k].x);
    EXPECT_EQ(free[k].y, reached[k].y);
  }
  const auto far =
      walk({{50, 20, 1}, {1e6, 20, 1}, {-1e6, 30, 1}, {50, 30, 1}, {50, -1e6, 1}}, true);
  ASSERT_LT(far.size(), 200u);
  for (const PenPoint& p : far) {
    EXPECT_GE(p.x, -10 - 1e-9);
    EXPECT_LE(p.x, 110 + 1e-9);
    EXPECT_GE(p.y, -10 - 1e-9);
    EXPECT_LE(p.y, 60 + 1e-9);
  }
  // Coming back in along y = 30 from the left, the first dab sits on the reach's left edge.
  const auto entry =
      std::find_if(far.begin(), far.end(), [](const PenPoint& p) { return p.y > 29; });
  ASSERT_NE(entry, far.end());
  EXPECT_NEAR(entry->x, -10, 1e-6);
}

TEST(DabSpacing, CubicCurvesEndAtTheirEndPoint) {
  std::vector<PenPoint> points;
  FlattenCubic({0, 0, 1}, {0, 10, 1}, {20, 10, 1}, {20, 0, 0.5},
               [&](const PenPoint& p) { points.push_back(p); });
  ASSERT_GT(points.size(), 4u);
  EXPECT_DOUBLE_EQ(points.back().x, 20);
  EXPECT_DOUBLE_EQ(points.back().y, 0);
  EXPECT_DOUBLE_EQ(points.back().pressure, 0.5);
  // Pieces of about two pixels along the control polygon (40 long): the curve's middle, at
  // (10, 7.5) for this symmetric curve, is the end of the tenth of twenty.
  ASSERT_EQ(points.size(), 20u);
  const PenPoint& middle = points[9];
  EXPECT_NEAR(middle.x, 10, 1e-9);
  EXPECT_NEAR(middle.y, 7.5, 1e-9);
}

}  // namespace
}  // namespace host
