// Tool changes with pictures: a picture shape rebuilt from the cached picture (resampled to the
// brush, optionally smeared first) at brush sides 32, 128 and 512; the same with a fresh load
// (PNG read and turn) each time; and grit windows cut from a PNG texture and from a script tiled
// over 600 x 600. Counters: rebuilds per second and megapixels of source picture per second.
#include <benchmark/benchmark.h>

#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "palmora/palmora.h"

namespace {

constexpr int32_t kPicture = 512;

std::string ScratchPath(const char* name) { return std::string("/tmp/palmora_bench_") + name; }

// A soft blotch with streaks: what a painter's brush picture looks like.
std::string WriteBrushPicture() {
  const std::string path = ScratchPath("brush.png");
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return path;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (!setjmp(png_jmpbuf(png))) {
    png_init_io(png, file);
    png_set_IHDR(png, info, kPicture, kPicture, 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(kPicture);
    for (int32_t y = 0; y < kPicture; ++y) {
      for (int32_t x = 0; x < kPicture; ++x) {
        const double d = std::hypot(x - kPicture / 2.0, y - kPicture / 2.0) / (kPicture / 2.0);
        const double streak = 0.5 + 0.5 * std::sin(x * 0.21 + std::sin(y * 0.05) * 3);
        row[x] = png_byte(d < 1 ? 255 * (1 - d) * (0.4 + 0.6 * streak) : 0);
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
  }
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
  return path;
}

std::string WriteTextureScript() {
  const std::string path = ScratchPath("texture.picscript");
  FILE* file = std::fopen(path.c_str(), "w");
  if (file) {
    std::fputs("picture-script 1\nsize 128 128\neffect 11\n  1 = 24\n", file);
    std::fclose(file);
  }
  return path;
}

void SetUpCanvas(int32_t size) {
  PMR_DeleteImage();
  PMR_CreateImage(nullptr, 1024, 1024, 512, 0);
  PMR_CreateLayer(1, 1024, 1024);
  PMR_SetLayer(1);
  PMR_SetSize(size);
}

void Counters(benchmark::State& state, double pixelsPerRun) {
  state.counters["rebuilds/s"] =
      benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["Mpx/s"] = benchmark::Counter(double(state.iterations()) * pixelsPerRun / 1e6,
                                               benchmark::Counter::kIsRate);
}

// args: brush side, blur level, fresh load (1) or cached picture (0).
void BM_PictureShape(benchmark::State& state) {
  const std::string path = WriteBrushPicture();
  SetUpCanvas(int32_t(state.range(0)));
  PMR_SetShapeBlur(int32_t(state.range(1)));
  const bool fresh = state.range(2) != 0;
  int32_t angle = 0;
  for (auto _ : state) {
    // A new angle misses the cache, so the picture is read and turned again.
    if (fresh) angle = angle == 0 ? 90 : 0;
    PMR_SetBrushShape(path.c_str(), angle);
  }
  Counters(state, double(kPicture) * kPicture);
}
BENCHMARK(BM_PictureShape)
    ->ArgNames({"side", "blur", "fresh"})
    ->ArgsProduct({{32, 128, 512}, {0, 50}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// arg: 0 a PNG texture, 1 a script tiled over 600 x 600.
void BM_TextureWindows(benchmark::State& state) {
  const std::string path = state.range(0) ? WriteTextureScript() : WriteBrushPicture();
  SetUpCanvas(128);
  for (auto _ : state) {
    PMR_SetTool(1.0f, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, path.c_str(), "", 0);
  }
  Counters(state, state.range(0) ? 600.0 * 600 : double(kPicture) * kPicture);
}
BENCHMARK(BM_TextureWindows)->ArgName("script")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
