#include "mask/magic_wand.h"

#include "engine/colour_pickers.h"
#include "engine/engine_state.h"
#include "imaging/colour_regions.h"
#include "mask/mask_makers.h"
#include "mask/region_fill_terms.h"
#include "engine/processing_buffers.h"

namespace mask {
namespace {

// One wand click: the click and the amount it selects with.
struct Wand : RegionClick {
  int32_t amount = 0;  // A, 0..255

  int32_t Red() const { return ByteOf(seed, 0); }
  int32_t Green() const { return ByteOf(seed, 1); }
  int32_t Blue() const { return ByteOf(seed, 2); }
  void SelectColour(uint32_t marker) const {
    CreateMaskFromRGBAImageColor(image, ByteOf(marker, 0), ByteOf(marker, 1), ByteOf(marker, 2),
                                 amount);
  }
};

void NonConnected(const Wand& w) {
  const uint32_t marker = w.Marker();
  if (w.Replace(w.seed, marker, w.tolerance.library, imaging::kReplaceColourBytes))
    w.SelectColour(marker);
}

void Connected(const Wand& w) {
  const uint32_t marker = w.Marker();
  if (w.FloodWith(marker)) w.SelectColour(marker);
}

void AlphaConnected(const Wand& w) {
  if (!w.aboveBackground) return;
  AlphaRegionImages images = MakeAlphaRegionImages();
  if (images.map && MarkAlphaRegion(images, w.point, w.tolerance.library)) {
    CreateMaskFromFloodMask(images.map.get(), w.amount);
  }
}

void AlphaNonConnected(const Wand& w) {
  const int32_t key = engine::GetChannel64(w.point.x, w.point.y, 3) >> 8;
  CreateMaskFromRGBAImageAlphaRange(w.image, key, w.tolerance.percent, w.amount);
}

void ColorRange(const Wand& w) {
  CreateMaskFromRGBAImageColorRange(w.image, w.Red(), w.Green(), w.Blue(), w.tolerance.percent,
                                    w.amount);
}
void LuminanceRange(const Wand& w) {
  CreateMaskFromRGBAImageLuminanceRange(w.image, w.Red(), w.Green(), w.Blue(), w.tolerance.percent,
                                        w.amount);
}
void HueRange(const Wand& w) {
  CreateMaskFromRGBAImageHueRange(w.image, w.Red(), w.Green(), w.Blue(), w.tolerance.percent,
                                  w.amount);
}
// Hue, saturation and lightness share one tolerance.
void HslRange(const Wand& w) {
  const double f = w.tolerance.fraction;
  CreateMaskFromRGBAImageHSLRange(w.image, w.Red(), w.Green(), w.Blue(), f, f, f, w.amount);
}

struct WandMode {
  const char* name;
  void (*run)(const Wand&);
};
constexpr WandMode kWandModes[] = {
    {"Non-connected", &NonConnected},
    {"Connected", &Connected},
    {"Alpha Connected", &AlphaConnected},
    {"Alpha Non-connected", &AlphaNonConnected},
    {"Color Range", &ColorRange},
    {"Luminance Range", &LuminanceRange},
    {"Hue Range", &HueRange},
    {"HSL Range", &HslRange},
};

}  // namespace

void MaskWand(int32_t x, int32_t y, int32_t tolerance, int32_t amount, const char* mode) {
  const engine::EngineState& s = engine::State();
  if (x < 0 || y < 0 || x >= s.canvasWidth || y >= s.canvasHeight) return;
  // Without a current layer that has pixels there is nothing to read a region from.
  if (!s.currentLayer || !s.currentLayer->pixels) return;
  const engine::HeldSrcBuffer32 source;
  if (!source.pixels() || !mode) return;
  Wand w;
  static_cast<RegionClick&>(w) = MakeRegionClick(source.pixels(), x, y, tolerance);
  w.amount = AmountFromPercent(amount);
  RunNamedMode(kWandModes, mode, w);
}

}  // namespace mask
