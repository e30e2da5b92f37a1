// The merge-mode numbering: a layer stores its mode as a number, the host names it by string.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace render {

inline constexpr int kMergeModeCount = 45;
inline constexpr int kModeTexturize3 = 21;   // its layer is the brush texture
inline constexpr int kModeUnnamed = 22;      // no name; composites as Normal
inline constexpr int kFirstAlphaMode = 23;   // 23..44 are the alpha modes
inline constexpr int kModeLayerMask = 42;    // masks the visible layer below it

// Index = mode number. Number 22 has no name and cannot be chosen by name.
inline constexpr std::array<std::string_view, kMergeModeCount> kMergeModeNames = {
    "Normal", "Multiply", "Screen", "Darken", "Lighten", "Difference", "Negation", "Exclusion",
    "Overlay", "Hard Light", "Soft Light", "Dodge", "Burn", "Reflect", "Glow", "Add", "Subtract",
    "Color", "Hard Color", "Texturize", "Texturize2", "Texturize3", "",
    "Alpha Normal", "Alpha Filter", "Alpha Black Outline", "Alpha Outline Tint 1",
    "Alpha Outline Tint 2", "Alpha Invert", "Alpha Shader", "Alpha Shader Color",
    "Alpha Shader Texture2", "Alpha Highlight Texture2", "Alpha Smooth", "Alpha Smooth2",
    "Alpha Smooth Lum", "Alpha Smooth Lum2", "Alpha Smooth Lum3", "Alpha Smooth Lum4",
    "Alpha Smooth Lum5", "Alpha Overlay Outline", "Alpha Highlight", "Layer Mask",
    "Luminance Alpha", "Luminance Alpha Invert"};

static_assert(kMergeModeNames[kModeTexturize3] == "Texturize3");
static_assert(kMergeModeNames[kModeUnnamed].empty());
static_assert(kMergeModeNames[kFirstAlphaMode] == "Alpha Normal");
static_assert(kMergeModeNames[kModeLayerMask] == "Layer Mask");
static_assert(kMergeModeNames[kMergeModeCount - 1] == "Luminance Alpha Invert");

// Exact, case-sensitive lookup. Unknown, empty and null names give 0 ("Normal").
int32_t MergeModeFromName(const char* name);

inline constexpr bool IsAlphaMode(int32_t mode) { return mode >= kFirstAlphaMode; }

}  // namespace render
