#include "imaging/resample_kernels.h"

#include <cmath>
#include <numbers>

namespace imaging {
namespace {

constexpr double kPi = std::numbers::pi;

double Sinc(double x) {
  if (x == 0.0) return 1.0;
  const double px = kPi * x;
  return std::sin(px) / px;
}

double Box(double x) { return (x >= -0.5 && x < 0.5) ? 1.0 : 0.0; }

double Triangle(double x) {
  x = std::fabs(x);
  return x < 1.0 ? 1.0 - x : 0.0;
}

double Hamming(double x) {
  if (std::fabs(x) >= 3.0) return 0.0;
  return Sinc(x) * (0.54 + 0.46 * std::cos(kPi * x / 3.0));
}

double Hanning(double x) {
  if (std::fabs(x) >= 3.0) return 0.0;
  return Sinc(x) * (0.5 + 0.5 * std::cos(kPi * x / 3.0));
}

double Gaussian(double x) { return std::fabs(x) < 1.5 ? std::exp(-2.0 * x * x) : 0.0; }

double Bell(double x) {
  x = std::fabs(x);
  if (x < 0.5) return 0.75 - x * x;
  if (x < 1.5) return 0.5 * (x - 1.5) * (x - 1.5);
  return 0.0;
}

// The Mitchell-Netravali family of cubics:
//   |x| < 1:  ((12 - 9B - 6C)|x|^3 + (-18 + 12B + 6C)|x|^2 + (6 - 2B)) / 6
//   |x| < 2:  ((-B - 6C)|x|^3 + (6B + 30C)|x|^2 + (-12B - 48C)|x| + (8B + 24C)) / 6
template <int kB1000, int kC1000>
double BcCubic(double x) {
  constexpr double B = kB1000 / 1000.0, C = kC1000 / 1000.0;
  x = std::fabs(x);
  if (x < 1.0)
    return ((12 - 9 * B - 6 * C) * x * x * x + (-18 + 12 * B + 6 * C) * x * x + (6 - 2 * B)) / 6;
  if (x < 2.0)
    return ((-B - 6 * C) * x * x * x + (6 * B + 30 * C) * x * x + (-12 * B - 48 * C) * x +
            (8 * B + 24 * C)) /
           6;
  return 0.0;
}

double Mitchell(double x) {
  constexpr double B = 1.0 / 3.0, C = 1.0 / 3.0;
  x = std::fabs(x);
  if (x < 1.0)
    return ((12 - 9 * B - 6 * C) * x * x * x + (-18 + 12 * B + 6 * C) * x * x + (6 - 2 * B)) / 6;
  if (x < 2.0)
    return ((-B - 6 * C) * x * x * x + (6 * B + 30 * C) * x * x + (-12 * B - 48 * C) * x +
            (8 * B + 24 * C)) /
           6;
  return 0.0;
}

// Cubic convolution:  (a+2)|x|^3 - (a+3)|x|^2 + 1 inside 1, a|x|^3 - 5a|x|^2 + 8a|x| - 4a inside 2.
template <int kA1000>
double CubicConvolution(double x) {
  constexpr double a = kA1000 / 1000.0;
  x = std::fabs(x);
  if (x < 1.0) return (a + 2) * x * x * x - (a + 3) * x * x + 1;
  if (x < 2.0) return a * x * x * x - 5 * a * x * x + 8 * a * x - 4 * a;
  return 0.0;
}

double Lanczos3(double x) { return std::fabs(x) < 3.0 ? Sinc(x) * Sinc(x / 3.0) : 0.0; }

double TruncatedSinc(double x) { return std::fabs(x) < 4.0 ? Sinc(x) : 0.0; }

double Hermite(double x) {
  x = std::fabs(x);
  return x < 1.0 ? (2 * x - 3) * x * x + 1 : 0.0;
}

constexpr ResampleKernel kKernels[] = {
    {0, "Box", 0.5, Box},
    {1, "Triangle", 1.0, Triangle},
    {2, "Hamming", 3.0, Hamming},
    {3, "Gaussian", 1.5, Gaussian},
    {4, "Bell", 1.5, Bell},
    {5, "B-Spline", 2.0, BcCubic<1000, 0>},
    {6, "Cubic 1", 2.0, CubicConvolution<-1000>},
    {7, "Cubic 2", 2.0, CubicConvolution<-750>},
    {8, "Lanczos3", 3.0, Lanczos3},
    {9, "Mitchell", 2.0, Mitchell},
    {10, "Sinc", 4.0, TruncatedSinc},
    {11, "Hermite", 1.0, Hermite},
    {12, "Hanning", 3.0, Hanning},
    {13, "Catrom", 2.0, CubicConvolution<-500>},
    {kFilterBicubic, "Bicubic", 2.0, CubicConvolution<-750>},
    {kFilterBilinear, "Bilinear", 1.0, Triangle},
};

}  // namespace

const ResampleKernel* FindResampleKernel(uint32_t code) {
  for (const ResampleKernel& kernel : kKernels)
    if (kernel.code == code) return &kernel;
  return nullptr;
}

}  // namespace imaging
