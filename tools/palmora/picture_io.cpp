#include "picture_io.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <system_error>

#include <unistd.h>

#include "host_error.h"
#include "palmora/palmora.h"

namespace host {
bool KeepsAlpha(const std::string& extension) {
  return extension == ".png" || extension == ".tga" || extension == ".tif";
}

namespace {

bool DropsAlpha(const std::string& extension) {
  static const char* const kTypes[] = {".bmp", ".jpg", ".gif", ".pcx", ".psd", ".emf", ".wmf"};
  return std::find(std::begin(kTypes), std::end(kTypes), extension) != std::end(kTypes);
}

// A file name beside the target that no other writer uses, with the target's extension so that
// any tool looking at a left-over file still knows its type.
std::string TemporaryPath(const std::string& path) {
  static unsigned counter = 0;
  const std::filesystem::path target(path);
  std::string name(".");
  name += target.stem().string();
  name += ".partial-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  name += target.extension().string();
  return (target.parent_path() / name).string();
}

}  // namespace

std::string LowerExtension(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return extension;
}

std::vector<uint8_t> PackedRgb(const Picture& picture) {
  std::vector<uint8_t> rgb(std::size_t(picture.width) * std::size_t(picture.height) * 3);
  for (std::size_t i = 0, n = rgb.size() / 3; i < n; ++i)
    std::copy_n(&picture.rgba[i * 4], 3, &rgb[i * 3]);
  return rgb;
}

Picture ReadPicture(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error))
    throw HostError("cannot read '" + path + "': no such file");
  if (!PMR_ReadFromFile(path.c_str()))
    throw HostError("cannot read '" + path + "': not a picture this engine decodes");
  Picture picture;
  picture.width = PMR_GetNewRGBAWidth();
  picture.height = PMR_GetNewRGBAHeight();
  picture.rgba.resize(std::size_t(picture.width) * std::size_t(picture.height) * 4);
  PMR_GetNewRGBA32(picture.rgba.data());
  PMR_DeleteNewRGBA();
  return picture;
}

void CheckOutputPath(const std::string& path) {
  const std::string extension = LowerExtension(path);
  if (!KeepsAlpha(extension) && !DropsAlpha(extension))
    throw HostError("cannot write '" + path +
                    "': unknown picture type (use .png, .jpg, .bmp, .tif, .tga, .gif, .pcx, .psd, "
                    ".emf or .wmf)");
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  std::error_code error;
  if (!parent.empty() && !std::filesystem::is_directory(parent, error))
    throw HostError("cannot write '" + path + "': no folder '" + parent.string() + "'");
}

void WriteThroughTemporary(const std::string& path,
                           const std::function<int32_t(const char* temporary)>& write) {
  CheckOutputPath(path);
  const std::string temporary = TemporaryPath(path);
  const int32_t written = write(temporary.c_str());
  std::error_code error;
  if (!written || !std::filesystem::is_regular_file(temporary, error)) {
    std::filesystem::remove(temporary, error);
    throw HostError("cannot write '" + path + "'");
  }
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    throw HostError("cannot write '" + path + "': " + error.message());
  }
}

void WritePicture(const std::string& path, const Picture& picture, int dpi) {
  const std::string extension = LowerExtension(path);
  WriteThroughTemporary(path, [&](const char* temporary) {
    if (KeepsAlpha(extension))
      return PMR_WriteToFileRGBA32(picture.rgba.data(), picture.width, picture.height, temporary,
                                   extension.c_str(), dpi);
    const std::vector<uint8_t> rgb = PackedRgb(picture);
    return PMR_WriteToFileRGB24(rgb.data(), picture.width, picture.height, temporary,
                                extension.c_str(), dpi);
  });
}

bool PageSaverTakes(const std::string& extension) {
  return extension == ".png" || extension == ".tga" || extension == ".tif" ||
         extension == ".bmp" || extension == ".jpg";
}

}  // namespace host
