/* palmora: pixel transfer between layers, the mask and host buffers; run-length lines, compressed
 * layer blobs, fills, colour pickers and content queries.
 *
 * Whole-layer transfers move canvas width x height pixels and refuse a layer whose size differs
 * from the canvas. Unless said otherwise, an export returns 1 when it did its work and 0 when it
 * refused: a layer index outside 0..63 or without pixels, no current layer, a null buffer, host
 * rows (row bytes) too short for the pixels they must hold. A refusal changes nothing.
 *
 * Buffer sizes the engine cannot check: a host buffer given with a row length in bytes must hold
 * as many rows of that length as the transfer covers (canvas height for whole layers and
 * canvas-sized pictures, height for rectangles and width x height pictures); one given without a
 * row length holds the pixels packed, as stated at each export. */
#ifndef PALMORA_TRANSFER_H
#define PALMORA_TRANSFER_H

#include "palmora/export.h"

/* ---- RGBA64: the engine's own format, copied as is ---- */

/* The whole layer into dst, rows dstRowBytes apart. */
PMR_API int32_t PMR_GetRGBA64Layer(void* dst, int32_t dstRowBytes, int32_t index);
/* The rectangle at (x, y) into dst, whose first pixel stands for (x, y); only the part inside the
 * canvas is written. 0 when nothing lies inside. */
PMR_API int32_t PMR_GetRGBA64LayerRect(void* dst, int32_t dstRowBytes, int32_t index, int32_t x,
                                       int32_t y, int32_t width, int32_t height);
/* The whole layer from src, rows srcRowBytes apart. */
PMR_API int32_t PMR_SetRGBA64Layer(const void* src, int32_t srcRowBytes, int32_t index);
/* The whole plane byte for byte (canvas width x height x 8 bytes), out, in, and between layers. */
PMR_API int32_t PMR_GetLayerData(void* dst, int32_t index);
PMR_API int32_t PMR_SetLayerData(const void* src, int32_t index);
PMR_API int32_t PMR_CopyLayerData(int32_t srcIndex, int32_t dstIndex);

/* ---- Reading layers at 8 bits (the high byte of each sample) ---- */

PMR_API int32_t PMR_GetRGBA32Layer(void* dst, int32_t dstRowBytes, int32_t index);
/* The current layer. */
PMR_API int32_t PMR_GetRGBA32(void* dst, int32_t dstRowBytes);
/* Red, green and blue; alpha is dropped. */
PMR_API int32_t PMR_GetRGB24Layer(void* dst, int32_t dstRowBytes, int32_t index);
PMR_API int32_t PMR_GetRGB24(void* dst, int32_t dstRowBytes);
/* The current layer's alpha as grey (red = green = blue = high byte of alpha). */
PMR_API int32_t PMR_GetRGB24FromAlpha(void* dst, int32_t dstRowBytes);

/* ---- Loading 8-bit pictures (each byte becomes byte x 256) ---- */

/* Loads a width x height RGBA32 picture (rows srcRowBytes apart, at least 4 x width bytes) into
 * the layer at (x, y), clipped to the layer; a negative x or y skips source columns or rows.
 * With useMaskAndTexture set while the mask is enabled or a texture exists, each pixel is weighed
 * by the mask and the texture. Otherwise a source pixel of alpha 0 clears the layer pixel to
 * (0, 0, 0, 0) and any other replaces it; an alpha-locked layer takes the colour only. */
PMR_API int32_t PMR_LoadRGBA32Layer(const void* src, int32_t srcRowBytes, int32_t index, int32_t x,
                                    int32_t y, int32_t width, int32_t height,
                                    int32_t useMaskAndTexture);
/* PMR_LoadRGBA32Layer into the current layer at (0, 0) with the layer's own size. */
PMR_API int32_t PMR_LoadRGBA32(const void* src, int32_t srcRowBytes, int32_t useMaskAndTexture);
/* PMR_LoadRGBA32Layer through the mask and the texture. */
PMR_API int32_t PMR_LoadRGBA32Into(const void* src, int32_t srcRowBytes, int32_t index, int32_t x,
                                   int32_t y, int32_t width, int32_t height);
