// Pen scribbles: tones drawn as the coverage of looping pen lines.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <numbers>
#include <optional>
#include <opencv2/imgproc.hpp>
#include <vector>

#include "imaging/artistic_filters.h"
#include "imaging/filter_frame.h"
#include "imaging/pen_lines.h"
#include "imaging/scratch.h"
#include "imaging/scribble_bands.h"

namespace imaging {

namespace {

constexpr double kMaxCoverage = 0.97;  // full cover would ask for endless ink
constexpr double kLoops = 2.5;         // turns of the pen in one scribble
constexpr int kSubPixelBits = 4;       // fractional bits of the line's points (sixteenths)

std::atomic<int> g_bandRowsForTesting{0};

// The pen line's length for a scribble of this span: the loops (ellipses about 0.8 as wide as
// long on average) round the moving centre plus the centre's way.
double PathLength(double span) { return kLoops * 2 * std::numbers::pi * span / 4 * 0.8 + span; }

// The loops' mean radius for a scribble of this span.
double LoopRadius(double span) { return std::max(1.0, span / 4); }

// Pixels between the points of a pen line: 1.5 on the smallest loops, growing with the loop to
// 2.5, where a chord strays about a quarter pixel from a round loop of that radius. Each point and
// each segment costs about as much as the pixels it draws, so longer chords make the drawing
// markedly faster without showing.
double StepLength(double span) { return std::clamp(0.75 * LoopRadius(span), 1.5, 2.5); }

// How far a scribble's points reach from its starting point: half the span along the drift plus
// the loop's largest radius (the swell adds up to 0.4).
double Reach(double span) { return span / 2 + 1.4 * LoopRadius(span); }

// cos and sin of start + i x step for i = 0, 1, 2, ..., turned on by one rotation a step
// instead of evaluated afresh (the rounding that gathers over a path's few hundred steps stays
// far below the points' sixteenth of a pixel).
struct Turning {
  double c, s, dc, ds;
  Turning(double start, double stepCos, double stepSin)
      : c(std::cos(start)), s(std::sin(start)), dc(stepCos), ds(stepSin) {}
  void Advance() {
    const double next = c * dc - s * ds;
    s = s * dc + c * ds;
    c = next;
  }
};

// The points a scribble of this span takes and the turns of its three rotations a step (the
// same for every scribble of a drawing): the swell, the loop (turning either way) and the lean.
struct PathSteps {
  int steps;
  double swellCos, swellSin, loopCos, loopSin, tiltCos, tiltSin;

