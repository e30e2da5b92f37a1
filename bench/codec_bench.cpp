// Picture files on a 4096 x 4096 picture, in one run:
// - PNG and JPEG encode and decode through the engine's exports (PMR_WriteToFileRGBA32 ".png",
//   PMR_WriteToFileRGB24 ".jpg" at quality 97, PMR_ReadFromFileRGBA32 into a host buffer), next to
//   the same work done by calling libpng and libjpeg-turbo directly with the same settings
//   (libpng's default filters and compression, a pHYs chunk; libjpeg's defaults at quality 97 with
//   a JFIF density; both decoders to RGBA32). The ratio ours / direct is the cost of our layers.
// - Saving a flattened canvas of three layers as PNG: PMR_SavePageToFileRGB32 (band by band) next
//   to PMR_Merge + PMR_GetRGBA32FromRGBA64 + PMR_WriteToFileRGBA32 (whole page), with the peak
//   resident memory each adds above the canvas ("peak_MiB").
// Run: ./build/bench/codec_bench
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include "engine/engine_state.h"
#include "palmora/palmora.h"

namespace {

constexpr uint32_t kSide = 4096;
constexpr int32_t kDpi = 72;
constexpr uint32_t kPixelsPerMetre = 2834;  // 72 x 39.3700787, truncated

const std::vector<uint8_t>& Picture(int channels) {
  static std::vector<uint8_t> pictures[5];
  auto& p = pictures[channels];
  if (p.empty()) {
    // Gradients with a little noise: compresses like a photograph, not like a flat fill.
    p.resize(std::size_t{kSide} * kSide * channels);
    std::mt19937 rng(1);
    for (uint32_t y = 0; y < kSide; ++y) {
      for (uint32_t x = 0; x < kSide; ++x) {
        uint8_t* q = &p[(std::size_t{y} * kSide + x) * channels];
        const uint32_t n = rng() & 7;
        q[0] = uint8_t((x >> 4) + n), q[1] = uint8_t((y >> 4) + n),
        q[2] = uint8_t(((x + y) >> 5) + n);
        if (channels == 4) q[3] = uint8_t(255 - (x >> 5));
      }
    }
  }
  return p;
}

std::string Path(const char* name) { return std::string("/tmp/palmora_codec_bench_") + name; }

// Peak resident memory above the level when it was made: the kernel's high-water mark is reset
// to the current resident size first.
class PeakMemory {
 public:
  PeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
    baseline_ = StatusKiB("VmRSS:");
  }
  double GrowthMiB() const { return double(StatusKiB("VmHWM:") - baseline_) / 1024.0; }

 private:
  static long StatusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
      if (key == field) {
        status >> value;
        return value;
      }
      status.ignore(1 << 12, '\n');
    }
    return 0;
  }
  long baseline_ = 0;
};

// --- PNG -----------------------------------------------------------------------------------------

void OursPngEncode(benchmark::State& state) {
  const auto& px = Picture(4);
  for (auto _ : state) {
    if (!PMR_WriteToFileRGBA32(px.data(), kSide, kSide, Path("ours.png").c_str(), ".png", kDpi)) {
      state.SkipWithError("write failed");
    }
  }
}

void DirectPngEncode(benchmark::State& state) {
  const auto& px = Picture(4);
  for (auto _ : state) {
    FILE* f = std::fopen(Path("direct.png").c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_set_IHDR(png, info, kSide, kSide, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, kPixelsPerMetre, kPixelsPerMetre, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    std::vector<png_bytep> rows(kSide);
    for (uint32_t y = 0; y < kSide; ++y)
      rows[y] = const_cast<png_bytep>(px.data() + std::size_t{y} * kSide * 4);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
  }
}

void OursPngDecode(benchmark::State& state) {
  std::vector<uint8_t> host(std::size_t{kSide} * kSide * 4);
  for (auto _ : state) {
    if (!PMR_ReadFromFileRGBA32(host.data(), kSide, kSide, Path("direct.png").c_str())) {
      state.SkipWithError("read failed");
    }
    benchmark::DoNotOptimize(host.data());
  }
}

void DirectPngDecode(benchmark::State& state) {
  std::vector<uint8_t> host(std::size_t{kSide} * kSide * 4);
  for (auto _ : state) {
    FILE* f = std::fopen(Path("direct.png").c_str(), "rb");
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    std::vector<png_bytep> rows(kSide);
    for (uint32_t y = 0; y < kSide; ++y) rows[y] = host.data() + std::size_t{y} * kSide * 4;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    benchmark::DoNotOptimize(host.data());
  }
}

// --- JPEG ----------------------------------------------------------------------------------------

void OursJpegEncode(benchmark::State& state) {
  const auto& px = Picture(3);
  for (auto _ : state) {
    if (!PMR_WriteToFileRGB24(px.data(), kSide, kSide, Path("ours.jpg").c_str(), ".jpg", kDpi)) {
      state.SkipWithError("write failed");
    }
  }
}

void DirectJpegEncode(benchmark::State& state) {
  const auto& px = Picture(3);
  for (auto _ : state) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    FILE* f = std::fopen(Path("direct.jpg").c_str(), "wb");
    jpeg_stdio_dest(&c, f);
    c.image_width = kSide, c.image_height = kSide, c.input_components = 3,
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 97, TRUE);
    c.write_JFIF_header = TRUE;
    c.density_unit = 1, c.X_density = kDpi, c.Y_density = kDpi;
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < kSide) {
      JSAMPROW row = const_cast<JSAMPROW>(px.data() + std::size_t{c.next_scanline} * kSide * 3);
      jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(f);
  }
}

