// PNG files at 16 bits a channel, the depth the engine keeps its layers in. The engine's own file
// readers and writers work at 8 bits; these carry every 16-bit sample unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host {

// A picture at 16 bits a channel: packed RGBA64 (red, green, blue, alpha; native byte order).
struct DeepPicture {
  int width = 0;
  int height = 0;
  std::vector<uint16_t> rgba;
};

// True when the file is a PNG whose samples are 16 bits deep.
bool IsDeepPng(const std::string& path);

// Reads any PNG as RGBA64: grey spreads to three channels, missing alpha is 65535, samples under
// 16 bits are widened so that their largest value becomes 65535. Throws HostError.
DeepPicture ReadDeepPng(const std::string& path);

// Writes a 16-bit PNG to path (a plain file name; the caller makes it appear whole). RGB without
// alpha when every alpha is 65535. Returns false when the file could not be written.
bool WriteDeepPng(const std::string& path, const DeepPicture& picture, int dpi);

}  // namespace host
