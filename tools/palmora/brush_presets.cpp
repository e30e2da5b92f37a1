#include "brush_presets.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string_view>

namespace host {
namespace {

// Grit: cells of gritSize pixels exist where a pool byte is below the cell threshold, their
// pixels are filled where another is below the fill threshold, and a filled pixel paints when its
// cell's value (0..253) is below the density. Blend strength, primary-colour strength, load and
// pickup amounts are out of 256.
constexpr BrushPreset kPresets[] = {
    {"pencil", "hard graphite line with a fine paper grain; pressure gives width and darkness",
     1.0f,     1,
     255,      235,
     60,       0,
     2,        0,
     0,        0,
     "",       18,
     0,        215,
     0.2,      90,
     true,     true,
     -1,       0,
     false,    false,
     false,    ""},
    {"airbrush", "soft spray that builds up; pressure gives the flow",
     1.0f,       0,
     0,          0,
     255,        0,
     0,          0,
     0,          0,
     "",         0,
     0,          256,
     0.08,       10,
     false,      true,
     -1,         0,
     false,      false,
     false,      ""},
    {"oil", "wet paint that picks up and drags the colour under it; pressure gives width",
     1.0f,  0,
     0,     0,
     50,    0,
     0,     210,
     90,    1,
     "",    22,
     0,     256,
     0.1,   100,
     true,  false,
     170,   24,
     true,  false,
     false, ""},
    {"smudge", "pushes the paint that is there without adding any; pressure gives strength",
     1.0f,     0,
     0,        0,
     200,      0,
     0,        256,
     0,        1,
     "",       0,
     0,        256,
     0.08,     100,
     false,    true,
     0,        16,
     true,     false,
     false,    ""},
    {"eraser", "wipes the painting back to the paper; pressure gives width",
     1.0f,     0,
     0,        0,
     90,       0,
     0,        0,
     0,        0,
     "",       0,
     0,        256,
     0.15,     100,
     true,     false,
     -1,       0,
     true,     true,
     false,    ""},
    {"grit chalk",
     "dry chalk that catches on the grain; pressure gives coverage",
     1.0f,
     3,
     200,
     150,
     25,
     10,
     3,
     0,
     0,
     0,
     "",
     30,
     0,
     190,
     0.3,
     95,
     false,
     true,
     -1,
     0,
     false,
     false,
     false,
     ""},
    {"textured brush",
     "bristle brush whose grain comes from a texture picture",
     1.0f,
     2,
     235,
     210,
     80,
     4,
     6,
     0,
     0,
     0,
     "scripts/grainy_marble.picscript",
     14,
     0,
     225,
     0.15,
     100,
     true,
     true,
     -1,
     0,
     false,
     false,
     false,
     ""},
    {"image brush",
     "stamps a picture along the stroke; pressure gives its size",
     1.0f,
     0,
     0,
     0,
     0,
     0,
     0,
     256,
     0,
     0,
     "",
     0,
     0,
     256,
     0.9,
     100,
     true,
     false,
     -1,
     0,
     false,
     false,
     true,
     "brushes/leaf.png"},
};

static_assert(std::string_view(kPresets[0].name) == "pencil",
              "the first brush is the one scripts that name none paint with");

std::string Normalise(std::string_view name) {
  std::string out;
  for (const char c : name)
    out += (c == '_' || c == '-') ? ' ' : char(std::tolower((unsigned char)c));
  return out;
}

}  // namespace

std::span<const BrushPreset> BrushPresets() { return kPresets; }

const BrushPreset* FindBrushPreset(const std::string& name) {
  const std::string wanted = Normalise(name);
  const auto found = std::find_if(std::begin(kPresets), std::end(kPresets),
                                  [&](const BrushPreset& p) { return wanted == p.name; });
  return found == std::end(kPresets) ? nullptr : found;
}

}  // namespace host
