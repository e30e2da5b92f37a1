// What the drawing generators paint into before their picture is laid onto the one they run on:
// a picture-sized layer of premultiplied blue, green, red, alpha bytes, kept in square tiles
// that exist only once something is painted in them (a few strokes on a large picture touch
// little memory, and laying them down visits only their tiles), with anti-aliased shapes
// (each pixel covered by how far its centre lies inside the shape's edge) and a final lay-down
// by mix mode.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "imaging/script/script_model.h"

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

class PaintLayer {
 public:
  PaintLayer(uint32_t width, uint32_t height);

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
  // The bytes of pixel (x, y) inside the layer, its tile made (transparent) when missing.
  uint8_t* Pixel(uint32_t x, uint32_t y);

  // Pixel bounds of a shape, clipped to the layer; false when nothing is left.
  bool Clip(double left, double top, double right, double bottom, uint32_t& x0, uint32_t& y0,
            uint32_t& x1, uint32_t& y1) const;

  uint32_t width_, height_;
  uint32_t tilesX_, tilesY_;
  std::vector<std::unique_ptr<uint8_t[]>> tiles_;
};

}  // namespace imaging::script
