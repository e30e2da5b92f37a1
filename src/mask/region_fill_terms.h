// What the fill, the wand and the mask shapes derive from the host's arguments, and the pieces
// they share: the source buffer held for one call, the colours handed to the library, and the
// alpha picture with its region map.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/heap.h"
#include "imaging/shapes.h"

namespace mask {

// The host's tolerance t in units of 1/500 percent (0..50000; values outside are taken as the
// nearer end) in the three forms the operations use.
struct RegionTolerance {
  uint32_t library = 0;  // trunc(t x 0.00002 x 195075) in single precision: 0..195075
  int32_t percent = 0;   // t / 500, for the range makers
  double fraction = 0;   // t x 0.00002, for the HSL range
};
RegionTolerance MakeRegionTolerance(int32_t tolerance);

// A percent amount 0..100 (outside taken as the nearer end) as the 8-bit mask amount or grey:
// trunc(a x 2.559).
int32_t AmountFromPercent(int32_t percent);

// The library's packing, red | green << 8 | blue << 16, of a picked colour packed alpha << 24 |
// red << 16 | green << 8 | blue (its alpha is dropped).
uint32_t LibraryColourFromPicked(uint32_t picked);
inline uint32_t PackLibraryColour(int32_t red, int32_t green, int32_t blue) {
  return uint32_t(red & 0xFF) | uint32_t(green & 0xFF) << 8 | uint32_t(blue & 0xFF) << 16;
}
inline int32_t ByteOf(uint32_t colour, int index) {
  return int32_t((colour >> (8 * index)) & 0xFF);
}

// What a click gives the fill and the wand: the source buffer 32 (the current layer in 8 bits),
// the point, the tolerance and the colour under the point.
struct RegionClick {
  uint8_t* image = nullptr;
  uint32_t width = 0, height = 0;
  imaging::ImagePoint point{};
  RegionTolerance tolerance;
  uint32_t seed = 0;        // S: the colour under the point, red | green << 8 | blue << 16
  bool background = false;  // the current layer is layer 1
  // The alpha modes work only on layers above the background (not on the tracing image either).
  bool aboveBackground = false;

  uint32_t RowBytes() const { return width * 4; }
  // A colour no pixel of the image has, to mark a region with.
  uint32_t Marker() const;
  bool Replace(uint32_t from, uint32_t to, uint32_t tolerance, uint32_t option) const;
  // The region connected to the point, within the tolerance of its colour, takes the marker.
  bool FloodWith(uint32_t marker) const;
};
// The click at (x, y) on the held source buffer image (canvas-sized).
RegionClick MakeRegionClick(uint8_t* image, int32_t x, int32_t y, int32_t tolerance);

// Runs the row of modes whose name equals mode exactly; nothing for another name.
template <class Mode, std::size_t kCount, class Arg>
void RunNamedMode(const Mode (&modes)[kCount], const char* mode, const Arg& arg) {
  for (const Mode& m : modes) {
    if (std::strcmp(mode, m.name) == 0) {
      m.run(arg);
      return;
    }
  }
}

// The current layer's alpha as a canvas-sized RGB24 grey picture and a cleared region map, both
// from the engine heap; empty when either allocation fails.
struct AlphaRegionImages {
  engine::OwnedPlane<uint8_t> alpha;
  engine::OwnedPlane<uint8_t> map;
};
AlphaRegionImages MakeAlphaRegionImages();

// Marks in images.map the region of similar alpha around point; false when the library refuses.
bool MarkAlphaRegion(AlphaRegionImages& images, imaging::ImagePoint point, uint32_t tolerance);

// The current layer written back from the source buffer through the mask and the texture.
void WriteBackSourceBuffer(const uint8_t* pixels);

}  // namespace mask
