// TIFF through libtiff, over our own byte sources (client procedures), with libtiff's messages
// kept quiet and its single allocations capped so a hostile directory cannot ask for gigabytes.
#include <tiffio.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "imaging/codecs/codec_table.h"
#include "imaging/codecs/line_writer.h"
#include "imaging/picture_readers.h"
#include "imaging/picture_writers.h"

namespace imaging {
namespace {

int Quiet(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffCloser {
  void operator()(TIFF* tif) const noexcept { TIFFClose(tif); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

struct OptionsFreer {
  void operator()(TIFFOpenOptions* o) const noexcept { TIFFOpenOptionsFree(o); }
};

std::unique_ptr<TIFFOpenOptions, OptionsFreer> QuietOptions() {
  std::unique_ptr<TIFFOpenOptions, OptionsFreer> options(TIFFOpenOptionsAlloc());
  if (options) {
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), tmsize_t{512} << 20);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), Quiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), Quiet, nullptr);
  }
  return options;
}

// Reading from memory.
struct MemoryFile {
  Bytes bytes;
  uint64_t position = 0;
};

tmsize_t MemRead(thandle_t h, void* out, tmsize_t count) {
  auto* m = static_cast<MemoryFile*>(h);
  if (count < 0 || m->position >= m->bytes.size()) return 0;
  const uint64_t n = std::min<uint64_t>(uint64_t(count), m->bytes.size() - m->position);
  std::memcpy(out, m->bytes.data() + m->position, n);
  m->position += n;
  return tmsize_t(n);
}
tmsize_t MemWrite(thandle_t, void*, tmsize_t) { return 0; }
toff_t MemSeek(thandle_t h, toff_t offset, int whence) {
  auto* m = static_cast<MemoryFile*>(h);
  uint64_t base = whence == SEEK_CUR ? m->position : whence == SEEK_END ? m->bytes.size() : 0;
  m->position = base + offset;
  return m->position;
}
int MemClose(thandle_t) { return 0; }
toff_t MemSize(thandle_t h) { return static_cast<MemoryFile*>(h)->bytes.size(); }
int NoMap(thandle_t, void**, toff_t*) { return 0; }
void NoUnmap(thandle_t, void*, toff_t) {}

TiffHandle OpenMemory(MemoryFile& file) {
  auto options = QuietOptions();
  if (!options) return nullptr;
  return TiffHandle(TIFFClientOpenExt("memory", "rm", &file, MemRead, MemWrite, MemSeek, MemClose,
                                      MemSize, NoMap, NoUnmap, options.get()));
}

// Writing into a destination file.
tmsize_t DestRead(thandle_t h, void* out, tmsize_t count) {
  auto* d = static_cast<FileDest*>(h);
  return tmsize_t(std::fread(out, 1, size_t(count), d->file));
}
tmsize_t DestWrite(thandle_t h, void* bytes, tmsize_t count) {
  auto* d = static_cast<FileDest*>(h);
  return d->Write(bytes, size_t(count)) ? count : 0;
}
toff_t DestSeek(thandle_t h, toff_t offset, int whence) {
  auto* d = static_cast<FileDest*>(h);
  if (fseeko(d->file, off_t(offset), whence) != 0) return toff_t(-1);
  return toff_t(ftello(d->file));
}
toff_t DestSize(thandle_t h) {
  auto* d = static_cast<FileDest*>(h);
  const off_t here = ftello(d->file);
  fseeko(d->file, 0, SEEK_END);
  const off_t end = ftello(d->file);
  fseeko(d->file, here, SEEK_SET);
  return toff_t(end);
}
int DestClose(thandle_t) { return 0; }

}  // namespace

namespace tiff_codec {
namespace {

struct Layout {
  uint32_t width = 0, height = 0;
  uint16_t bits = 0, samples = 0, photometric = 0, planar = 0, extra = 0;
  uint16_t* extraTypes = nullptr;
};

Layout ReadLayout(TIFF* tif) {
  Layout l;
  TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &l.width);
  TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &l.height);
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &l.bits);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &l.samples);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &l.planar);
  if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &l.photometric)) l.photometric = 0xFFFF;
  TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &l.extra, &l.extraTypes);
  return l;
}

