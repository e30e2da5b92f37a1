// PSD: the merged image only. A 26-byte header, then three length-prefixed sections (colour mode
// data, image resources, layers), then the merged channels one after another, raw or PackBits
// with a table of byte counts for every row of every channel. Everything is big-endian.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "imaging/codecs/byte_reader.h"
#include "imaging/codecs/codec_table.h"
#include "imaging/picture_readers.h"
#include "imaging/picture_writers.h"

namespace imaging {
namespace psd_codec {
namespace {

constexpr uint16_t kGrey = 1, kIndexed = 2, kRGB = 3, kCMYK = 4;
constexpr uint16_t kResolutionInfo = 0x03ED;

struct Layout {
  uint16_t channels = 0, depth = 0, mode = 0;
  uint32_t width = 0, height = 0;
  Bytes colourData;
  ISResolution resolution;
  std::size_t imageData = 0;  // offset of the compression word
};

void ReadResources(Bytes resources, Layout& l) {
  ByteReader r(resources);
  while (r.ok() && r.remaining() >= 12) {
    if (r.u32be() != 0x3842494D) return;  // "8BIM"
    const uint16_t id = r.u16be();
    const uint8_t nameLength = r.u8();
    r.skip(nameLength + ((nameLength + 1) & 1));  // the name and its length byte fill an even count
    const uint32_t size = r.u32be();
    const auto data = r.take(size);
    r.skip(size & 1);
    if (!r.ok()) return;
    if (id == kResolutionInfo && size >= 16) {
      ByteReader d(data);
      const uint32_t h = d.u32be();
      const uint16_t hUnit = d.u16be();
      d.skip(2);
      const uint32_t v = d.u32be();
      // Fixed 16.16 values; unit 1 is per inch, 2 per centimetre (reported as TIFF's 2 and 3).
      if (hUnit == 1 || hUnit == 2) {
        l.resolution = {(h + 0x8000) >> 16, (v + 0x8000) >> 16, hUnit + 1u};
      }
    }
  }
}

bool ParseLayout(Bytes bytes, Layout& l) {
  ByteReader r(bytes);
  if (r.u32be() != 0x38425053 || r.u16be() != 1) return false;  // "8BPS", version 1
  r.skip(6);
  l.channels = r.u16be();
  l.height = r.u32be();
  l.width = r.u32be();
  l.depth = r.u16be();
  l.mode = r.u16be();
  const uint32_t colourBytes = r.u32be();
  l.colourData = r.take(colourBytes);
  const uint32_t resourceBytes = r.u32be();
  const auto resources = r.take(resourceBytes);
  const uint32_t layerBytes = r.u32be();
  r.skip(layerBytes);
  if (!r.ok() || l.channels < 1 || l.channels > 56 || l.width == 0 || l.height == 0) return false;
  ReadResources(resources, l);
  l.imageData = r.position();
  return true;
}

// The colour channels a mode needs and whether one more (alpha) follows them.
uint32_t ColourChannels(uint16_t mode) {
  switch (mode) {
    case kGrey:
    case kIndexed:
      return 1;
    case kRGB:
      return 3;
    case kCMYK:
      return 4;
    default:
      return 0;
  }
}

// PackBits: n < 128 copies n + 1 literal bytes, n > 128 repeats the next byte 257 - n times.
bool UnpackBits(Bytes in, uint8_t* out, std::size_t count) {
  std::size_t i = 0, o = 0;
  while (o < count) {
    if (i >= in.size()) return false;
    const uint8_t n = in[i++];
    if (n < 128) {
      const std::size_t len = n + 1u;
      if (len > in.size() - i || len > count - o) return false;
      std::memcpy(out + o, in.data() + i, len);
      i += len, o += len;
    } else if (n > 128) {
      const std::size_t len = 257u - n;
      if (i >= in.size() || len > count - o) return false;
      std::memset(out + o, in[i++], len);
      o += len;
    }
  }
  return true;
}

}  // namespace

int Sniff(Bytes bytes) {
  return bytes.size() >= 26 && std::memcmp(bytes.data(), "8BPS\0\1", 6) == 0 ? 100 : 0;
}

bool ReadInfo(Bytes bytes, ImageInfo& info) {
  Layout l;
  if (!ParseLayout(bytes, l)) return false;
  info.width = l.width;
  info.height = l.height;
  info.bitDepth = uint32_t(l.depth) * l.channels;
  info.resolution = l.resolution;
  return true;
}

MallocBlock Read(Bytes bytes, uint32_t& width, uint32_t& height) {
  Layout l;
  if (!ParseLayout(bytes, l) || !DimensionsAllowed(l.width, l.height)) return nullptr;
  const uint32_t colours = ColourChannels(l.mode);
  if (colours == 0 || l.channels < colours || (l.depth != 8 && l.depth != 16)) return nullptr;
  if (l.mode == kIndexed && (l.depth != 8 || l.colourData.size() < 768)) return nullptr;
  const bool alpha = l.channels > colours;
  const uint32_t used = colours + (alpha ? 1 : 0);  // channels read
  const std::size_t w = l.width, h = l.height, sample = l.depth / 8, rowBytes = w * sample;

  ByteReader r(bytes);
  r.seek(l.imageData);
  const uint16_t compression = r.u16be();
  if (!r.ok() || compression > 1) return nullptr;
  // Byte counts of every row of every channel, then the data of each channel in turn.
  std::vector<uint16_t> counts;
  std::size_t dataStart = r.position();
  try {
    if (compression == 1) {
      const std::size_t rows = std::size_t{l.channels} * h;
      if (r.remaining() / 2 < rows) return nullptr;
      counts.resize(rows);
      for (auto& c : counts) c = r.u16be();
      dataStart = r.position();
    } else if (r.remaining() / rowBytes / h < used) {
      return nullptr;  // truncated
    }
  } catch (const std::bad_alloc&) {
    return nullptr;
  }

  MallocBlock out = AllocatePicture(w, h, 4);
  if (!out) return nullptr;
  try {
    std::vector<uint8_t> row(rowBytes);
    std::size_t offset = dataStart;
    auto readChannel = [&](uint32_t channel, int slot) {
      for (std::size_t y = 0; y < h; ++y) {
        const uint8_t* src;
        if (compression == 1) {
          const std::size_t n = counts[channel * h + y];
          if (n > bytes.size() - offset ||
              !UnpackBits(bytes.subspan(offset, n), row.data(), rowBytes))
            return false;
          offset += n;
          src = row.data();
        } else {
          src = bytes.data() + offset;
          offset += rowBytes;
        }
        uint8_t* dst = out.get() + y * w * 4 + slot;
        for (std::size_t x = 0; x < w; ++x) dst[x * 4] = src[x * sample];  // 16-bit: high byte
      }
      return true;
    };
    for (uint32_t c = 0; c < colours; ++c) {
      if (!readChannel(c, int(c))) return nullptr;
    }
    uint8_t* p = out.get();
    for (std::size_t i = 0; i < w * h; ++i, p += 4) {
      if (l.mode == kGrey) {
        p[1] = p[2] = p[0];
      } else if (l.mode == kIndexed) {
        const uint8_t index = p[0];
        p[0] = l.colourData[index], p[1] = l.colourData[256 + index],
        p[2] = l.colourData[512 + index];
      } else if (l.mode == kCMYK) {
        // Stored inverted (255 is no ink): red = c x k / 255.
        const uint32_t k = p[3];
        for (int c = 0; c < 3; ++c) p[c] = uint8_t((p[c] * k + 127) / 255);
      }
      p[3] = 255;
    }
    // The first channel after the colour channels is the merged transparency.
    if (alpha && !readChannel(colours, 3)) return nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  width = l.width;
  height = l.height;
  return out;
}

}  // namespace psd_codec

int32_t IS3GetPSDDims(ISSource source, uint32_t* width, uint32_t* height, uint32_t* bitDepth,
                      ISResolution* resolution) {
  if (!source) return 0;
  ImageInfo info;
  if (!psd_codec::ReadInfo(source->Remaining(), info)) return 0;
  if (width) *width = info.width;
  if (height) *height = info.height;
  if (bitDepth) *bitDepth = info.bitDepth;
  if (resolution) *resolution = info.resolution;
  return 1;
}

namespace {

// PackBits for one row: repeats of 3 or more become runs, everything else literals of <= 128.
std::size_t PackBits(const uint8_t* p, std::size_t n, uint8_t* out) {
  std::size_t o = 0, x = 0;
  while (x < n) {
    std::size_t run = 1;
    while (x + run < n && run < 128 && p[x + run] == p[x]) ++run;
    if (run >= 3) {
      out[o++] = uint8_t(257 - run);
      out[o++] = p[x];
      x += run;
      continue;
    }
    std::size_t lit = 0;
    while (x + lit < n && lit < 128) {
      if (x + lit + 2 < n && p[x + lit] == p[x + lit + 1] && p[x + lit] == p[x + lit + 2]) break;
      ++lit;
    }
    out[o++] = uint8_t(lit - 1);
    std::memcpy(out + o, p + x, lit);
    o += lit, x += lit;
  }
  return o;
}

}  // namespace

int32_t IS3WritePSD(ISDest dest, const void* pixels, uint32_t width, uint32_t height,
                    uint32_t bitDepth, uint32_t rle, uint32_t flags) {
  if (!dest || !pixels || width == 0 || height == 0 || width > 30000 || height > 30000) return 0;
  if (bitDepth != 8 && bitDepth != 24 && bitDepth != 32) return 0;
  const uint32_t channels = bitDepth / 8;
  FileDest& d = *dest;
  d.Write("8BPS", 4), d.Put16be(1);
  d.Write("\0\0\0\0\0\0", 6);
  d.Put16be(uint16_t(channels)), d.Put32be(height), d.Put32be(width);
  d.Put16be(8), d.Put16be(channels == 1 ? 1 : 3);
  d.Put32be(0), d.Put32be(0), d.Put32be(0);  // no colour data, resources or layers
  d.Put16be(rle ? 1 : 0);
  try {
    const auto* src = static_cast<const uint8_t*>(pixels);
    std::vector<uint8_t> plane(width), packed(width + width / 128 + 2);
    auto planeRow = [&](uint32_t c, uint32_t y) {
      const uint8_t* row = src + std::size_t{y} * width * channels;
      for (uint32_t x = 0; x < width; ++x) plane[x] = row[std::size_t{x} * channels + c];
    };
    if (rle) {  // the byte-count table comes first: one pass to count, one to write
      for (uint32_t c = 0; c < channels; ++c) {
        for (uint32_t y = 0; y < height; ++y) {
          planeRow(c, y);
          d.Put16be(uint16_t(PackBits(plane.data(), width, packed.data())));
        }
      }
    }
    for (uint32_t c = 0; c < channels && !d.failed; ++c) {
      for (uint32_t y = 0; y < height; ++y) {
        planeRow(c, y);
        if (rle) {
          d.Write(packed.data(), PackBits(plane.data(), width, packed.data()));
        } else {
          d.Write(plane.data(), width);
        }
      }
    }
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return d.failed ? 0 : 1;
}

}  // namespace imaging
