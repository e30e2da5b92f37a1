// Painterly filters of three-byte pictures (red, green, blue) with no library equivalent. Each
// reads a width x height picture and writes into dst (same size; may be src), failing for bad
// pictures and writing nothing then.
#pragma once

#include <cstdint>

namespace imaging {

// Oil paint: each pixel takes the mean colour of the most common brightness among its
// neighbours within brushSize pixels (limited to 1..32), so that areas settle into flat strokes
// of one colour and edges stay. smoothness (0..255) sets how coarsely brightness is counted:
// 8 bands at 0 up to 64 at 255; fewer bands give broader, flatter strokes.
// flags bit 0: a round brush instead of a square one; bit 1: keep half of the original detail.
int32_t ISE3OilPaintRGB(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                        void* dst, uint32_t dstRowBytes, uint32_t brushSize, uint32_t smoothness,
                        uint32_t flags);

// Stipple: the picture redrawn as dots on white paper, denser where it is darker. density
// (limited to 0..100; 50 follows the brightness exactly) scales the ink. dotStyle 0 draws each
// dot in the picture's colour there, 1 in black ink. dotSize (limited to 0..7) is the dot's
// diameter less one in pixels. The dots fall at fixed random places for a given picture size.
int32_t ISE3Stipple(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                    void* dst, uint32_t dstRowBytes, uint32_t density, int32_t dotStyle,
                    int32_t dotSize);

// Halftone screen: cells of cellSize pixels (limited to 2..64) on a grid turned by angle degrees
// hold round dots whose area is the ink at the cell's centre. mode 0: colour print, a cyan,
// magenta and yellow screen at angle + 15, + 75 and + 0 degrees on white; 1: one black screen of
// the grey.
int32_t ISE3HalftoneImage(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                          void* dst, uint32_t dstRowBytes, uint32_t cellSize, double angle,
                          uint32_t mode);

// Crackle: a craquelure of irregular cells about cellSize pixels across (limited to 4..512),
// like aged varnish: dark cracks crackWidth pixels wide (limited to 0..16) between the cells,
// each cell slightly raised towards its middle, by depth (limited to 0..1).
int32_t ISE3CrackleRGB(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                       void* dst, uint32_t dstRowBytes, uint32_t cellSize, uint32_t crackWidth,
                       double depth);

// Fingerprint: the swirling ridges of a finger's print, ridgeSpacing pixels apart (limited to
// 2..64), darken the picture by strength (limited to 0..1) around its middle.
int32_t ISE3Fingerprint(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                        void* dst, uint32_t dstRowBytes, uint32_t ridgeSpacing, double strength);

// Gauze: a soft-focus glow as through a fine veil: the picture's Gaussian blur of radius pixels
// (limited to 0.5..100) is laid over it in screen mode by strength (limited to 0..1), which
// lightens and softens the highlights while the shadows keep their drawing.
int32_t ISE3GauzyRGB(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                     void* dst, uint32_t dstRowBytes, double radius, double strength);

// Watercolour tint: the picture washed like watercolour on paper by strength (limited to 0..1):
// colours pool into soft patches, lighten as thinned pigment does, gather darker at the edges of
// each wash, and show the paper's grain.
int32_t ISE3WatercolorTintRGB(const void* src, uint32_t width, uint32_t height,
                              uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes,
                              double strength);

}  // namespace imaging

namespace imaging {

// Scribble: the picture redrawn with a pen on white paper as loose, looping scribbles, packed
// more densely where the picture is darker so that its tones read from the ink's coverage.
// strokeLength (limited to 4..256) is the span of one scribble in pixels; density (limited to
// 0..1; 0.5 follows the tones) scales the amount of ink. inkMode 0 draws each scribble in a
// darkened version of the picture's colour where it starts, 1 in black. The scribbles fall at
// fixed places for a given picture size, so the same picture always gives the same drawing.
int32_t ISE3Scribble(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                     void* dst, uint32_t dstRowBytes, uint32_t strokeLength, double density,
                     uint32_t inkMode);

}  // namespace imaging
