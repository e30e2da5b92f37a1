// The filter kernels behind the resize filter codes. Each kernel is a function of the distance from
// the sample point, in source pixels at 1:1, and a support radius outside which it is zero.
#pragma once

#include <cstdint>

namespace imaging {

using KernelFn = double (*)(double x);

struct ResampleKernel {
  uint32_t code;
  const char* name;
  double support;  // radius in source pixels at 1:1; widened by the scale when shrinking
  KernelFn weight;
};

// Filter codes and their kernels:
//   0 Box            1 inside [-0.5, 0.5)
//   1 Triangle       1 - |x| (tent, linear interpolation)
//   2 Hamming        sinc(x) x (0.54 + 0.46 cos(pi x / 3)), radius 3
//   3 Gaussian       exp(-2 x^2) (sigma 0.5), radius 1.5
//   4 Bell           quadratic B-spline, radius 1.5
//   5 B-Spline       cubic B-spline (B = 1, C = 0), radius 2; smooth, does not interpolate
//   6 Cubic 1        cubic convolution with a = -1 (crisp)
//   7 Cubic 2        cubic convolution with a = -0.75
//   8 Lanczos3       sinc(x) sinc(x / 3), radius 3
//   9 Mitchell       Mitchell-Netravali cubic, B = C = 1/3
//  10 Sinc           sinc(x) cut off at radius 4 (no window: the sharpest, with ringing)
//  11 Hermite        2|x|^3 - 3|x|^2 + 1, radius 1
//  12 Hanning        sinc(x) x (0.5 + 0.5 cos(pi x / 3)), radius 3
//  13 Catrom         Catmull-Rom spline (cubic convolution with a = -0.5)
//  17 bicubic        the Cubic 2 kernel (a = -0.75)
//  18 bilinear       the Triangle kernel; "Nearest Neighbor" and "Bilinear" share it
// Code 15 (area average) weighs each source pixel by the part of it that an output pixel covers
// and is not a kernel of this table.
const ResampleKernel* FindResampleKernel(uint32_t code);

inline constexpr uint32_t kFilterAreaAverage = 15;
inline constexpr uint32_t kFilterBicubic = 17;
inline constexpr uint32_t kFilterBilinear = 18;

}  // namespace imaging