  explicit PathSteps(double span) : steps(std::max(2, int(PathLength(span) / StepLength(span)))) {
    const double loop = 2 * std::numbers::pi * kLoops / steps;
    swellCos = std::cos(7.0 / steps), swellSin = std::sin(7.0 / steps);
    loopCos = std::cos(loop), loopSin = std::sin(loop);
    tiltCos = std::cos(1.2 / steps), tiltSin = std::sin(1.2 / steps);
  }
};

// A coordinate in sixteenths of a pixel, rounded to the nearest (coordinates stay far inside
// the offset, so truncating after it rounds).
int SubPixel(double v) {
  constexpr double kOffset = 1 << 26;
  return int(int64_t(v * (1 << kSubPixelBits) + kOffset + 0.5) - int64_t(kOffset));
}

// The points of one scribble from (x, y): the pen circles in uneven, leaning loops about half
// the span across while their centre drifts across the span, the loops swelling and shrinking
// and turning as they go, as a hand fills an area quickly. k numbers the scribbles of the cell
// (cx, cy).
void ScribblePath(double x, double y, double span, const PathSteps& path, uint32_t cx, uint32_t cy,
                  uint32_t k, std::vector<cv::Point>* points) {
  points->clear();
  const double radius = LoopRadius(span);
  const int steps = path.steps;
  const double drift = 2 * std::numbers::pi * HashUnit(cx, cy, 0x5C41B00u + k);
  const double start = 2 * std::numbers::pi * HashUnit(cx, cy, 0x5C41B01u + k);
  const double turning = HashUnit(cx, cy, 0x5C41B02u + k) < 0.5 ? -1 : 1;
  const double swell = 2 * std::numbers::pi * HashUnit(cx, cy, 0x5C41B03u + k);
  const double squash = 0.6 + 0.4 * HashUnit(cx, cy, 0x5C41B05u + k);
  const double lean = drift + HashUnit(cx, cy, 0x5C41B06u + k) - 0.5;
  const double alongX = span * std::cos(drift), alongY = span * std::sin(drift);
  Turning swelling(swell, path.swellCos, path.swellSin);
  Turning loop(start, path.loopCos, turning * path.loopSin);
  Turning tilt(lean, path.tiltCos, path.tiltSin);
  for (int i = 0; i <= steps; ++i) {
    const double t = double(i) / steps;
    const double r = radius * (1 + 0.4 * swelling.s);
    const double u = r * loop.c, v = r * squash * loop.s;
    const double px = x + (t - 0.5) * alongX + u * tilt.c - v * tilt.s;
    const double py = y + (t - 0.5) * alongY + u * tilt.s + v * tilt.c;
    points->emplace_back(SubPixel(px), SubPixel(py));
    swelling.Advance(), loop.Advance(), tilt.Advance();
  }
}

// The scribbles of a picture, laid out cell by cell: each cell a third of the span across gets
// as many scribbles as the ink cover its tone asks for.
struct ScribblePlan {
  const cv::Mat& in;    // the picture, for the ink's colour
  const cv::Mat& grey;  // the softened tones the cover follows
  double span, ink, cell, perCover;
  uint32_t columns, rows;
  bool black;
  PathSteps path;

