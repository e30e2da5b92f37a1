// TGA: an 18-byte header, an image id, an optional colour map, then pixels (raw or run-length
// packets), bottom-up unless bit 5 of the descriptor says top-down. The format has no signature;
// the sniff accepts only headers whose every field is one the format defines, and scores low.
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "imaging/codecs/byte_reader.h"
#include "imaging/codecs/codec_table.h"
#include "imaging/codecs/line_writer.h"
#include "imaging/picture_writers.h"

namespace imaging {
namespace tga_codec {
namespace {

struct Header {
  uint8_t idLength = 0, mapType = 0, imageType = 0;
  uint16_t mapFirst = 0, mapLength = 0;
  uint8_t mapEntryBits = 0;
  uint16_t width = 0, height = 0;
  uint8_t bits = 0, descriptor = 0;
};

bool ParseHeader(ByteReader& r, Header& h) {
  h.idLength = r.u8(), h.mapType = r.u8(), h.imageType = r.u8();
  h.mapFirst = r.u16le(), h.mapLength = r.u16le(), h.mapEntryBits = r.u8();
  r.skip(4);
  h.width = r.u16le(), h.height = r.u16le();
  h.bits = r.u8(), h.descriptor = r.u8();
  if (!r.ok() || h.width == 0 || h.height == 0 || h.mapType > 1) return false;
  const uint8_t base = h.imageType & 7;
  if ((h.imageType & ~8) != base || base < 1 || base > 3) return false;
  if (base == 1) {
    if (h.mapType != 1 || h.bits != 8 || h.mapLength == 0) return false;
    if (h.mapEntryBits != 15 && h.mapEntryBits != 16 && h.mapEntryBits != 24 &&
        h.mapEntryBits != 32)
      return false;
  } else if (base == 2) {
    if (h.bits != 15 && h.bits != 16 && h.bits != 24 && h.bits != 32) return false;
  } else if (h.bits != 8 && h.bits != 16) {
    return false;  // grey, or grey and alpha
  }
  return (h.descriptor & 0xC0) == 0;
}

// One stored pixel (in the file's byte order, blue first) to RGBA.
void Decode(const uint8_t* p, uint32_t bits, bool grey, uint8_t* out) {
  if (grey) {
    out[0] = out[1] = out[2] = p[0];
    out[3] = bits == 16 ? p[1] : 255;
    return;
  }
  switch (bits) {
    case 15:
    case 16: {
      const uint32_t v = p[0] | p[1] << 8;
      out[0] = uint8_t(((v >> 10) & 31) * 255 / 31);
      out[1] = uint8_t(((v >> 5) & 31) * 255 / 31);
      out[2] = uint8_t((v & 31) * 255 / 31);
      out[3] = 255;
      break;
    }
    case 24:
      out[0] = p[2], out[1] = p[1], out[2] = p[0], out[3] = 255;
      break;
    default:
      out[0] = p[2], out[1] = p[1], out[2] = p[0], out[3] = p[3];
  }
}

}  // namespace

int Sniff(Bytes bytes) {
  ByteReader r(bytes);
  Header h;
  if (!ParseHeader(r, h)) return 0;
  // A footer signature makes it certain; a plausible header alone only beats nothing.
  if (bytes.size() >= 26 &&
      std::memcmp(bytes.data() + bytes.size() - 18, "TRUEVISION-XFILE.", 17) == 0)
    return 90;
  return 10;
}

bool ReadInfo(Bytes bytes, ImageInfo& info) {
  ByteReader r(bytes);
  Header h;
  if (!ParseHeader(r, h)) return false;
  info.width = h.width;
  info.height = h.height;
  info.bitDepth = h.bits;
  info.resolution = {};
  return true;
}

MallocBlock Read(Bytes bytes, uint32_t& width, uint32_t& height) {
  ByteReader r(bytes);
  Header h;
  if (!ParseHeader(r, h) || !DimensionsAllowed(h.width, h.height)) return nullptr;
  r.skip(h.idLength);
  const uint8_t base = h.imageType & 7;
  const bool rle = h.imageType & 8;

  // The colour map, indexed from mapFirst; indices outside it fail the read.
  std::vector<uint8_t> map;
  if (h.mapType == 1) {
    const uint32_t entryBytes = (h.mapEntryBits + 7) / 8;
    const auto raw = r.take(std::size_t{h.mapLength} * entryBytes);
    if (!r.ok()) return nullptr;
    if (base == 1) {
      map.resize(std::size_t{h.mapLength} * 4);
      for (uint32_t i = 0; i < h.mapLength; ++i) {
        Decode(raw.data() + i * entryBytes, h.mapEntryBits, false, map.data() + i * 4);
      }
    }
  }
  const uint32_t pixelBytes = (h.bits + 7) / 8;
  const std::size_t w = h.width, ht = h.height, count = w * ht;
  MallocBlock out = AllocatePicture(w, ht, 4);
  if (!out) return nullptr;

  const bool topDown = h.descriptor & 0x20, rightToLeft = h.descriptor & 0x10;
  auto place = [&](std::size_t i) {  // file order to picture position
    const std::size_t fileRow = i / w, fileCol = i % w;
    const std::size_t y = topDown ? fileRow : ht - 1 - fileRow;
    const std::size_t x = rightToLeft ? w - 1 - fileCol : fileCol;
    return out.get() + (y * w + x) * 4;
  };
  auto emit = [&](const uint8_t* p, std::size_t i) {
    uint8_t* dst = place(i);
    if (base == 1) {
      const uint32_t index = p[0];
      if (index < h.mapFirst || index - h.mapFirst >= h.mapLength) return false;
      std::memcpy(dst, map.data() + (index - h.mapFirst) * 4, 4);
    } else {
      Decode(p, h.bits, base == 3, dst);
    }
    return true;
  };

  std::size_t i = 0;
  while (i < count) {
    std::size_t run = 1;
    bool repeat = false;
    if (rle) {
      const uint8_t packet = r.u8();
      run = (packet & 0x7F) + 1u;
      repeat = packet & 0x80;
      if (run > count - i) return nullptr;  // a packet may not run past the picture
    }
    if (repeat) {
      const auto p = r.take(pixelBytes);
      if (!r.ok()) return nullptr;
      for (std::size_t k = 0; k < run; ++k) {
        if (!emit(p.data(), i + k)) return nullptr;
      }
    } else {
      if (!rle) run = count;
      const auto p = r.take(run * pixelBytes);
      if (!r.ok()) return nullptr;
      for (std::size_t k = 0; k < run; ++k) {
        if (!emit(p.data() + k * pixelBytes, i + k)) return nullptr;
      }
    }
    i += run;
  }
  width = h.width;
  height = h.height;
  return out;
}

}  // namespace tga_codec

namespace {

// Rows arrive top row first and the header says so, so no row is ever held back.
class TgaLineWriter final : public LineWriter {
 public:
  TgaLineWriter(FileDest& dest, uint32_t width, uint32_t height, uint32_t bitDepth, bool rle)
      : LineWriter(kFileTypeTGA, width, height),
        dest_(dest),
        channels_(bitDepth / 8),
        rle_(rle),
        row_(std::size_t{width} * channels_),
        packed_(rle ? row_.size() + row_.size() / 128 + 2 : 0) {}