void OursJpegDecode(benchmark::State& state) {
  std::vector<uint8_t> host(std::size_t{kSide} * kSide * 4);
  for (auto _ : state) {
    if (!PMR_ReadFromFileRGBA32(host.data(), kSide, kSide, Path("direct.jpg").c_str())) {
      state.SkipWithError("read failed");
    }
    benchmark::DoNotOptimize(host.data());
  }
}

void DirectJpegDecode(benchmark::State& state) {
  std::vector<uint8_t> host(std::size_t{kSide} * kSide * 4);
  for (auto _ : state) {
    jpeg_decompress_struct d;
    jpeg_error_mgr err;
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    FILE* f = std::fopen(Path("direct.jpg").c_str(), "rb");
    jpeg_stdio_src(&d, f);
    jpeg_read_header(&d, TRUE);
    d.out_color_space = JCS_EXT_RGBA;
    jpeg_start_decompress(&d);
    while (d.output_scanline < d.output_height) {
      JSAMPROW row = host.data() + std::size_t{d.output_scanline} * kSide * 4;
      jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    std::fclose(f);
    benchmark::DoNotOptimize(host.data());
  }
}

// --- Saving the page -----------------------------------------------------------------------------

// A canvas of three layers: the photograph as background, a Normal layer whose alpha fades across
// the page, and a Multiply layer at 60 %.
void MakePage() {
  if (engine::State().canvasWidth == int32_t(kSide)) return;
  PMR_CreateImage(nullptr, kSide, kSide, 64, 0);
  const auto& photo = Picture(4);
  std::vector<uint16_t> plane(std::size_t{kSide} * kSide * 4);
  for (int32_t index = 1; index <= 3; ++index) {
    PMR_CreateLayer(index, kSide, kSide);
    for (std::size_t i = 0; i < plane.size(); ++i) {
      const uint8_t v = index == 1   ? photo[i]
                        : index == 2 ? photo[plane.size() - 1 - i]
                                     : uint8_t(photo[i] ^ 0x5A);
      plane[i] = uint16_t(v << 8 | v);
    }
    if (index == 1) {
      for (std::size_t i = 3; i < plane.size(); i += 4) plane[i] = 65535;
    }
    PMR_SetRGBA64Layer(plane.data(), int32_t(kSide * 8), index);
  }
  PMR_SetLayerOptions(1, 1, 0, 100, "Normal");
  PMR_SetLayerOptions(2, 1, 0, 100, "Normal");
  PMR_SetLayerOptions(3, 1, 0, 60, "Multiply");
}

void SavePageLineByLine(benchmark::State& state) {
  MakePage();
  const PeakMemory peak;
  for (auto _ : state) {
    if (!PMR_SavePageToFileRGB32(Path("page_lines.png").c_str(), ".png", kDpi)) {
      state.SkipWithError("save failed");
    }
  }
  state.counters["peak_MiB"] = peak.GrowthMiB();
}

void MergeThenWritePage(benchmark::State& state) {
  MakePage();
  const PeakMemory peak;
  for (auto _ : state) {
    std::vector<uint16_t> merged(std::size_t{kSide} * kSide * 4);
    PMR_Merge(merged.data());
    std::vector<uint8_t> rgba(std::size_t{kSide} * kSide * 4);
    PMR_GetRGBA32FromRGBA64(rgba.data(), int32_t(kSide * 4), kSide, kSide, merged.data(),
                            int32_t(kSide * 8));
    merged = {};
    if (!PMR_WriteToFileRGBA32(rgba.data(), kSide, kSide, Path("page_whole.png").c_str(), ".png",
                               kDpi)) {
      state.SkipWithError("write failed");
    }
  }
  state.counters["peak_MiB"] = peak.GrowthMiB();
}

// Encoders first: the decoders read the files the direct encoders wrote. Peers side by side.
BENCHMARK(DirectPngEncode)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(OursPngEncode)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(DirectPngDecode)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(OursPngDecode)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(DirectJpegEncode)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(OursJpegEncode)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(DirectJpegDecode)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(OursJpegDecode)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(MergeThenWritePage)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(SavePageLineByLine)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace

BENCHMARK_MAIN();
