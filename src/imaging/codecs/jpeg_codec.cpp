// JPEG through libjpeg-turbo. Errors leave the library by longjmp out of our error manager (never
// exit()); truncated data, which libjpeg only warns about, fails the read too.
#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
#include <jerror.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

#include "imaging/codecs/codec_table.h"
#include "imaging/codecs/line_writer.h"
#include "imaging/picture_writers.h"

namespace imaging {
namespace {

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

void ErrorExit(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Warnings are ignored except the end of data arriving early: a truncated file is a failure.
void EmitMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) ErrorExit(info);
}
void OutputNothing(j_common_ptr) {}

// A hostile progressive file can hold thousands of tiny scans, each costing a pass over the
// picture; no real encoder writes more than a few dozen.
constexpr int kMaxScans = 200;
void LimitScans(j_common_ptr info) {
  if (info->is_decompressor) {
    auto* d = reinterpret_cast<j_decompress_ptr>(info);
    if (d->input_scan_number > kMaxScans) ErrorExit(info);
  }
}

void InstallErrorManager(ErrorManager& err) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.emit_message = EmitMessage;
  err.pub.output_message = OutputNothing;
}

// The write settings shared by every later JPEG write.
struct WriteSettings {
  uint32_t dct = 0;
  uint32_t smoothing = 0;
  uint32_t sampling[6] = {2, 2, 1, 1, 1, 1};
};
std::mutex settingsLock;
WriteSettings settings;

WriteSettings CurrentSettings() {
  std::lock_guard<std::mutex> lock(settingsLock);
  return settings;
}

}  // namespace

int32_t IS40_SetJPGDCT(uint32_t method) {
  if (method > 3) return 0;
  std::lock_guard<std::mutex> lock(settingsLock);
  settings.dct = method;
  return 1;
}

int32_t IS40_SetJPGSmoothingFactor(uint32_t factor) {
  if (factor > 100) return 0;
  std::lock_guard<std::mutex> lock(settingsLock);
  settings.smoothing = factor;
  return 1;
}

int32_t IS40_SetJPGDownsampleFactors(uint32_t h0, uint32_t v0, uint32_t h1, uint32_t v1,
                                     uint32_t h2, uint32_t v2) {
  const uint32_t f[6] = {h0, v0, h1, v1, h2, v2};
  if (std::any_of(f, f + 6, [](uint32_t v) { return v < 1 || v > 4; })) return 0;
  std::lock_guard<std::mutex> lock(settingsLock);
  std::copy(f, f + 6, settings.sampling);
  return 1;
}

namespace jpeg_codec {
namespace {

struct Decoder {
  jpeg_decompress_struct info{};
  ErrorManager err{};
  jpeg_progress_mgr progress{};
  bool created = false;
  ~Decoder() {
    if (created) jpeg_destroy_decompress(&info);
  }
};

bool ReadHeader(Decoder& d, Bytes bytes) {
  d.info.err = &d.err.pub;
  InstallErrorManager(d.err);
  if (setjmp(d.err.jump)) return false;
  jpeg_create_decompress(&d.info);
  d.created = true;
  d.info.mem->max_memory_to_use = 1024L << 20;
  d.progress.progress_monitor = LimitScans;
  d.info.progress = &d.progress;
  jpeg_mem_src(&d.info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&d.info, TRUE);
  return true;
}

bool IsCMYK(const Decoder& d) {
  return d.info.jpeg_color_space == JCS_CMYK || d.info.jpeg_color_space == JCS_YCCK;
}

// CMYK files from the common writers store inverted inks (255 = no ink) and say so with an Adobe
// marker; then red = c x k / 255. Files without the marker store plain inks.
void CMYKToRGBA(const uint8_t* cmyk, uint8_t* rgba, std::size_t pixels, bool inverted) {
  for (std::size_t i = 0; i < pixels; ++i, cmyk += 4, rgba += 4) {
    uint32_t c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
    if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    rgba[0] = uint8_t((c * k + 127) / 255);
    rgba[1] = uint8_t((m * k + 127) / 255);
    rgba[2] = uint8_t((y * k + 127) / 255);
    rgba[3] = 255;
  }
}

bool Decode(Decoder& d, uint8_t* pixels) {
  if (setjmp(d.err.jump)) return false;
  const bool cmyk = IsCMYK(d);
  d.info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
  jpeg_start_decompress(&d.info);
  const std::size_t rowBytes = std::size_t{d.info.output_width} * 4;
  while (d.info.output_scanline < d.info.output_height) {
    JSAMPROW row = pixels + std::size_t{d.info.output_scanline} * rowBytes;
    jpeg_read_scanlines(&d.info, &row, 1);
    if (cmyk) CMYKToRGBA(row, row, d.info.output_width, d.info.saw_Adobe_marker);
  }
  jpeg_finish_decompress(&d.info);
  return true;
}

// True when the entropy-coded data that starts at `from` runs straight into the end-of-image
// marker: only stuffed bytes (FF 00), restart markers (FF D0..D7) and fill bytes (FF FF) on the
// way. Then, for a single-scan file, nothing can make the decode fail once rows are coming out:
// corrupt data only warns, and no later marker is left to read.
bool EntropyDataEndsTheFile(const uint8_t* from, const uint8_t* end) {
  for (const uint8_t* p = from; p < end;) {
    p = static_cast<const uint8_t*>(std::memchr(p, 0xFF, std::size_t(end - p)));
    if (!p || end - p < 2) return false;
    const uint8_t next = p[1];
    if (next == 0xD9) return true;
    if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
      p += 2;
    } else if (next == 0xFF) {
      p += 1;
    } else {
      return false;  // another marker: leave it to the decoder that may still fail
    }
  }
  return false;
}

bool DecodeRowsInto(Decoder& d, uint8_t* dst, uint32_t channels) {
  if (setjmp(d.err.jump)) return false;
  const std::size_t rowBytes = std::size_t{d.info.output_width} * channels;
  while (d.info.output_scanline < d.info.output_height) {
    JSAMPROW row = dst + std::size_t{d.info.output_scanline} * rowBytes;
    jpeg_read_scanlines(&d.info, &row, 1);
  }
  jpeg_finish_decompress(&d.info);
  return true;
}

}  // namespace

