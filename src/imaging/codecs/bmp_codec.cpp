// BMP: the device-independent bitmap file. A 14-byte file header, an info header (12 bytes for
// the old core form, 40 to 124 for the newer ones), an optional palette and bit masks, then rows
// padded to four bytes, stored bottom-up unless the height is negative.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "imaging/codecs/byte_reader.h"
#include "imaging/codecs/codec_table.h"
#include "imaging/codecs/line_writer.h"
#include "imaging/codecs/row_convert.h"
#include "imaging/picture_writers.h"

namespace imaging {
namespace bmp_codec {
namespace {

constexpr uint32_t kRGB = 0, kRLE8 = 1, kRLE4 = 2, kBitFields = 3, kAlphaBitFields = 6;

struct Header {
  uint32_t pixelOffset = 0;
  uint32_t headerSize = 0;
  int64_t width = 0;
  int64_t height = 0;  // absolute
  bool topDown = false;
  uint32_t bitCount = 0;
  uint32_t compression = 0;
  int32_t xPelsPerMetre = 0, yPelsPerMetre = 0;
  uint32_t masks[4] = {};  // red, green, blue, alpha
  uint32_t paletteCount = 0;
  uint32_t palette[256] = {};  // packed red | green << 8 | blue << 16
};

bool ParseHeader(Bytes bytes, Header& h) {
  ByteReader r(bytes);
  if (r.u8() != 'B' || r.u8() != 'M') return false;
  r.skip(8);
  h.pixelOffset = r.u32le();
  h.headerSize = r.u32le();
  if (!r.ok()) return false;
  const std::size_t headerStart = 14;
  uint32_t paletteEntryBytes = 4;
  if (h.headerSize == 12) {
    h.width = r.u16le();
    h.height = r.u16le();
    r.skip(2);
    h.bitCount = r.u16le();
    paletteEntryBytes = 3;
  } else if (h.headerSize >= 40 && h.headerSize <= 124) {
    h.width = r.i32le();
    const int32_t height = r.i32le();
    r.skip(2);
    h.bitCount = r.u16le();
    h.compression = r.u32le();
    r.skip(4);
    h.xPelsPerMetre = r.i32le();
    h.yPelsPerMetre = r.i32le();
    h.paletteCount = r.u32le();
    r.skip(4);
    if (height == INT32_MIN) return false;
    h.topDown = height < 0;
    h.height = height < 0 ? -int64_t{height} : height;
    if (h.compression == kBitFields || h.compression == kAlphaBitFields) {
      // Masks sit inside the larger headers, or follow the 40-byte one.
      const int maskCount = h.compression == kAlphaBitFields || h.headerSize >= 56 ? 4 : 3;
      for (int i = 0; i < maskCount; ++i) h.masks[i] = r.u32le();
      if (h.headerSize > 40) r.seek(headerStart + h.headerSize);
    } else {
      r.seek(headerStart + h.headerSize);
    }
  } else {
    return false;
  }
  if (!r.ok()) return false;
  if (h.topDown && (h.compression == kRLE8 || h.compression == kRLE4)) return false;

  switch (h.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      return false;
  }
  const bool rleFits =
      (h.compression == kRLE8 && h.bitCount == 8) || (h.compression == kRLE4 && h.bitCount == 4);
  const bool fieldsFit = (h.compression == kBitFields || h.compression == kAlphaBitFields) &&
                         (h.bitCount == 16 || h.bitCount == 32);
  if (h.compression != kRGB && !rleFits && !fieldsFit) return false;
  if (h.width <= 0 || h.height <= 0) return false;

  if (h.bitCount <= 8) {
    const uint32_t most = 1u << h.bitCount;
    if (h.paletteCount == 0) h.paletteCount = most;
    if (h.paletteCount > most) return false;  // more colours than indices can name
    for (uint32_t i = 0; i < h.paletteCount; ++i) {
      const uint8_t b = r.u8(), g = r.u8(), red = r.u8();
      if (paletteEntryBytes == 4) r.u8();
      h.palette[i] = red | g << 8 | b << 16;
    }
    if (!r.ok() || r.position() > h.pixelOffset) return false;
  }
  return h.pixelOffset <= bytes.size();
}

// Position of the lowest set bit and the width of a contiguous mask.
void MaskShape(uint32_t mask, int& shift, int& bits) {
  shift = 0;
  bits = 0;
  if (!mask) return;
  while (!((mask >> shift) & 1)) ++shift;
  while (shift + bits < 32 && ((mask >> (shift + bits)) & 1)) ++bits;
}

uint8_t ScaleField(uint32_t value, int bits) {
  if (bits <= 0) return 0;
  if (bits >= 8) return uint8_t(value >> (bits - 8));
  const uint32_t most = (1u << bits) - 1;
  return uint8_t((value * 255 + most / 2) / most);
}

// Runs of indices per row (RLE8 and RLE4) into an index plane of width x height, bottom row
// first. Any run that passes the row's end or the last row fails the whole picture.
bool DecodeRLE(Bytes data, const Header& h, uint8_t* indices) {
  const std::size_t width = static_cast<std::size_t>(h.width);
  const std::size_t height = static_cast<std::size_t>(h.height);
  const bool four = h.compression == kRLE4;
  ByteReader r(data);
  std::size_t x = 0, y = 0;
  while (true) {
    const uint8_t count = r.u8(), value = r.u8();
    if (!r.ok()) return false;
    if (count > 0) {
      if (y >= height || count > width - x) return false;
      uint8_t* out = indices + y * width + x;
      for (uint8_t i = 0; i < count; ++i) out[i] = four ? (i & 1 ? value & 15 : value >> 4) : value;
      x += count;
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      return true;
    } else if (value == 2) {  // move right and up
      const uint8_t dx = r.u8(), dy = r.u8();
      if (!r.ok() || dx > width - x || dy > height - y) return false;
      x += dx;
      y += dy;
    } else {  // a literal run, padded to a whole 16-bit word
      const std::size_t n = value;
      if (y >= height || n > width - x) return false;
      const std::size_t bytes = four ? (n + 1) / 2 : n;
      const auto literal = r.take(bytes);
      if (!r.ok()) return false;
      uint8_t* out = indices + y * width + x;
      for (std::size_t i = 0; i < n; ++i) {
        out[i] = four ? (i & 1 ? literal[i / 2] & 15 : literal[i / 2] >> 4) : literal[i];
      }
      r.skip(bytes & 1);
      x += n;
    }
    if (y > height) return false;
  }
}

}  // namespace

int Sniff(Bytes bytes) {
  Header h;
  return bytes.size() >= 26 && bytes[0] == 'B' && bytes[1] == 'M' && ParseHeader(bytes, h) ? 100
                                                                                           : 0;
}

bool ReadInfo(Bytes bytes, ImageInfo& info) {
  auto h = std::make_unique<Header>();
  if (!ParseHeader(bytes, *h)) return false;
  info.width = static_cast<uint32_t>(h->width);
  info.height = static_cast<uint32_t>(h->height);
  info.bitDepth = h->bitCount;
  if (h->xPelsPerMetre > 0 && h->yPelsPerMetre > 0) {
    info.resolution = {uint32_t(h->xPelsPerMetre), uint32_t(h->yPelsPerMetre), 2};
  } else {
    info.resolution = {};
  }
  return true;
}

MallocBlock Read(Bytes bytes, uint32_t& width, uint32_t& height) {
  auto h = std::make_unique<Header>();
  if (!ParseHeader(bytes, *h) || !DimensionsAllowed(h->width, h->height)) return nullptr;
  const std::size_t w = static_cast<std::size_t>(h->width),
                    ht = static_cast<std::size_t>(h->height);
  const Bytes data = bytes.subspan(h->pixelOffset);
  const std::size_t stride = (w * h->bitCount + 31) / 32 * 4;

  std::vector<uint8_t> rleIndices;
  if (h->compression == kRLE8 || h->compression == kRLE4) {
    rleIndices.assign(w * ht, 0);
    if (!DecodeRLE(data, *h, rleIndices.data())) return nullptr;
  } else if (data.size() / stride < ht) {
    return nullptr;  // truncated
  }

  MallocBlock out = AllocatePicture(w, ht, 4);
  if (!out) return nullptr;

  uint32_t masks[4] = {h->masks[0], h->masks[1], h->masks[2], h->masks[3]};
  if (h->compression == kRGB && h->bitCount == 16)
    masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
  int shifts[4], bits[4];
  for (int i = 0; i < 4; ++i) MaskShape(masks[i], shifts[i], bits[i]);
  const bool plain32 = h->compression == kRGB && h->bitCount == 32;
  bool anyAlpha = false;

  for (std::size_t fileRow = 0; fileRow < ht; ++fileRow) {
    const std::size_t y = h->topDown ? fileRow : ht - 1 - fileRow;
    uint8_t* dst = out.get() + y * w * 4;
    if (!rleIndices.empty()) {
      const uint8_t* idx = rleIndices.data() + fileRow * w;
      for (std::size_t x = 0; x < w; ++x, dst += 4) {
        const uint32_t c = h->palette[idx[x]];
        dst[0] = PaletteRed(c), dst[1] = PaletteGreen(c), dst[2] = PaletteBlue(c), dst[3] = 255;
      }
      continue;
    }
    const uint8_t* src = data.data() + fileRow * stride;
    switch (h->bitCount) {
      case 1:
      case 4:
      case 8: {
        const uint32_t bpp = h->bitCount, perByte = 8 / bpp, mask = (1u << bpp) - 1;
        for (std::size_t x = 0; x < w; ++x, dst += 4) {
          const uint32_t shift = 8 - bpp * (x % perByte + 1);
          const uint32_t c = h->palette[(src[x / perByte] >> shift) & mask];
          dst[0] = PaletteRed(c), dst[1] = PaletteGreen(c), dst[2] = PaletteBlue(c), dst[3] = 255;
        }
        break;
      }
      case 24:
        for (std::size_t x = 0; x < w; ++x, src += 3, dst += 4) {
          dst[0] = src[2], dst[1] = src[1], dst[2] = src[0], dst[3] = 255;
        }
        break;
      default:
        if (plain32) {
          for (std::size_t x = 0; x < w; ++x, src += 4, dst += 4) {
            dst[0] = src[2], dst[1] = src[1], dst[2] = src[0], dst[3] = src[3];
            anyAlpha |= src[3] != 0;
          }
        } else {
          for (std::size_t x = 0; x < w; ++x, dst += 4) {
            uint32_t v;
            if (h->bitCount == 16) {
              v = src[2 * x] | src[2 * x + 1] << 8;
            } else {
              v = uint32_t(src[4 * x]) | uint32_t(src[4 * x + 1]) << 8 |
                  uint32_t(src[4 * x + 2]) << 16 | uint32_t(src[4 * x + 3]) << 24;
            }
            for (int c = 0; c < 3; ++c) dst[c] = ScaleField((v & masks[c]) >> shifts[c], bits[c]);
            dst[3] = masks[3] ? ScaleField((v & masks[3]) >> shifts[3], bits[3]) : 255;
          }
        }
    }
  }
  // A 32-bit file whose fourth bytes are all zero has no alpha: most writers leave them unset.
  if (plain32 && !anyAlpha) {
    for (std::size_t i = 0; i < w * ht; ++i) out[i * 4 + 3] = 255;
  }
  width = static_cast<uint32_t>(w);
  height = static_cast<uint32_t>(ht);
  return out;
}

// Rows arrive bottom row first, the order in which the file stores them.
class BmpLineWriter final : public LineWriter {
 public:
  BmpLineWriter(FileDest& dest, uint32_t width, uint32_t height, uint32_t bitDepth)
      : LineWriter(kFileTypeBMP, width, height),
        dest_(dest),
        bitDepth_(bitDepth),
        stride_((uint64_t{width} * bitDepth + 31) / 32 * 4),
        row_(stride_, 0) {}

