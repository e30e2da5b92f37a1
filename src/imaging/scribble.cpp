// Pen scribbles: tones drawn as the coverage of looping pen lines.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <opencv2/imgproc.hpp>
#include <vector>

#include "imaging/artistic_filters.h"
#include "imaging/filter_frame.h"

namespace imaging {

namespace {

constexpr double kStep = 1.5;          // pixels between the points of a pen line
constexpr double kMaxCoverage = 0.97;  // full cover would ask for endless ink
constexpr double kLoops = 2.5;         // turns of the pen in one scribble

// The pen line's length for a scribble of this span: the loops (ellipses about 0.8 as wide as
// long on average) round the moving centre plus the centre's way.
double PathLength(double span) { return kLoops * 2 * std::numbers::pi * span / 4 * 0.8 + span; }

// The points of one scribble from (x, y): the pen circles in uneven, leaning loops about half
// the span across while their centre drifts across the span, the loops swelling and shrinking
// and turning as they go, as a hand fills an area quickly. k numbers the scribbles of the cell
// (cx, cy).
void ScribblePath(double x, double y, double span, uint32_t cx, uint32_t cy, uint32_t k,
                  std::vector<cv::Point>* points) {
  points->clear();
  const double radius = std::max(1.0, span / 4);
  const int steps = std::max(2, int(PathLength(span) / kStep));
  const double drift = 2 * std::numbers::pi * HashUnit(cx, cy, 0x5C41B00u + k);
  const double start = 2 * std::numbers::pi * HashUnit(cx, cy, 0x5C41B01u + k);
  const double turn =
      (HashUnit(cx, cy, 0x5C41B02u + k) < 0.5 ? -1 : 1) * 2 * std::numbers::pi * kLoops;
  const double swell = 2 * std::numbers::pi * HashUnit(cx, cy, 0x5C41B03u + k);
  const double squash = 0.6 + 0.4 * HashUnit(cx, cy, 0x5C41B05u + k);
  const double lean = drift + HashUnit(cx, cy, 0x5C41B06u + k) - 0.5;
  for (int i = 0; i <= steps; ++i) {
    const double t = double(i) / steps;
    const double r = radius * (1 + 0.4 * std::sin(swell + 7 * t));
    const double u = r * std::cos(start + turn * t), v = r * squash * std::sin(start + turn * t);
    const double tilt = lean + 1.2 * t;
    const double px =
        x + (t - 0.5) * span * std::cos(drift) + u * std::cos(tilt) - v * std::sin(tilt);
    const double py =
        y + (t - 0.5) * span * std::sin(drift) + u * std::sin(tilt) + v * std::cos(tilt);
    // Sub-pixel positions for the anti-aliased line (4 fractional bits).
    points->emplace_back(int(std::lround(px * 16)), int(std::lround(py * 16)));
  }
}

}  // namespace

int32_t ISE3Scribble(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                     void* dst, uint32_t dstRowBytes, uint32_t strokeLength, double density,
                     uint32_t inkMode) {
  if (!std::isfinite(density)) return 0;
  PicturePair p;
  if (!MakePicturePair(src, width, height, 3, srcRowBytes, dst, dstRowBytes, &p)) return 0;
  const double span = std::clamp<uint32_t>(strokeLength, 4, 256);
  const double ink = std::clamp(density, 0.0, 1.0) * 2;
  try {
    // The tones the scribbles follow: the grey, softened a little so that single noisy pixels
    // do not call up whole scribbles.
    cv::Mat grey;
    cv::cvtColor(p.in, grey, cv::COLOR_RGB2GRAY);
    const double soft = std::max(0.5, span / 12);
    cv::GaussianBlur(grey, grey, cv::Size(0, 0), soft, soft, cv::BORDER_REPLICATE);

    cv::Mat paper(p.in.size(), CV_8UC3, cv::Scalar(255, 255, 255));
    // One cell a third of the span across; each cell gets as many scribbles as the ink cover
    // its tone asks for: n lines of length P and width 1 over a cell of area c² cover
    // 1 - exp(-nP / c²) of it, so n = -ln(1 - cover) x c² / P.
    const double cell = std::max(2.0, span / 3);
    const double perCover = cell * cell / PathLength(span);
    const uint32_t columns = uint32_t(std::ceil(width / cell));
    const uint32_t rows = uint32_t(std::ceil(height / cell));
    std::vector<cv::Point> points;
    for (uint32_t cy = 0; cy < rows; ++cy)
      for (uint32_t cx = 0; cx < columns; ++cx) {
        const int gx = std::min(int(width) - 1, int((cx + 0.5) * cell));
        const int gy = std::min(int(height) - 1, int((cy + 0.5) * cell));
        // Black ink covers as much as the tone is dark. Coloured ink is the picture's colour
        // at 0.6: a cover c over white gives 255 - c x (255 - 0.6 g), which is g when
        // c = (255 - g) / (255 - 0.6 g).
        const double g = grey.at<uint8_t>(gy, gx);
        const double cover =
            std::min(kMaxCoverage, inkMode == 0 ? (255 - g) / (255 - 0.6 * g) : (255 - g) / 255);
        const double wanted = -std::log(1 - cover) * perCover * ink;
        int count = int(wanted);
        if (HashUnit(cx, cy, 0x5C41B04u) < wanted - count) ++count;
        for (int k = 0; k < count; ++k) {
          const double x = (cx + HashUnit(cx, cy, 0x5C41B10u + uint32_t(k))) * cell;
          const double y = (cy + HashUnit(cx, cy, 0x5C41B20u + uint32_t(k))) * cell;
          cv::Scalar colour(0, 0, 0);
          if (inkMode == 0) {
            // The picture's colour where the scribble starts, darkened to read as ink.
            const int sx = std::min(int(width) - 1, int(x)), sy = std::min(int(height) - 1, int(y));
            const uint8_t* s = p.in.ptr<uint8_t>(sy) + 3 * sx;
            colour = cv::Scalar(s[0] * 0.6, s[1] * 0.6, s[2] * 0.6);
          }
          ScribblePath(x, y, span, cx, cy, uint32_t(k), &points);
          cv::polylines(paper, points, false, colour, 1, cv::LINE_AA, 4);
        }
      }
    paper.copyTo(p.out);
    return 1;
  } catch (...) {
    return 0;
  }
}

}  // namespace imaging
