// GIF through giflib: the first frame, laid on its logical screen, with the graphic control
// extension's transparent index read as clear pixels. Writing takes 8-bit indices and a palette.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "imaging/codecs/codec_table.h"
#include "imaging/codecs/row_convert.h"
#include "imaging/picture_writers.h"

namespace imaging {
namespace gif_codec {
namespace {

struct MemoryInput {
  Bytes bytes;
  std::size_t position = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int count) {
  auto* input = static_cast<MemoryInput*>(gif->UserData);
  const std::size_t n =
      std::min<std::size_t>(std::size_t(std::max(count, 0)), input->bytes.size() - input->position);
  std::memcpy(out, input->bytes.data() + input->position, n);
  input->position += n;
  return int(n);
}

struct GifCloser {
  void operator()(GifFileType* gif) const noexcept {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};
using GifReader = std::unique_ptr<GifFileType, GifCloser>;

GifReader Open(MemoryInput& input) {
  int error = 0;
  return GifReader(DGifOpen(&input, ReadFromMemory, &error));
}

// Skips the data blocks of an extension; reads the transparent index from a graphic control one.
bool ReadExtension(GifFileType* gif, int& transparent) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
  if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
    GraphicsControlBlock gcb;
    if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) transparent = gcb.TransparentColor;
  }
  while (block) {
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
  }
  return true;
}

// Rows of an interlaced image arrive in four passes: every 8th from 0, every 8th from 4, every
// 4th from 2, every 2nd from 1.
std::vector<uint32_t> RowOrder(uint32_t height, bool interlaced) {
  std::vector<uint32_t> order;
  order.reserve(height);
  if (!interlaced) {
    for (uint32_t y = 0; y < height; ++y) order.push_back(y);
    return order;
  }
  constexpr uint32_t kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (uint32_t y = kStart[pass]; y < height; y += kStep[pass]) order.push_back(y);
  }
  return order;
}

}  // namespace

int Sniff(Bytes bytes) {
  return bytes.size() >= 6 && std::memcmp(bytes.data(), "GIF8", 4) == 0 &&
                 (bytes[4] == '7' || bytes[4] == '9') && bytes[5] == 'a'
             ? 100
             : 0;
}

bool ReadInfo(Bytes bytes, ImageInfo& info) {
  if (!Sniff(bytes)) return false;
  MemoryInput input{bytes};
  GifReader gif = Open(input);
  if (!gif || gif->SWidth <= 0 || gif->SHeight <= 0) return false;
  info.width = uint32_t(gif->SWidth);
  info.height = uint32_t(gif->SHeight);
  info.bitDepth = 8;
  info.resolution = {};
  return true;
}