  bool Start(uint32_t paletteColours, const uint32_t* palette, const ISResolution* resolution) {
    const uint32_t paletteBytes = bitDepth_ == 8 ? paletteColours * 4 : 0;
    const uint64_t imageBytes = stride_ * height;
    const uint64_t offset = 14 + 40 + paletteBytes;
    const uint64_t fileBytes = offset + imageBytes;
    int32_t xppm = 0, yppm = 0;
    if (resolution) {
      const uint64_t scale = resolution->unit == 1 ? 100 : 1;  // per centimetre to per metre
      xppm = int32_t(std::min<uint64_t>(resolution->xRes * scale, INT32_MAX));
      yppm = int32_t(std::min<uint64_t>(resolution->yRes * scale, INT32_MAX));
    }
    dest_.Put8('B'), dest_.Put8('M');
    dest_.Put32le(fileBytes > UINT32_MAX ? 0 : uint32_t(fileBytes));
    dest_.Put32le(0);
    dest_.Put32le(uint32_t(offset));
    dest_.Put32le(40);
    dest_.Put32le(width), dest_.Put32le(height);
    dest_.Put16le(1), dest_.Put16le(uint16_t(bitDepth_));
    dest_.Put32le(kRGB);
    dest_.Put32le(imageBytes > UINT32_MAX ? 0 : uint32_t(imageBytes));
    dest_.Put32le(uint32_t(xppm)), dest_.Put32le(uint32_t(yppm));
    dest_.Put32le(bitDepth_ == 8 ? paletteColours : 0), dest_.Put32le(0);
    for (uint32_t i = 0; i < paletteBytes / 4; ++i) {
      const uint32_t c = palette[i];
      const uint8_t entry[4] = {PaletteBlue(c), PaletteGreen(c), PaletteRed(c), 0};
      dest_.Write(entry, 4);
    }
    return !dest_.failed;
  }

