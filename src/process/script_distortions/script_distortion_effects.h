// The picture-script runner's distortions as effects. Each body maps its sliders onto its
// script effect's slots and runs it with colour and alpha apart on the premultiplied source
// buffer 32. Each body lives in its own file; the slots are listed in docs/picture-scripts.md.
#pragma once

#include "process/effect_descriptor.h"
#include "process/script_distortions/script_distortion_frame.h"

namespace process {

#define PALMORA_SCRIPT_DISTORTION_BODY(Name)                                                    \
  bool Name(const EffectCall& call, const uint8_t* source, uint8_t* destination, int32_t width, \
            int32_t height)

PALMORA_SCRIPT_DISTORTION_BODY(TwirlBody);
inline constexpr EffectParameter kTwirlParameters[] = {
    Slider(1, "turn (50 % none)", 625), Slider(2, "radius", 600), Slider(3, "centre X", 500),
    Slider(4, "centre Y", 500),         kDistortionEdgeOption,    kDistortionFillColour};
inline constexpr EffectDescriptor kTwirlEffect =
    BufferRow("Twirl", EffectRoute::kSource32, kPremultiplied, TwirlBody, kTwirlParameters,
              "A smooth whirl about a centre, up to two turns each way.");

PALMORA_SCRIPT_DISTORTION_BODY(SineDistortionBody);
inline constexpr EffectParameter kSineDistortionParameters[] = {
    Slider(1, "amplitude", 150), Slider(2, "wavelength", 150), Slider(3, "phase", 0),
    kDistortionEdgeOption, kDistortionFillColour};
inline constexpr EffectDescriptor kSineDistortionEffect =
    BufferRow("Sine Distortion", EffectRoute::kSource32, kPremultiplied, SineDistortionBody,
              kSineDistortionParameters, "Rows and columns swing along sine waves.");

PALMORA_SCRIPT_DISTORTION_BODY(KaleidoscopeBody);
inline constexpr EffectParameter kKaleidoscopeParameters[] = {
    Slider(1, "wedges", 130),   Slider(2, "mirror angle", 0), Slider(3, "centre X", 500),
    Slider(4, "centre Y", 500), kDistortionEdgeOption,        kDistortionFillColour};
inline constexpr EffectDescriptor kKaleidoscopeEffect =
    BufferRow("Kaleidoscope", EffectRoute::kSource32, kPremultiplied, KaleidoscopeBody,
              kKaleidoscopeParameters, "One wedge repeated and mirrored round a centre.");

PALMORA_SCRIPT_DISTORTION_BODY(WavesBody);
inline constexpr EffectParameter kWavesParameters[] = {
    Slider(1, "drops", 250),          Slider(2, "wavelength", 60), Slider(3, "amplitude", 150),
    ScriptValue("seed", 0, 65535, 1), kDistortionEdgeOption,       kDistortionFillColour};
inline constexpr EffectDescriptor kWavesEffect =
    BufferRow("Waves", EffectRoute::kSource32, kPremultiplied, WavesBody, kWavesParameters,
              "Rings from drops of rain on a pond.");

PALMORA_SCRIPT_DISTORTION_BODY(ZoomBody);
inline constexpr EffectParameter kZoomParameters[] = {
    Slider(1, "zoom (50 % none)", 600), Slider(2, "centre X", 500), Slider(3, "centre Y", 500),
    kDistortionEdgeOption, kDistortionFillColour};
inline constexpr EffectDescriptor kZoomEffect =
    BufferRow("Zoom", EffectRoute::kSource32, kPremultiplied, ZoomBody, kZoomParameters,
              "Enlarges or reduces the picture about a centre, an eighth to eight times.");

PALMORA_SCRIPT_DISTORTION_BODY(RotateBody);
inline constexpr EffectParameter kRotateParameters[] = {
    Slider(1, "angle (50 % none)", 550), Slider(2, "zoom (50 % none)", 500),
    Option(1, "corners: 0 the colour, 1 to 4 transparent", 0, 4, 0), kDistortionFillColour};
inline constexpr EffectDescriptor kRotateEffect =
    BufferRow("Rotate", EffectRoute::kSource32, kPremultiplied, RotateBody, kRotateParameters,
              "Turns the picture about its middle, up to half a turn each way.");

PALMORA_SCRIPT_DISTORTION_BODY(TiltBody);
inline constexpr EffectParameter kTiltParameters[] = {
    Slider(1, "lean back (50 % none)", 650), Slider(2, "turn (50 % none)", 500),
    Slider(3, "eye distance", 100), kDistortionEdgeOption, kDistortionFillColour};
inline constexpr EffectDescriptor kTiltEffect =
    BufferRow("Tilt", EffectRoute::kSource32, kPremultiplied, TiltBody, kTiltParameters,
              "The picture as a card leaning in space, seen in perspective.");

#undef PALMORA_SCRIPT_DISTORTION_BODY

}  // namespace process
