// Edge-aware smoothing, sharpening and edge finding.
#pragma once

#include <cstdint>

namespace imaging {

// Bilateral smoothing of a picture of 1 or 3 bytes a pixel (a fourth byte is carried over
// unchanged for 4-byte pixels) into dst (same size; may be src): each pixel averages its
// neighbours within diameter pixels (limited to 1..31), weighted by a Gaussian of the distance
// (sigmaSpace pixels) and of the colour difference (sigmaColour levels), so that flat areas
// smooth and edges stay. Fails for bad pictures or sigmas that are not finite.
int32_t is5_BilateralFilterImage(const void* src, uint32_t width, uint32_t height,
                                 uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                                 uint32_t dstRowBytes, uint32_t diameter, double sigmaColour,
                                 double sigmaSpace);

// The functions below read and write three-byte pictures (red, green, blue) of the same size;
// dst may be src. They fail for bad pictures, writing nothing.

// A crisp 3 x 3 sharpening: the pixel less the Laplacian of its neighbourhood (5 x centre -
// the four side neighbours), blended over the picture by amount (limited to 0..100, 100 the
// full kernel), limited to 0..255.
int32_t ISE3SharpenImage(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                         void* dst, uint32_t dstRowBytes, uint32_t amount);

// Unsharp masking: each sample x becomes x + amount / 100 x (x - blur), where blur is the
// Gaussian blur of radius (standard deviation, limited to 0.1..100) pixels, but only where
// |x - blur| exceeds threshold, so that smooth areas and grain stay as they are.
int32_t IS3UnsharpMaskImage(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                            void* dst, uint32_t dstRowBytes, double radius, uint32_t amount,
                            uint32_t threshold);

// Canny edges of the picture's grey: white one-pixel lines on black where the gradient passes
// the hysteresis thresholds low and high (limited to 0..1000, low no higher than high), after a
// Gaussian smoothing of sigma pixels (limited to 0..20; 0 none) that keeps grain from becoming
// edges.
int32_t ISE3CannyEdgeDetector(const void* src, uint32_t width, uint32_t height,
                              uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, double low,
                              double high, double sigma);

// Emboss: the picture's grey lit from angle degrees (counter-clockwise from the right): each
// pixel becomes 128 + depth x (the grey's slope towards the light), limited to 0..255, as grey.
int32_t IS3EmbossRGB(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                     void* dst, uint32_t dstRowBytes, double angle, double depth);

// A bevelled frame: within bevelWidth pixels (limited to 1..half the smaller side) of the border
// the picture is lit from the top left and shaded towards the bottom right, strongest at the
// outer edge, by strength (limited to 0..1: 1 turns the outer pixels white and black).
int32_t ISE3ShadeBevelEdge(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                           void* dst, uint32_t dstRowBytes, uint32_t bevelWidth, double strength);

}  // namespace imaging