  bool WriteRow(const uint8_t* row) override {
    if (bitDepth_ == 8) {
      std::memcpy(row_.data(), row, width);
    } else {
      SwapRedBlue(row, row_.data(), width, bitDepth_ / 8);
    }
    return dest_.Write(row_.data(), row_.size());
  }
  bool Finish() override { return !dest_.failed; }
  uint32_t RowBytes() const override { return width * (bitDepth_ / 8); }

 private:
  FileDest& dest_;
  uint32_t bitDepth_;
  std::size_t stride_;
  std::vector<uint8_t> row_;
};

std::unique_ptr<BmpLineWriter> StartWriter(ISDest dest, uint32_t width, uint32_t height,
                                           uint32_t bitDepth, uint32_t paletteColours,
                                           const uint32_t* palette,
                                           const ISResolution* resolution) {
  if (!dest || width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX) return nullptr;
  if (bitDepth != 8 && bitDepth != 24 && bitDepth != 32) return nullptr;
  if (bitDepth == 8 && (!palette || paletteColours == 0 || paletteColours > 256)) return nullptr;
  if (uint64_t{width} * 4 > UINT32_MAX) return nullptr;
  auto writer = std::unique_ptr<BmpLineWriter>(new (std::nothrow)
                                                   BmpLineWriter(*dest, width, height, bitDepth));
  if (!writer || !writer->Start(paletteColours, palette, resolution)) return nullptr;
  return writer;
}

}  // namespace bmp_codec

int32_t IS3WriteBMP(ISDest dest, const void* pixels, uint32_t width, uint32_t height,
                    uint32_t bitDepth, uint32_t paletteColours, const uint32_t* palette,
                    const ISResolution* resolution, uint32_t flags) {
  if (!pixels) return 0;
  try {
    auto writer =
        bmp_codec::StartWriter(dest, width, height, bitDepth, paletteColours, palette, resolution);
    if (!writer) return 0;
    const std::size_t rowBytes = std::size_t{width} * (bitDepth / 8);
    const auto* src = static_cast<const uint8_t*>(pixels);
    for (uint32_t i = 0; i < height; ++i) {
      if (!writer->WriteRow(src + (height - 1 - i) * rowBytes)) return 0;
    }
    return writer->Finish() ? 1 : 0;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

ISLineWriter IS40_InitWriteBMPLines(ISDest dest, uint32_t width, uint32_t height, uint32_t bitDepth,
                                    uint32_t paletteColours, const uint32_t* palette,
                                    const ISResolution* resolution, uint32_t flags) {
  try {
    return bmp_codec::StartWriter(dest, width, height, bitDepth, paletteColours, palette,
                                  resolution)
        .release();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

int32_t IS40_WriteNextBMPLine(ISLineWriter writer, const void* row) {
  return WriteNextLine(writer, kFileTypeBMP, row);
}
int32_t IS40_DestroyWriteBMPLines(ISLineWriter writer) {
  return DestroyLineWriter(writer, kFileTypeBMP);
}

}  // namespace imaging
