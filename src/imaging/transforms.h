// The transform list: geometric transforms collected one by one and then applied to a picture in
// one pass. Each destination pixel is traced back through the list (last added first) to the
// source position it shows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace imaging {

// What a transform does with positions that leave its frame.
inline constexpr uint32_t kEdgeFill = 0;    // outside stays outside: the pixel gets the fill colour
inline constexpr uint32_t kEdgeWrap = 1;    // the picture repeats: positions wrap round the frame
inline constexpr uint32_t kEdgeRepeat = 2;  // the border pixels stretch outward
inline constexpr uint32_t kEdgeMirror = 3;  // the picture is reflected at its borders

// Empties the list.
int32_t is5_ClearAllTransforms();

// Adds a move by (dx, dy) pixels within a width x height frame, with an edge mode above. Fails
// for an empty frame, a non-finite offset or an unknown edge mode; the list is then unchanged.
int32_t is5_AddOffsetTransform(uint32_t width, uint32_t height, double dx, double dy,
                               uint32_t edgeMode);

// The distortions below each take the frame (width x height), their own numbers and an edge
// mode. Positions are in pixels with pixel centres at whole numbers plus one half; a centre
// (cx, cy) is a position in the frame. Each fails, leaving the list unchanged, for an empty
// frame, a number that is not finite, a radius or wavelength that is not positive, a value
// outside its stated range or an unknown edge mode. Where a mapping shrinks the picture the
// process averages each pixel's footprint.

// Draws the whole frame into its inscribed ellipse: strength 0..1 blends from no change (0) to
// the full mapping (1), which leaves the corners outside the ellipse to the edge mode.
int32_t is5_AddEllipticalTransform(uint32_t width, uint32_t height, double strength,
                                   uint32_t edgeMode);

// A round lens of the radius about (cx, cy); strength -1..1, 0 no change: positive magnifies
// the middle like a glass sphere, negative shrinks it.
int32_t is5_AddLensTransform(uint32_t width, uint32_t height, double cx, double cy, double radius,
                             double strength, uint32_t edgeMode);

// Marble veins: each position moves by up to amplitude pixels along smooth fractal noise whose
// coarsest swirls are scale pixels across; the seed chooses the pattern.
int32_t is5_AddMarbleTransform(uint32_t width, uint32_t height, double scale, double amplitude,
                               uint32_t seed, uint32_t edgeMode);

// A pinch within the radius about (cx, cy); strength -1..1, 0 no change: positive draws the
// middle inward, negative bulges it outward.
int32_t is5_AddPinchTransform(uint32_t width, uint32_t height, double cx, double cy, double radius,
                              double strength, uint32_t edgeMode);

// Rings round (cx, cy) like ripples on water: positions move along the radius by amplitude
// pixels times the sine of the distance (one period a wavelength) plus the phase in degrees.
int32_t is5_AddRippleTransform(uint32_t width, uint32_t height, double cx, double cy,
                               double wavelength, double amplitude, double phaseDegrees,
                               uint32_t edgeMode);

// A swirl within the radius about (cx, cy): the middle turns by degrees (positive clockwise as
// seen), the turn falling off with the square of the distance to nothing at the radius.
int32_t is5_AddSpinTransform(uint32_t width, uint32_t height, double cx, double cy, double radius,
                             double degrees, uint32_t edgeMode);

// Rings that turn to and fro about (cx, cy): each ring turns by degrees times the sine of its
// distance (one period a wavelength).
int32_t is5_AddSpinWaveTransform(uint32_t width, uint32_t height, double cx, double cy,
                                 double wavelength, double degrees, uint32_t edgeMode);

// A wave running in the direction (degrees, 0 to the right, 90 down): positions move across it
// by amplitude pixels times the sine of their distance along it (one period a wavelength) plus
// the phase.
int32_t is5_AddWaveTransform(uint32_t width, uint32_t height, double wavelength, double amplitude,
                             double directionDegrees, double phaseDegrees, uint32_t edgeMode);

// A flower of lobes 1..32 about (cx, cy): the distance from the centre is scaled by 1 + amount
// x sin(lobes x angle + phase); amount -0.9..0.9.
int32_t is5_AddWowTransform(uint32_t width, uint32_t height, double cx, double cy, uint32_t lobes,
                            double amount, double phaseDegrees, uint32_t edgeMode);

// Zig-zags: columns shift sideways by amplitudeX pixels along a triangle wave of the row
// (period wavelengthY), rows shift up and down by amplitudeY along one of the column (period
// wavelengthX).
int32_t is5_AddZigZagTransform(uint32_t width, uint32_t height, double wavelengthX,
                               double amplitudeX, double wavelengthY, double amplitudeY,
                               uint32_t edgeMode);

// Adds a displacement through a bump map (see bump_map_displacement.h) over a width x height
// frame: the grey map (one byte a pixel, mapWidth x mapHeight, repeated over the frame) is read
// as a relief, and amount scales how far its slopes move the picture. The map is copied. Fails
// for an empty frame or map, a null map or an amount that is not finite.
int32_t is5_AddBumpMapDisplacementTransform(uint32_t width, uint32_t height, float amount,
                                            const void* map, uint32_t mapWidth, uint32_t mapHeight);

// Adds a scatter within a width x height frame: every position moves by its own random offset of
// up to amount pixels along each axis, a fixed function of the position and seed (frosted
// glass). Positions pushed past the frame repeat its border. Fails for an empty frame or an
// amount that is not finite or is negative.
int32_t is5_AddRandomTransform(uint32_t width, uint32_t height, double amount, uint32_t seed);

// Applies the list to src into dst (same size). quality 0 takes the nearest pixel (whole-pixel
// moves are exact copies), 1 interpolates bilinearly and averages the footprint where the
// mapping shrinks. Positions outside the source after the list get fill (packed red | green << 8
// | blue << 16 | alpha << 24), blended at the border when the first transform added fills its
// outside. bytesPerPixel is 1, 3 or 4. flags is reserved. Fails on an empty list, bad pictures or
// an unknown quality. Rows run in parallel.
int32_t is5_TransformProcess(const void* src, uint32_t width, uint32_t height,
                             uint32_t bytesPerPixel, uint32_t srcRowBytes, void* dst,
                             uint32_t dstRowBytes, uint32_t quality, uint32_t fill, uint32_t flags);

// Where the list sends the destination position (x, y): the source position it reads. For
// checking mappings; false when the list is empty.
bool TracePointThroughTransforms(double x, double y, double* sourceX, double* sourceY);
// The same for count positions at once, in place, as the process traces its rows (the list must
// not be empty).
void TraceRowThroughTransforms(double* xs, double* ys, std::size_t count);

}  // namespace imaging
