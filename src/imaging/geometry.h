// Cropping, flipping and turning pictures.
#pragma once

#include <cstdint>

namespace imaging {

// A rectangle in picture pixels; right and bottom are exclusive.
struct CropRect {
  int32_t left, top, right, bottom;
};

// Copies the rectangle out of src into dst (rows dstRowBytes apart). An inverted rectangle is
// taken with its corners swapped. Fails, writing nothing, when the rectangle is empty or does not
// lie inside the picture, or dst's rows are shorter than the rectangle.
int32_t IS3CropImage(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                     void* dst, uint32_t dstRowBytes, const CropRect* rect, uint32_t bytesPerPixel);

// Quarter-turn directions of IS3QuickRotateImage.
inline constexpr uint32_t kTurnRight = 0;  // clockwise; result is height x width
inline constexpr uint32_t kTurnHalf = 1;   // half turn; result is width x height
inline constexpr uint32_t kTurnLeft = 2;   // anticlockwise; result is height x width

// Turns src by a quarter or half turn into dst (rows dstRowBytes apart).
int32_t IS3QuickRotateImage(const void* src, uint32_t width, uint32_t height, uint32_t srcRowBytes,
                            void* dst, uint32_t dstRowBytes, uint32_t direction,
                            uint32_t bytesPerPixel);

// Mirrors a picture left to right, in place.
int32_t IS3HorizontalFlipImage(void* pixels, uint32_t width, uint32_t height,
                               uint32_t bytesPerPixel, uint32_t rowBytes);
// Mirrors a picture top to bottom, in place: rows of rowBytes bytes swap end for end.
int32_t IS3VerticalFlipImage(void* pixels, uint32_t rowBytes, uint32_t height);

// Size of the box that holds a width x height picture turned by radians. Sizes within 1/1000 of
// a whole number count as that number, so quarter turns give exactly height x width.
int32_t is5_GetRotatedPixelSize(float radians, uint32_t width, uint32_t height, uint32_t* outWidth,
                                uint32_t* outHeight);

// Rotation quality of is5_RotateImage.
inline constexpr uint32_t kRotateNearest = 0;
inline constexpr uint32_t kRotateBilinear = 1;
inline constexpr uint32_t kRotateBicubic = 2;

// Turns src anticlockwise (as seen on screen) by radians about its centre into dst, whose size is
// is5_GetRotatedPixelSize's; the picture's centre lands on dst's centre. Corners that no source
// pixel reaches get background (packed red | green << 8 | blue << 16 | alpha << 24; for 16-bit
// samples each byte is widened by 257). flags is reserved.
int32_t is5_RotateImage(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                        uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, uint32_t background,
                        uint32_t flags, float radians, uint32_t quality);

// Turns a picture by degrees about its centre into a picture of the same size (what falls outside
// is lost, uncovered corners become background). Multiples of 90 degrees move pixels exactly.
// Used by the picture-script runner's turn effect.
int32_t RotateInFrame(const void* src, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                      uint32_t srcRowBytes, void* dst, uint32_t dstRowBytes, double degrees,
                      double zoom, uint32_t background, uint32_t quality);

}  // namespace imaging
