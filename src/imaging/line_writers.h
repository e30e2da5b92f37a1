// Picture files written one row at a time: a writer holds at most a few rows (TIFF keeps one
// strip of them), never the picture. Rows are handed over in the file's own order: bottom row
// first for BMP, top row first for the others. Destroying a writer finishes the file; when fewer
// rows than the height were written it pads them with zeros so the file stays readable and
// reports 0.
#pragma once

#include <cstdint>

#include "imaging/file_handles.h"

namespace imaging {

struct LineWriter;
using ISLineWriter = LineWriter*;  // null when set-up failed

// Arguments as the matching whole-picture writers (picture_writers.h).
ISLineWriter IS40_InitWriteBMPLines(ISDest dest, uint32_t width, uint32_t height, uint32_t bitDepth,
                                    uint32_t paletteColours, const uint32_t* palette,
                                    const ISResolution* resolution, uint32_t flags);
ISLineWriter IS40_InitWritePNGLines(ISDest dest, uint32_t width, uint32_t height, uint32_t rowBytes,
                                    uint32_t bitDepth, uint32_t paletteColours,
                                    const uint32_t* palette, uint32_t colourType,
                                    uint32_t interlaced, const ISResolution* resolution,
                                    uint32_t flags);
ISLineWriter IS40_InitWriteJPGLines(ISDest dest, uint32_t width, uint32_t height, uint32_t quality,
                                    uint32_t bitDepth, const ISResolution* resolution,
                                    uint32_t flags);
ISLineWriter IS40_InitWriteTGALines(ISDest dest, uint32_t width, uint32_t height, uint32_t bitDepth,
                                    uint32_t rle, uint32_t flags);
ISLineWriter IS40_InitWriteTIFFLines(ISDest dest, uint32_t width, uint32_t height,
                                     uint32_t bitDepth, uint32_t reserved, uint32_t compression,
                                     const ISResolution* resolution, uint32_t flags);

// Each takes one row of the writer's width in its pixel format. Fails for a writer of another
// format, a null row, or a row past the height.
int32_t IS40_WriteNextBMPLine(ISLineWriter writer, const void* row);
int32_t IS40_WriteNextPNGLine(ISLineWriter writer, const void* row);
int32_t IS40_WriteNextJPGLine(ISLineWriter writer, const void* row);
int32_t IS40_WriteNextTGALine(ISLineWriter writer, const void* row);
int32_t IS40_WriteNextTIFFLine(ISLineWriter writer, const void* row);

int32_t IS40_DestroyWriteBMPLines(ISLineWriter writer);
int32_t IS40_DestroyWritePNGLines(ISLineWriter writer);
int32_t IS40_DestroyWriteJPGLines(ISLineWriter writer);
int32_t IS40_DestroyWriteTGALines(ISLineWriter writer);
int32_t IS40_DestroyWriteTIFFLines(ISLineWriter writer);

}  // namespace imaging
