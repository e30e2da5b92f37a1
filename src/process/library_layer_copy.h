// Library adjustments and filters that change a copy of the current layer in place: tone
// curves, histograms, colour toning, flips, clean-up and noise.
#pragma once

#include <cstdint>

#include "process/effect_descriptor.h"

namespace process {

#define PALMORA_LAYER_COPY_BODY(Name) \
  bool Name(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height)
PALMORA_LAYER_COPY_BODY(BrightnessContrastBody);
PALMORA_LAYER_COPY_BODY(LevelsBody);
PALMORA_LAYER_COPY_BODY(GammaBody);
PALMORA_LAYER_COPY_BODY(HistogramEqualizeBody);
PALMORA_LAYER_COPY_BODY(HistogramStretchBody);
PALMORA_LAYER_COPY_BODY(ChannelHistogramEqualizeBody);
PALMORA_LAYER_COPY_BODY(ChannelHistogramStretchBody);
PALMORA_LAYER_COPY_BODY(LightnessStretchBody);
PALMORA_LAYER_COPY_BODY(ColourBalanceBody);
PALMORA_LAYER_COPY_BODY(DuotoneBody);
PALMORA_LAYER_COPY_BODY(HyperSaturationBody);
PALMORA_LAYER_COPY_BODY(ThresholdBody);
PALMORA_LAYER_COPY_BODY(TintBody);
PALMORA_LAYER_COPY_BODY(HorizontalFlipBody);
PALMORA_LAYER_COPY_BODY(VerticalFlipBody);
PALMORA_LAYER_COPY_BODY(DespeckleBody);
PALMORA_LAYER_COPY_BODY(GaussianNoiseBody);
PALMORA_LAYER_COPY_BODY(NegativeExpNoiseBody);
PALMORA_LAYER_COPY_BODY(RayleighNoiseBody);
PALMORA_LAYER_COPY_BODY(UniformNoiseBody);
PALMORA_LAYER_COPY_BODY(DeinterlaceBody);
#undef PALMORA_LAYER_COPY_BODY

inline constexpr EffectParameter kBrightnessContrastParameters[] = {Slider(1, "brightness", 500),
                                                                    Slider(2, "contrast", 500)};
inline constexpr EffectParameter kLevelsParameters[] = {
    Slider(1, "input black", 0), Slider(2, "input white", 1000), Slider(3, "midtones", 500),
    Slider(4, "output black", 0), Slider(5, "output white", 1000)};
inline constexpr EffectParameter kGammaParameters[] = {Slider(1, "gamma", 500)};
inline constexpr EffectParameter kColourBalanceParameters[] = {
    Slider(1, "cyan to red", 500), Slider(2, "magenta to green", 500),
    Slider(3, "yellow to blue", 500),
    Option(1, "tones (0 shadows, 1 midtones, 2 highlights)", 0, 2, 1),
    Flag(3, "preserve luminosity", 1)};
inline constexpr EffectParameter kDuotoneParameters[] = {Slider(1, "strength", 1000),
                                                         Colour("ink", 40, 70, 140)};
inline constexpr EffectParameter kHyperSaturationParameters[] = {Slider(1, "saturation", 750)};
inline constexpr EffectParameter kThresholdParameters[] = {Slider(1, "threshold", 500)};
inline constexpr EffectParameter kTintParameters[] = {Slider(1, "amount", 500),
                                                      Colour("tint", 230, 170, 90)};
inline constexpr EffectParameter kNoiseParameters[] = {Slider(1, "amount", 100),
                                                       Flag(3, "monochrome")};
inline constexpr EffectParameter kDeinterlaceParameters[] = {Flag(3, "keep the odd rows")};

inline constexpr EffectDescriptor kBrightnessContrastEffect =
    LayerCopyRow("Brightness and Contrast", BrightnessContrastBody, kBrightnessContrastParameters,
                 "Brightens or darkens and raises or lowers contrast; 50 % changes nothing.");
inline constexpr EffectDescriptor kLevelsEffect =
    LayerCopyRow("Levels", LevelsBody, kLevelsParameters,
                 "Sets the black and white input and output points and the midtone curve.");
inline constexpr EffectDescriptor kGammaEffect =
    LayerCopyRow("Gamma", GammaBody, kGammaParameters,
                 "Gamma correction; 50 % changes nothing, higher lightens the midtones.");
inline constexpr EffectDescriptor kHistogramEqualizeEffect =
    LayerCopyRow("Histogram Equalize", HistogramEqualizeBody, {},
                 "Spreads the brightness evenly over the whole range, keeping hues.");
inline constexpr EffectDescriptor kHistogramStretchEffect =
    LayerCopyRow("Histogram Stretch", HistogramStretchBody, {},
                 "Stretches the brightness range to run from black to white.");
inline constexpr EffectDescriptor kChannelHistogramEqualizeEffect =
    LayerCopyRow("Histogram Equalize PHASED OUT", ChannelHistogramEqualizeBody, {},
                 "Equalises each colour channel on its own (colours shift).");
inline constexpr EffectDescriptor kChannelHistogramStretchEffect =
    LayerCopyRow("Histogram Stretch PHASED OUT", ChannelHistogramStretchBody, {},
                 "Stretches each colour channel on its own (removes colour casts).");
inline constexpr EffectDescriptor kLightnessStretchEffect =
    LayerCopyRow("Brightness Histogram Stretch HSL", LightnessStretchBody, {},
                 "Stretches the HSL lightness to the full range, keeping hue and saturation.");
inline constexpr EffectDescriptor kColourBalanceEffect = LayerCopyRow(
    "Adjust Color Balance", ColourBalanceBody, kColourBalanceParameters,
    "Shifts the colour balance of the shadows, midtones or highlights; 50 % changes nothing.");
inline constexpr EffectDescriptor kDuotoneEffect =
    LayerCopyRow("Duotone", DuotoneBody, kDuotoneParameters,
                 "Prints the picture in one ink colour between black and white.");
inline constexpr EffectDescriptor kHyperSaturationEffect =
    LayerCopyRow("Hyper Saturation", HyperSaturationBody, kHyperSaturationParameters,
                 "Deepens or drains the colours; 50 % changes nothing.");
inline constexpr EffectDescriptor kThresholdEffect =
    LayerCopyRow("Threshold", ThresholdBody, kThresholdParameters,
                 "Each colour channel on or off at the threshold: eight flat colours.");
inline constexpr EffectDescriptor kTintEffect =
    LayerCopyRow("Tint", TintBody, kTintParameters,
                 "Gives the picture the hue of the tint colour, keeping its brightness.");
inline constexpr EffectDescriptor kHorizontalFlipEffect =
    LayerCopyRow("Horizontal Flip", HorizontalFlipBody, {}, "Mirrors the layer left to right.");
inline constexpr EffectDescriptor kVerticalFlipEffect =
    LayerCopyRow("Vertical Flip", VerticalFlipBody, {}, "Mirrors the layer top to bottom.");
inline constexpr EffectDescriptor kDespeckleEffect = LayerCopyRow(
    "Despeckle", DespeckleBody, {}, "Removes isolated specks with a 3 x 3 median, keeping edges.");
inline constexpr EffectDescriptor kGaussianNoiseEffect =
    LayerCopyRow("Add Gaussian Noise", GaussianNoiseBody, kNoiseParameters,
                 "Adds film-like grain of normal distribution.");
inline constexpr EffectDescriptor kNegativeExpNoiseEffect =
    LayerCopyRow("Add Negative Exponential Noise", NegativeExpNoiseBody, kNoiseParameters,
                 "Adds grain with a few strong bright specks.");
inline constexpr EffectDescriptor kRayleighNoiseEffect =
    LayerCopyRow("Add Rayleigh Noise", RayleighNoiseBody, kNoiseParameters,
                 "Adds grain of Rayleigh distribution.");
inline constexpr EffectDescriptor kUniformNoiseEffect = LayerCopyRow(
    "Add Uniform Noise", UniformNoiseBody, kNoiseParameters, "Adds evenly spread noise.");
inline constexpr EffectDescriptor kDeinterlaceEffect =
    LayerCopyRow("Deinterlace", DeinterlaceBody, kDeinterlaceParameters,
                 "Rebuilds one field of an interlaced video frame from the other.");

}  // namespace process
