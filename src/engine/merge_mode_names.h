// The merge-mode numbering: a layer stores its mode as a number, the host names it by string.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace engine {
inline namespace merge_modes {

inline constexpr int kMergeModeCount = 45;
inline constexpr int kModeTexturize3 = 21;  // its layer is the brush texture
inline constexpr int kModeUnnamed = 22;     // no name; composites as Normal
inline constexpr int kFirstAlphaMode = 23;  // 23..44 are the alpha modes
inline constexpr int kModeLayerMask = 42;   // masks the visible layer below it

// The other mode numbers, for code that applies a mode's own rule.
inline constexpr int kModeNormal = 0;
inline constexpr int kModeMultiply = 1;
inline constexpr int kModeScreen = 2;
inline constexpr int kModeDarken = 3;
inline constexpr int kModeLighten = 4;
inline constexpr int kModeDifference = 5;
inline constexpr int kModeNegation = 6;
inline constexpr int kModeExclusion = 7;
inline constexpr int kModeOverlay = 8;
inline constexpr int kModeHardLight = 9;
inline constexpr int kModeSoftLight = 10;
inline constexpr int kModeDodge = 11;
inline constexpr int kModeBurn = 12;
inline constexpr int kModeReflect = 13;
inline constexpr int kModeGlow = 14;
inline constexpr int kModeAdd = 15;
inline constexpr int kModeSubtract = 16;
inline constexpr int kModeColor = 17;
inline constexpr int kModeHardColor = 18;
inline constexpr int kModeTexturize = 19;
inline constexpr int kModeTexturize2 = 20;
inline constexpr int kModeAlphaNormal = 23;
inline constexpr int kModeAlphaFilter = 24;
inline constexpr int kModeAlphaBlackOutline = 25;
inline constexpr int kModeAlphaOutlineTint1 = 26;
inline constexpr int kModeAlphaOutlineTint2 = 27;
inline constexpr int kModeAlphaInvert = 28;
inline constexpr int kModeAlphaShader = 29;
inline constexpr int kModeAlphaShaderColor = 30;
inline constexpr int kModeAlphaShaderTexture2 = 31;
inline constexpr int kModeAlphaHighlightTexture2 = 32;
inline constexpr int kModeAlphaSmooth = 33;
inline constexpr int kModeAlphaSmooth2 = 34;
inline constexpr int kModeAlphaSmoothLum = 35;
inline constexpr int kModeAlphaSmoothLum2 = 36;
inline constexpr int kModeAlphaSmoothLum3 = 37;
inline constexpr int kModeAlphaSmoothLum4 = 38;
inline constexpr int kModeAlphaSmoothLum5 = 39;
inline constexpr int kModeAlphaOverlayOutline = 40;
inline constexpr int kModeAlphaHighlight = 41;
inline constexpr int kModeLuminanceAlpha = 43;
inline constexpr int kModeLuminanceAlphaInvert = 44;

// Index = mode number. Number 22 has no name and cannot be chosen by name.
inline constexpr std::array<std::string_view, kMergeModeCount> kMergeModeNames = {
    "Normal",
    "Multiply",
    "Screen",
    "Darken",
    "Lighten",
    "Difference",
    "Negation",
    "Exclusion",
    "Overlay",
    "Hard Light",
    "Soft Light",
    "Dodge",
    "Burn",
    "Reflect",
    "Glow",
    "Add",
    "Subtract",
    "Color",
    "Hard Color",
    "Texturize",
    "Texturize2",
    "Texturize3",
    "",
    "Alpha Normal",
    "Alpha Filter",
    "Alpha Black Outline",
    "Alpha Outline Tint 1",
    "Alpha Outline Tint 2",
    "Alpha Invert",
    "Alpha Shader",
    "Alpha Shader Color",
    "Alpha Shader Texture2",
    "Alpha Highlight Texture2",
    "Alpha Smooth",
    "Alpha Smooth2",
    "Alpha Smooth Lum",
    "Alpha Smooth Lum2",
    "Alpha Smooth Lum3",
    "Alpha Smooth Lum4",
    "Alpha Smooth Lum5",
    "Alpha Overlay Outline",
    "Alpha Highlight",
    "Layer Mask",
    "Luminance Alpha",
    "Luminance Alpha Invert"};

static_assert(kMergeModeNames[kModeTexturize3] == "Texturize3");
static_assert(kMergeModeNames[kModeUnnamed].empty());
static_assert(kMergeModeNames[kFirstAlphaMode] == "Alpha Normal");
static_assert(kMergeModeNames[kModeLayerMask] == "Layer Mask");
static_assert(kMergeModeNames[kMergeModeCount - 1] == "Luminance Alpha Invert");
static_assert(kMergeModeNames[kModeNegation] == "Negation");
static_assert(kMergeModeNames[kModeSoftLight] == "Soft Light");
static_assert(kMergeModeNames[kModeTexturize2] == "Texturize2");
static_assert(kMergeModeNames[kModeAlphaShaderTexture2] == "Alpha Shader Texture2");
static_assert(kMergeModeNames[kModeAlphaSmoothLum5] == "Alpha Smooth Lum5");
static_assert(kMergeModeNames[kModeAlphaHighlight] == "Alpha Highlight");
static_assert(kMergeModeNames[kModeLuminanceAlpha] == "Luminance Alpha");

// Exact, case-sensitive lookup. Unknown, empty and null names give 0 ("Normal").
int32_t MergeModeFromName(const char* name);

inline constexpr bool IsAlphaMode(int32_t mode) { return mode >= kFirstAlphaMode; }

}  // namespace merge_modes
}  // namespace engine
