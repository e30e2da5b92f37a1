// The per-pixel colour and luminance variations: each dab row reads a run of bytes from a random
// array, starting at a random place.
#include <algorithm>
#include <cmath>

#include "brush/tool_state.h"

#include "brush/dab_internal.h"

namespace brush {

PixelVariation MakePixelVariation(const engine::EngineState& s) {
  const ToolState& t = brush::Tool();
  PixelVariation v;
  v.scaledSize = t.scaledSize;
  v.maxBrushSize = s.maxBrushSize;
  // A variation whose array is missing, or too short for one row of this dab (it was filled for
  // another canvas), is off for the dab: its reads must stay inside the array.
  auto usable = [&](const engine::RandomArray& a) {
    return a.data && a.length >= uint32_t(t.scaledSize) + 1;
  };
  if (t.pixColorVary > 0 && usable(t.pixColorArray)) {
    v.colorVary = t.pixColorVary;
    v.colorBytes = t.pixColorArray.data;
    v.colorLength = t.pixColorArray.length;
  }
  if (t.pixLumVary > 0 && usable(t.pixLumArray)) {
    v.lumVary = t.pixLumVary;
    v.lumBytes = t.pixLumArray.data;
    v.lumLength = t.pixLumArray.length;
  }
  return v;
}

void PixelVariation::StartRow() {
  // A row reads at most scaledSize bytes; the start is redrawn when that could run to the end.
  auto restart = [this](int64_t& cursor, uint32_t length) {
    if (cursor < 0 || cursor + scaledSize >= int64_t{length} - 1) {
      cursor = engine::Generator().Next() % maxBrushSize;
      cursor = std::min<int64_t>(cursor, int64_t{length} - scaledSize);
    }
  };
  if (colorVary > 0) restart(colorCursor, colorLength);
  if (lumVary > 0) restart(lumCursor, lumLength);
}

// v = ((range with its lowest bit cleared) - 2 x (b mod range)) x 128: symmetric about 0 for
// an even range, in steps of 256.
int32_t PixelVariation::NextColorOffset() {
  const int64_t b = colorBytes[colorCursor++];
  const int64_t v = ((int64_t{colorVary} & ~int64_t{1}) - 2 * (b % colorVary)) * 128;
  return static_cast<int32_t>(std::clamp<int64_t>(v, -65536, 65536));
}

// f = (128 - range / 2 + b mod range) / 256, centred on 0.5.
double PixelVariation::NextLumFactor() {
  const int32_t b = lumBytes[lumCursor++];
  return (128 - (lumVary >> 1) + b % lumVary) * (1.0 / 256);
}

uint16_t ApplyLumFactor(int32_t channel, double f) {
  if (f > 0.5) {
    const double k = (f - 0.5) * 2;
    return Clamp16(static_cast<int64_t>((65535 - channel) * k + channel));
  }
  const double k = (0.5 - f) * 2;
  return Clamp16(static_cast<int64_t>(channel - channel * k));
}

}  // namespace brush