DirectRead ReadInto(Bytes bytes, uint8_t* dst, uint32_t width, uint32_t height, uint32_t channels) {
  if (!Sniff(bytes) || (channels != 3 && channels != 4)) return DirectRead::kNotAttempted;
  auto d = std::make_unique<Decoder>();
  if (!ReadHeader(*d, bytes)) return DirectRead::kNotAttempted;
  if (d->info.image_width != width || d->info.image_height != height) return DirectRead::kFailed;
  if (IsCMYK(*d) || jpeg_has_multiple_scans(&d->info)) return DirectRead::kNotAttempted;
  const uint8_t* entropy = d->info.src->next_input_byte;
  if (!EntropyDataEndsTheFile(entropy, bytes.data() + bytes.size()))
    return DirectRead::kNotAttempted;
  if (setjmp(d->err.jump)) return DirectRead::kFailed;  // before the first row: dst untouched
  d->info.out_color_space = channels == 3 ? JCS_RGB : JCS_EXT_RGBA;
  jpeg_start_decompress(&d->info);
  if (d->info.output_width != width || d->info.output_height != height ||
      d->info.output_components != int(channels)) {
    return DirectRead::kFailed;
  }
  return DecodeRowsInto(*d, dst, channels) ? DirectRead::kDone : DirectRead::kFailed;
}

int Sniff(Bytes bytes) {
  return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF ? 100 : 0;
}

bool ReadInfo(Bytes bytes, ImageInfo& out) {
  if (!Sniff(bytes)) return false;
  auto d = std::make_unique<Decoder>();
  if (!ReadHeader(*d, bytes)) return false;
  out.width = d->info.image_width;
  out.height = d->info.image_height;
  out.bitDepth = 8u * uint32_t(d->info.num_components);
  out.resolution = {d->info.X_density, d->info.Y_density, d->info.density_unit};
  return true;
}

MallocBlock Read(Bytes bytes, uint32_t& width, uint32_t& height) {
  if (!Sniff(bytes)) return nullptr;
  auto d = std::make_unique<Decoder>();
  if (!ReadHeader(*d, bytes)) return nullptr;
  const uint32_t w = d->info.image_width, h = d->info.image_height;
  if (!DimensionsAllowed(w, h)) return nullptr;
  MallocBlock pixels = AllocatePicture(w, h, 4);
  if (!pixels || !Decode(*d, pixels.get())) return nullptr;
  if (d->info.output_width != w || d->info.output_height != h) return nullptr;
  width = w;
  height = h;
  return pixels;
}

}  // namespace jpeg_codec

namespace {

class JpegLineWriter final : public LineWriter {
 public:
  JpegLineWriter(FileDest& dest, uint32_t width, uint32_t height, uint32_t channels)
      : LineWriter(kFileTypeJPEG, width, height), dest_(dest), channels_(channels) {}
  ~JpegLineWriter() override {
    if (created_) jpeg_destroy_compress(&info_);
  }

