#include "io/page_formats.h"

#include "engine/pixel_formats.h"
#include "imaging/imaging.h"
#include "io/file_extension.h"
#include "io/resolution_records.h"

namespace io {
namespace {

using imaging::ISDest;
using imaging::ISLineWriter;

ISLineWriter StartBmp(ISDest dest, uint32_t w, uint32_t h, int32_t dpi) {
  const imaging::ISResolution resolution = BmpResolution(dpi);
  return imaging::IS40_InitWriteBMPLines(dest, w, h, 24, 0, nullptr, &resolution, 0);
}

ISLineWriter StartPng24(ISDest dest, uint32_t w, uint32_t h, int32_t dpi) {
  const imaging::ISResolution resolution = PngResolution(dpi);
  return imaging::IS40_InitWritePNGLines(dest, w, h, 3 * w, 8, 0, nullptr, 2, 0, &resolution, 0);
}

// Pages go out with the accurate integer DCT, no smoothing and full-resolution colour (no chroma
// subsampling). These are the library's shared JPEG settings, so later JPEG writes keep them.
ISLineWriter StartJpeg(ISDest dest, uint32_t w, uint32_t h, int32_t dpi) {
  imaging::IS40_SetJPGDCT(3);
  imaging::IS40_SetJPGSmoothingFactor(0);
  imaging::IS40_SetJPGDownsampleFactors(1, 1, 1, 1, 1, 1);
  const imaging::ISResolution resolution = JpegResolution(dpi);
  return imaging::IS40_InitWriteJPGLines(dest, w, h, 97, 24, &resolution, 0);
}

ISLineWriter StartPng32(ISDest dest, uint32_t w, uint32_t h, int32_t dpi) {
  const imaging::ISResolution resolution = PngResolution(dpi);
  return imaging::IS40_InitWritePNGLines(dest, w, h, 4 * w, 8, 0, nullptr, 6, 0, &resolution, 0);
}

ISLineWriter StartTga(ISDest dest, uint32_t w, uint32_t h, int32_t) {
  return imaging::IS40_InitWriteTGALines(dest, w, h, 32, 0, 0);
}

// Compression 8: deflate.
ISLineWriter StartTiff(ISDest dest, uint32_t w, uint32_t h, int32_t dpi) {
  const imaging::ISResolution resolution = TiffResolution(dpi);
  return imaging::IS40_InitWriteTIFFLines(dest, w, h, 32, 0, 8, &resolution, 0);
}

constexpr PageFormat kFormatsRGB24[] = {
    {".bmp", 3, true, engine::RowRGBA64ToRGB24, StartBmp, imaging::IS40_WriteNextBMPLine,
     imaging::IS40_DestroyWriteBMPLines},
    {".png", 3, false, engine::RowRGBA64ToRGB24, StartPng24, imaging::IS40_WriteNextPNGLine,
     imaging::IS40_DestroyWritePNGLines},
    {".jpg", 3, false, engine::RowRGBA64ToRGB24, StartJpeg, imaging::IS40_WriteNextJPGLine,
     imaging::IS40_DestroyWriteJPGLines},
};

constexpr PageFormat kFormatsRGB32[] = {
    {".png", 4, false, engine::RowRGBA64ToRGBA32, StartPng32, imaging::IS40_WriteNextPNGLine,
     imaging::IS40_DestroyWritePNGLines},
    {".tga", 4, false, engine::RowRGBA64ToRGBA32, StartTga, imaging::IS40_WriteNextTGALine,
     imaging::IS40_DestroyWriteTGALines},
    {".tif", 4, false, engine::RowRGBA64ToRGBA32, StartTiff, imaging::IS40_WriteNextTIFFLine,
     imaging::IS40_DestroyWriteTIFFLines},
};

}  // namespace

std::span<const PageFormat> PageFormatsRGB24() { return kFormatsRGB24; }
std::span<const PageFormat> PageFormatsRGB32() { return kFormatsRGB32; }

const PageFormat* FindPageFormat(std::span<const PageFormat> formats, const char* extension) {
  for (const PageFormat& format : formats) {
    if (IsExtension(extension, format.extension)) return &format;
  }
  return nullptr;
}

}  // namespace io
