// 16-bit PNG files made and read with libpng alone, to check the program's deep pictures against
// a reader and writer that share none of its code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host_test {

struct Png16 {
  int width = 0;
  int height = 0;
  int bitDepth = 0;
  int channels = 0;               // 3 (RGB) or 4 (RGBA) as stored in the file
  std::vector<uint16_t> samples;  // RGBA, alpha 65535 where the file has none
};

void WritePng16(const std::string& path, const Png16& picture);  // RGBA, 16 bits
// Reads a PNG of 8 or 16 bits as stored (no widening); empty on failure.
Png16 ReadPng16(const std::string& path);

}  // namespace host_test
