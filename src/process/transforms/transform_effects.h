// The library transforms as effects: each body builds one entry of the transform list from its
// sliders and runs it on the premultiplied source buffer 32 into the destination, bilinear, the
// effect colour filling what comes from outside the picture (option 1 chooses other edges).
// Each body lives in its own file.
#pragma once

#include "process/effect_descriptor.h"
#include "process/transforms/transform_frame.h"

namespace process {

#define PALMORA_TRANSFORM_BODY(Name)                                                            \
  bool Name(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width, \
            int32_t height)

PALMORA_TRANSFORM_BODY(EllipticalBody);
inline constexpr EffectParameter kEllipticalParameters[] = {
    Slider(1, "strength", 1000), kTransformEdgeOption, kTransformFillColour};
inline constexpr EffectDescriptor kEllipticalEffect =
    BufferRow("Elliptical", EffectRoute::kSource32, kPremultiplied, EllipticalBody,
              kEllipticalParameters, "Draws the whole picture into its inscribed ellipse.");

PALMORA_TRANSFORM_BODY(LensBody);
inline constexpr EffectParameter kLensParameters[] = {Slider(1, "strength (50 % none)", 950),
                                                      Slider(2, "radius", 500),
                                                      Slider(3, "centre X", 500),
                                                      Slider(4, "centre Y", 500),
                                                      kTransformEdgeOption,
                                                      kTransformFillColour};
inline constexpr EffectDescriptor kLensEffect =
    BufferRow("Lens", EffectRoute::kSource32, kPremultiplied, LensBody, kLensParameters,
              "A glass sphere over the picture: magnifies, or shrinks below 50 %.");

PALMORA_TRANSFORM_BODY(MarbleBody);
inline constexpr EffectParameter kMarbleParameters[] = {
    Slider(1, "vein size", 200), Slider(2, "strength", 300), ScriptValue("seed", 0, 65535, 1),
    kTransformEdgeOption, kTransformFillColour};
inline constexpr EffectDescriptor kMarbleEffect =
    BufferRow("Marble", EffectRoute::kSource32, kPremultiplied, MarbleBody, kMarbleParameters,
              "Swirls the picture along smooth fractal veins, like marble.");

PALMORA_TRANSFORM_BODY(OffsetBody);
inline constexpr EffectParameter kOffsetParameters[] = {Slider(1, "horizontal (50 % none)", 500),
                                                        Slider(2, "vertical (50 % none)", 500),
                                                        kTransformEdgeOption, kTransformFillColour};
inline constexpr EffectDescriptor kOffsetEffect =
    BufferRow("Offset", EffectRoute::kSource32, kPremultiplied, OffsetBody, kOffsetParameters,
              "Moves the picture by whole pixels, up to its own size each way.");

PALMORA_TRANSFORM_BODY(PinchBody);
inline constexpr EffectParameter kPinchParameters[] = {Slider(1, "strength (50 % none)", 750),
                                                       Slider(2, "radius", 500),
                                                       Slider(3, "centre X", 500),
                                                       Slider(4, "centre Y", 500),
                                                       kTransformEdgeOption,
                                                       kTransformFillColour};
inline constexpr EffectDescriptor kPinchEffect =
    BufferRow("Pinch", EffectRoute::kSource32, kPremultiplied, PinchBody, kPinchParameters,
              "Draws the middle of a circle inward, or bulges it below 50 %.");

PALMORA_TRANSFORM_BODY(RippleBody);
inline constexpr EffectParameter kRippleParameters[] = {
    Slider(1, "wavelength", 100), Slider(2, "amplitude", 100), Slider(3, "phase", 0),
    Slider(4, "centre X", 500),   Slider(5, "centre Y", 500),  kTransformEdgeOption,
    kTransformFillColour};
inline constexpr EffectDescriptor kRippleEffect =
    BufferRow("Ripple", EffectRoute::kSource32, kPremultiplied, RippleBody, kRippleParameters,
              "Rings spreading from a centre, like a stone dropped in water.");

PALMORA_TRANSFORM_BODY(SpinBody);
inline constexpr EffectParameter kSpinParameters[] = {
    Slider(1, "angle (50 % none)", 625), Slider(2, "radius", 700), Slider(3, "centre X", 500),
    Slider(4, "centre Y", 500),          kTransformEdgeOption,     kTransformFillColour};
inline constexpr EffectDescriptor kSpinEffect =
    BufferRow("Spin", EffectRoute::kSource32, kPremultiplied, SpinBody, kSpinParameters,
              "Swirls the middle round a centre, up to two turns each way.");

PALMORA_TRANSFORM_BODY(SpinWaveBody);
inline constexpr EffectParameter kSpinWaveParameters[] = {
    Slider(1, "angle (50 % none)", 550), Slider(2, "wavelength", 250), Slider(3, "centre X", 500),
    Slider(4, "centre Y", 500),          kTransformEdgeOption,         kTransformFillColour};
inline constexpr EffectDescriptor kSpinWaveEffect =
    BufferRow("Spin Wave", EffectRoute::kSource32, kPremultiplied, SpinWaveBody,
              kSpinWaveParameters, "Rings round a centre that turn to and fro.");

PALMORA_TRANSFORM_BODY(WaveBody);
inline constexpr EffectParameter kWaveParameters[] = {
    Slider(1, "wavelength", 150), Slider(2, "amplitude", 150), Slider(3, "direction", 0),
    Slider(4, "phase", 0),        kTransformEdgeOption,        kTransformFillColour};
inline constexpr EffectDescriptor kWaveEffect =
    BufferRow("Wave", EffectRoute::kSource32, kPremultiplied, WaveBody, kWaveParameters,
              "A sine wave running across the picture in a chosen direction.");

PALMORA_TRANSFORM_BODY(WowBody);
inline constexpr EffectParameter kWowParameters[] = {Slider(1, "amount (50 % none)", 650),
                                                     Slider(2, "lobes", 160),
                                                     Slider(3, "phase", 0),
                                                     Slider(4, "centre X", 500),
                                                     Slider(5, "centre Y", 500),
                                                     kTransformEdgeOption,
                                                     kTransformFillColour};
inline constexpr EffectDescriptor kWowEffect =
    BufferRow("Wow", EffectRoute::kSource32, kPremultiplied, WowBody, kWowParameters,
              "Pushes the picture out into a flower of lobes round a centre.");

PALMORA_TRANSFORM_BODY(ZigZagBody);
inline constexpr EffectParameter kZigZagParameters[] = {Slider(1, "horizontal wavelength", 100),
                                                        Slider(2, "horizontal amplitude", 100),
                                                        Slider(3, "vertical wavelength", 100),
                                                        Slider(4, "vertical amplitude", 0),
                                                        kTransformEdgeOption,
                                                        kTransformFillColour};
inline constexpr EffectDescriptor kZigZagEffect =
    BufferRow("Zig Zag", EffectRoute::kSource32, kPremultiplied, ZigZagBody, kZigZagParameters,
              "Shifts rows and columns along straight zig-zags.");

#undef PALMORA_TRANSFORM_BODY

}  // namespace process
