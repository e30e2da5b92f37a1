#include "imaging/picture_readers.h"

#include <cstring>

#include "imaging/codecs/codec_table.h"

namespace imaging {
namespace {

MallocBlock ReadRGBA(ISSource source, uint32_t& width, uint32_t& height) {
  if (!source) return nullptr;
  const Bytes bytes = source->Remaining();
  const CodecEntry* codec = CodecForType(GuessType(bytes));
  if (!codec) return nullptr;
  return codec->read(bytes, width, height);
}

int32_t Dims(ISSource source, bool (*readInfo)(Bytes, ImageInfo&), uint32_t* width,
             uint32_t* height, uint32_t* bitDepth, ISResolution* resolution) {
  if (!source) return 0;
  ImageInfo info;
  if (!readInfo(source->Remaining(), info)) return 0;
  if (width) *width = info.width;
  if (height) *height = info.height;
  if (bitDepth) *bitDepth = info.bitDepth;
  if (resolution) *resolution = info.resolution;
  return 1;
}

}  // namespace

uint8_t* IS3ReadImageToRGBA(ISSource source, uint32_t* width, uint32_t* height, uint32_t flags) {
  if (!width || !height) return nullptr;
  uint32_t w = 0, h = 0;
  MallocBlock pixels = ReadRGBA(source, w, h);
  if (!pixels) return nullptr;
  *width = w;
  *height = h;
  return pixels.release();
}

uint8_t* IS40_ReadImage(ISSource source, uint32_t* width, uint32_t* height, uint32_t format,
                        uint32_t flags) {
  if (!width || !height || format > kReadFormatRGBA32) return nullptr;
  uint32_t w = 0, h = 0;
  MallocBlock pixels = ReadRGBA(source, w, h);
  if (!pixels) return nullptr;
  if (format == kReadFormatRGB24) {
    // Packs in place: each pixel moves to a lower or equal address.
    uint8_t* p = pixels.get();
    const std::size_t count = std::size_t{w} * h;
    for (std::size_t i = 0; i < count; ++i) std::memmove(p + i * 3, p + i * 4, 3);
  }
  *width = w;
  *height = h;
  return pixels.release();
}

int32_t IS40_ReadImageInto(ISSource source, void* dst, uint32_t width, uint32_t height,
                           uint32_t format) {
  if (!source || !dst || width == 0 || height == 0 || format > kReadFormatRGBA32) return 0;
  const uint32_t channels = format == kReadFormatRGBA32 ? 4 : 3;
  auto* out = static_cast<uint8_t*>(dst);
  const Bytes bytes = source->Remaining();
  if (GuessType(bytes) == kFileTypeJPEG) {
    const DirectRead direct = jpeg_codec::ReadInto(bytes, out, width, height, channels);
    if (direct != DirectRead::kNotAttempted) return direct == DirectRead::kDone ? 1 : 0;
  }
  uint32_t w = 0, h = 0;
  MallocBlock pixels = ReadRGBA(source, w, h);
  if (!pixels || w != width || h != height) return 0;
  const std::size_t count = std::size_t{w} * h;
  if (channels == 4) {
    std::memcpy(out, pixels.get(), count * 4);
  } else {
    const uint8_t* p = pixels.get();
    for (std::size_t i = 0; i < count; ++i, p += 4, out += 3)
      out[0] = p[0], out[1] = p[1], out[2] = p[2];
  }
  return 1;
}

int32_t IS3GetBMPDims(ISSource source, uint32_t* width, uint32_t* height, uint32_t* bitDepth,
                      ISResolution* resolution) {
  return Dims(source, bmp_codec::ReadInfo, width, height, bitDepth, resolution);
}
int32_t IS3GetJPGDims(ISSource source, uint32_t* width, uint32_t* height, uint32_t* bitDepth,
                      ISResolution* resolution) {
  return Dims(source, jpeg_codec::ReadInfo, width, height, bitDepth, resolution);
}
int32_t IS3GetPNGDims(ISSource source, uint32_t* width, uint32_t* height, uint32_t* bitDepth,
                      ISResolution* resolution) {
  return Dims(source, png_codec::ReadInfo, width, height, bitDepth, resolution);
}

}  // namespace imaging
