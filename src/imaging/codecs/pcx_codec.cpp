// PCX: a 128-byte header, then each row as planes of bytesPerLine bytes, run-length coded (a
// byte of 0xC0 | n repeats the next byte n times); 256-colour pictures end with 0x0C and a
// 768-byte palette.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "imaging/codecs/byte_reader.h"
#include "imaging/codecs/codec_table.h"
#include "imaging/codecs/row_convert.h"
#include "imaging/picture_writers.h"

namespace imaging {
namespace pcx_codec {
namespace {

struct Header {
  uint8_t version = 0, encoding = 0, bits = 0, planes = 0;
  uint32_t width = 0, height = 0;
  uint16_t hdpi = 0, vdpi = 0, bytesPerLine = 0;
  uint8_t egaPalette[48] = {};
};

bool ParseHeader(Bytes bytes, Header& h) {
  ByteReader r(bytes);
  if (r.u8() != 0x0A) return false;
  h.version = r.u8(), h.encoding = r.u8(), h.bits = r.u8();
  const uint16_t xmin = r.u16le(), ymin = r.u16le(), xmax = r.u16le(), ymax = r.u16le();
  h.hdpi = r.u16le(), h.vdpi = r.u16le();
  const auto ega = r.take(48);
  r.skip(1);
  h.planes = r.u8();
  h.bytesPerLine = r.u16le();
  if (!r.ok() || r.size() < 128 || xmax < xmin || ymax < ymin) return false;
  std::memcpy(h.egaPalette, ega.data(), 48);
  if (h.version > 5 || h.version == 1 || h.encoding > 1) return false;
  h.width = uint32_t(xmax) - xmin + 1;
  h.height = uint32_t(ymax) - ymin + 1;
  const bool known = (h.bits == 8 && (h.planes == 1 || h.planes == 3 || h.planes == 4)) ||
                     (h.bits == 1 && h.planes >= 1 && h.planes <= 4) ||
                     ((h.bits == 2 || h.bits == 4) && h.planes == 1);
  if (!known) return false;
  // Each plane line must hold the row's bits.
  return uint64_t{h.bytesPerLine} * 8 >= uint64_t{h.width} * h.bits;
}

// Decodes run-length data a line at a time; a run may continue into the next line (some writers
// do that) but never past the picture.
class RunDecoder {
 public:
  explicit RunDecoder(Bytes data, bool encoded) : r_(data), encoded_(encoded) {}
  bool Line(uint8_t* out, std::size_t count) {
    std::size_t i = 0;
    while (i < count) {
      if (pending_ == 0) {
        const uint8_t b = r_.u8();
        if (!r_.ok()) return false;
        if (encoded_ && (b & 0xC0) == 0xC0) {
          pending_ = b & 0x3F;
          value_ = r_.u8();
          if (!r_.ok()) return false;
        } else {
          pending_ = 1;
          value_ = b;
        }
      }
      const std::size_t n = std::min<std::size_t>(pending_, count - i);
      std::memset(out + i, value_, n);
      i += n;
      pending_ -= uint32_t(n);
    }
    return true;
  }
  bool Clean() const { return pending_ == 0; }