// 8-bit contiguous RGB, RGBA and grey strips are read row by row, keeping unassociated alpha
// exactly as stored (libtiff's RGBA path would premultiply it).
bool ReadDirect(TIFF* tif, const Layout& l, uint8_t* out) {
  std::vector<uint8_t> row(static_cast<std::size_t>(TIFFScanlineSize64(tif)));
  if (row.size() < std::size_t{l.width} * l.samples) return false;
  const bool associated =
      l.samples == 4 && l.extra == 1 && l.extraTypes && l.extraTypes[0] == EXTRASAMPLE_ASSOCALPHA;
  for (uint32_t y = 0; y < l.height; ++y) {
    if (TIFFReadScanline(tif, row.data(), y, 0) < 0) return false;
    uint8_t* dst = out + std::size_t{y} * l.width * 4;
    const uint8_t* src = row.data();
    for (uint32_t x = 0; x < l.width; ++x, dst += 4, src += l.samples) {
      if (l.samples == 1) {
        const uint8_t v = l.photometric == PHOTOMETRIC_MINISWHITE ? uint8_t(255 - src[0]) : src[0];
        dst[0] = dst[1] = dst[2] = v;
        dst[3] = 255;
        continue;
      }
      dst[0] = src[0], dst[1] = src[1], dst[2] = src[2];
      dst[3] = l.samples == 4 ? src[3] : 255;
      if (associated && dst[3] && dst[3] != 255) {
        for (int c = 0; c < 3; ++c)
          dst[c] = uint8_t(std::min(255, (src[c] * 255 + dst[3] / 2) / dst[3]));
      }
    }
  }
  return true;
}

bool DirectLayout(TIFF* tif, const Layout& l) {
  if (TIFFIsTiled(tif) || l.bits != 8 || l.planar != PLANARCONFIG_CONTIG) return false;
  if (l.samples == 1)
    return l.photometric == PHOTOMETRIC_MINISBLACK || l.photometric == PHOTOMETRIC_MINISWHITE;
  return l.photometric == PHOTOMETRIC_RGB && (l.samples == 3 || (l.samples == 4 && l.extra == 1));
}

}  // namespace

int Sniff(Bytes bytes) {
  if (bytes.size() < 8) return 0;
  const bool little =
      bytes[0] == 'I' && bytes[1] == 'I' && (bytes[2] == 42 || bytes[2] == 43) && bytes[3] == 0;
  const bool big =
      bytes[0] == 'M' && bytes[1] == 'M' && bytes[2] == 0 && (bytes[3] == 42 || bytes[3] == 43);
  return little || big ? 100 : 0;
}

bool ReadInfoPage(Bytes bytes, uint32_t page, ImageInfo& info) {
  if (!Sniff(bytes)) return false;
  MemoryFile file{bytes};
  TiffHandle tif = OpenMemory(file);
  if (!tif || !TIFFSetDirectory(tif.get(), tdir_t(page))) return false;
  const Layout l = ReadLayout(tif.get());
  if (l.width == 0 || l.height == 0) return false;
  info.width = l.width;
  info.height = l.height;
  info.bitDepth = uint32_t(l.bits) * l.samples;
  float x = 0, y = 0;
  uint16_t unit = RESUNIT_INCH;
  info.resolution = {};
  if (TIFFGetField(tif.get(), TIFFTAG_XRESOLUTION, &x) && std::isfinite(x) && x > 0 && x < 4e9f) {
    if (!TIFFGetField(tif.get(), TIFFTAG_YRESOLUTION, &y) || !std::isfinite(y) || y <= 0 ||
        y >= 4e9f)
      y = x;
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_RESOLUTIONUNIT, &unit);
    info.resolution = {uint32_t(std::lround(x)), uint32_t(std::lround(y)), unit};
  }
  return true;
}

bool ReadInfo(Bytes bytes, ImageInfo& info) { return ReadInfoPage(bytes, 0, info); }

MallocBlock Read(Bytes bytes, uint32_t& width, uint32_t& height) {
  if (!Sniff(bytes)) return nullptr;
  MemoryFile file{bytes};
  TiffHandle tif = OpenMemory(file);
  if (!tif) return nullptr;
  const Layout l = ReadLayout(tif.get());
  if (!DimensionsAllowed(l.width, l.height)) return nullptr;
  MallocBlock out = AllocatePicture(l.width, l.height, 4);
  if (!out) return nullptr;
  try {
    if (DirectLayout(tif.get(), l)) {
      if (!ReadDirect(tif.get(), l, out.get())) return nullptr;
    } else {
      char message[1024];
      if (!TIFFRGBAImageOK(tif.get(), message)) return nullptr;
      // ABGR words, which on a little-endian machine are the bytes R, G, B, A.
      auto* raster = reinterpret_cast<uint32_t*>(out.get());
      if (!TIFFReadRGBAImageOriented(tif.get(), l.width, l.height, raster, ORIENTATION_TOPLEFT,
                                     0)) {
        return nullptr;
      }
      for (std::size_t i = 0; i < std::size_t{l.width} * l.height; ++i) {
        const uint32_t v = raster[i];
        uint8_t* p = out.get() + i * 4;
        p[0] = uint8_t(TIFFGetR(v)), p[1] = uint8_t(TIFFGetG(v)), p[2] = uint8_t(TIFFGetB(v)),
        p[3] = uint8_t(TIFFGetA(v));
      }
    }
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  width = l.width;
  height = l.height;
  return out;
}

}  // namespace tiff_codec

