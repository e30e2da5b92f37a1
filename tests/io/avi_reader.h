// A small reader of the AVI files the movie tests write: it walks the RIFF chunks itself, so the
// checks do not depend on the library that wrote the file.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace avi_test {

struct IndexEntry {
  std::string id;
  uint32_t flags = 0;
};

struct Avi {
  bool riffOk = false;  // "RIFF" .. "AVI " and the chunk sizes add up
  std::string handler;  // strh fccHandler
  uint32_t scale = 0, rate = 0, length = 0;
  uint32_t totalFrames = 0;  // avih
  int32_t width = 0, height = 0;
  uint16_t bitCount = 0;
  uint32_t compression = 0;
  std::vector<std::vector<uint8_t>> frames;  // "00db" / "00dc" chunks of the movi list, in order
  std::vector<IndexEntry> index;             // idx1
};

inline uint32_t U32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline std::string Tag(const uint8_t* p) {
  return std::string(reinterpret_cast<const char*>(p), 4);
}

inline void Walk(const std::vector<uint8_t>& b, std::size_t begin, std::size_t end, Avi& avi,
                 const std::string& list, bool& ok) {
  std::size_t at = begin;
  while (at + 8 <= end) {
    const std::string id = Tag(&b[at]);
    const uint32_t size = U32(&b[at + 4]);
    const std::size_t body = at + 8;
    if (body + size > end) {
      ok = false;
      return;
    }
    const uint8_t* p = &b[body];
    if (id == "LIST" && size >= 4) {
      Walk(b, body + 4, body + size, avi, Tag(p), ok);
    } else if (id == "avih" && size >= 20) {
      avi.totalFrames = U32(p + 16);
    } else if (id == "strh" && size >= 36) {
      avi.handler = Tag(p + 4);
      avi.scale = U32(p + 20);
      avi.rate = U32(p + 24);
      avi.length = U32(p + 32);
    } else if (id == "strf" && size >= 40) {
      std::memcpy(&avi.width, p + 4, 4);
      std::memcpy(&avi.height, p + 8, 4);
      std::memcpy(&avi.bitCount, p + 14, 2);
      avi.compression = U32(p + 16);
    } else if (list == "movi" && (id == "00db" || id == "00dc")) {
      avi.frames.emplace_back(p, p + size);
    } else if (id == "idx1") {
      for (std::size_t e = 0; e + 16 <= size; e += 16)
        avi.index.push_back({Tag(p + e), U32(p + e + 4)});
    }
    at = body + size + (size & 1);
  }
}

inline Avi ReadAvi(const std::filesystem::path& path) {
  Avi avi;
  std::vector<uint8_t> b;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    uint8_t chunk[65536];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;)
      b.insert(b.end(), chunk, chunk + n);
    std::fclose(f);
  }
  if (b.size() < 12 || Tag(&b[0]) != "RIFF" || Tag(&b[8]) != "AVI ") return avi;
  const std::size_t end = std::min<std::size_t>(b.size(), 8 + std::size_t(U32(&b[4])));
  bool ok = end == b.size() || end + 8 <= b.size();  // an AVIX extension may follow
  Walk(b, 12, end, avi, "", ok);
  avi.riffOk = ok;
  return avi;
}

// Runs a command and returns what it printed.
inline std::string RunCommand(const std::string& command) {
  std::string out;
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

}  // namespace avi_test
