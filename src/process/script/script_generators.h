// The picture-script runner's generators on a copy of the current layer: each paints its shapes
// or fill onto the layer as it is, by the mix mode chosen with option 2. Option 1 is the seed
// (the same seed paints the same picture), the script value the count where there is one, the
// effect colour the paint.
#pragma once

#include "process/effect_descriptor.h"

namespace process {

#define PALMORA_GENERATOR_BODY(Name) \
  bool Name(const EffectCall& call, uint8_t* pixels, int32_t width, int32_t height)
PALMORA_GENERATOR_BODY(LinesBody);
PALMORA_GENERATOR_BODY(PointsBody);
PALMORA_GENERATOR_BODY(CirclesBody);
PALMORA_GENERATOR_BODY(RectanglesBody);
PALMORA_GENERATOR_BODY(SplinesBody);
PALMORA_GENERATOR_BODY(WormsBody);
PALMORA_GENERATOR_BODY(FibersBody);
PALMORA_GENERATOR_BODY(TreesBody);
PALMORA_GENERATOR_BODY(GenerateNoiseBody);
PALMORA_GENERATOR_BODY(BlobsBody);
PALMORA_GENERATOR_BODY(PlasmaBody);
PALMORA_GENERATOR_BODY(SinePlasmaBody);
PALMORA_GENERATOR_BODY(FractalPlasmaBody);
PALMORA_GENERATOR_BODY(GeneratePerlinNoiseBody);
PALMORA_GENERATOR_BODY(PatternBody);
#undef PALMORA_GENERATOR_BODY

inline constexpr EffectParameter kSeedOption = Option(1, "seed", 0, 2147483647, 1);
inline constexpr EffectParameter kMixOption =
    Option(2,
           "mix (0 normal, 1..12 multiply, screen, overlay, darken, lighten, add, subtract, "
           "difference, dodge, burn, hard light, soft light; 13 behind, 14 erase, 15 replace, "
           "16 colour only, 17 exclusion)",
           0, 17, 0);
inline constexpr EffectParameter kVariation = Slider(3, "colour variation", 0);
inline constexpr EffectParameter kOpacity = Slider(4, "opacity", 1000);
inline constexpr EffectParameter kPaint = Colour("colour", 32, 32, 32);

inline constexpr EffectParameter kLinesParameters[] = {Slider(1, "width", 50),
                                                       Slider(2, "length", 500),
                                                       kVariation,
                                                       kOpacity,
                                                       ScriptValue("count", 0, 100000, 40),
                                                       kSeedOption,
                                                       kMixOption,
                                                       kPaint};
inline constexpr EffectParameter kPointsParameters[] = {Slider(1, "radius", 40),
                                                        Slider(2, "size variation", 500),
                                                        kVariation,
                                                        kOpacity,
                                                        ScriptValue("count", 0, 1000000, 500),
                                                        kSeedOption,
                                                        kMixOption,
                                                        Colour("colour", 255, 255, 255)};
inline constexpr EffectParameter kCirclesParameters[] = {Slider(1, "largest radius", 100),
                                                         Slider(2, "ring width (0 fills)", 0),
                                                         Slider(3, "colour variation", 500),
                                                         kOpacity,
                                                         ScriptValue("count", 0, 100000, 30),
                                                         kSeedOption,
                                                         kMixOption,
                                                         Colour("colour", 192, 96, 48)};
inline constexpr EffectParameter kRectanglesParameters[] = {Slider(1, "largest side", 200),
                                                            Slider(2, "outline width (0 fills)", 0),
                                                            Slider(3, "colour variation", 500),
                                                            kOpacity,
                                                            Slider(5, "tilt", 0),
                                                            ScriptValue("count", 0, 100000, 30),
                                                            kSeedOption,
                                                            kMixOption,
                                                            Colour("colour", 192, 96, 48)};
inline constexpr EffectParameter kSplinesParameters[] = {Slider(1, "width", 75),
                                                         Slider(2, "bends", 100),
                                                         kVariation,
                                                         kOpacity,
                                                         ScriptValue("count", 0, 10000, 8),
                                                         kSeedOption,
                                                         kMixOption,
                                                         kPaint};
inline constexpr EffectParameter kWormsParameters[] = {Slider(1, "thickness", 233),
                                                       Slider(2, "length", 200),
                                                       Slider(3, "colour variation", 200),
                                                       kOpacity,
                                                       Slider(5, "curliness", 500),
                                                       ScriptValue("count", 0, 10000, 12),
                                                       kSeedOption,
                                                       kMixOption,
                                                       Colour("colour", 216, 136, 112)};
inline constexpr EffectParameter kFibersParameters[] = {Slider(1, "length", 175),
                                                        Slider(2, "direction", 0),
                                                        Slider(3, "colour variation", 300),
                                                        kOpacity,
                                                        Slider(5, "direction spread", 111),
                                                        Slider(6, "strand width", 50),
                                                        ScriptValue("count", 0, 1000000, 600),
                                                        kSeedOption,
                                                        kMixOption,
                                                        Colour("colour", 232, 224, 208)};
inline constexpr EffectParameter kTreesParameters[] = {Slider(1, "height", 225),
                                                       Slider(2, "fork angle", 311),
                                                       Slider(3, "colour variation", 100),
                                                       kOpacity,
                                                       Slider(5, "foliage", 700),
                                                       Slider(6, "forking levels", 727),
                                                       ScriptValue("count", 0, 1000, 3),
                                                       kSeedOption,
                                                       kMixOption,
                                                       Colour("bark", 90, 58, 30)};
inline constexpr EffectParameter kGenerateNoiseParameters[] = {Slider(1, "amount", 1000),
                                                               kSeedOption, Flag(3, "monochrome")};
inline constexpr EffectParameter kBlobsParameters[] = {Slider(1, "size", 120),
                                                       Slider(2, "softness", 300),
                                                       Slider(3, "colour variation", 600),
                                                       kOpacity,
                                                       ScriptValue("count", 0, 5000, 15),
                                                       kSeedOption,
                                                       kMixOption,
                                                       Colour("colour", 192, 96, 48)};
inline constexpr EffectParameter kPlasmaParameters[] = {
    Slider(1, "roughness", 550), Slider(2, "colour cycles", 150),
    ScriptValue("palette phase %", -100000, 100000, 0), kSeedOption};
inline constexpr EffectParameter kSinePlasmaParameters[] = {Slider(1, "frequency", 32),
                                                            Slider(2, "colour cycles", 150),
                                                            Slider(3, "rainbow", 1000),
                                                            kOpacity,
                                                            Slider(5, "waves", 267),
                                                            kSeedOption,
                                                            kMixOption,
                                                            Colour("colour", 64, 128, 192)};
inline constexpr EffectParameter kFractalPlasmaParameters[] = {Slider(1, "features", 32),
                                                               Slider(2, "octaves", 556),
                                                               Slider(3, "rainbow", 1000),
                                                               kOpacity,
                                                               Slider(5, "roughness", 550),
                                                               Slider(6, "colour cycles", 100),
                                                               kSeedOption,
                                                               kMixOption,
                                                               Colour("colour", 224, 96, 32)};
inline constexpr EffectParameter kGeneratePerlinNoiseParameters[] = {
    Slider(1, "feature size", 125), Slider(2, "octaves", 444),
    ScriptValue("persistence %", 0, 100, 50), kSeedOption, Colour("low colour", 8, 24, 48)};
inline constexpr EffectParameter kPatternParameters[] = {
    Slider(1, "cell size", 118),
    Slider(3, "shade variation", 150),
    kOpacity,
    kSeedOption,
    kMixOption,
    Option(3,
           "kind (0 checks, 1 rows, 2 columns, 3 diagonals, 4 dots, 5 grid, 6 diamonds, 7 bricks)",
           0, 7, 0),
    Colour("colour", 64, 64, 64)};

inline constexpr EffectDescriptor kLinesEffect = LayerCopyRow(
    "Lines", LinesBody, kLinesParameters, "Straight strokes at random places and angles.");
inline constexpr EffectDescriptor kPointsEffect = LayerCopyRow(
    "Points", PointsBody, kPointsParameters, "Round dots scattered at random, like stars.");
inline constexpr EffectDescriptor kCirclesEffect = LayerCopyRow(
    "Circles", CirclesBody, kCirclesParameters, "Discs or rings of random size at random places.");
inline constexpr EffectDescriptor kRectanglesEffect =
    LayerCopyRow("Rectangles", RectanglesBody, kRectanglesParameters,
                 "Filled or outlined rectangles of random size, upright or tilted.");
inline constexpr EffectDescriptor kSplinesEffect = LayerCopyRow(
    "Splines", SplinesBody, kSplinesParameters, "Smooth curves through random points.");
inline constexpr EffectDescriptor kWormsEffect =
    LayerCopyRow("Worms", WormsBody, kWormsParameters,
                 "Round, ringed worms wandering in smooth curves, tapering to the tail.");
inline constexpr EffectDescriptor kFibersEffect =
    LayerCopyRow("Fibers", FibersBody, kFibersParameters,
                 "Long thin translucent strands running mostly one way, as in paper or hair.");
inline constexpr EffectDescriptor kTreesEffect =
    LayerCopyRow("Trees", TreesBody, kTreesParameters,
                 "Branching trees growing from the bottom edge, with leaves at the twigs.");
inline constexpr EffectDescriptor kGenerateNoiseEffect =
    LayerCopyRow("Generate Noise", GenerateNoiseBody, kGenerateNoiseParameters,
                 "Moves every pixel toward a random colour; 100 % paints pure noise.");
inline constexpr EffectDescriptor kBlobsEffect =
    LayerCopyRow("Blobs", BlobsBody, kBlobsParameters,
                 "Soft round shapes that flow into one another where they meet.");
inline constexpr EffectDescriptor kPlasmaEffect = LayerCopyRow(
    "Plasma", PlasmaBody, kPlasmaParameters, "Colourful fractal clouds that tile without seams.");
inline constexpr EffectDescriptor kSinePlasmaEffect =
    LayerCopyRow("Sine Plasma", SinePlasmaBody, kSinePlasmaParameters,
                 "Interfering waves through a colour palette; tiles without seams.");
inline constexpr EffectDescriptor kFractalPlasmaEffect =
    LayerCopyRow("Fractal Plasma", FractalPlasmaBody, kFractalPlasmaParameters,
                 "Veined fractal noise like flames or marble; tiles without seams.");
inline constexpr EffectDescriptor kGeneratePerlinNoiseEffect =
    LayerCopyRow("Generate Perlin Noise", GeneratePerlinNoiseBody, kGeneratePerlinNoiseParameters,
                 "Smooth cloudy noise between two colours; tiles without seams.");
inline constexpr EffectDescriptor kPatternEffect =
    LayerCopyRow("Pattern", PatternBody, kPatternParameters,
                 "A repeating two-colour pattern (checks, stripes, dots, grid, bricks...).");

}  // namespace process
