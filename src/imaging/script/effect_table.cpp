#include "imaging/script/effect_table.h"

#include <algorithm>
#include <iterator>

namespace imaging::script {
namespace {

// Value slots of each effect are described in docs/picture-scripts.md.
constexpr EffectInfo kEffects[] = {
    // 5: seed, roughness %, colour cycles, palette phase %
    {5, "Plasma", {1, 55, 1.5, 0}, RunPlasma},
    // 11: seed, feature size px, octaves, persistence %, low colour, high colour
    {11, "Perlin Noise", {1, 64, 5, 50, 0x301808, 0xF0E8D8}, RunPerlinNoise},
    // 21: seed, amount %, monochrome
    {21, "Noise", {1, 100, 0}, RunNoise},
    // 23: -, -, -, depth, light direction in degrees, light height in degrees, -, look (0 grey
    // relief, 1 shaded colours)
    {23, "Emboss", {0, 0, 0, 10, 135, 45, 0, 0}, RunEmboss},
    // 51: -, -, -, angle in degrees (anticlockwise), zoom %, quality (0 nearest, 1 bilinear,
    // 2 bicubic), background (packed blue | green << 8 | red << 16 | alpha << 24)
    {51, "Turn", {0, 0, 0, 0, 100, 1, 0}, RunTurn},
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

bool RunEffects(const std::vector<EffectEntry>& effects, const Picture& picture) {
  for (const EffectEntry& entry : effects) {
    if (!entry.enabled) continue;
    const EffectInfo* info = FindEffect(entry.id);
    if (!info || !info->run(picture, entry.values)) return false;
  }
  return true;
}

}  // namespace imaging::script
