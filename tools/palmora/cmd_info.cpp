// palmora info FILE: a picture file's size, type and resolution.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>

#include "commands.h"
#include "host_error.h"
#include "palmora/palmora.h"
#include "picture_io.h"

namespace host {
namespace {

// The file type by its first bytes (TGA has no signature and goes by its extension).
std::string FileType(const std::string& path) {
  unsigned char head[48] = {};
  std::ifstream in(path, std::ios::binary);
  in.read(reinterpret_cast<char*>(head), sizeof head);
  const auto starts = [&](const char* magic, std::size_t n, std::size_t at = 0) {
    return std::memcmp(head + at, magic, n) == 0;
  };
  if (starts("\x89PNG", 4)) return "PNG";
  if (starts("\xFF\xD8\xFF", 3)) return "JPEG";
  if (starts("BM", 2)) return "BMP";
  if (starts("GIF8", 4)) return "GIF";
  if (starts("II*\0", 4) || starts("MM\0*", 4)) return "TIFF";
  if (starts("8BPS", 4)) return "PSD";
  if (starts(" EMF", 4, 40)) return "EMF";
  if (starts("\xD7\xCD\xC6\x9A", 4)) return "WMF";
  if (head[0] == 0x0A && head[2] == 1) return "PCX";
  if (LowerExtension(path) == ".tga") return "TGA";
  return "unknown";
}

void Info(const std::string& path) {
  if (path == "-") throw HostError("info reads files by name, not standard input");
  const Picture picture = ReadPicture(path);
  bool transparent = false;
  for (std::size_t i = 3; i < picture.rgba.size() && !transparent; i += 4)
    transparent = picture.rgba[i] != 255;
  std::printf("%s: %s, %d×%d, %d dpi, %s\n", path.c_str(), FileType(path).c_str(), picture.width,
              picture.height, PMR_GetDPIFromFile(path.c_str()),
              transparent ? "with transparency" : "opaque");
}

}  // namespace

Command AddInfoCommand(CLI::App& app) {
  auto paths = std::make_shared<std::vector<std::string>>();
  CLI::App* c = app.add_subcommand("info", "print picture files' type, size and resolution");
  c->add_option("files", *paths, "the pictures, one line each")->required();
  c->footer(
      "The resolution is the file's, snapped to 72, 96, 150, 200, 300, 450 or 600 dpi "
      "(72 when it stores none).");
  // Every file is reported; the run fails (after the others) when one could not be read.
  return {c, [paths] {
            std::string firstFailure;
            for (const std::string& path : *paths) {
              try {
                Info(path);
              } catch (const HostError& e) {
                if (paths->size() == 1) throw;
                std::fprintf(stderr, "palmora: %s\n", e.what());
                if (firstFailure.empty()) firstFailure = e.what();
              }
            }
            if (!firstFailure.empty())
              throw HostError("not every file could be read (first: " + firstFailure + ")");
          }};
}

}  // namespace host
