// PNG and JPEG encode and decode of a 4096 x 4096 picture through the library's functions, next
// to the same work done by calling libpng and libjpeg-turbo directly with the same settings.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>
#include <jpeglib.h>

#include "imaging/imaging.h"

namespace {

constexpr uint32_t kSide = 4096;

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
        q[0] = uint8_t((x >> 4) + n), q[1] = uint8_t((y >> 4) + n), q[2] = uint8_t(((x + y) >> 5) + n);
        if (channels == 4) q[3] = uint8_t(255 - (x >> 5));
      }
    }
  }
  return p;
}

std::string Path(const char* name) { return std::string("/tmp/palmora_codec_bench_") + name; }

void OursPngEncode(benchmark::State& state) {
  const auto& px = Picture(4);
  for (auto _ : state) {
    imaging::ISDest d = imaging::IS3OpenFileDest(Path("ours.png").c_str(), 0);
    imaging::IS3WritePNG(d, px.data(), kSide, kSide, kSide * 4, 8, 0, nullptr, 6, 0, nullptr, 0);
    imaging::IS3CloseDest(d);
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
    png_write_info(png, info);
    std::vector<png_bytep> rows(kSide);
    for (uint32_t y = 0; y < kSide; ++y) rows[y] = const_cast<png_bytep>(px.data() + std::size_t{y} * kSide * 4);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
  }
}

void OursPngDecode(benchmark::State& state) {
  for (auto _ : state) {
    imaging::ISSource s = imaging::IS40_OpenFileSource(Path("direct.png").c_str());
    uint32_t w = 0, h = 0;
    uint8_t* p = imaging::IS40_ReadImage(s, &w, &h, 1, 0);
    imaging::IS40_CloseSource(s);
    benchmark::DoNotOptimize(p);
    std::free(p);
  }
}

void DirectPngDecode(benchmark::State& state) {
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
    auto* p = static_cast<uint8_t*>(std::malloc(std::size_t{kSide} * kSide * 4));
    std::vector<png_bytep> rows(kSide);
    for (uint32_t y = 0; y < kSide; ++y) rows[y] = p + std::size_t{y} * kSide * 4;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    benchmark::DoNotOptimize(p);
    std::free(p);
  }
}

void OursJpegEncode(benchmark::State& state) {
  const auto& px = Picture(3);
  for (auto _ : state) {
    imaging::ISDest d = imaging::IS3OpenFileDest(Path("ours.jpg").c_str(), 0);
    imaging::IS3WriteJPG(d, px.data(), kSide, kSide, 90, 24, nullptr, 0);
    imaging::IS3CloseDest(d);
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
    c.image_width = kSide, c.image_height = kSide, c.input_components = 3, c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
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
  for (auto _ : state) {
    imaging::ISSource s = imaging::IS40_OpenFileSource(Path("direct.jpg").c_str());
    uint32_t w = 0, h = 0;
    uint8_t* p = imaging::IS40_ReadImage(s, &w, &h, 1, 0);
    imaging::IS40_CloseSource(s);
    benchmark::DoNotOptimize(p);
    std::free(p);
  }
}

void DirectJpegDecode(benchmark::State& state) {
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
    auto* p = static_cast<uint8_t*>(std::malloc(std::size_t{kSide} * kSide * 4));
    while (d.output_scanline < d.output_height) {
      JSAMPROW row = p + std::size_t{d.output_scanline} * kSide * 4;
      jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    std::fclose(f);
    benchmark::DoNotOptimize(p);
    std::free(p);
  }
}

// Encoders first: the decoders read the files the direct encoders wrote.
BENCHMARK(DirectPngEncode)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(OursPngEncode)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(DirectPngDecode)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(OursPngDecode)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(DirectJpegEncode)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(OursJpegEncode)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(DirectJpegDecode)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(OursJpegDecode)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace

BENCHMARK_MAIN();
