#include "mask/flood_fill.h"

#include <cstring>

#include "engine/colour_pickers.h"
#include "engine/engine_state.h"
#include "engine/layer_alpha.h"
#include "imaging/colour_regions.h"
#include "mask/mask_alpha.h"
#include "mask/region_fill_terms.h"
#include "engine/processing_buffers.h"

namespace mask {
namespace {

// One fill: the click and the fill colour.
struct Fill : RegionClick {
  int32_t red = 0, green = 0, blue = 0;
  uint32_t colour = 0;        // K: red | green << 8 | blue << 16
  uint32_t opaqueColour = 0;  // K': K with alpha 255

  // Pixels of the marker colour become fully transparent.
  void ClearMarked(uint32_t marker) const {
    engine::SetAlphaFromRGBAImageColor(image, ByteOf(marker, 0), ByteOf(marker, 1),
                                       ByteOf(marker, 2));
  }
  void WriteBack() const { WriteBackSourceBuffer(image); }
};

void PaintNonConnected(const Fill& f) {
  if (f.Replace(f.seed, f.colour, f.tolerance.library, imaging::kReplaceColourBytes)) f.WriteBack();
}

// The background has no transparency: erasing there repaints with the given (paper) colour.
void EraseNonConnected(const Fill& f) {
  if (f.background) {
    PaintNonConnected(f);
    return;
  }
  const uint32_t marker = f.Marker();
  if (!f.Replace(f.seed, marker, f.tolerance.library, imaging::kReplaceColourBytes)) return;
  f.ClearMarked(marker);
  f.WriteBack();
}

void PaintConnected(const Fill& f) {
  const uint32_t marker = f.Marker();
  if (!f.FloodWith(marker)) return;
  if (f.Replace(marker, f.opaqueColour, 0, imaging::kReplaceWholePixel)) f.WriteBack();
}

void EraseConnected(const Fill& f) {
  const uint32_t marker = f.Marker();
  if (!f.FloodWith(marker)) return;
  if (f.background) {
    if (f.Replace(marker, f.opaqueColour, 0, imaging::kReplaceWholePixel)) f.WriteBack();
    return;
  }
  f.ClearMarked(marker);
  f.WriteBack();
}

// The connected region of similar alpha takes the colour, fully opaque.
void PaintAlphaConnected(const Fill& f) {
  if (!f.aboveBackground) return;
  AlphaRegionImages images = MakeAlphaRegionImages();
  if (!images.map || !MarkAlphaRegion(images, f.point, f.tolerance.library)) return;
  ColorRGBA32FromFloodMask(f.image, images.map.get(), f.red, f.green, f.blue, 255);
  f.WriteBack();
}

// Every pixel whose alpha lies in range of the alpha under the point takes the colour, opaque.
void PaintAlphaNonConnected(const Fill& f) {
  const int32_t key = engine::GetChannel64(f.point.x, f.point.y, 3) >> 8;
  ReplaceFromRGBAImageAlphaRange(f.image, key, f.tolerance.percent, f.red, f.green, f.blue, 255);
  f.WriteBack();
}

struct FillMode {
  const char* name;
  void (*run)(const Fill&);
};
constexpr FillMode kFillModes[] = {
    {"Paint Non-connected", &PaintNonConnected},
    {"Erase Non-connected", &EraseNonConnected},
    {"Paint Connected", &PaintConnected},
    {"Erase Connected", &EraseConnected},
    {"Paint Alpha Connected", &PaintAlphaConnected},
    {"Paint Alpha Non-Connected", &PaintAlphaNonConnected},
};

}  // namespace

void FloodFill(int32_t red, int32_t green, int32_t blue, int32_t x, int32_t y, int32_t tolerance,
               const char* mode) {
  const engine::EngineState& s = engine::State();
  if (x < 0 || y < 0 || x >= s.canvasWidth || y >= s.canvasHeight) return;
  // Without a current layer that has pixels there is nothing to read a region from.
  if (!s.currentLayer || !s.currentLayer->pixels) return;
  const engine::HeldSrcBuffer32 source;
  if (!source.pixels() || !mode) return;
  Fill f;
  static_cast<RegionClick&>(f) = MakeRegionClick(source.pixels(), x, y, tolerance);
  f.red = red & 0xFF, f.green = green & 0xFF, f.blue = blue & 0xFF;
  f.colour = PackLibraryColour(red, green, blue);
  f.opaqueColour = f.colour | 0xFF000000u;
  RunNamedMode(kFillModes, mode, f);
}

void ColorRGBA32FromFloodMask(uint8_t* image, const uint8_t* map, int32_t red, int32_t green,
                              int32_t blue, int32_t alpha) {
  const engine::EngineState& s = engine::State();
  if (!image || !map || s.canvasWidth <= 0 || s.canvasHeight <= 0) return;
  const uint8_t colour[4] = {uint8_t(red), uint8_t(green), uint8_t(blue), uint8_t(alpha)};
  const std::size_t pixels = std::size_t(s.canvasWidth) * std::size_t(s.canvasHeight);
  for (std::size_t i = 0; i < pixels; ++i) {
    if (map[i] == 1) std::memcpy(image + 4 * i, colour, 4);
  }
}

}  // namespace mask
