// Helpers shared by the picture-file tests: scratch files, seeded pictures, and reading a file
// back through the library's own entry points.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "imaging/imaging.h"

namespace picture_test {

struct Picture {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> pixels;  // RGBA32 unless a test says otherwise
};

// A scratch folder removed with the test program's temporary files.
inline std::filesystem::path ScratchPath(const std::string& name) {
  static const std::filesystem::path folder = [] {
    auto p =
        std::filesystem::temp_directory_path() / ("palmora_pictures_" + std::to_string(::getpid()));
    std::filesystem::create_directories(p);
    return p;
  }();
  return folder / name;
}

inline std::vector<uint8_t> FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Seeded pixels with every channel value used; channels 3 or 4 (alpha varies too).
inline std::vector<uint8_t> RandomPixels(uint32_t w, uint32_t h, int channels, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> p(std::size_t{w} * h * channels);
  for (auto& v : p) v = uint8_t(rng());
  return p;
}

// A smooth picture (gradients), which lossy codecs keep close.
inline std::vector<uint8_t> SmoothPixels(uint32_t w, uint32_t h, int channels) {
  std::vector<uint8_t> p(std::size_t{w} * h * channels);
  for (uint32_t y = 0; y < h; ++y) {
    for (uint32_t x = 0; x < w; ++x) {
      uint8_t* q = &p[(std::size_t{y} * w + x) * channels];
      q[0] = uint8_t(x * 255 / std::max(1u, w - 1));
      if (channels > 1) q[1] = uint8_t(y * 255 / std::max(1u, h - 1));
      if (channels > 2) q[2] = uint8_t((x + y) * 127 / std::max(1u, w + h - 2));
      if (channels > 3) q[3] = 255;
    }
  }
  return p;
}

// Writes through a destination handle; the writer gets the open handle.
inline bool WriteFile(const std::filesystem::path& path,
                      const std::function<int32_t(imaging::ISDest)>& writer) {
  imaging::ISDest dest = imaging::IS3OpenFileDest(path.c_str(), 0);
  if (!dest) return false;
  const int32_t written = writer(dest);
  const int32_t closed = imaging::IS3CloseDest(dest);
  return written && closed;
}

// Reads a file as RGBA32 through the type guess and the reader; width 0 when it failed.
inline Picture ReadFile(const std::filesystem::path& path) {
  Picture pic;
  imaging::ISSource source = imaging::IS40_OpenFileSource(path.c_str());
  if (!source) return pic;
  imaging::IS40_GuessFileType(source);
  imaging::IS40_Seek(source, 0, 0);
  uint8_t* block =
      imaging::IS40_ReadImage(source, &pic.width, &pic.height, imaging::kReadFormatRGBA32, 0);
  imaging::IS40_CloseSource(source);
  if (!block) return Picture{};
  pic.pixels.assign(block, block + std::size_t{pic.width} * pic.height * 4);
  std::free(block);
  return pic;
}

inline Picture ReadBytes(const std::vector<uint8_t>& bytes) {
  Picture pic;
  imaging::ISSource source = imaging::IS40_OpenMemorySource(bytes.data(), uint32_t(bytes.size()));
  uint8_t* block = imaging::IS3ReadImageToRGBA(source, &pic.width, &pic.height, 0);
  imaging::IS40_CloseSource(source);
  if (!block) return Picture{};
  pic.pixels.assign(block, block + std::size_t{pic.width} * pic.height * 4);
  std::free(block);
  return pic;
}

inline int32_t GuessFile(const std::filesystem::path& path) {
  imaging::ISSource source = imaging::IS3OpenFileSource(path.c_str());
  const int32_t type = imaging::IS3GuessFileType(source);
  imaging::IS3CloseSource(source);
  return type;
}

// RGB24 or grey widened to RGBA32 with alpha 255, as the readers deliver them.
inline std::vector<uint8_t> Widen(const std::vector<uint8_t>& src, int channels) {
  std::vector<uint8_t> out(src.size() / channels * 4);
  for (std::size_t i = 0; i < src.size() / channels; ++i) {
    for (int c = 0; c < 3; ++c) out[i * 4 + c] = src[i * channels + (channels == 1 ? 0 : c)];
    out[i * 4 + 3] = channels == 4 ? src[i * 4 + 3] : 255;
  }
  return out;
}

inline int MaxDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size()) return 256;
  int most = 0;
  for (std::size_t i = 0; i < a.size(); ++i) most = std::max(most, std::abs(int(a[i]) - int(b[i])));
  return most;
}

inline double MeanDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size() || a.empty()) return 256;
  double sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i) sum += std::abs(int(a[i]) - int(b[i]));
  return sum / double(a.size());
}

}  // namespace picture_test