/* A canvas-sized RGB24 picture into the current layer's colour (alpha never changes), weighed by
 * the mask and the texture when useMaskAndTexture is set. */
PMR_API int32_t PMR_LoadRGB24(const void* src, int32_t srcRowBytes, int32_t useMaskAndTexture);
/* The first byte of each pixel of a canvas-sized RGB24 picture into the current layer's alpha,
 * on pixels whose alpha is not 0. */
PMR_API int32_t PMR_LoadRGB24ToAlpha(const void* src, int32_t srcRowBytes,
                                     int32_t useMaskAndTexture);
/* A blue-green-red picture of width x height (clipped to the canvas) into the current layer as
 * opaque pixels. */
PMR_API int32_t PMR_Load(const void* src, int32_t srcRowBytes, int32_t width, int32_t height);

/* ---- Compressed layer blobs (one zlib stream of the layer's RGBA32 bytes) ---- */

/* Compresses the layer. out is the address of the host's pointer variable: it receives a block
 * holding the blob, which the host releases with PMR_Free. outArgument is the address of the
 * host's uint32_t variable: it receives the blob's size in bytes. level is the zlib level, 0
 * (fastest) to 9 (smallest), or -1 for the default (6). Returns the blob's size, or 0 (nothing
 * written through out and outArgument) when refused; "GetRGBA32Layer Excpt" when memory fails.
 * reserved is not read. */
PMR_API int32_t PMR_GetRGBA32LayerCompressed(void* out, int32_t reserved, void* outArgument,
                                             int32_t index, int32_t level);
/* Restores a layer (its own width x height) from a blob of blobSize bytes: every byte becomes its
 * value x 256, so a layer of 8-bit content comes back exactly. A damaged blob, or one that does
 * not hold exactly the layer's bytes, is refused and the layer left as it was.
 * "LoadRGBA32LayerCompressed Excpt" when memory fails. reserved is not read. */
PMR_API int32_t PMR_LoadRGBA32LayerCompressed(const void* blob, int32_t reserved, int32_t blobSize,
                                              int32_t index);

/* ---- Run-length lines ----
 * An RGBA32 line is a run of 5-byte records (count 1..255, red, green, blue, alpha); a G8 line a
 * run of 2-byte records (count 1..255, value). No header, no terminator: the reader is told the
 * pixel count. Encoders take the high byte of each sample and need 5 (or 2) bytes of output per
 * pixel in the worst case (a layer or mask line: canvas width x 5, or x 2, bytes of dst); decoders
 * write byte x 256 and never more than the count asked for.
 * Lines of layers and of the mask are canvas width pixels; row r must lie in the canvas. */

/* One layer row into dst; returns the bytes written (0 when refused). */
PMR_API int32_t PMR_GetRGBA32LayerLineRLE(uint8_t* dst, int32_t index, int32_t row);
/* One layer row from a stream that holds it. */
PMR_API int32_t PMR_PutRGBA32LayerLineRLE(const uint8_t* src, int32_t index, int32_t row);
/* The same for a stream of srcBytes bytes (from a file): reads nothing past it; a stream too short
 * for the row is refused. Returns the stream bytes the row took, or 0. */
PMR_API int32_t PMR_PutRGBA32LayerLineRLEChecked(const uint8_t* src, int32_t index, int32_t row,
                                                 int32_t srcBytes);
/* One mask row as a G8 line; returns the bytes written (0 without a mask plane). */
PMR_API int32_t PMR_GetMaskLineRLE(uint8_t* dst, int32_t row);
PMR_API int32_t PMR_PutMaskLineRLE(const uint8_t* src, int32_t row);
PMR_API int32_t PMR_PutMaskLineRLEChecked(const uint8_t* src, int32_t row, int32_t srcBytes);
/* The whole mask plane (canvas width x height x 2 bytes) out and in. */
PMR_API int32_t PMR_GetMaskData16(void* dst);
PMR_API int32_t PMR_SetMaskData16(const void* src);

/* The codecs for any buffer. The encoders return the bytes written, 0 for a null buffer or a
 * count below 1. */
