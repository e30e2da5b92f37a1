// The pen lines against what a one-pixel-wide line of ink covers: where it lies between two
// rows, how much ink a unit of its length leaves at every slope, and that a band of rows drawn
// on its own comes out as on the whole picture.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <opencv2/core.hpp>
#include <string>
#include <vector>

#include "imaging/pen_lines.h"

namespace {

const uint8_t kBlack[3] = {0, 0, 0};

cv::Point At(double x, double y) {
  return cv::Point(int(std::lround(x * 16)), int(std::lround(y * 16)));
}

// A level row by row: a line between two rows' centres darkens each by its nearness, and
// leaves every other row white.
TEST(PenLines, LevelLinesShareTheirInkBetweenTwoRows) {
  for (double offset : {0.0, 0.25, 0.5, 0.75}) {
    SCOPED_TRACE(offset);
    cv::Mat paper(20, 30, CV_8UC3, cv::Scalar(255, 255, 255));
    const cv::Point line[] = {At(2, 10.5 + offset), At(25, 10.5 + offset)};
    imaging::DrawPenLine(paper, 0, line, 2, kBlack);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 30; ++x) {
        const double cover = x < 2 || x >= 25 ? 0 : y == 10 ? 1 - offset : y == 11 ? offset : 0;
        ASSERT_NEAR(paper.at<cv::Vec3b>(y, x)[0], 255 * (1 - cover), 1) << x << ", " << y;
      }
  }
}

// Ink a unit of length leaves, at slopes all round: near one pixel's worth, neither thinning at
// the diagonals nor thickening where the line runs steep.
TEST(PenLines, InkFollowsTheLengthAtEverySlope) {
  for (int degrees = 0; degrees < 360; degrees += 15) {
    SCOPED_TRACE(std::to_string(degrees) + " degrees");
    cv::Mat paper(100, 100, CV_8UC3, cv::Scalar(255, 255, 255));
    const double turn = degrees * std::numbers::pi / 180, length = 60;
    // Three-pixel steps, as a pen path gives them.
    std::vector<cv::Point> line;
    for (int i = 0; i <= 20; ++i)
      line.push_back(At(50.3 + (i / 20.0 - 0.5) * length * std::cos(turn),
                        50.1 + (i / 20.0 - 0.5) * length * std::sin(turn)));
    // A light ink, so that no pixel is covered twice over.
    const uint8_t grey[3] = {155, 155, 155};
    imaging::DrawPenLine(paper, 0, line.data(), line.size(), grey);
    double ink = 0;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 100; ++x) ink += (255 - paper.at<cv::Vec3b>(y, x)[1]) / 100.0;
    EXPECT_GT(ink / length, 0.88);
    EXPECT_LT(ink / length, 1.03);
  }
}

// A band of rows, drawn with its own origin, matches those rows of the whole drawing; lines
// running off every side write nothing outside the picture.
TEST(PenLines, BandsMatchTheWholeAndStayInside) {
  std::vector<cv::Point> line;
  for (int i = 0; i <= 200; ++i) {
    const double t = i * 0.05;
    line.push_back(At(20 + 30 * t * std::cos(3 * t), 18 + 25 * std::sin(2.3 * t) * t / 3));
  }
  const uint8_t ink[3] = {30, 90, 200};
  cv::Mat whole(40, 50, CV_8UC3, cv::Scalar(255, 255, 255));
  imaging::DrawPenLine(whole, 0, line.data(), line.size(), ink);
  // The picture sits inside a larger one whose border must stay untouched.
  cv::Mat framed(60, 70, CV_8UC3, cv::Scalar(7, 7, 7));
  for (int top : {0, 1, 13, 39}) {
    SCOPED_TRACE(top);
    framed.setTo(cv::Scalar(7, 7, 7));
    cv::Mat band = framed(cv::Rect(10, 10, 50, 40 - top));
    band.setTo(cv::Scalar(255, 255, 255));
    imaging::DrawPenLine(band, top, line.data(), line.size(), ink);
    EXPECT_EQ(cv::norm(band, whole.rowRange(top, 40), cv::NORM_INF), 0);
    cv::Mat inside = framed.clone();
    inside(cv::Rect(10, 10, 50, 40 - top)).setTo(cv::Scalar(7, 7, 7));
    EXPECT_EQ(cv::countNonZero(inside.reshape(1) != 7), 0);
  }
}

}  // namespace
