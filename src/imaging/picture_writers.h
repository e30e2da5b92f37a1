// Picture files: writers. Pixels are packed rows, red first. Each writer validates its arguments
// before writing a byte, returns non-zero when the whole file was written and 0 otherwise.
// Palettes are arrays of colours packed red | green << 8 | blue << 16.
#pragma once

#include <cstdint>

#include "imaging/file_handles.h"

namespace imaging {

// BMP. bitDepth 24 (RGB24 rows), 32 (RGBA32 rows, alpha kept) or 8 (one index a pixel with
// paletteColours entries, 1..256). resolution (or null): unit 0 or 2 pixels per metre, 1 pixels
// per centimetre.
int32_t IS3WriteBMP(ISDest dest, const void* pixels, uint32_t width, uint32_t height,
                    uint32_t bitDepth, uint32_t paletteColours, const uint32_t* palette,
                    const ISResolution* resolution, uint32_t flags);

// PNG. colourType is the PNG colour type: 0 grey, 2 RGB, 3 palette (8-bit indices), 4 grey and
// alpha, 6 RGBA. bitDepth 8 or 16 (16-bit samples as native uint16_t; not for colour type 3).
// rowBytes is the distance between source rows. resolution (or null) goes into pHYs: unit 1 per
// metre, 0 aspect only. interlaced non-zero writes Adam7.
int32_t IS3WritePNG(ISDest dest, const void* pixels, uint32_t width, uint32_t height,
                    uint32_t rowBytes, uint32_t bitDepth, uint32_t paletteColours,
                    const uint32_t* palette, uint32_t colourType, uint32_t interlaced,
                    const ISResolution* resolution, uint32_t flags);

// JPEG. quality 1..100; bitDepth 24 (RGB24) or 8 (grey). resolution (or null) is the JFIF
// density: unit 0 aspect, 1 dots per inch, 2 dots per centimetre. flags 1 writes progressive.
// The DCT method, smoothing and sampling factors are the module's current settings.
int32_t IS3WriteJPG(ISDest dest, const void* pixels, uint32_t width, uint32_t height,
                    uint32_t quality, uint32_t bitDepth, const ISResolution* resolution,
                    uint32_t flags);
// DCT method for later JPEG writes: 1 fast integer, 2 floating point, 0 or 3 accurate integer.
int32_t IS40_SetJPGDCT(uint32_t method);
// Smoothing for later JPEG writes, 0..100.
int32_t IS40_SetJPGSmoothingFactor(uint32_t factor);
// Sampling factors (1..4) of the three components for later colour JPEG writes.
int32_t IS40_SetJPGDownsampleFactors(uint32_t h0, uint32_t v0, uint32_t h1, uint32_t v1,
                                     uint32_t h2, uint32_t v2);

// TIFF. bitDepth 32 (RGBA, unassociated alpha), 24 (RGB) or 8 (grey). compression is the TIFF
// code (1 none, 5 LZW, 8 Deflate, 32773 PackBits; 0 means none). resolution (or null): unit 2
// inch, 3 centimetre, 1 none.
int32_t IS3WriteTIFF(ISDest dest, const void* pixels, uint32_t width, uint32_t height,
                     uint32_t bitDepth, uint32_t reserved, uint32_t compression,
                     const ISResolution* resolution, uint32_t flags);

// GIF from 8-bit indices (rows of width bytes) and a palette of 2^bitsPerPixel colours
// (bitsPerPixel 1..8). transparentIndex -1 for none. interlaced non-zero writes interlaced rows.
int32_t IS3Write8BitToGIF(ISDest dest, const void* indices, uint32_t width, uint32_t height,
                          uint32_t interlaced, uint32_t backgroundIndex, int32_t transparentIndex,
                          uint32_t bitsPerPixel, const uint32_t* palette);

// TGA. bitDepth 32 (RGBA32), 24 (RGB24) or 8 (grey). rle non-zero compresses the rows.
int32_t IS3WriteTGA(ISDest dest, const void* pixels, uint32_t width, uint32_t height,
                    uint32_t bitDepth, uint32_t rle, uint32_t flags);

// PCX (RLE, version 5). bitDepth 24 (RGB24) or 8 (indices with the 256-colour palette, or grey
// when palette is null).
int32_t IS3WritePCX(ISDest dest, const void* pixels, uint32_t width, uint32_t height,
                    uint32_t bitDepth, const uint32_t* palette, uint32_t flags);

// PSD with one merged image. bitDepth 24 (RGB24), 32 (RGBA32) or 8 (grey). rle non-zero
// compresses the channels with PackBits.
int32_t IS3WritePSD(ISDest dest, const void* pixels, uint32_t width, uint32_t height,
                    uint32_t bitDepth, uint32_t rle, uint32_t flags);

// An enhanced metafile holding the RGB24 picture as one stretched device-independent bitmap.
int32_t IS3WriteRGBToEMF(ISDest dest, const void* pixels, uint32_t width, uint32_t height,
                         uint32_t flags);

}  // namespace imaging
