// Device-independent bitmaps: the picture block the clipboard carries. A block starts with a
// 40-byte (or longer) info header followed by the pixel rows, bottom-up for a positive height and
// top-down for a negative one, each row padded to four bytes. Pixels are blue, green, red (and a
// fourth byte, kept as alpha in 32-bit blocks).
#pragma once

#include <cstddef>
#include <cstdint>

namespace imaging {

// Bytes of the info header that IS3RGBAToDIB writes in front of the pixels.
inline constexpr uint32_t kDIBHeaderBytes = 40;

// Bytes IS3RGBAToDIB writes for a width x height picture: header and 32-bit rows; 0 when that does
// not fit the header's 32-bit image size.
std::size_t DIBBytes(uint32_t width, uint32_t height);

// Writes the packed RGBA32 picture into block as a 32-bit bottom-up bitmap (alpha kept in the
// fourth byte). block must hold DIBBytes(width, height) bytes. Fails for null pointers and sizes
// that are zero, wider or taller than the codecs accept, or do not fit the header.
int32_t IS3RGBAToDIB(const void* rgba, uint32_t width, uint32_t height, void* block);

// The parts of IS3RGBAToDIB, so that bands of rows can be converted on several threads: the
// header, then picture rows y0..y1 - 1 into their places in the block.
int32_t WriteDIBHeader(uint32_t width, uint32_t height, void* block);
int32_t RGBAToDIBRows(const void* rgba, uint32_t width, uint32_t height, uint32_t y0, uint32_t y1,
                      void* block);

// The bitmap's width and height (a top-down bitmap reports its height as positive); 0 for a null
// block or a header this library cannot convert (see IS3DIBToRGBA).
uint32_t IS3DIBWidth(const void* dib);
uint32_t IS3DIBHeight(const void* dib);

// Converts the bitmap's pixels into dst as packed RGBA32 (width x height x 4 bytes). 32-bit
// bitmaps (plain, or with bit fields naming the usual red, green and blue bytes) keep their fourth
// byte as alpha; 24-bit bitmaps get alpha. Other depths, compressions and header sizes fail and
// write nothing. The caller vouches that the block holds the rows its header announces.
int32_t IS3DIBToRGBA(const void* dib, uint32_t alpha, void* dst);

// IS3DIBToRGBA for picture rows y0..y1 - 1 (0 is the top row), each written to its place in dst.
int32_t DIBToRGBARows(const void* dib, uint32_t alpha, uint32_t y0, uint32_t y1, void* dst);

// Converts count pixels of picture row y (0 is the top row, whatever the bitmap's order) from
// column x into dst, as IS3DIBToRGBA does. Fails, writing nothing, for a bitmap it cannot convert
// or a span that leaves the picture.
int32_t DIBRowToRGBA(const void* dib, uint32_t alpha, uint32_t y, uint32_t x, uint32_t count,
                     void* dst);

}  // namespace imaging
