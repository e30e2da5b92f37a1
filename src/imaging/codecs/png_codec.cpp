// PNG through libpng. libpng reports errors by longjmp; every function that calls into it keeps
// only plain locals between its setjmp and the calls, and owns its buffers through a context
// record that outlives the jump.
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "imaging/codecs/codec_table.h"
#include "imaging/codecs/line_writer.h"
#include "imaging/codecs/row_convert.h"
#include "imaging/picture_writers.h"

namespace imaging {
namespace png_codec {
namespace {

struct MemoryInput {
  Bytes bytes;
  std::size_t position = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
  if (count > input->bytes.size() - input->position) png_error(png, "truncated");
  std::memcpy(out, input->bytes.data() + input->position, count);
  input->position += count;
}

void RaiseError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

// A read struct whose destruction is tied to the scope that made it.
struct ReadContext {
  png_structp png = nullptr;
  png_infop info = nullptr;
  MemoryInput input;
  MallocBlock pixels;
  std::vector<png_bytep> rows;

  ~ReadContext() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }

  bool Create(Bytes bytes) {
    input.bytes = bytes;
    png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, RaiseError, IgnoreWarning);
    if (!png) return false;
    info = png_create_info_struct(png);
    if (!info) return false;
    png_set_read_fn(png, &input, ReadFromMemory);
    png_set_user_limits(png, kMaxPictureSide, kMaxPictureSide);
    png_set_chunk_malloc_max(png, 64u << 20);
    return true;
  }
};

bool ReadHeader(ReadContext& c) {
  if (setjmp(png_jmpbuf(c.png))) return false;
  png_read_info(c.png, c.info);
  return true;
}

// Every colour type becomes 8-bit RGBA: palettes and low bit depths expand, tRNS becomes alpha,
// 16-bit samples keep their high byte, grey spreads to three channels, missing alpha is 255.
bool Decode(ReadContext& c, uint32_t width, uint32_t height) {
  if (setjmp(png_jmpbuf(c.png))) return false;
  png_set_expand(c.png);
  png_set_strip_16(c.png);
  png_set_gray_to_rgb(c.png);
  png_set_add_alpha(c.png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(c.png);
  png_read_update_info(c.png, c.info);
  if (png_get_rowbytes(c.png, c.info) != std::size_t{width} * 4) png_error(c.png, "row size");
  for (uint32_t y = 0; y < height; ++y) c.rows[y] = c.pixels.get() + std::size_t{y} * width * 4;
  png_read_image(c.png, c.rows.data());
  png_read_end(c.png, nullptr);  // a file cut before its end chunk is truncated
  return true;
}

}  // namespace

int Sniff(Bytes bytes) {
  return bytes.size() >= 8 && png_sig_cmp(bytes.data(), 0, 8) == 0 ? 100 : 0;
}

bool ReadInfo(Bytes bytes, ImageInfo& info) {
  if (!Sniff(bytes)) return false;
  ReadContext c;
  if (!c.Create(bytes) || !ReadHeader(c)) return false;
  info.width = png_get_image_width(c.png, c.info);
  info.height = png_get_image_height(c.png, c.info);
  info.bitDepth = png_get_bit_depth(c.png, c.info) * png_get_channels(c.png, c.info);
  png_uint_32 x = 0, y = 0;
  int unit = 0;
  if (png_get_pHYs(c.png, c.info, &x, &y, &unit)) {
    info.resolution = {x, y, uint32_t(unit)};
  } else {
    info.resolution = {};
  }
  return true;
}

MallocBlock Read(Bytes bytes, uint32_t& width, uint32_t& height) {
  if (!Sniff(bytes)) return nullptr;
  ReadContext c;
  if (!c.Create(bytes) || !ReadHeader(c)) return nullptr;
  const uint32_t w = png_get_image_width(c.png, c.info), h = png_get_image_height(c.png, c.info);
  if (!DimensionsAllowed(w, h)) return nullptr;
  c.pixels = AllocatePicture(w, h, 4);
  if (!c.pixels) return nullptr;
  try {
    c.rows.resize(h);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (!Decode(c, w, h)) return nullptr;
  width = w;
  height = h;
  return std::move(c.pixels);
}

}  // namespace png_codec

namespace {

void WriteToDest(png_structp png, png_bytep data, png_size_t count) {
  if (!static_cast<FileDest*>(png_get_io_ptr(png))->Write(data, count)) png_error(png, "write");
}
void FlushNothing(png_structp) {}

uint32_t ChannelsOf(uint32_t colourType) {
  switch (colourType) {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_PALETTE:
      return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      return 2;
    case PNG_COLOR_TYPE_RGB:
      return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
      return 4;
    default:
      return 0;
  }
}

class PngLineWriter final : public LineWriter {
 public:
  PngLineWriter(FileDest& dest, uint32_t width, uint32_t height, uint32_t rowBytes)
      : LineWriter(kFileTypePNG, width, height), dest_(dest), rowBytes_(rowBytes) {}
  ~PngLineWriter() override { png_destroy_write_struct(&png_, info_ ? &info_ : nullptr); }

  bool Start(uint32_t bitDepth, uint32_t colourType, uint32_t paletteColours,
             const uint32_t* palette, uint32_t interlaced, const ISResolution* resolution) {
    png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, png_codec::RaiseError,
                                   png_codec::IgnoreWarning);
    if (!png_) return false;
    info_ = png_create_info_struct(png_);
    if (!info_) return false;
    interlaced_ = interlaced != 0;
    return Header(bitDepth, colourType, paletteColours, palette, resolution);
  }

