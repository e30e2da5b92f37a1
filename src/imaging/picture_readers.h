// Picture files: readers. Every reader starts at the source's read position, treats the bytes as
// hostile and returns 0 (or null) for anything it cannot decode completely.
//
// Formats read: BMP (1, 4, 8, 16, 24 and 32 bits, bottom-up and top-down, RLE4 and RLE8, bit
// fields), PNG (every colour type, 1 to 16 bits), JPEG (grey, colour, CMYK, progressive), TIFF
// (through the library's RGBA path), GIF (the first frame on its logical screen, the transparent
// index clear), TGA (colour-mapped, true colour, grey, RLE), PCX (1, 4, 8 and 24 bits), PSD (the
// merged image: grey, indexed, RGB, CMYK at 8 or 16 bits), EMF (rendered at its frame size).
#pragma once

#include <cstdint>

#include "imaging/file_handles.h"

namespace imaging {

inline constexpr uint32_t kReadFormatRGB24 = 0;
inline constexpr uint32_t kReadFormatRGBA32 = 1;

// Reads the picture as RGBA32 (red, green, blue, alpha; opaque where the file has no alpha);
// 16-bit samples keep their high byte. Returns a malloc'd block of width x height x 4 bytes.
uint8_t* IS3ReadImageToRGBA(ISSource source, uint32_t* width, uint32_t* height, uint32_t flags);
// Reads the picture in the given format (kReadFormatRGBA32 or kReadFormatRGB24).
uint8_t* IS40_ReadImage(ISSource source, uint32_t* width, uint32_t* height, uint32_t format,
                        uint32_t flags);
// Reads the picture into the caller's packed buffer of width x height pixels in the given format
// (kReadFormatRGBA32 or kReadFormatRGB24). Returns 1; 0 when the picture is of another size or
// cannot be read, and then dst is untouched. Where the codec can promise that, it decodes straight
// into dst; otherwise into a block of its own that is copied.
int32_t IS40_ReadImageInto(ISSource source, void* dst, uint32_t width, uint32_t height,
                           uint32_t format);

// Renders an enhanced metafile at outWidth x outHeight (its frame stretched to that size) over
// the background colour (red | green << 8 | blue << 16). Returns a malloc'd RGB24 block.
// Placeable Windows metafiles are recognised by the type guess but not rendered (0).
uint8_t* IS40_ReadMetafile(const char* path, uint32_t* width, uint32_t* height, uint32_t outWidth,
                           uint32_t outHeight, uint32_t background, uint32_t flags);

// Dimensions, bits a pixel and resolution of a picture, read from its header. Any out-pointer
// may be null. Resolution unit codes, as each format stores them:
//   BMP:  1 pixels per centimetre, 2 pixels per metre (every BMP written with a resolution)
//   JPEG: 0 none (aspect only), 1 dots per inch, 2 dots per centimetre (the JFIF codes)
//   PNG:  0 none (aspect only), 1 pixels per metre (the pHYs codes)
//   TIFF: 1 none, 2 inch, 3 centimetre (the ResolutionUnit tag); values rounded to whole numbers
//   PSD:  2 pixels per inch, 3 pixels per centimetre; values rounded to whole numbers
// A file without a resolution reports 0, 0, unit 0.
int32_t IS3GetBMPDims(ISSource source, uint32_t* width, uint32_t* height, uint32_t* bitDepth,
                      ISResolution* resolution);
int32_t IS3GetJPGDims(ISSource source, uint32_t* width, uint32_t* height, uint32_t* bitDepth,
                      ISResolution* resolution);
int32_t IS3GetPNGDims(ISSource source, uint32_t* width, uint32_t* height, uint32_t* bitDepth,
                      ISResolution* resolution);
int32_t IS3GetTIFFDims(ISSource source, uint32_t page, uint32_t* width, uint32_t* height,
                       uint32_t* bitDepth, ISResolution* resolution);
int32_t IS3GetPSDDims(ISSource source, uint32_t* width, uint32_t* height, uint32_t* bitDepth,
                      ISResolution* resolution);

}  // namespace imaging
