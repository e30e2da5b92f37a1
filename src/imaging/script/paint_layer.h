// What the drawing generators paint into before their picture is laid onto the one they run on:
// a picture-sized layer of premultiplied blue, green, red, alpha bytes, kept in square tiles
// whose memory is taken only once something is painted in them (a few strokes on a large
// picture touch little memory, and laying them down visits only their tiles), with anti-aliased
// shapes (each pixel covered by how far its centre lies inside the shape's edge) and a final
// lay-down by mix mode.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "imaging/script/script_model.h"
#include "imaging/script/zeroed_pages.h"

namespace imaging::script {

// A colour with channels 0..255 as floats.
struct Rgb {
  float red = 0, green = 0, blue = 0;
};

// A slot's packed colour, red | green << 8 | blue << 16.
Rgb RgbFromPacked(uint32_t packed);

// How a generator's picture is laid onto the picture under it (value slot 14). 12, normal
// painting, is what a host's first choice (0) becomes.
enum class MixMode : uint32_t {
  kMultiply = 0,
  kScreen,
  kOverlay,
  kDarken,
  kLighten,
  kAdd,
  kSubtract,
  kDifference,
  kDodge,
  kBurn,
  kHardLight,
  kSoftLight,
  kNormal,      // 12: painted over
  kBehind,      // painted only where the picture is not yet opaque, under it
  kErase,       // what is painted cuts the picture's alpha
  kReplace,     // the generated picture replaces the old one, transparent where nothing was painted
  kColourOnly,  // painted over, but the picture keeps its own alpha
  kExclusion,
};
inline constexpr uint32_t kMixModeCount = 18;

// A slot value as a mix mode; values outside 0..17 give normal painting.
MixMode MixModeFromValue(double value);

// One layer pixel (premultiplied) laid over one picture pixel by the mix mode: the rule every
// lay-down follows.
void LayPixel(uint8_t* picture, const uint8_t* layer, MixMode mode);
// The same over n pixels; a null layer row is transparent. Opaque paint in normal painting is
// copied as it is, which is what the rule gives for it.
void LayRow(uint8_t* picture, const uint8_t* layer, uint32_t n, MixMode mode);

// Layer pixel painting, shared by the tiled layer and the row painters: the colour laid over
// the pixel at opacity 0..1 (nothing for opacity 0 or less), or set opaque.
inline void BlendPixel(uint8_t* p, const Rgb& colour, float opacity) {
  if (!(opacity > 0)) return;
  const float a = std::min(opacity, 1.0f), keep = 1 - a;
  p[0] = static_cast<uint8_t>(colour.blue * a + p[0] * keep + 0.5f);
  p[1] = static_cast<uint8_t>(colour.green * a + p[1] * keep + 0.5f);
  p[2] = static_cast<uint8_t>(colour.red * a + p[2] * keep + 0.5f);
  p[3] = static_cast<uint8_t>(255 * a + p[3] * keep + 0.5f);
}
inline void SetOpaquePixel(uint8_t* p, const Rgb& colour) {
  p[0] = static_cast<uint8_t>(std::clamp(colour.blue, 0.0f, 255.0f) + 0.5f);
  p[1] = static_cast<uint8_t>(std::clamp(colour.green, 0.0f, 255.0f) + 0.5f);
  p[2] = static_cast<uint8_t>(std::clamp(colour.red, 0.0f, 255.0f) + 0.5f);
  p[3] = 255;
}

// Runs row(y, scratch) for rows 0..height - 1 in parallel, in chunks of whole rows, each chunk
// with its own scratchBytes bytes (64-byte aligned, contents left from its last row). All
// scratch is made before the first row runs, so a memory failure comes before anything is
// written.
void ForRowChunks(uint32_t height, size_t scratchBytes,
                  const std::function<void(uint32_t, uint8_t*)>& row);

// For fills that paint every row: paintRow(y, row, scratch) paints row y of the layer into `row`
// (the picture's width, transparent when handed over) with the pixel functions above, with
// scratchBytes of its own to work in, and each row is laid on as soon as it is painted. The
// picture is the same as through a PaintLayer, without holding a whole picture of paint.
void PaintRowsOnto(const Picture& picture, MixMode mode, size_t scratchBytes,
                   const std::function<void(uint32_t, uint8_t*, uint8_t*)>& paintRow);

class PaintLayer {
 public:
  PaintLayer(uint32_t width, uint32_t height);
  ~PaintLayer();
  PaintLayer(const PaintLayer&) = delete;
  PaintLayer& operator=(const PaintLayer&) = delete;

  uint32_t width() const { return width_; }
  uint32_t height() const { return height_; }

  // Lays the colour over pixel (x, y) at opacity 0..1; points outside are ignored.
  void Blend(int64_t x, int64_t y, const Rgb& colour, float opacity);
  // Sets pixel (x, y) to the opaque colour (x, y inside).
  void SetOpaque(uint32_t x, uint32_t y, const Rgb& colour);

  // A filled disc.
  void Disc(double cx, double cy, double radius, const Rgb& colour, float opacity);
  // A ring of the given radius and line half-width.
  void Ring(double cx, double cy, double radius, double halfWidth, const Rgb& colour,
            float opacity);
  // A segment with round ends, radius r around it. Without its start cap it continues a
  // polyline whose previous piece already covered the joint, so that a translucent line is not
  // painted twice there.
  void Capsule(double x0, double y0, double x1, double y1, double radius, const Rgb& colour,
               float opacity, bool startCap = true);
  // The same shaded as a lit tube: brightest along a line a little off the axis toward the
  // upper left, darker toward the rim.
  void Tube(double x0, double y0, double x1, double y1, double radius, const Rgb& colour,
            float opacity);
  // A rectangle of half-sizes (hx, hy) about its centre, turned by angle radians; halfWidth 0
  // fills it, otherwise only its outline of that half-width is drawn.
  void Box(double cx, double cy, double hx, double hy, double angle, double halfWidth,
           const Rgb& colour, float opacity);

  // Lays the layer onto the picture by the mix mode.
  void LayOnto(const Picture& picture, MixMode mode) const;

  // Runs paint(firstRow, endRow) over bands of rows that together cover the layer, in parallel.
  // Each band holds whole tiles, so bands may paint their own rows at the same time.
  void ForRowBands(const std::function<void(uint32_t, uint32_t)>& paint);

 private:
  static constexpr uint32_t kTileShift = 6, kTile = 1u << kTileShift;
  static constexpr size_t kTileBytes = size_t{kTile} * kTile * 4;
  class RowCursor;
  // Lays the colour at the opacity over pixels from..to - 1 of row y (all inside the layer).
  void BlendSpan(uint32_t y, uint32_t from, uint32_t to, const Rgb& colour, float opacity);
  // The bytes of pixel (x, y) inside the layer; its tile counts as painted from then on.
  uint8_t* Pixel(uint32_t x, uint32_t y);

  // Pixel bounds of a shape, clipped to the layer; false when nothing is left.
  bool Clip(double left, double top, double right, double bottom, uint32_t& x0, uint32_t& y0,
            uint32_t& x1, uint32_t& y1) const;

  uint32_t width_, height_;
  uint32_t tilesX_, tilesY_;
  // Every tile's bytes, one after another, zero (transparent) until painted; a tile is only
  // visited when laying down once its flag is set.
  ZeroedPages tiles_;
  std::vector<uint8_t> painted_;
};

}  // namespace imaging::script