  bool Start() {
    const uint8_t type = uint8_t((channels_ == 1 ? 3 : 2) | (rle_ ? 8 : 0));
    const uint8_t alphaBits = channels_ == 4 ? 8 : 0;
    const uint8_t header[18] = {0,
                                0,
                                type,
                                0,
                                0,
                                0,
                                0,
                                0,
                                0,
                                0,
                                0,
                                0,
                                uint8_t(width),
                                uint8_t(width >> 8),
                                uint8_t(height),
                                uint8_t(height >> 8),
                                uint8_t(channels_ * 8),
                                uint8_t(0x20 | alphaBits)};
    return dest_.Write(header, sizeof header);
  }

  bool WriteRow(const uint8_t* row) override {
    for (std::size_t x = 0; x < width; ++x) {  // red first to blue first
      const uint8_t* s = row + x * channels_;
      uint8_t* d = row_.data() + x * channels_;
      if (channels_ == 1) {
        d[0] = s[0];
        continue;
      }
      d[0] = s[2], d[1] = s[1], d[2] = s[0];
      if (channels_ == 4) d[3] = s[3];
    }
    if (!rle_) return dest_.Write(row_.data(), row_.size());
    return dest_.Write(packed_.data(), PackRow());
  }

  bool Finish() override {
    if (failed) return false;
    static const char kFooter[26] = "\0\0\0\0\0\0\0\0TRUEVISION-XFILE.";
    return dest_.Write(kFooter, 26);
  }
  uint32_t RowBytes() const override { return width * channels_; }