 private:
  ByteReader r_;
  bool encoded_;
  uint32_t pending_ = 0;
  uint8_t value_ = 0;
};

}  // namespace

int Sniff(Bytes bytes) {
  Header h;
  return ParseHeader(bytes, h) ? 60 : 0;
}

bool ReadInfo(Bytes bytes, ImageInfo& info) {
  Header h;
  if (!ParseHeader(bytes, h)) return false;
  info.width = h.width;
  info.height = h.height;
  info.bitDepth = uint32_t(h.bits) * h.planes;
  info.resolution = {h.hdpi, h.vdpi, h.hdpi ? 2u : 0u};  // dots per inch, in TIFF's unit code
  return true;
}

MallocBlock Read(Bytes bytes, uint32_t& width, uint32_t& height) {
  Header h;
  if (!ParseHeader(bytes, h) || !DimensionsAllowed(h.width, h.height)) return nullptr;
  const std::size_t w = h.width, lineBytes = std::size_t{h.bytesPerLine} * h.planes;

  uint8_t palette[256][3] = {};
  if (h.bits == 8 && h.planes == 1) {
    const bool tail = bytes.size() >= 128 + 769 && bytes[bytes.size() - 769] == 0x0C;
    for (int i = 0; i < 256; ++i) {
      for (int c = 0; c < 3; ++c)
        palette[i][c] = tail ? bytes[bytes.size() - 768 + i * 3 + c] : uint8_t(i);
    }
  } else if (h.bits == 1 && h.planes == 1) {
    std::memset(palette[1], 255, 3);  // black and white
  } else {
    for (int i = 0; i < 16; ++i) std::memcpy(palette[i], h.egaPalette + i * 3, 3);
  }

  MallocBlock out = AllocatePicture(w, h.height, 4);
  if (!out) return nullptr;
  try {
    std::vector<uint8_t> line(lineBytes);
    RunDecoder decoder(bytes.subspan(128), h.encoding == 1);
    for (std::size_t y = 0; y < h.height; ++y) {
      if (!decoder.Line(line.data(), lineBytes)) return nullptr;
      uint8_t* dst = out.get() + y * w * 4;
      const uint8_t* p = line.data();
      const std::size_t bpl = h.bytesPerLine;
      for (std::size_t x = 0; x < w; ++x, dst += 4) {
        if (h.bits == 8 && h.planes >= 3) {
          dst[0] = p[x], dst[1] = p[bpl + x], dst[2] = p[2 * bpl + x];
          dst[3] = h.planes == 4 ? p[3 * bpl + x] : 255;
          continue;
        }
        uint32_t index = 0;
        if (h.bits == 8) {
          index = p[x];
        } else if (h.planes == 1) {  // packed 1, 2 or 4 bits
          const uint32_t perByte = 8u / h.bits, shift = 8 - h.bits * (uint32_t(x % perByte) + 1);
          index = (p[x / perByte] >> shift) & ((1u << h.bits) - 1);
        } else {  // one bit from each plane
          for (uint32_t plane = 0; plane < h.planes; ++plane) {
            index |= ((p[plane * bpl + x / 8] >> (7 - x % 8)) & 1u) << plane;
          }
        }
        dst[0] = palette[index][0], dst[1] = palette[index][1], dst[2] = palette[index][2],
        dst[3] = 255;
      }
    }
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  width = h.width;
  height = h.height;
  return out;
}

}  // namespace pcx_codec

namespace {

// One plane line, run-length coded: runs of at most 63, and any byte with its top two bits set
// goes out as a run so that it is not taken for a count.
void EncodeLine(const uint8_t* p, std::size_t n, std::vector<uint8_t>& out) {
  std::size_t x = 0;
  while (x < n) {
    std::size_t run = 1;
    while (x + run < n && run < 63 && p[x + run] == p[x]) ++run;
    if (run > 1 || (p[x] & 0xC0) == 0xC0) out.push_back(uint8_t(0xC0 | run));
    out.push_back(p[x]);
    x += run;
  }
}

}  // namespace

int32_t IS3WritePCX(ISDest dest, const void* pixels, uint32_t width, uint32_t height,
                    uint32_t bitDepth, const uint32_t* palette, uint32_t flags) {
  if (!dest || !pixels || width == 0 || height == 0 || width > 65535 || height > 65535) return 0;
  if (bitDepth != 8 && bitDepth != 24) return 0;
  const uint32_t planes = bitDepth / 8;
  const uint32_t bytesPerLine = (width + 1) & ~1u;  // even, as the format asks
  uint8_t header[128] = {};
  header[0] = 0x0A, header[1] = 5, header[2] = 1, header[3] = 8;
  const uint32_t xmax = width - 1, ymax = height - 1;
  header[8] = uint8_t(xmax), header[9] = uint8_t(xmax >> 8), header[10] = uint8_t(ymax),
  header[11] = uint8_t(ymax >> 8);
  header[12] = 72, header[14] = 72;
  header[65] = uint8_t(planes);
  header[66] = uint8_t(bytesPerLine), header[67] = uint8_t(bytesPerLine >> 8);
  header[68] = bitDepth == 8 && !palette ? 2 : 1;  // grey or colour
  if (!dest->Write(header, sizeof header)) return 0;
  try {
    const auto* src = static_cast<const uint8_t*>(pixels);
    std::vector<uint8_t> plane(bytesPerLine, 0), encoded;
    encoded.reserve(std::size_t{bytesPerLine} * 2 * planes);
    for (uint32_t y = 0; y < height; ++y) {
      encoded.clear();
      const uint8_t* row = src + std::size_t{y} * width * planes;
      for (uint32_t c = 0; c < planes; ++c) {
        for (uint32_t x = 0; x < width; ++x) plane[x] = row[std::size_t{x} * planes + c];
        EncodeLine(plane.data(), bytesPerLine, encoded);
      }
      if (!dest->Write(encoded.data(), encoded.size())) return 0;
    }
  } catch (const std::bad_alloc&) {
    return 0;
  }
  if (bitDepth == 8) {
    uint8_t tail[769];
    tail[0] = 0x0C;
    for (int i = 0; i < 256; ++i) {
      const uint32_t c = palette ? palette[i] : uint32_t(i) * 0x010101u;
      tail[1 + i * 3] = PaletteRed(c), tail[2 + i * 3] = PaletteGreen(c),
                   tail[3 + i * 3] = PaletteBlue(c);
    }
    if (!dest->Write(tail, sizeof tail)) return 0;
  }
  return dest->failed ? 0 : 1;
}

}  // namespace imaging