MallocBlock Read(Bytes bytes, uint32_t& width, uint32_t& height) {
  if (!Sniff(bytes)) return nullptr;
  MemoryInput input{bytes};
  GifReader gif = Open(input);
  if (!gif) return nullptr;
  int transparent = NO_TRANSPARENT_COLOR;
  try {
    while (true) {
      GifRecordType type;
      if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) return nullptr;
      if (type == TERMINATE_RECORD_TYPE) return nullptr;  // no frame at all
      if (type == EXTENSION_RECORD_TYPE) {
        if (!ReadExtension(gif.get(), transparent)) return nullptr;
        continue;
      }
      if (type != IMAGE_DESC_RECORD_TYPE) continue;
      if (DGifGetImageDesc(gif.get()) == GIF_ERROR) return nullptr;
      const GifImageDesc& d = gif->Image;
      if (d.Left < 0 || d.Top < 0 || d.Width <= 0 || d.Height <= 0) return nullptr;
      const uint64_t right = uint64_t(d.Left) + uint64_t(d.Width),
                     bottom = uint64_t(d.Top) + uint64_t(d.Height);
      // The frame sits on the logical screen; a screen too small for it grows to hold it.
      const uint64_t w = std::max<uint64_t>(uint64_t(std::max(gif->SWidth, 0)), right);
      const uint64_t h = std::max<uint64_t>(uint64_t(std::max(gif->SHeight, 0)), bottom);
      if (!DimensionsAllowed(w, h)) return nullptr;
      const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
      if (!map || map->ColorCount <= 0 || map->ColorCount > 256) return nullptr;
      uint8_t palette[256][4] = {};  // indices past the map read as opaque black
      for (int i = 0; i < 256; ++i) palette[i][3] = 255;
      for (int i = 0; i < map->ColorCount; ++i) {
        palette[i][0] = map->Colors[i].Red, palette[i][1] = map->Colors[i].Green,
        palette[i][2] = map->Colors[i].Blue;
      }
      if (transparent >= 0 && transparent < 256) std::memset(palette[transparent], 0, 4);

      MallocBlock out = AllocatePicture(w, h, 4);
      if (!out) return nullptr;
      std::memset(out.get(), 0, std::size_t(w * h * 4));
      std::vector<GifPixelType> line(std::size_t(d.Width));
      for (uint32_t y : RowOrder(uint32_t(d.Height), d.Interlace)) {
        if (DGifGetLine(gif.get(), line.data(), d.Width) == GIF_ERROR) return nullptr;
        uint8_t* dst = out.get() + ((std::size_t(d.Top) + y) * w + std::size_t(d.Left)) * 4;
        for (int x = 0; x < d.Width; ++x, dst += 4)
          std::memcpy(dst, palette[line[std::size_t(x)]], 4);
      }
      width = uint32_t(w);
      height = uint32_t(h);
      return out;
    }
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace gif_codec

namespace {

int WriteToDest(GifFileType* gif, const GifByteType* bytes, int count) {
  return static_cast<FileDest*>(gif->UserData)->Write(bytes, std::size_t(count)) ? count : 0;
}

struct GifWriterCloser {
  void operator()(GifFileType* gif) const noexcept {
    int error = 0;
    EGifCloseFile(gif, &error);
  }
};

}  // namespace

int32_t IS3Write8BitToGIF(ISDest dest, const void* indices, uint32_t width, uint32_t height,
                          uint32_t interlaced, uint32_t backgroundIndex, int32_t transparentIndex,
                          uint32_t bitsPerPixel, const uint32_t* palette) {
  if (!dest || !indices || !palette || width == 0 || height == 0 || width > 65535 ||
      height > 65535) {
    return 0;
  }
  if (bitsPerPixel < 1 || bitsPerPixel > 8) return 0;
  const int colours = 1 << bitsPerPixel;
  if (transparentIndex >= colours || transparentIndex < -1 || backgroundIndex >= uint32_t(colours))
    return 0;
  const auto* src = static_cast<const uint8_t*>(indices);
  // Every index must name a palette entry.
  if (bitsPerPixel < 8) {
    const std::size_t count = std::size_t{width} * height;
    for (std::size_t i = 0; i < count; ++i) {
      if (src[i] >= colours) return 0;
    }
  }

  GifColorType entries[256];
  for (int i = 0; i < colours; ++i) {
    entries[i] = {PaletteRed(palette[i]), PaletteGreen(palette[i]), PaletteBlue(palette[i])};
  }
  ColorMapObject* map = GifMakeMapObject(colours, entries);
  if (!map) return 0;

  int error = 0;
  GifFileType* raw = EGifOpen(dest, WriteToDest, &error);
  if (!raw) {
    GifFreeMapObject(map);
    return 0;
  }
  std::unique_ptr<GifFileType, GifWriterCloser> gif(raw);
  EGifSetGifVersion(raw, transparentIndex >= 0);  // the transparency extension needs GIF89a
  bool ok = EGifPutScreenDesc(raw, int(width), int(height), int(bitsPerPixel), int(backgroundIndex),
                              map) == GIF_OK;
  GifFreeMapObject(map);
  if (ok && transparentIndex >= 0) {
    GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, transparentIndex};
    GifByteType block[4];
    EGifGCBToExtension(&gcb, block);
    ok = EGifPutExtension(raw, GRAPHICS_EXT_FUNC_CODE, 4, block) == GIF_OK;
  }
  ok = ok &&
       EGifPutImageDesc(raw, 0, 0, int(width), int(height), interlaced != 0, nullptr) == GIF_OK;
  if (ok) {
    try {
      for (uint32_t y : gif_codec::RowOrder(height, interlaced != 0)) {
        if (EGifPutLine(raw, const_cast<GifPixelType*>(src + std::size_t{y} * width), int(width)) !=
            GIF_OK) {
          ok = false;
          break;
        }
      }
    } catch (const std::bad_alloc&) {
      ok = false;
    }
  }
  error = 0;
  const bool closed = EGifCloseFile(gif.release(), &error) == GIF_OK;
  return ok && closed && !dest->failed ? 1 : 0;
}

}  // namespace imaging
