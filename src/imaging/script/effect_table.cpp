#include "imaging/script/effect_table.h"

#include <algorithm>
#include <iterator>

namespace imaging::script {
namespace {

// Value slots of each effect are described in docs/picture-scripts.md.
constexpr EffectInfo kEffects[] = {
    // Generators (1-4, 20, 24, 37, 42, 43, 55, 58, 59): 0 seed, 3 count, 4 colour, 5 colour
    // variation %, 6 opacity %, 14 mix mode (12 paints over); their own slots are listed.
    // 1: 1 width px, 2 length % of the diagonal
    {1, "Lines", {1, 2, 100, 40, 0x202020, 0, 100, 0, 0, 0, 0, 0, 0, 0, 12}, RunLines},
    // 2: 1 largest radius % of the shorter side, 2 ring width px (0 fills)
    {2, "Circles", {1, 10, 0, 30, 0x3060C0, 50, 100, 0, 0, 0, 0, 0, 0, 0, 12}, RunCircles},
    // 3: 1 largest side %, 2 outline width px (0 fills), 7 greatest tilt in degrees
    {3, "Rectangles", {1, 20, 0, 30, 0x3060C0, 50, 100, 0, 0, 0, 0, 0, 0, 0, 12}, RunRectangles},
    // 4: 1 width px, 2 points each curve passes through
    {4, "Splines", {1, 3, 5, 8, 0x202020, 0, 100, 0, 0, 0, 0, 0, 0, 0, 12}, RunSplines},
    // 5: seed, roughness %, colour cycles, palette phase %
    {5, "Plasma", {1, 55, 1.5, 0}, RunPlasma},
    // The distortions' slots 7 and 8 are the edges (0 background, 1 wrap, 2 repeat, 3 mirror)
    // and the background (packed in the picture's byte order).
    // 6: -, -, -, turn in degrees, radius %, centre x %, centre y %
    {6, "Twirl", {0, 0, 0, 90, 100, 50, 50, 2, 0}, RunTwirl},
    // 11: seed, feature size px, octaves, persistence %, low colour, high colour
    {11, "Perlin Noise", {1, 64, 5, 50, 0x301808, 0xF0E8D8}, RunPerlinNoise},
    // 13: -, -, -, amplitude px, wavelength px, phase in degrees
    {13, "Sine Distortion", {0, 0, 0, 8, 48, 0, 0, 2, 0}, RunSineDistortion},
    // 16: -, -, -, seed, drops, wavelength px, amplitude px
    {16, "Waves", {0, 0, 0, 1, 5, 24, 4, 2, 0}, RunWaves},
    // 17: 1 columns, 2 rows, 4 bar colour, 5 bar width px, 6 bevel %
    {17, "Divider", {0, 4, 4, 0, 0xFFFFFF, 4, 40}, RunDivider},
    // 18: 0 seed, 1 knot size px, 2 pile depth %
    {18, "Carpet", {1, 8, 60}, RunCarpet},
    // 19: 1 strength %, 2 inverted
    {19, "Edge", {0, 100, 0}, RunEdge},
    // 20: 1 blob size % of the shorter side, 2 edge softness %
    {20, "Blobs", {1, 12, 30, 15, 0x3060C0, 60, 100, 0, 0, 0, 0, 0, 0, 0, 12}, RunBlobs},
    // 21: seed, amount %, monochrome
    {21, "Noise", {1, 100, 0}, RunNoise},
    // 22: 1 block size px, 2 depth %
    {22, "Voxel", {0, 12, 50}, RunVoxel},
    // 23: -, -, -, depth, light direction in degrees, light height in degrees, -, look (0 grey
    // relief, 1 shaded colours)
    {23, "Emboss", {0, 0, 0, 10, 135, 45, 0, 0}, RunEmboss},
    // 24: 1 highest frequency (waves across), 2 colour cycles, 7 number of waves
    {24, "Sine Plasma", {1, 3, 1.5, 0, 0xC08040, 100, 100, 5, 0, 0, 0, 0, 0, 0, 12}, RunSinePlasma},
    // 25, 26: 1 radius px
    {25, "Maximum", {0, 1}, RunMaximum},
    {26, "Minimum", {0, 1}, RunMinimum},
    // 27: 1 depth %, 2 light direction in degrees, 5 light elevation in degrees, 6 ambient %
    {27, "Bump", {0, 100, 135, 0, 0, 45, 25}, RunBump},
    // 28: 1 amount %, 4 colour
    {28, "Colorize", {0, 100, 0, 0, 0x3070B0}, RunColorize},
    // 37: 1 thickness px, 2 length % of the diagonal, 7 curliness %
    {37, "Worms", {1, 14, 40, 12, 0x7088D8, 20, 100, 50, 0, 0, 0, 0, 0, 0, 12}, RunWorms},
    // 39: 0 seed, 1 strength px, 2 ripple size px, 5 highlight %
    {39, "Glass", {1, 8, 16, 0, 0, 25}, RunGlass},
    // 42: 1 cell size px, 2 kind, 7 second colour
    {42, "Pattern", {1, 32, 0, 0, 0x404040, 15, 100, 0xFFFFFF, 0, 0, 0, 0, 0, 0, 12}, RunPattern},
    // 43: 1 radius px, 2 radius variation %
    {43, "Points", {1, 2, 50, 500, 0xFFFFFF, 0, 100, 0, 0, 0, 0, 0, 0, 0, 12}, RunPoints},
    // 49: -, -, -, wedges, mirror angle in degrees, centre x %, centre y %
    {49, "Kaleidoscope", {0, 0, 0, 6, 0, 50, 50, 3, 0}, RunKaleidoscope},
    // 50: -, -, -, zoom %, centre x %, centre y %
    {50, "Zoom", {0, 0, 0, 100, 50, 50, 0, 0, 0}, RunZoom},
    // 51: -, -, -, angle in degrees (anticlockwise), zoom %, quality (0 nearest, 1 bilinear,
    // 2 bicubic), background (packed blue | green << 8 | red << 16 | alpha << 24)
    {51, "Turn", {0, 0, 0, 0, 100, 1, 0}, RunTurn},
    // 52: 1 fade width % of half the picture
    {52, "Seamless", {0, 50}, RunSeamless},
    // 54: -, -, -, tilt in degrees, turn in degrees, eye distance in diagonals
    {54, "Tilt", {0, 0, 0, 30, 0, 1.5, 0, 0, 0}, RunTilt},
    // 55: 1 features across, 2 octaves, 7 roughness %, 8 colour cycles
    {55,
     "Fractal Plasma",
     {1, 3, 6, 0, 0x2060E0, 100, 100, 55, 1, 0, 0, 0, 0, 0, 12},
     RunFractalPlasma},
    // 56: 0 seed, 1 length % of the diagonal, 2 strength %, 3 count, 4 colour, 5 width px
    {56, "Scratch", {1, 25, 50, 30, 0xFFFFFF, 1}, RunScratch},
    // 58: 1 height % of the picture, 2 fork angle in degrees, 4 bark colour, 7 leaf colour,
    // 8 forking levels, 9 foliage %
    {58, "Trees", {1, 45, 28, 3, 0x1E3A5A, 10, 100, 0x3A8B2E, 9, 70, 0, 0, 0, 0, 12}, RunTrees},
    // 59: 1 length % of the diagonal, 2 direction in degrees, 7 direction spread in degrees,
    // 8 strand width px
    {59, "Fibers", {1, 35, 0, 600, 0xD0E0E8, 30, 100, 20, 1, 0, 0, 0, 0, 0, 12}, RunFibers},
};

constexpr bool SortedById() {
  for (size_t i = 1; i < std::size(kEffects); ++i)
    if (kEffects[i - 1].id >= kEffects[i].id) return false;
  return true;
}
static_assert(SortedById(), "effect rows are sorted by number, each number once");

}  // namespace

const EffectInfo* FindEffect(uint32_t id) {
  const auto* row = std::lower_bound(std::begin(kEffects), std::end(kEffects), id,
                                     [](const EffectInfo& e, uint32_t key) { return e.id < key; });
  return row != std::end(kEffects) && row->id == id ? row : nullptr;
}

bool WritesOnlyOnceDone(uint32_t id) {
  // Each of these prepares its paint (or needs nothing) and then writes every pixel once,
  // without allocating or failing on the way.
  constexpr uint32_t kIds[] = {1, 2, 3, 4, 5, 11, 20, 21, 24, 37, 42, 43, 55, 58, 59};
  return std::find(std::begin(kIds), std::end(kIds), id) != std::end(kIds);
}

bool RunEffects(const std::vector<EffectEntry>& effects, const Picture& picture) {
  for (const EffectEntry& entry : effects) {
    if (!entry.enabled) continue;
    const EffectInfo* info = FindEffect(entry.id);
    if (!info || !info->run(picture, entry.values)) return false;
  }
  return true;
}

}  // namespace imaging::script
