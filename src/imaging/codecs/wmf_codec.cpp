// WMF: the placeable Windows metafile. Recognised by its key so that callers can route it to the
// metafile path, and measured from its bounding box; its drawing records are not rendered.
#include "imaging/codecs/byte_reader.h"
#include "imaging/codecs/codec_table.h"

namespace imaging {
namespace wmf_codec {
namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;

bool Measure(Bytes bytes, ImageInfo& info) {
  ByteReader r(bytes);
  if (r.u32le() != kPlaceableKey) return false;
  r.skip(2);
  const auto left = int16_t(r.u16le()), top = int16_t(r.u16le());
  const auto right = int16_t(r.u16le()), bottom = int16_t(r.u16le());
  const uint16_t unitsPerInch = r.u16le();
  if (!r.ok() || right <= left || bottom <= top || unitsPerInch == 0) return false;
  // Shown at 96 pixels an inch.
  info.width = uint32_t((int32_t(right) - left) * 96 / unitsPerInch);
  info.height = uint32_t((int32_t(bottom) - top) * 96 / unitsPerInch);
  info.bitDepth = 24;
  info.resolution = {};
  return info.width > 0 && info.height > 0;
}

}  // namespace

int Sniff(Bytes bytes) {
  ImageInfo info;
  return Measure(bytes, info) ? 100 : 0;
}

bool ReadInfo(Bytes bytes, ImageInfo& info) { return Measure(bytes, info); }

MallocBlock Read(Bytes, uint32_t&, uint32_t&) { return nullptr; }

}  // namespace wmf_codec
}  // namespace imaging