  // Calls draw(points, colour) for every scribble starting in cell row cy whose starting point
  // lies within rows [top, bottom), in drawing order.
  template <typename Draw>
  void ForEachInCellRow(uint32_t cy, double top, double bottom, std::vector<cv::Point>* points,
                        Draw&& draw) const {
    const int width = in.cols, height = in.rows;
    for (uint32_t cx = 0; cx < columns; ++cx) {
      const int gx = std::min(width - 1, int((cx + 0.5) * cell));
      const int gy = std::min(height - 1, int((cy + 0.5) * cell));
      // Black ink covers as much as the tone is dark. Coloured ink is the picture's colour at
      // 0.6: a cover c over white gives 255 - c x (255 - 0.6 g), which is g when
      // c = (255 - g) / (255 - 0.6 g). n lines of length P and width 1 over a cell of area c²
      // cover 1 - exp(-nP / c²) of it, so n = -ln(1 - cover) x c² / P.
      const double g = grey.at<uint8_t>(gy, gx);
      const double cover =
          std::min(kMaxCoverage, black ? (255 - g) / 255 : (255 - g) / (255 - 0.6 * g));
      const double wanted = -std::log(1 - cover) * perCover * ink;
      int count = int(wanted);
      if (HashUnit(cx, cy, 0x5C41B04u) < wanted - count) ++count;
      for (int k = 0; k < count; ++k) {
        const double y = (cy + HashUnit(cx, cy, 0x5C41B20u + uint32_t(k))) * cell;
        if (y < top || y >= bottom) continue;
        const double x = (cx + HashUnit(cx, cy, 0x5C41B10u + uint32_t(k))) * cell;
        uint8_t colour[3] = {0, 0, 0};
        if (!black) {
          // The picture's colour where the scribble starts, darkened to read as ink.
          const int sx = std::min(width - 1, int(x)), sy = std::min(height - 1, int(y));
          const uint8_t* s = in.ptr<uint8_t>(sy) + 3 * sx;
          for (int c = 0; c < 3; ++c) colour[c] = uint8_t((s[c] * 3 + 2) / 5);  // x 0.6, rounded
        }
        ScribblePath(x, y, span, path, cx, cy, uint32_t(k), points);
        draw(*points, colour);
      }
    }
  }
};

// The rows [top, bottom) of result, drawn on white paper: every scribble that may touch them,
// in drawing order, each pixel mixed exactly as on the whole picture.
void DrawBand(const ScribblePlan& plan, int top, int bottom, std::vector<cv::Point>* points,
              cv::Mat& result) {
  cv::Mat paper = result.rowRange(top, bottom);
  paper.setTo(cv::Scalar(255, 255, 255));
  // A scribble touches the band only when it starts within its reach (one pixel more for the
  // lines' soft edges).
  const double reach = Reach(plan.span) + 2;
  const double startTop = top - reach, startBottom = bottom + reach;
  const uint32_t firstRow = uint32_t(std::max(0.0, std::floor(startTop / plan.cell)));
  const uint32_t lastRow = std::min<uint32_t>(plan.rows - 1, uint32_t(startBottom / plan.cell));
  for (uint32_t cy = firstRow; cy <= lastRow; ++cy)
    plan.ForEachInCellRow(cy, startTop, startBottom, points,
                          [&](const std::vector<cv::Point>& line, const uint8_t colour[3]) {
                            DrawPenLine(paper, top, line.data(), line.size(), colour);
                          });
}

}  // namespace

void SetScribbleBandRowsForTesting(int rows) { g_bandRowsForTesting = rows; }

int32_t ISE3Scribble(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                     void* dst, uint32_t dstRowBytes, uint32_t strokeLength, double density,
                     uint32_t inkMode) {
  if (!std::isfinite(density)) return 0;
  PicturePair p;
  if (!MakePicturePair(src, width, height, 3, srcRowBytes, dst, dstRowBytes, &p)) return 0;
  const double span = std::clamp<uint32_t>(strokeLength, 4, 256);
  try {
    // The tones the scribbles follow: the grey, softened a little so that single noisy pixels
    // do not call up whole scribbles.
    ScratchPicture greyPicture(p.in.size(), CV_8UC1), softPicture(p.in.size(), CV_8UC1);
    cv::cvtColor(p.in, greyPicture.mat(), cv::COLOR_RGB2GRAY);
    const double soft = std::max(0.5, span / 12);
    cv::GaussianBlur(greyPicture.mat(), softPicture.mat(), cv::Size(0, 0), soft, soft,
                     cv::BORDER_REPLICATE);
    const double cell = std::max(2.0, span / 3);
    const ScribblePlan plan{p.in,
                            softPicture.mat(),
                            span,
                            std::clamp(density, 0.0, 1.0) * 2,
                            cell,
                            cell * cell / PathLength(span),
                            uint32_t(std::ceil(width / cell)),
                            uint32_t(std::ceil(height / cell)),
                            inkMode != 0,
                            PathSteps(span)};

    // Bands of fixed rows (the split depends on the picture's height alone, never on the
    // threads), drawn in parallel: tall enough that few scribbles are drawn on two, and at
    // least eight of them on a tall picture.
    const int asked = g_bandRowsForTesting.load();
    const int bandRows =
        asked > 0 ? asked : std::max(64, std::min(int(16 * Reach(span)), int(height + 7) / 8));
    const int bands = (int(height) + bandRows - 1) / bandRows;
    const bool direct = Apart(p.in, p.out);
    std::optional<ScratchPicture> aside;
    if (!direct) aside.emplace(p.in.size(), p.in.type());
    cv::Mat& result = direct ? p.out : aside->mat();
    cv::parallel_for_(
        cv::Range(0, bands),
        [&](const cv::Range& r) {
          std::vector<cv::Point> points;
          for (int b = r.start; b < r.end; ++b)
            DrawBand(plan, b * bandRows, std::min(int(height), (b + 1) * bandRows), &points,
                     result);
        },
        bands);
    if (!direct) result.copyTo(p.out);
    return 1;
  } catch (...) {
    return 0;
  }
}

}  // namespace imaging
