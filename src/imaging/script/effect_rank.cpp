// Effects 25 and 26, maximum and minimum: each channel (alpha too) becomes the largest or the
// smallest value within a round neighbourhood. Maximum spreads light areas and thins dark lines;
// minimum the reverse. Slot 1: the neighbourhood's radius in pixels (0 changes nothing).
#include <opencv2/imgproc.hpp>

#include <cmath>

#include "imaging/script/effect_table.h"
#include "imaging/script/generator_settings.h"

namespace imaging::script {
namespace {

bool Rank(const Picture& picture, const std::array<double, kScriptValueSlots>& values,
          bool largest) {
  const int radius = static_cast<int>(Limited(values[1], 0, 200));
  if (radius == 0) return true;
  cv::Mat image(int(picture.height), int(picture.width), CV_8UC4, picture.pixels);
  const cv::Mat shape =
      cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(2 * radius + 1, 2 * radius + 1));
  // Outside the picture nothing counts: the border takes part only with its own pixels.
  if (largest)
    cv::dilate(image, image, shape, cv::Point(-1, -1), 1, cv::BORDER_REPLICATE);
  else
    cv::erode(image, image, shape, cv::Point(-1, -1), 1, cv::BORDER_REPLICATE);
  return true;
}

}  // namespace

bool RunMaximum(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  return Rank(picture, values, true);
}

bool RunMinimum(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  return Rank(picture, values, false);
}

}  // namespace imaging::script