PMR_API int32_t PMR_RLECompressRGBA64ToRGBA32(const uint16_t* src, uint8_t* dst, int32_t count);
PMR_API int32_t PMR_RLECompressG16ToG8(const uint16_t* src, uint8_t* dst, int32_t count);
/* Decodes count pixels into dst, which holds count pixels (count x 8 bytes for RGBA64, count x 2
 * for G16); returns the position in dst after the last pixel written (dst itself for a null
 * buffer). The stream must hold the count: use the checked form for untrusted streams. */
PMR_API uint16_t* PMR_RLEUncompressRGBA32ToRGBA64(const uint8_t* src, uint16_t* dst, int32_t count);
PMR_API void PMR_RLEUncompressG8ToG16(const uint8_t* src, uint16_t* dst, int32_t count);
/* Checked decoders: read only the srcBytes bytes of the stream. A stream that does not hold count
 * pixels in whole records is refused (0, nothing written); otherwise the result is the stream
 * bytes the count took. */
PMR_API int32_t PMR_RLEUncompressRGBA32ToRGBA64Checked(const uint8_t* src, uint16_t* dst,
                                                       int32_t count, int32_t srcBytes);
PMR_API int32_t PMR_RLEUncompressG8ToG16Checked(const uint8_t* src, uint16_t* dst, int32_t count,
                                                int32_t srcBytes);

/* ---- Host-buffer conversions (no layer involved) ---- */

/* Converts an RGBA64 block to RGBA32 (RGB24). src and dst point at the block's first pixel; x and
 * y do not move them but set how many columns and rows are converted: width - x and height - y
 * from the block's start (a negative x or y counts as 0). 0 for a null buffer. */
PMR_API int32_t PMR_GetRGBA32FromRGBA64Rect(void* dst, int32_t dstRowBytes, const void* src,
                                            int32_t srcRowBytes, int32_t x, int32_t y,
                                            int32_t width, int32_t height);
PMR_API int32_t PMR_GetRGB24FromRGBA64Rect(void* dst, int32_t dstRowBytes, const void* src,
                                           int32_t srcRowBytes, int32_t x, int32_t y, int32_t width,
                                           int32_t height);
/* The width x height block at (0, 0). */
PMR_API int32_t PMR_GetRGBA32FromRGBA64(void* dst, int32_t dstRowBytes, int32_t width,
                                        int32_t height, const void* src, int32_t srcRowBytes);
/* A canvas-sized block into RGB24. */
PMR_API int32_t PMR_GetRGB24FromRGBA64(void* dst, int32_t dstRowBytes, const void* src,
                                       int32_t srcRowBytes);
/* The rectangle at (x, y) of src (rows of srcRowPixels pixels) into packed dst (rows of 4 x width,
 * or 3 x width, bytes). A rectangle that leaves src's rows is refused. src holds at least y +
 * height rows of srcRowPixels x 8 bytes, dst width x height x 4 (or 3) bytes. reserved is not read.
 */
PMR_API int32_t PMR_RGBA64RectToRGBA32(const uint16_t* src, int32_t x, int32_t y, int32_t width,
                                       int32_t height, int32_t srcRowPixels, int32_t reserved,
                                       uint8_t* dst);
PMR_API int32_t PMR_RGBA64RectToRGBA24(const uint16_t* src, int32_t x, int32_t y, int32_t width,
                                       int32_t height, int32_t srcRowPixels, int32_t reserved,
                                       uint8_t* dst);
/* Writes the high bytes of three 16-bit values at (x, y) of a canvas-sized RGB24 buffer; nothing
 * outside the canvas. */
PMR_API int32_t PMR_SetPixelRGB24(void* dst, int32_t dstRowBytes, int32_t x, int32_t y,
                                  int32_t red16, int32_t green16, int32_t blue16);

/* ---- Fills (colour arguments are bytes unless named ...16) ---- */

/* Every pixel of the current layer = (red, green, blue, alpha) x 256. */
PMR_API int32_t PMR_Clear(int32_t red, int32_t green, int32_t blue, int32_t alpha);
/* Through the mask: a fully selected pixel is filled, an unselected one kept, a partly selected
 * one mixed with the colour by the mask sample and made opaque. Without the mask, PMR_Clear. */
