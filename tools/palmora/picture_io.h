// Pictures in and out of the host: reading any picture file through the engine's import buffer,
// and writing packed RGBA32 pixels so that a failed write never leaves a partial file behind.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace host {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // packed RGBA32, rows of 4 x width bytes
};

// The picture's red, green and blue, packed (rows of 3 x width bytes).
std::vector<uint8_t> PackedRgb(const Picture& picture);

// Reads a picture file of any size ("-": standard input). Throws HostError for a missing or
// undecodable file.
Picture ReadPicture(const std::string& path);

// Runs read on a file holding the input: path itself, or for "-" a scratch copy of standard
// input (removed afterwards). Throws HostError when standard input cannot be read.
void WithInputFile(const std::string& path,
                   const std::function<void(const std::string& file)>& read);

// Makes the whole of standard output one file: write makes it (under a scratch name ending in
// extension), then it is copied out and standard output closed, so that no later line can
// corrupt it. Throws HostError.
void WriteStandardOutput(const std::string& extension,
                         const std::function<void(const std::string& file)>& write);

// Refuses, before any work is done, an output path whose extension no writer takes.
void CheckOutputPath(const std::string& path);

// Writes the picture by its path's extension ("-": PNG on standard output) (".png", ".tga" and
// ".tif" keep alpha, PNG only when some pixel is not opaque; ".bmp", ".jpg", ".gif", ".pcx",
// ".psd", ".emf" drop it; ".jpeg" and
// ".tiff" are taken as ".jpg" and ".tif"). The file appears only once it is
// complete: it is written under a temporary name beside the target and renamed over it.
// jpegQuality 1..100 sets a JPEG's quality; 0 keeps the engine's 97.
void WritePicture(const std::string& path, const Picture& picture, int dpi = 72,
                  int jpegQuality = 0);

// Runs write with a temporary name beside path (write returns non-zero for success), then renames
// the finished file over path; on failure nothing is left behind. Throws HostError.
void WriteThroughTemporary(const std::string& path,
                           const std::function<int32_t(const char* temporary)>& write);

// True for the extensions (with their dot, lower case) written with alpha.
bool KeepsAlpha(const std::string& extension);
// True for the types the engine's band-wise page saver writes.
bool PageSaverTakes(const std::string& extension);

// The extension the writers take for path: lower case, the common spellings mapped to the
// engine's (".jpeg" to ".jpg", ".tiff" to ".tif").
std::string WriterExtension(const std::string& path);
// True when every pixel's alpha is 255.
bool IsOpaque(const Picture& picture);

// The extension of path with its dot, in lower case ("" when it has none).
std::string LowerExtension(const std::string& path);

}  // namespace host
