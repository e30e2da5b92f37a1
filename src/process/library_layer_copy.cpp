#include "process/library_layer_copy.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "imaging/colour_filters.h"
#include "imaging/colour_tones.h"
#include "imaging/geometry.h"
#include "imaging/noise.h"
#include "imaging/tone_curves.h"
#include "process/effects/effect_context.h"

namespace process {

namespace {

// A percent slider limited to its 0..100 range, as a fraction.
double Fraction(const EffectCall& call, int k) {
  return std::clamp(static_cast<double>(call.Percent(k)), 0.0, 100.0) * 0.01;
}

// The noise amount: trunc(percent x 200), hundredths of a level of spread.
double NoiseAmount(const EffectCall& call) {
  return static_cast<double>(Trunc(std::clamp(call.Percent(1), 0.0f, 100.0f) * 200));
}

}  // namespace

bool BrightnessContrastBody(const EffectCall& call, uint8_t* pixels, int32_t width,
                            int32_t height) {
  // 50 % on both sliders is neutral: each maps onto -1..1.
  const double brightness = 2 * call.Percent(1) * 0.01 - 1;
  const double contrast = 2 * call.Percent(2) * 0.01 - 1;
  return imaging::IS3AdjustBrightnessContrast(pixels, width, height, 4, width * 4, brightness,
                                              contrast, 1);
}

bool LevelsBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  const double inBlack = Fraction(call, 1), inWhite = Fraction(call, 2);
  // The midtone slider bends the curve: 50 % is straight, every 25 % doubles or halves gamma.
  const double gamma = std::exp2((Fraction(call, 3) - 0.5) * 4);
  const double outBlack = Fraction(call, 4), outWhite = Fraction(call, 5);
  std::array<uint8_t, 256> table;
  for (int x = 0; x < 256; ++x) {
    const double v = x / 255.0;
    double t = inWhite > inBlack ? (v - inBlack) / (inWhite - inBlack) : (v >= inBlack ? 1 : 0);
    t = std::pow(std::clamp(t, 0.0, 1.0), 1 / gamma);
    table[x] =
        uint8_t(std::lround(std::clamp(outBlack + t * (outWhite - outBlack), 0.0, 1.0) * 255));
  }
  return imaging::IS40_ApplyLUTsToImage(pixels, width, height, 4, width * 4, table.data(),
                                        table.data(), table.data(), nullptr);
}

bool GammaBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  const double gamma = call.Percent(1) * 0.01 * 2;
  return imaging::IS3AdjustGamma(pixels, width, height, 4, width * 4, gamma, 0);
}

bool HistogramEqualizeBody(const EffectCall&, uint8_t* pixels, int32_t width, int32_t height) {
  return imaging::IS40_BrightnessHistogramEqualizeImage(pixels, width, height, 4, width * 4);
}

// The stretches cut half a percent at each end so that a few stray pixels do not hold the
// range open.
constexpr double kStretchClip = 0.005;

bool HistogramStretchBody(const EffectCall&, uint8_t* pixels, int32_t width, int32_t height) {
  return imaging::IS40_BrightnessHistogramStretchImage(pixels, width, height, 4, width * 4,
                                                       kStretchClip, kStretchClip);
}

bool ChannelHistogramEqualizeBody(const EffectCall&, uint8_t* pixels, int32_t width,
                                  int32_t height) {
  return imaging::IS40_HistogramEqualizeImage(pixels, width, height, 4, width * 4);
}

bool ChannelHistogramStretchBody(const EffectCall&, uint8_t* pixels, int32_t width,
                                 int32_t height) {
  return imaging::IS40_HistogramStretchImage(pixels, width, height, 4, width * 4, kStretchClip,
                                             kStretchClip);
}

bool LightnessStretchBody(const EffectCall&, uint8_t* pixels, int32_t width, int32_t height) {
  return imaging::IS3BrightnessHistogramStretchImageInHSL(pixels, width, height, 4, width * 4);
}

bool ColourBalanceBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  // Each slider's middle is neutral; the ends shift by a fifth of the range at full weight.
  auto shift = [&](int k) { return (Fraction(call, k) - 0.5) * 0.4; };
  const uint32_t range = uint32_t(std::clamp(call.options[0], 0, 2));
  return imaging::ISE40_AdjustImageColorBalance(pixels, width, height, 4, width * 4, shift(1),
                                                shift(2), shift(3), range,
                                                call.options[2] == 1 ? 1 : 0);
}

bool DuotoneBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return imaging::ISE3DuotoneImage(pixels, width, height, 4, width * 4, call.Colour(),
                                   Fraction(call, 1));
}

bool HyperSaturationBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  // 50 % keeps the colours, 100 % doubles their distance from grey, 0 % drains them.
  return imaging::IS3ModifyImageSaturation(pixels, width, height, 4, width * 4,
                                           Fraction(call, 1) * 2);
}

bool ThresholdBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return imaging::ISE3ThresholdFilter(pixels, width, height, 4, width * 4,
                                      uint32_t(Trunc(Fraction(call, 1) * 255)));
}

bool TintBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return imaging::ISE3AdjustTint(pixels, width, height, 4, width * 4, call.Colour(),
                                 Fraction(call, 1));
}

bool HorizontalFlipBody(const EffectCall&, uint8_t* pixels, int32_t width, int32_t height) {
  return imaging::IS3HorizontalFlipImage(pixels, width, height, 4, width * 4);
}

bool VerticalFlipBody(const EffectCall&, uint8_t* pixels, int32_t width, int32_t height) {
  return imaging::IS3VerticalFlipImage(pixels, width * 4, height);
}

bool DespeckleBody(const EffectCall&, uint8_t* pixels, int32_t width, int32_t height) {
  return imaging::IS3DespeckleImage(pixels, width, height, 4, width * 4);
}

// Noise on the three colour channels (mask 7); option 3's low byte asks for grain without
// colour.
bool GaussianNoiseBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return imaging::ISE3AddGaussianNoise(pixels, width, height, 4, width * 4, NoiseAmount(call), 0.0,
                                       uint8_t(call.options[2]), 7);
}

bool NegativeExpNoiseBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return imaging::ISE3AddNegativeExpNoise(pixels, width, height, 4, width * 4, NoiseAmount(call),
                                          uint8_t(call.options[2]), 7);
}

bool RayleighNoiseBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return imaging::ISE3AddRayleighNoise(pixels, width, height, 4, width * 4, NoiseAmount(call),
                                       uint8_t(call.options[2]), 7);
}

bool UniformNoiseBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return imaging::ISE3AddUniformNoise(pixels, width, height, 4, width * 4, NoiseAmount(call), 0.0,
                                      uint8_t(call.options[2]), 7);
}

bool DeinterlaceBody(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height) {
  return imaging::IS3Deinterlace(pixels, width, height, 4, width * 4, call.options[2] == 1);
}

}  // namespace process
