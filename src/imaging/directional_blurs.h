// Blurs along a direction or a path: a stronger box blur, motion, spin and zoom.
#pragma once

#include <cstdint>

namespace imaging {

// Each reads a width x height picture of 1, 3 or 4 bytes a pixel and writes into dst (same size;
// may be src). Every channel, alpha included, is blurred alike; positions beyond the border take
// the border pixel. Fail for bad pictures or arguments that are not finite, writing nothing.

// A 3 x 3 box blur applied passes times (limited to 1..32): each pass is the rounded mean of the
// pixel and its eight neighbours.
int32_t ISE40_BlurImage(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                        uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, uint32_t passes);

// The classic blurs by mode, each sampling the nearest pixels along a path centred on the pixel:
//  0 motion: a straight stroke of amount pixels (limited to 0..500) at angle degrees
//    (counter-clockwise from the right);
//  1 spin: an arc of amount degrees (limited to 0..360) around the centre;
//  2 zoom: a stretch of the ray from the centre, amount (limited to 0..1) of the pixel's distance.
// The centre is given as fractions of the width and height (0.5, 0.5 is the middle).
int32_t ISE3MotionBlur(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                       uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, uint32_t mode,
                       double amount, double angle, double centreX, double centreY);

// The smoother blurs: positions interpolated between pixels.
// A trail: each pixel gathers the picture from up to distance pixels behind it along angle
// degrees (limited to 0..500), nearer samples weighing more, as a moving object leaves a streak.
int32_t is5_MotionBlur(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                       uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, double angle,
                       double distance);
// A spin of angle degrees (limited to 0..360) about (centreX, centreY) in pixels.
int32_t is5_RadialBlur(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                       uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, double angle,
                       double centreX, double centreY);
// A zoom towards (centreX, centreY) in pixels: each pixel gathers the ray between itself and
// amount (limited to 0..1) of the way to the centre.
int32_t is5_ZoomBlur(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                     uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, double amount,
                     double centreX, double centreY);

}  // namespace imaging
