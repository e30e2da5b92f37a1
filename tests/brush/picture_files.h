// Pictures and picture scripts that the brush tests write for themselves, in a scratch folder
// that the fixture empties again, and the grey reading the engine takes of a picture.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "imaging/picture_script.h"
#include "support/png_write.h"

namespace brush_test {

struct Rgba {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> pixels;  // red, green, blue, alpha; rows packed

  const uint8_t* At(int32_t x, int32_t y) const {
    return &pixels[(std::size_t(y) * width + x) * 4];
  }
};

inline Rgba RandomRgba(int32_t width, int32_t height, uint32_t seed) {
  std::mt19937 rng(seed);
  Rgba p{width, height, std::vector<uint8_t>(std::size_t(width) * height * 4)};
  for (auto& v : p.pixels) v = uint8_t(rng());
  return p;
}

// The library's grey of a red-first pixel, rounded: (77 r + 150 g + 29 b + 128) / 256.
inline int32_t Grey(const uint8_t* p) { return (77 * p[0] + 150 * p[1] + 29 * p[2] + 128) >> 8; }

class ScratchFiles {
 public:
  ~ScratchFiles() {
    for (const std::string& path : paths_) std::remove(path.c_str());
  }
  std::string Path(const std::string& name) {
    paths_.push_back(::testing::TempDir() + "palmora_brushpic_" + name);
    return paths_.back();
  }
  std::string Png(const std::string& name, const Rgba& p) {
    const std::string path = Path(name + ".png");
    EXPECT_TRUE(palmora_test::WritePng(path, p.pixels.data(), p.width, p.height));
    return path;
  }
  // A 24-bit bottom-up BMP, written byte by byte (alpha is not stored).
  std::string Bmp(const std::string& name, const Rgba& p) {
    const uint32_t rowBytes = (uint32_t(p.width) * 3 + 3) & ~3u;
    const uint32_t size = 54 + rowBytes * p.height;
    std::vector<uint8_t> b(size, 0);
    auto put32 = [&](std::size_t at, uint32_t v) {
      for (int k = 0; k < 4; ++k) b[at + k] = uint8_t(v >> (8 * k));
    };
    b[0] = 'B', b[1] = 'M';
    put32(2, size), put32(10, 54), put32(14, 40), put32(18, p.width), put32(22, p.height);
    b[26] = 1, b[28] = 24;
    put32(34, rowBytes * p.height);
    for (int32_t y = 0; y < p.height; ++y) {
      uint8_t* row = &b[54 + std::size_t(p.height - 1 - y) * rowBytes];
      for (int32_t x = 0; x < p.width; ++x) {
        const uint8_t* q = p.At(x, y);
        row[x * 3] = q[2], row[x * 3 + 1] = q[1], row[x * 3 + 2] = q[0];
      }
    }
    return Bytes(name + ".bmp", b);
  }
  std::string Text(const std::string& name, const std::string& text) {
    return Bytes(name, std::vector<uint8_t>(text.begin(), text.end()));
  }
  std::string Bytes(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = Path(name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
  }

 private:
  std::vector<std::string> paths_;
};

// The picture a script paints, red first, run through the script runner directly.
inline Rgba PaintScript(const std::string& path) {
  imaging::ScriptHeader header{};
  Rgba p;
  if (!imaging::ISL_Initialize()) return p;
  if (imaging::ISL_LoadScriptFromFile(path.c_str()) && imaging::ISL_InitBuffers() &&
      imaging::ISL_ReadScriptHeaderFromFile(path.c_str(), &header)) {
    p = {int32_t(header.width), int32_t(header.height),
         std::vector<uint8_t>(std::size_t(header.width) * header.height * 4)};
    EXPECT_TRUE(imaging::ISL_ExecuteScript(p.pixels.data(), header.width, header.height));
    for (std::size_t i = 0; i < p.pixels.size(); i += 4) std::swap(p.pixels[i], p.pixels[i + 2]);
  }
  imaging::ISL_Finish();
  return p;
}

}  // namespace brush_test