PMR_API int32_t PMR_ClearMasked(int32_t red, int32_t green, int32_t blue, int32_t alpha);
/* Without the mask enabled, PMR_Clear; with it, the colour loaded as by PMR_LoadRGBA32 through the
 * mask and the texture. */
PMR_API int32_t PMR_ClearMaskedAlpha(int32_t red, int32_t green, int32_t blue, int32_t alpha);
/* Canvas-sized host buffers, and a packed width x height RGBA32 buffer. */
PMR_API int32_t PMR_ClearRGBA64(void* dst, int32_t dstRowBytes, int32_t red16, int32_t green16,
                                int32_t blue16, int32_t alpha16);
PMR_API int32_t PMR_ClearRGBA32(void* dst, int32_t dstRowBytes, int32_t red, int32_t green,
                                int32_t blue, int32_t alpha);
PMR_API int32_t PMR_ClearRGBA32Buf(void* dst, int32_t width, int32_t height, int32_t red,
                                   int32_t green, int32_t blue, int32_t alpha);

/* ---- Pickers and queries ---- */

/* A 16-bit channel of the current layer at (x, y); 0 without a current layer or outside. */
PMR_API int32_t PMR_GetRed64(int32_t x, int32_t y);
PMR_API int32_t PMR_GetGreen64(int32_t x, int32_t y);
PMR_API int32_t PMR_GetBlue64(int32_t x, int32_t y);
PMR_API int32_t PMR_GetAlpha64(int32_t x, int32_t y);
/* 65535 - the mask sample at (x, y) when the mask is enabled, a current layer exists and (x, y)
 * lies inside; else 0. */
PMR_API int32_t PMR_GetMask64(int32_t x, int32_t y);
/* (R8 << 24) | (G8 << 16) | (B8 << 8) | A8 at (x, y) of a canvas-sized RGBA64 plane (canvas width x
 * height x 8 bytes), with (x, y) clamped to the nearest edge pixel; 0 for a null plane. */
PMR_API uint32_t PMR_GetRGBAAt(int32_t x, int32_t y, const uint16_t* plane);
/* The same on the current layer, the undo back buffer (the current layer as it was at the last
 * undo save point), a layer slot and the tracing layer. */
PMR_API uint32_t PMR_GetRGBAAtSurface(int32_t x, int32_t y);
PMR_API uint32_t PMR_GetRGBAAtUnderLayer(int32_t x, int32_t y);
PMR_API uint32_t PMR_GetRGBAAtLayer(int32_t x, int32_t y, int32_t index);
PMR_API uint32_t PMR_GetRGBAAtTrace(int32_t x, int32_t y);
/* (A8 << 24) | (R8 << 16) | (G8 << 8) | B8 at (x, y) of a canvas-sized plane; 0 for a null plane,
 * 0xFFFFFF outside the canvas. */
PMR_API uint32_t PMR_GetColorAt(int32_t x, int32_t y, const uint16_t* plane);
PMR_API uint32_t PMR_GetColorAtSurface(int32_t x, int32_t y);
PMR_API uint32_t PMR_GetColorAtUnderLayer(int32_t x, int32_t y);
PMR_API uint32_t PMR_GetColorAtLayer(int32_t x, int32_t y, int32_t index);
PMR_API uint32_t PMR_GetColorAtTrace(int32_t x, int32_t y);
/* The undo back buffer when an undo step is available, else 0. */
PMR_API uint32_t PMR_GetColorAtHistory(int32_t x, int32_t y);
/* The inclusive bounding box of the layer's pixels with non-zero alpha; a fully transparent layer
 * reports left = canvas width, top = canvas height, right = bottom = 0. Nothing is written when
 * refused. */
PMR_API int32_t PMR_FindDataExtentsLayer(int32_t index, int32_t* left, int32_t* top, int32_t* right,
                                         int32_t* bottom);
/* 1 when every pixel equals the first in all four channels, else 0. */
PMR_API int32_t PMR_IsSingleColor(int32_t index);

#endif