int32_t IS3GetTIFFDims(ISSource source, uint32_t page, uint32_t* width, uint32_t* height,
                       uint32_t* bitDepth, ISResolution* resolution) {
  if (!source) return 0;
  ImageInfo info;
  if (!tiff_codec::ReadInfoPage(source->Remaining(), page, info)) return 0;
  if (width) *width = info.width;
  if (height) *height = info.height;
  if (bitDepth) *bitDepth = info.bitDepth;
  if (resolution) *resolution = info.resolution;
  return 1;
}

namespace {

class TiffLineWriter final : public LineWriter {
 public:
  TiffLineWriter(FileDest& dest, uint32_t width, uint32_t height, uint32_t channels)
      : LineWriter(kFileTypeTIFF, width, height),
        dest_(dest),
        channels_(channels),
        row_(std::size_t{width} * channels) {}

  bool Start(uint32_t compression, const ISResolution* resolution) {
    auto options = QuietOptions();
    if (!options) return false;
    tif_.reset(TIFFClientOpenExt("dest", "w", &dest_, DestRead, DestWrite, DestSeek, DestClose,
                                 DestSize, NoMap, NoUnmap, options.get()));
    if (!tif_) return false;
    TIFF* t = tif_.get();
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, channels_);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, channels_ == 1 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
    if (channels_ == 4) {
      const uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
      TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, extra);
    }
    TIFFSetField(t, TIFFTAG_COMPRESSION, compression == 0 ? COMPRESSION_NONE : compression);
    if (compression == COMPRESSION_LZW || compression == COMPRESSION_ADOBE_DEFLATE) {
      TIFFSetField(t, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    }
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
    if (resolution) {
      TIFFSetField(t, TIFFTAG_XRESOLUTION, float(resolution->xRes));
      TIFFSetField(t, TIFFTAG_YRESOLUTION, float(resolution->yRes));
      TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, uint16_t(resolution->unit));
    }
    return !dest_.failed;
  }

  bool WriteRow(const uint8_t* row) override {
    // libtiff may encode in place; the caller's row stays untouched.
    std::memcpy(row_.data(), row, row_.size());
    return TIFFWriteScanline(tif_.get(), row_.data(), rowsWritten, 0) == 1;
  }
  bool Finish() override {
    if (!tif_) return false;
    const bool flushed = failed || TIFFFlush(tif_.get()) == 1;
    tif_.reset();
    return !failed && flushed && !dest_.failed;
  }
  uint32_t RowBytes() const override { return width * channels_; }

 private:
  FileDest& dest_;
  uint32_t channels_;
  std::vector<uint8_t> row_;
  TiffHandle tif_;
};

std::unique_ptr<TiffLineWriter> StartTiff(ISDest dest, uint32_t width, uint32_t height,
                                          uint32_t bitDepth, uint32_t compression,
                                          const ISResolution* resolution) {
  if (!dest || width == 0 || height == 0) return nullptr;
  if (bitDepth != 8 && bitDepth != 24 && bitDepth != 32) return nullptr;
  if (uint64_t{width} * 4 > INT32_MAX) return nullptr;
  switch (compression) {
    case 0:
    case COMPRESSION_NONE:
    case COMPRESSION_LZW:
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_PACKBITS:
      break;
    default:
      return nullptr;
  }
  if (resolution && resolution->unit != RESUNIT_NONE && resolution->unit != RESUNIT_INCH &&
      resolution->unit != RESUNIT_CENTIMETER) {
    return nullptr;
  }
  try {
    auto writer = std::make_unique<TiffLineWriter>(*dest, width, height, bitDepth / 8);
    if (!writer->Start(compression, resolution)) return nullptr;
    return writer;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

int32_t IS3WriteTIFF(ISDest dest, const void* pixels, uint32_t width, uint32_t height,
                     uint32_t bitDepth, uint32_t reserved, uint32_t compression,
                     const ISResolution* resolution, uint32_t flags) {
  if (!pixels) return 0;
  auto writer = StartTiff(dest, width, height, bitDepth, compression, resolution);
  if (!writer) return 0;
  const auto* src = static_cast<const uint8_t*>(pixels);
  const std::size_t rowBytes = std::size_t{width} * (bitDepth / 8);
  for (uint32_t y = 0; y < height; ++y, ++writer->rowsWritten) {
    if (!writer->WriteRow(src + y * rowBytes)) {
      writer->failed = true;
      writer->Finish();
      return 0;
    }
  }
  return writer->Finish() ? 1 : 0;
}

ISLineWriter IS40_InitWriteTIFFLines(ISDest dest, uint32_t width, uint32_t height,
                                     uint32_t bitDepth, uint32_t reserved, uint32_t compression,
                                     const ISResolution* resolution, uint32_t flags) {
  return StartTiff(dest, width, height, bitDepth, compression, resolution).release();
}

int32_t IS40_WriteNextTIFFLine(ISLineWriter writer, const void* row) {
  return WriteNextLine(writer, kFileTypeTIFF, row);
}
int32_t IS40_DestroyWriteTIFFLines(ISLineWriter writer) {
  return DestroyLineWriter(writer, kFileTypeTIFF);
}

}  // namespace imaging