 private:
  // Packets never cross rows: runs of 2+ equal pixels become repeat packets, the rest raw ones.
  std::size_t PackRow() {
    const std::size_t n = width, c = channels_;
    const uint8_t* p = row_.data();
    std::size_t out = 0, x = 0;
    auto same = [&](std::size_t a, std::size_t b) {
      return std::memcmp(p + a * c, p + b * c, c) == 0;
    };
    while (x < n) {
      std::size_t run = 1;
      while (x + run < n && run < 128 && same(x, x + run)) ++run;
      if (run >= 2) {
        packed_[out++] = uint8_t(0x80 | (run - 1));
        std::memcpy(&packed_[out], p + x * c, c);
        out += c;
        x += run;
        continue;
      }
      std::size_t raw = 1;
      while (x + raw < n && raw < 128 && !(x + raw + 1 < n && same(x + raw, x + raw + 1))) ++raw;
      packed_[out++] = uint8_t(raw - 1);
      std::memcpy(&packed_[out], p + x * c, raw * c);
      out += raw * c;
      x += raw;
    }
    return out;
  }

  FileDest& dest_;
  uint32_t channels_;
  bool rle_;
  std::vector<uint8_t> row_;
  std::vector<uint8_t> packed_;
};

std::unique_ptr<TgaLineWriter> StartTga(ISDest dest, uint32_t width, uint32_t height,
                                        uint32_t bitDepth, uint32_t rle) {
  if (!dest || width == 0 || height == 0 || width > 65535 || height > 65535) return nullptr;
  if (bitDepth != 8 && bitDepth != 24 && bitDepth != 32) return nullptr;
  try {
    auto writer = std::make_unique<TgaLineWriter>(*dest, width, height, bitDepth, rle != 0);
    if (!writer->Start()) return nullptr;
    return writer;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

int32_t IS3WriteTGA(ISDest dest, const void* pixels, uint32_t width, uint32_t height,
                    uint32_t bitDepth, uint32_t rle, uint32_t flags) {
  if (!pixels) return 0;
  auto writer = StartTga(dest, width, height, bitDepth, rle);
  if (!writer) return 0;
  const auto* src = static_cast<const uint8_t*>(pixels);
  const std::size_t rowBytes = std::size_t{width} * (bitDepth / 8);
  for (uint32_t y = 0; y < height; ++y) {
    if (!writer->WriteRow(src + y * rowBytes)) return 0;
  }
  return writer->Finish() ? 1 : 0;
}

ISLineWriter IS40_InitWriteTGALines(ISDest dest, uint32_t width, uint32_t height, uint32_t bitDepth,
                                    uint32_t rle, uint32_t flags) {
  return StartTga(dest, width, height, bitDepth, rle).release();
}

int32_t IS40_WriteNextTGALine(ISLineWriter writer, const void* row) {
  return WriteNextLine(writer, kFileTypeTGA, row);
}
int32_t IS40_DestroyWriteTGALines(ISLineWriter writer) {
  return DestroyLineWriter(writer, kFileTypeTGA);
}

}  // namespace imaging
