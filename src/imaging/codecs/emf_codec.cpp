// EMF: the enhanced metafile. We write a picture as a header, one stretched device-independent
// bitmap record and the end record; the reader renders those bitmap records onto a background,
// stretched from the header's bounds to the size asked for. Other drawing records are skipped.
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "imaging/codecs/byte_reader.h"
#include "imaging/codecs/codec_table.h"
#include "imaging/picture_readers.h"
#include "imaging/picture_writers.h"

namespace imaging {
namespace emf_codec {
namespace {

constexpr uint32_t kHeader = 1, kEndOfFile = 14, kStretchDIBits = 81;
constexpr uint32_t kSignature = 0x464D4520;  // " EMF"
constexpr uint32_t kMaxRecords = 1u << 20;

struct Bounds {
  int64_t left = 0, top = 0, width = 0, height = 0;
};

bool ParseHeader(Bytes bytes, Bounds& b) {
  ByteReader r(bytes);
  const uint32_t type = r.u32le(), size = r.u32le();
  const int32_t left = r.i32le(), top = r.i32le(), right = r.i32le(), bottom = r.i32le();
  r.skip(16);
  const uint32_t signature = r.u32le();
  r.skip(4);
  const uint32_t fileBytes = r.u32le();  // a file shorter than its header says is truncated
  if (!r.ok() || type != kHeader || signature != kSignature || size < 88 || size > bytes.size())
    return false;
  if (fileBytes < size || fileBytes > bytes.size()) return false;
  if (right < left || bottom < top) return false;
  b = {left, top, int64_t(right) - left + 1, int64_t(bottom) - top + 1};
  return true;
}

// Draws one stretched bitmap record (SRCCOPY of a whole or partial DIB) onto the RGB24 picture.
void DrawStretchDIBits(Bytes record, const Bounds& b, uint8_t* rgb, int outW, int outH) {
  ByteReader r(record);
  r.skip(24);
  const int32_t xDest = r.i32le(), yDest = r.i32le(), xSrc = r.i32le(), ySrc = r.i32le();
  const int32_t cxSrc = r.i32le(), cySrc = r.i32le();
  const uint32_t offBmi = r.u32le(), cbBmi = r.u32le(), offBits = r.u32le(), cbBits = r.u32le();
  r.skip(8);
  const int32_t cxDest = r.i32le(), cyDest = r.i32le();
  if (!r.ok() || cxSrc <= 0 || cySrc <= 0 || cxDest <= 0 || cyDest <= 0 || xSrc < 0 || ySrc < 0)
    return;
  if (cbBmi < 40 || offBmi > record.size() || cbBmi > record.size() - offBmi) return;
  if (offBits > record.size() || cbBits > record.size() - offBits) return;

  // Give the DIB a file header and let the BMP codec decode it.
  std::vector<uint8_t> file(14 + std::size_t{cbBmi} + cbBits);
  file[0] = 'B', file[1] = 'M';
  const uint32_t pixelOffset = 14 + cbBmi;
  std::memcpy(&file[10], &pixelOffset, 4);
  std::memcpy(&file[14], record.data() + offBmi, cbBmi);
  std::memcpy(&file[14 + cbBmi], record.data() + offBits, cbBits);
  uint32_t dibW = 0, dibH = 0;
  MallocBlock dib = bmp_codec::Read(file, dibW, dibH);
  if (!dib) return;
  // Source rectangles count rows from the bottom of a bottom-up bitmap.
  if (int64_t(xSrc) + cxSrc > dibW || int64_t(ySrc) + cySrc > dibH) return;
  const int srcTop = int(dibH) - ySrc - cySrc;

  const double sx = double(outW) / double(b.width), sy = double(outH) / double(b.height);
  const double fx0 = double(xDest - b.left) * sx, fy0 = double(yDest - b.top) * sy;
  const double fx1 = double(int64_t(xDest) + cxDest - b.left) * sx;
  const double fy1 = double(int64_t(yDest) + cyDest - b.top) * sy;
  // A destination this far out cannot be drawn, and its edges would not fit an int (nor would
  // their differences).
  constexpr double kFarthest = 1e9;
  for (const double edge : {fx0, fy0, fx1, fy1})
    if (!(std::fabs(edge) <= kFarthest)) return;
  const int x0 = int(fx0), y0 = int(fy0), x1 = int(fx1), y1 = int(fy1);
  if (x1 <= x0 || y1 <= y0 || x1 <= 0 || y1 <= 0 || x0 >= outW || y0 >= outH) return;
  if (!DimensionsAllowed(uint64_t(x1 - x0), uint64_t(y1 - y0))) return;

  const cv::Mat rgba(int(dibH), int(dibW), CV_8UC4, dib.get());
  cv::Mat crop, rgbSrc, scaled;
  cv::cvtColor(rgba(cv::Rect(xSrc, srcTop, cxSrc, cySrc)), rgbSrc, cv::COLOR_RGBA2RGB);
  const bool shrink = x1 - x0 < cxSrc && y1 - y0 < cySrc;
  cv::resize(rgbSrc, scaled, cv::Size(x1 - x0, y1 - y0), 0, 0,
             shrink ? cv::INTER_AREA : cv::INTER_LINEAR);
  const cv::Rect target = cv::Rect(x0, y0, x1 - x0, y1 - y0) & cv::Rect(0, 0, outW, outH);
  cv::Mat out(outH, outW, CV_8UC3, rgb);
  scaled(cv::Rect(target.x - x0, target.y - y0, target.width, target.height)).copyTo(out(target));
}

}  // namespace

int Sniff(Bytes bytes) {
  Bounds b;
  return ParseHeader(bytes, b) ? 100 : 0;
}

bool ReadInfo(Bytes bytes, ImageInfo& info) {
  Bounds b;
  if (!ParseHeader(bytes, b) || b.width > kMaxPictureSide || b.height > kMaxPictureSide)
    return false;
  info.width = uint32_t(b.width);
  info.height = uint32_t(b.height);
  info.bitDepth = 24;
  info.resolution = {};
  return true;
}

// Renders at outW x outH onto background (red | green << 8 | blue << 16) as RGB24.
MallocBlock Render(Bytes bytes, uint32_t outW, uint32_t outH, uint32_t background, uint32_t& width,
                   uint32_t& height) {
  Bounds b;
  if (!ParseHeader(bytes, b)) return nullptr;
  if (outW == 0 || outH == 0) {
    outW = uint32_t(std::min<int64_t>(b.width, UINT32_MAX));
    outH = uint32_t(std::min<int64_t>(b.height, UINT32_MAX));
  }
  if (!DimensionsAllowed(outW, outH)) return nullptr;
  MallocBlock out = AllocatePicture(outW, outH, 3);
  if (!out) return nullptr;
  const uint8_t fill[3] = {uint8_t(background), uint8_t(background >> 8),
                           uint8_t(background >> 16)};
  for (std::size_t i = 0; i < std::size_t{outW} * outH; ++i)
    std::memcpy(out.get() + i * 3, fill, 3);

  try {
    std::size_t offset = 0;
    for (uint32_t n = 0; n < kMaxRecords && bytes.size() - offset >= 8; ++n) {
      ByteReader r(bytes.subspan(offset));
      const uint32_t type = r.u32le(), size = r.u32le();
      if (size < 8 || size % 4 || size > bytes.size() - offset) return nullptr;
      if (type == kStretchDIBits && size >= 80) {
        DrawStretchDIBits(bytes.subspan(offset, size), b, out.get(), int(outW), int(outH));
      }
      offset += size;
      if (type == kEndOfFile) break;
    }
  } catch (const std::bad_alloc&) {
    return nullptr;
  } catch (const cv::Exception&) {
    return nullptr;
  }
  width = outW;
  height = outH;
  return out;
}

MallocBlock Read(Bytes bytes, uint32_t& width, uint32_t& height) {
  uint32_t w = 0, h = 0;
  MallocBlock rgb = Render(bytes, 0, 0, 0xFFFFFF, w, h);
  if (!rgb) return nullptr;
  MallocBlock rgba = AllocatePicture(w, h, 4);
  if (!rgba) return nullptr;
  for (std::size_t i = 0; i < std::size_t{w} * h; ++i) {
    std::memcpy(rgba.get() + i * 4, rgb.get() + i * 3, 3);
    rgba[i * 4 + 3] = 255;
  }
  width = w;
  height = h;
  return rgba;
}

}  // namespace emf_codec

uint8_t* IS40_ReadMetafile(const char* path, uint32_t* width, uint32_t* height, uint32_t outWidth,
                           uint32_t outHeight, uint32_t background, uint32_t flags) {
  if (!width || !height) return nullptr;
  ISSource source = IS40_OpenFileSource(path);
  if (!source) return nullptr;
  uint32_t w = 0, h = 0;
  MallocBlock rgb = emf_codec::Render(source->Remaining(), outWidth, outHeight, background, w, h);
  IS40_CloseSource(source);
  if (!rgb) return nullptr;
  *width = w;
  *height = h;
  return rgb.release();
}

int32_t IS3WriteRGBToEMF(ISDest dest, const void* pixels, uint32_t width, uint32_t height,
                         uint32_t flags) {
  using emf_codec::kEndOfFile, emf_codec::kHeader, emf_codec::kSignature, emf_codec::kStretchDIBits;
  if (!dest || !pixels || width == 0 || height == 0 || width > 65535 || height > 65535) return 0;
  const uint32_t stride = (width * 3 + 3) & ~3u;
  const uint64_t bits = uint64_t{stride} * height;
  const uint64_t recordBytes = 80 + 40 + bits;
  const uint64_t fileBytes = 88 + recordBytes + 20;
  if (fileBytes > UINT32_MAX) return 0;
  FileDest& d = *dest;
  // Header: bounds in pixels, frame in hundredths of a millimetre at 96 pixels an inch.
  const int32_t frameW = int32_t(uint64_t{width} * 2540 / 96),
                frameH = int32_t(uint64_t{height} * 2540 / 96);
  d.Put32le(kHeader), d.Put32le(88);
  d.Put32le(0), d.Put32le(0), d.Put32le(width - 1), d.Put32le(height - 1);
  d.Put32le(0), d.Put32le(0), d.Put32le(uint32_t(frameW - 1)), d.Put32le(uint32_t(frameH - 1));
  d.Put32le(kSignature), d.Put32le(0x10000), d.Put32le(uint32_t(fileBytes)), d.Put32le(3);
  d.Put16le(1), d.Put16le(0), d.Put32le(0), d.Put32le(0), d.Put32le(0);
  d.Put32le(width), d.Put32le(height);  // reference device in pixels
  d.Put32le(uint32_t(frameW / 100)), d.Put32le(uint32_t(frameH / 100));  // and in millimetres
  // The picture as one stretched bitmap, bottom-up 24-bit.
  d.Put32le(kStretchDIBits), d.Put32le(uint32_t(recordBytes));
  d.Put32le(0), d.Put32le(0), d.Put32le(width - 1), d.Put32le(height - 1);
  d.Put32le(0), d.Put32le(0), d.Put32le(0), d.Put32le(0), d.Put32le(width), d.Put32le(height);
  d.Put32le(80), d.Put32le(40), d.Put32le(120), d.Put32le(uint32_t(bits));
  d.Put32le(0), d.Put32le(0x00CC0020);  // DIB_RGB_COLORS, SRCCOPY
  d.Put32le(width), d.Put32le(height);
  d.Put32le(40), d.Put32le(width), d.Put32le(height), d.Put16le(1), d.Put16le(24);
  d.Put32le(0), d.Put32le(uint32_t(bits)), d.Put32le(0), d.Put32le(0), d.Put32le(0), d.Put32le(0);
  try {
    std::vector<uint8_t> row(stride, 0);
    const auto* src = static_cast<const uint8_t*>(pixels);
    for (uint32_t i = 0; i < height && !d.failed; ++i) {
      const uint8_t* s = src + std::size_t{height - 1 - i} * width * 3;
      for (uint32_t x = 0; x < width; ++x)
        row[x * 3] = s[x * 3 + 2], row[x * 3 + 1] = s[x * 3 + 1], row[x * 3 + 2] = s[x * 3];
      d.Write(row.data(), stride);
    }
  } catch (const std::bad_alloc&) {
    return 0;
  }
  d.Put32le(kEndOfFile), d.Put32le(20), d.Put32le(0), d.Put32le(16), d.Put32le(20);
  return d.failed ? 0 : 1;
}

}  // namespace imaging
