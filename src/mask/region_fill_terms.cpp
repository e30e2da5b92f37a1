#include "mask/region_fill_terms.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/colour_pickers.h"
#include "engine/engine_state.h"
#include "engine/layer_load_rgba32.h"
#include "engine/layer_read_8bit.h"
#include "imaging/colour_regions.h"
#include "engine/find_unused_colour.h"

namespace mask {

RegionTolerance MakeRegionTolerance(int32_t tolerance) {
  const int32_t t = std::clamp(tolerance, 0, 50000);
  RegionTolerance r;
  // The product is taken in single precision, not as a double: at some tolerances (9066 is one)
  // the two truncate to different whole numbers, and the fill uses the float one.
  const float library = float(t) * 0.00002f * 195075.0f;
  r.library = uint32_t(std::trunc(library));
  r.percent = t / 500;
  r.fraction = t * 0.00002;
  return r;
}

int32_t AmountFromPercent(int32_t percent) { return int32_t(std::clamp(percent, 0, 100) * 2.559); }

uint32_t LibraryColourFromPicked(uint32_t picked) {
  return ((picked >> 16) & 0xFF) | (picked & 0xFF00) | (picked & 0xFF) << 16;
}

uint32_t RegionClick::Marker() const { return engine::FindUnusedColour(image); }

bool RegionClick::Replace(uint32_t from, uint32_t to, uint32_t tolerance, uint32_t option) const {
  return imaging::IS3ColorReplaceImage(image, width, height, 4, RowBytes(), from, to, tolerance,
                                       option) != 0;
}

bool RegionClick::FloodWith(uint32_t marker) const {
  return imaging::IS3FloodFillImage(image, width, height, 4, RowBytes(), point, marker,
                                    imaging::kEdgeNeighbours, tolerance.library, 0) != 0;
}

RegionClick MakeRegionClick(uint8_t* image, int32_t x, int32_t y, int32_t tolerance) {
  const engine::EngineState& s = engine::State();
  RegionClick c;
  c.image = image;
  c.width = uint32_t(s.canvasWidth);
  c.height = uint32_t(s.canvasHeight);
  c.point = {x, y};
  c.tolerance = MakeRegionTolerance(tolerance);
  c.seed = LibraryColourFromPicked(engine::GetColorAt(x, y, engine::SurfacePlane()));
  c.background = s.currentLayerIndex == 1;
  c.aboveBackground = s.currentLayerIndex > 1;
  return c;
}

AlphaRegionImages MakeAlphaRegionImages() {
  const engine::EngineState& s = engine::State();
  AlphaRegionImages images;
  const std::size_t pixels = std::size_t(s.canvasWidth) * std::size_t(s.canvasHeight);
  images.alpha.reset(static_cast<uint8_t*>(engine::TryAllocateBytes(pixels * 3)));
  images.map.reset(static_cast<uint8_t*>(engine::TryAllocateBytes(pixels)));
  if (!images.alpha || !images.map ||
      !engine::GetRGB24FromAlpha(images.alpha.get(), s.canvasWidth * 3)) {
    return {};
  }
  std::memset(images.map.get(), 0, pixels);
  return images;
}

bool MarkAlphaRegion(AlphaRegionImages& images, imaging::ImagePoint point, uint32_t tolerance) {
  const engine::EngineState& s = engine::State();
  // Only the first byte of the grey picture is compared.
  constexpr uint32_t kCompareFirstByte = 0xFF0000FF;
  return imaging::IS3GetColorMatchMaskFromImage(images.alpha.get(), s.canvasWidth, s.canvasHeight,
                                                3, s.canvasWidth * 3, images.map.get(),
                                                s.canvasWidth, point, kCompareFirstByte,
                                                imaging::kEdgeNeighbours, tolerance, 0) != 0;
}

void WriteBackSourceBuffer(const uint8_t* pixels) {
  engine::LoadRGBA32(pixels, engine::State().canvasWidth * 4, 1);
}

}  // namespace mask