  bool Start(uint32_t quality, const ISResolution* resolution, uint32_t flags) {
    info_.err = &err_.pub;
    InstallErrorManager(err_);
    if (setjmp(err_.jump)) return Fail();
    jpeg_create_compress(&info_);
    created_ = true;
    jpeg_stdio_dest(&info_, dest_.file);
    info_.image_width = width;
    info_.image_height = height;
    info_.input_components = int(channels_);
    info_.in_color_space = channels_ == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&info_);
    jpeg_set_quality(&info_, int(quality), TRUE);
    const WriteSettings s = CurrentSettings();
    info_.dct_method = s.dct == 1 ? JDCT_IFAST : s.dct == 2 ? JDCT_FLOAT : JDCT_ISLOW;
    info_.smoothing_factor = int(s.smoothing);
    if (channels_ == 3) {
      for (int c = 0; c < 3; ++c) {
        info_.comp_info[c].h_samp_factor = int(s.sampling[2 * c]);
        info_.comp_info[c].v_samp_factor = int(s.sampling[2 * c + 1]);
      }
    }
    if (resolution) {
      info_.write_JFIF_header = TRUE;
      info_.density_unit = uint8_t(std::min<uint32_t>(resolution->unit, 2));
      info_.X_density = uint16_t(std::min<uint32_t>(resolution->xRes, 65535));
      info_.Y_density = uint16_t(std::min<uint32_t>(resolution->yRes, 65535));
    }
    if (flags & 1) jpeg_simple_progression(&info_);
    jpeg_start_compress(&info_, TRUE);
    return true;
  }

  bool WriteRow(const uint8_t* row) override {
    if (setjmp(err_.jump)) return Fail();
    JSAMPROW rows[1] = {const_cast<JSAMPROW>(row)};
    jpeg_write_scanlines(&info_, rows, 1);
    return true;
  }

  bool Finish() override {
    if (failed) return false;
    if (setjmp(err_.jump)) return Fail();
    jpeg_finish_compress(&info_);
    return !std::ferror(dest_.file) && !dest_.failed;
  }
  uint32_t RowBytes() const override { return width * channels_; }

 private:
  bool Fail() {
    dest_.failed = true;
    return false;
  }

  FileDest& dest_;
  uint32_t channels_;
  jpeg_compress_struct info_{};
  ErrorManager err_{};
  bool created_ = false;
};

std::unique_ptr<JpegLineWriter> StartJpeg(ISDest dest, uint32_t width, uint32_t height,
                                          uint32_t quality, uint32_t bitDepth,
                                          const ISResolution* resolution, uint32_t flags) {
  if (!dest || width == 0 || height == 0 || width > JPEG_MAX_DIMENSION ||
      height > JPEG_MAX_DIMENSION) {
    return nullptr;
  }
  if (quality < 1 || quality > 100 || (bitDepth != 24 && bitDepth != 8)) return nullptr;
  auto writer = std::unique_ptr<JpegLineWriter>(
      new (std::nothrow) JpegLineWriter(*dest, width, height, bitDepth / 8));
  if (!writer || !writer->Start(quality, resolution, flags)) return nullptr;
  return writer;
}

}  // namespace

int32_t IS3WriteJPG(ISDest dest, const void* pixels, uint32_t width, uint32_t height,
                    uint32_t quality, uint32_t bitDepth, const ISResolution* resolution,
                    uint32_t flags) {
  if (!pixels) return 0;
  auto writer = StartJpeg(dest, width, height, quality, bitDepth, resolution, flags);
  if (!writer) return 0;
  const auto* src = static_cast<const uint8_t*>(pixels);
  const std::size_t rowBytes = std::size_t{width} * (bitDepth / 8);
  for (uint32_t y = 0; y < height; ++y) {
    if (!writer->WriteRow(src + y * rowBytes)) return 0;
  }
  return writer->Finish() ? 1 : 0;
}

ISLineWriter IS40_InitWriteJPGLines(ISDest dest, uint32_t width, uint32_t height, uint32_t quality,
                                    uint32_t bitDepth, const ISResolution* resolution,
                                    uint32_t flags) {
  // Progressive files need every coefficient before the first scan: not a line format.
  if (flags & 1) return nullptr;
  return StartJpeg(dest, width, height, quality, bitDepth, resolution, flags).release();
}

int32_t IS40_WriteNextJPGLine(ISLineWriter writer, const void* row) {
  return WriteNextLine(writer, kFileTypeJPEG, row);
}
int32_t IS40_DestroyWriteJPGLines(ISLineWriter writer) {
  return DestroyLineWriter(writer, kFileTypeJPEG);
}

}  // namespace imaging
