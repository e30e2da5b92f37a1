// Writing a host buffer as a picture file, the writer chosen by the extension.
#include <algorithm>

#include "engine/heap.h"
#include "imaging/imaging.h"
#include "io/file_extension.h"
#include "io/picture_files.h"
#include "io/resolution_records.h"

namespace io {
namespace {

// Opens the destination, runs the writer, closes; the writer's result is the answer.
template <class Writer>
int32_t WithDest(const char* path, Writer&& writer) {
  imaging::ISDest dest = imaging::IS3OpenFileDest(path, 0);
  if (!dest) return 0;
  int32_t result = 0;
  try {
    result = writer(dest);
  } catch (...) {
    imaging::IS3CloseDest(dest);
    throw;
  }
  imaging::IS3CloseDest(dest);
  return result;
}

bool ValidPicture(const void* src, int32_t width, int32_t height, int32_t bytesPerPixel,
                  const char* path) {
  if (!src || !path || width <= 0 || height <= 0) return false;
  engine::PlaneBytes(width, height, bytesPerPixel);  // throws for sizes that overflow
  return true;
}

}  // namespace

int32_t WriteToFileRGB24(const void* src, int32_t width, int32_t height, const char* path,
                         const char* extension, int32_t dpi) {
  if (!ValidPicture(src, width, height, 3, path)) return 0;
  const uint32_t w = uint32_t(width), h = uint32_t(height);
  const imaging::ISResolution perMetre = BmpResolution(dpi);
  if (IsExtension(extension, ".bmp")) {
    return WithDest(path, [&](imaging::ISDest d) {
      return imaging::IS3WriteBMP(d, src, w, h, 24, 0, nullptr, &perMetre, 0);
    });
  }
  if (IsExtension(extension, ".png")) {
    const imaging::ISResolution png = PngResolution(dpi);
    return WithDest(path, [&](imaging::ISDest d) {
      return imaging::IS3WritePNG(d, src, w, h, 3 * w, 8, 0, nullptr, 2, 0, &png, 0);
    });
  }
  if (IsExtension(extension, ".emf") || IsExtension(extension, ".wmf")) {
    return WithDest(path,
                    [&](imaging::ISDest d) { return imaging::IS3WriteRGBToEMF(d, src, w, h, 0); });
  }
  if (IsExtension(extension, ".gif")) {
    engine::OwnedPlane<uint8_t> indices =
        engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(width, height, 1));
    uint32_t palette[256] = {};
    if (!imaging::IS3QuantizeRGBTo8Bit(src, w, h, 3 * w, indices.get(), w, 256, palette, 1, 20, 0))
      return 0;
    return WithDest(path, [&](imaging::ISDest d) {
      return imaging::IS3Write8BitToGIF(d, indices.get(), w, h, 0, 0, -1, 8, palette);
    });
  }
  if (IsExtension(extension, ".jpg")) {
    const imaging::ISResolution jpg = JpegResolution(dpi);
    return WithDest(path, [&](imaging::ISDest d) {
      return imaging::IS3WriteJPG(d, src, w, h, 97, 24, &jpg, 0);
    });
  }
  if (IsExtension(extension, ".pcx")) {
    return WithDest(path, [&](imaging::ISDest d) {
      return imaging::IS3WritePCX(d, src, w, h, 24, nullptr, 0);
    });
  }
  if (IsExtension(extension, ".psd")) {
    return WithDest(
        path, [&](imaging::ISDest d) { return imaging::IS3WritePSD(d, src, w, h, 24, 0, 0); });
  }
  return 0;
}

int32_t WriteToFileRGBA32(const void* src, int32_t width, int32_t height, const char* path,
                          const char* extension, int32_t dpi) {
  if (!ValidPicture(src, width, height, 4, path)) return 0;
  const uint32_t w = uint32_t(width), h = uint32_t(height);
  if (IsExtension(extension, ".png")) {
    const imaging::ISResolution png = PngResolution(dpi);
    return WithDest(path, [&](imaging::ISDest d) {
      return imaging::IS3WritePNG(d, src, w, h, 4 * w, 8, 0, nullptr, 6, 0, &png, 0);
    });
  }
  if (IsExtension(extension, ".tga")) {
    return WithDest(
        path, [&](imaging::ISDest d) { return imaging::IS3WriteTGA(d, src, w, h, 32, 0, 0); });
  }
  if (IsExtension(extension, ".tif")) {
    const imaging::ISResolution inches = TiffResolution(dpi);
    return WithDest(path, [&](imaging::ISDest d) {
      return imaging::IS3WriteTIFF(d, src, w, h, 32, 0, 0, &inches, 0);
    });
  }
  return 0;
}

int32_t WriteToFileJPG(const void* src, int32_t width, int32_t height, const char* path,
                       int32_t quality, int32_t dpi) {
  if (quality < 1 || quality > 100 || !ValidPicture(src, width, height, 3, path)) return 0;
  // The same full-resolution colour the page saver asks for: a chosen quality is not spent on
  // halved colour.
  imaging::IS40_SetJPGDCT(3);
  imaging::IS40_SetJPGSmoothingFactor(0);
  imaging::IS40_SetJPGDownsampleFactors(1, 1, 1, 1, 1, 1);
  const imaging::ISResolution jpg = JpegResolution(dpi);
  return WithDest(path, [&](imaging::ISDest d) {
    return imaging::IS3WriteJPG(d, src, uint32_t(width), uint32_t(height), uint32_t(quality), 24,
                                &jpg, 0);
  });
}

}  // namespace io