  bool WriteRow(const uint8_t* row) override {
    if (setjmp(png_jmpbuf(png_))) return false;
    png_write_row(png_, const_cast<png_bytep>(row));
    return true;
  }
  bool Finish() override {
    if (failed) return false;
    if (setjmp(png_jmpbuf(png_))) return false;
    png_write_end(png_, info_);
    return !dest_.failed;
  }
  uint32_t RowBytes() const override { return rowBytes_; }
  bool interlaced() const { return interlaced_; }
  png_structp png() const { return png_; }

 private:
  bool Header(uint32_t bitDepth, uint32_t colourType, uint32_t paletteColours,
              const uint32_t* palette, const ISResolution* resolution) {
    if (setjmp(png_jmpbuf(png_))) return false;
    png_set_write_fn(png_, &dest_, WriteToDest, FlushNothing);
    png_set_IHDR(png_, info_, width, height, int(bitDepth), int(colourType),
                 interlaced_ ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
      png_color entries[256];
      for (uint32_t i = 0; i < paletteColours; ++i) {
        entries[i] = {PaletteRed(palette[i]), PaletteGreen(palette[i]), PaletteBlue(palette[i])};
      }
      png_set_PLTE(png_, info_, entries, int(paletteColours));
    }
    if (resolution) {
      png_set_pHYs(png_, info_, resolution->xRes, resolution->yRes,
                   resolution->unit == 1 ? PNG_RESOLUTION_METER : PNG_RESOLUTION_UNKNOWN);
    }
    png_write_info(png_, info_);
    if (bitDepth == 16) png_set_swap(png_);  // our 16-bit samples are native little-endian
    if (interlaced_) png_set_interlace_handling(png_);
    return true;
  }

  FileDest& dest_;
  uint32_t rowBytes_;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
  bool interlaced_ = false;
};

std::unique_ptr<PngLineWriter> StartPng(ISDest dest, uint32_t width, uint32_t height,
                                        uint32_t rowBytes, uint32_t bitDepth,
                                        uint32_t paletteColours, const uint32_t* palette,
                                        uint32_t colourType, uint32_t interlaced,
                                        const ISResolution* resolution) {
  const uint32_t channels = ChannelsOf(colourType);
  if (!dest || channels == 0 || width == 0 || height == 0) return nullptr;
  if (width > PNG_USER_WIDTH_MAX || height > PNG_USER_HEIGHT_MAX) return nullptr;
  if (bitDepth != 8 && bitDepth != 16) return nullptr;
  if (colourType == PNG_COLOR_TYPE_PALETTE &&
      (bitDepth != 8 || !palette || paletteColours == 0 || paletteColours > 256)) {
    return nullptr;
  }
  if (uint64_t{rowBytes} < uint64_t{width} * channels * (bitDepth / 8)) return nullptr;
  auto writer = std::unique_ptr<PngLineWriter>(new (std::nothrow)
                                                   PngLineWriter(*dest, width, height, rowBytes));
  if (!writer ||
      !writer->Start(bitDepth, colourType, paletteColours, palette, interlaced, resolution)) {
    return nullptr;
  }
  return writer;
}

bool WriteWholeImage(PngLineWriter& writer, const uint8_t* pixels, uint32_t rowBytes) {
  png_structp png = writer.png();
  std::vector<png_bytep> rows(writer.height);
  for (uint32_t y = 0; y < writer.height; ++y)
    rows[y] = const_cast<png_bytep>(pixels + std::size_t{y} * rowBytes);
  if (setjmp(png_jmpbuf(png))) return false;
  png_write_image(png, rows.data());  // runs every pass of an interlaced file
  return true;
}

}  // namespace

int32_t IS3WritePNG(ISDest dest, const void* pixels, uint32_t width, uint32_t height,
                    uint32_t rowBytes, uint32_t bitDepth, uint32_t paletteColours,
                    const uint32_t* palette, uint32_t colourType, uint32_t interlaced,
                    const ISResolution* resolution, uint32_t flags) {
  if (!pixels) return 0;
  try {
    auto writer = StartPng(dest, width, height, rowBytes, bitDepth, paletteColours, palette,
                           colourType, interlaced, resolution);
    if (!writer) return 0;
    // Interlaced pictures need every row in each of the seven passes.
    if (!WriteWholeImage(*writer, static_cast<const uint8_t*>(pixels), rowBytes)) return 0;
    writer->rowsWritten = height;
    return writer->Finish() ? 1 : 0;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

ISLineWriter IS40_InitWritePNGLines(ISDest dest, uint32_t width, uint32_t height, uint32_t rowBytes,
                                    uint32_t bitDepth, uint32_t paletteColours,
                                    const uint32_t* palette, uint32_t colourType,
                                    uint32_t interlaced, const ISResolution* resolution,
                                    uint32_t flags) {
  // One row at a time cannot feed the seven passes of an interlaced file.
  if (interlaced) return nullptr;
  try {
    return StartPng(dest, width, height, rowBytes, bitDepth, paletteColours, palette, colourType, 0,
                    resolution)
        .release();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

int32_t IS40_WriteNextPNGLine(ISLineWriter writer, const void* row) {
  return WriteNextLine(writer, kFileTypePNG, row);
}
int32_t IS40_DestroyWritePNGLines(ISLineWriter writer) {
  return DestroyLineWriter(writer, kFileTypePNG);
}

}  // namespace imaging
