// Thin anti-aliased pen lines on an RGB24 picture, for effects that draw many short strokes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <opencv2/core.hpp>

namespace imaging {

// Draws the open polyline through points (x and y in sixteenths of a pixel, y counted from
// originY rows above the picture's first row) in colour, one pixel wide and anti-aliased: every
// column a mostly horizontal segment crosses (every row for a mostly vertical one) mixes the two
// pixels nearest the line's centre by their distance to it, with the ink a unit of the line's
// length carries. Pixels outside the picture are left alone; all arithmetic is in integers, so a
// line drawn on a band of rows gives those rows exactly as on the whole picture.
void DrawPenLine(cv::Mat& rgb, int originY, const cv::Point* points, std::size_t count,
                 const uint8_t colour[3]);

}  // namespace imaging
