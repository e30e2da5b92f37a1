#include "imaging/codecs/codec_table.h"

#include <iterator>

namespace imaging {
namespace {

// Formats with a signature come first; TGA has none and only wins when nothing else claims the
// bytes (its sniff scores low).
constexpr CodecEntry kCodecs[] = {
    {kFileTypePNG, png_codec::Sniff, png_codec::ReadInfo, png_codec::Read},
    {kFileTypeJPEG, jpeg_codec::Sniff, jpeg_codec::ReadInfo, jpeg_codec::Read},
    {kFileTypeGIF, gif_codec::Sniff, gif_codec::ReadInfo, gif_codec::Read},
    {kFileTypeTIFF, tiff_codec::Sniff, tiff_codec::ReadInfo, tiff_codec::Read},
    {kFileTypeBMP, bmp_codec::Sniff, bmp_codec::ReadInfo, bmp_codec::Read},
    {kFileTypePSD, psd_codec::Sniff, psd_codec::ReadInfo, psd_codec::Read},
    {kFileTypeEMF, emf_codec::Sniff, emf_codec::ReadInfo, emf_codec::Read},
    {kFileTypeWMF, wmf_codec::Sniff, wmf_codec::ReadInfo, wmf_codec::Read},
    {kFileTypePCX, pcx_codec::Sniff, pcx_codec::ReadInfo, pcx_codec::Read},
    {kFileTypeTGA, tga_codec::Sniff, tga_codec::ReadInfo, tga_codec::Read},
};

}  // namespace

int32_t GuessType(Bytes bytes) {
  int32_t best = kFileTypeUnknown;
  int bestScore = 0;
  for (const auto& codec : kCodecs) {
    const int score = codec.sniff(bytes);
    if (score > bestScore) {
      bestScore = score;
      best = codec.type;
    }
  }
  return best;
}

const CodecEntry* CodecForType(int32_t type) {
  for (const auto& codec : kCodecs) {
    if (codec.type == type) return &codec;
  }
  return nullptr;
}

}  // namespace imaging
