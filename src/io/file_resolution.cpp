// The resolution stored in a picture file, in dots per inch, snapped to a standard value.
#include <cmath>
#include <initializer_list>

#include "imaging/imaging.h"
#include "io/picture_files.h"

namespace io {
namespace {

constexpr double kCentimetresPerInch = 2.5400000025908;
constexpr double kMetresPerInch = 0.025400000025908;

int32_t Truncate(double v) { return v >= 2147483647.0 ? INT32_MAX : int32_t(v); }

// Each format's reader reports its own unit codes; x is read as an unsigned number.
int32_t RawDPI(imaging::ISSource source, int32_t type) {
  imaging::ISResolution r;
  uint32_t w = 0, h = 0, bits = 0;
  switch (type) {
    case imaging::kFileTypeBMP:
      if (!imaging::IS3GetBMPDims(source, &w, &h, &bits, &r)) return 72;
      if (r.unit == 1) return Truncate(r.xRes * kCentimetresPerInch);
      if (r.unit == 2) return Truncate(r.xRes * kMetresPerInch);
      return 72;
    case imaging::kFileTypeJPEG:
      if (!imaging::IS3GetJPGDims(source, &w, &h, &bits, &r)) return 72;
      if (r.unit == 1) return Truncate(r.xRes);
      if (r.unit == 2) return Truncate(r.xRes * kCentimetresPerInch);
      return 72;
    case imaging::kFileTypePNG:
      if (!imaging::IS3GetPNGDims(source, &w, &h, &bits, &r)) return 72;
      return r.unit == 1 ? Truncate(r.xRes * kMetresPerInch) : 72;
    case imaging::kFileTypeTIFF:
      if (!imaging::IS3GetTIFFDims(source, 0, &w, &h, &bits, &r)) return 72;
      break;
    case imaging::kFileTypePSD:
      if (!imaging::IS3GetPSDDims(source, &w, &h, &bits, &r)) return 72;
      break;
    default:
      return 72;
  }
  // TIFF and PSD: 2 inch, 3 centimetre.
  if (r.unit == 2) return Truncate(r.xRes);
  if (r.unit == 3) return Truncate(r.xRes * kCentimetresPerInch);
  return 72;
}

}  // namespace

int32_t SnapDPI(int32_t raw) {
  for (const int32_t standard : {96, 150, 200, 300, 450, 600}) {
    if (raw >= standard - 1 && raw <= standard + 1) return standard;
  }
  return 72;
}

int32_t GetDPIFromFile(const char* path) {
  imaging::ISSource source = imaging::IS3OpenFileSource(path);
  if (!source) return 72;
  const int32_t type = imaging::IS3GuessFileType(source);
  imaging::IS40_Seek(source, 0, 0);
  const int32_t raw = RawDPI(source, type);
  imaging::IS3CloseSource(source);
  return SnapDPI(raw);
}

}  // namespace io
