#include "picture_io.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <system_error>

#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "host_error.h"
#include "palmora/palmora.h"

namespace host {
bool KeepsAlpha(const std::string& extension) {
  return extension == ".png" || extension == ".tga" || extension == ".tif";
}

namespace {

bool DropsAlpha(const std::string& extension) {
  static const char* const kTypes[] = {".bmp", ".jpg", ".gif", ".pcx", ".psd", ".emf"};
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

// Why a file could not be made or finished in folder: what the system said when it says anything
// that explains it, else a full disk seen afterwards, else a plain failure.
std::string WriteFailureReason(const std::filesystem::path& folder, int error) {
  struct statvfs space {};
  const std::string where = folder.empty() ? "." : folder.string();
  if (::statvfs(where.c_str(), &space) == 0 && space.f_bavail == 0) return std::strerror(ENOSPC);
  switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
    case EIO:
    case EROFS:
    case EACCES:
    case EPERM:
      return std::strerror(error);
    default:
      return "the picture writer failed";
  }
}

// Makes the temporary file before any work, so that a folder one may not write in is refused
// with the system's reason.
void ProbeWritable(const std::string& path, const std::string& temporary) {
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) throw HostError("cannot write '" + path + "': " + std::strerror(errno));
  ::close(fd);
}

}  // namespace

std::string WriterExtension(const std::string& path) {
  const std::string extension = LowerExtension(path);
  if (extension == ".jpeg" || extension == ".jpe") return ".jpg";
  if (extension == ".tiff") return ".tif";
  return extension;
}

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

namespace {

// A file of this run's own in the temporary folder, removed when it goes.
class ScratchFile {
 public:
  explicit ScratchFile(const std::string& extension) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / ("palmora-stdio-XXXXXX" + extension)).string();
    const int fd = ::mkstemps(pattern.data(), int(extension.size()));
    if (fd < 0)
      throw HostError(std::string("cannot make a temporary file: ") + std::strerror(errno));
    ::close(fd);
    path_ = pattern;
  }
  ~ScratchFile() {
    std::error_code error;
    std::filesystem::remove(path_, error);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

void CopyStream(std::FILE* from, std::FILE* to, const std::string& what) {
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, from)) > 0)
    if (std::fwrite(buffer, 1, n, to) != n) throw HostError(what + ": " + std::strerror(errno));
  if (std::ferror(from)) throw HostError(what + ": " + std::strerror(errno));
}

}  // namespace

void WithInputFile(const std::string& path,
                   const std::function<void(const std::string& file)>& read) {
  if (path != "-") return read(path);
  // The engine reads files by name: standard input goes through a scratch file first.
  const ScratchFile scratch("");
  std::FILE* out = std::fopen(scratch.path().c_str(), "wb");
  if (!out) throw HostError(std::string("cannot read standard input: ") + std::strerror(errno));
  CopyStream(stdin, out, "cannot read standard input");
  if (std::fclose(out) != 0)
    throw HostError(std::string("cannot read standard input: ") + std::strerror(errno));
  read(scratch.path());
}

void WriteStandardOutput(const std::string& extension,
                         const std::function<void(const std::string& file)>& write) {
  const ScratchFile scratch(extension);
  std::filesystem::remove(scratch.path());
  write(scratch.path());
  std::FILE* in = std::fopen(scratch.path().c_str(), "rb");
  if (!in) throw HostError(std::string("cannot write standard output: ") + std::strerror(errno));
  CopyStream(in, stdout, "cannot write standard output");
  std::fclose(in);
  if (std::fflush(stdout) != 0)
    throw HostError(std::string("cannot write standard output: ") + std::strerror(errno));
  // The picture is the whole of standard output: a summary line after it would corrupt it.
  const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null >= 0) {
    ::dup2(null, STDOUT_FILENO);
    ::close(null);
  }
}

Picture ReadPicture(const std::string& path) {
  if (path == "-") {
    Picture picture;
    WithInputFile(path, [&](const std::string& file) { picture = ReadPicture(file); });
    return picture;
  }
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
  if (path == "-") return;  // standard output, as PNG
  const std::string extension = WriterExtension(path);
  if (extension == ".wmf")
    throw HostError("cannot write '" + path +
                    "': WMF is read but not written (use .emf for a "
                    "metafile)");
  if (!KeepsAlpha(extension) && !DropsAlpha(extension))
    throw HostError("cannot write '" + path +
                    "': unknown picture type (use .png, .jpg, .bmp, .tif, .tga, .gif, .pcx, .psd "
                    "or .emf)");
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  std::error_code error;
  if (!parent.empty() && !std::filesystem::is_directory(parent, error))
    throw HostError("cannot write '" + path + "': no folder '" + parent.string() + "'");
  if (std::filesystem::is_directory(path, error))
    throw HostError("cannot write '" + path + "': " + std::strerror(EISDIR));
}

void WriteThroughTemporary(const std::string& path,
                           const std::function<int32_t(const char* temporary)>& write) {
  CheckOutputPath(path);
  const std::string temporary = TemporaryPath(path);
  ProbeWritable(path, temporary);
  errno = 0;
  const int32_t written = write(temporary.c_str());
  const int writeError = errno;
  std::error_code error;
  if (!written || !std::filesystem::is_regular_file(temporary, error)) {
    std::filesystem::remove(temporary, error);
    throw HostError("cannot write '" + path + "': " +
                    WriteFailureReason(std::filesystem::path(path).parent_path(), writeError));
  }
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    throw HostError("cannot write '" + path + "': " + error.message());
  }
}

bool IsOpaque(const Picture& picture) {
  for (std::size_t i = 3; i < picture.rgba.size(); i += 4)
    if (picture.rgba[i] != 255) return false;
  return true;
}

void WritePicture(const std::string& path, const Picture& picture, int dpi, int jpegQuality) {
  if (path == "-") {
    WriteStandardOutput(".png", [&](const std::string& file) { WritePicture(file, picture, dpi); });
    return;
  }
  const std::string extension = WriterExtension(path);
  WriteThroughTemporary(path, [&](const char* temporary) {
    if (extension == ".jpg" && jpegQuality != 0) {
      const std::vector<uint8_t> rgb = PackedRgb(picture);
      return PMR_WriteToFileJPG(rgb.data(), picture.width, picture.height, temporary, jpegQuality,
                                dpi);
    }
    // An opaque picture's alpha says nothing: PNG is written as plain RGB.
    if (KeepsAlpha(extension) && !(extension == ".png" && IsOpaque(picture)))
      return PMR_WriteToFileRGBA32(picture.rgba.data(), picture.width, picture.height, temporary,
                                   extension.c_str(), dpi);
    const std::vector<uint8_t> rgb = PackedRgb(picture);
    return PMR_WriteToFileRGB24(rgb.data(), picture.width, picture.height, temporary,
                                extension.c_str(), dpi);
  });
}

bool PageSaverTakes(const std::string& extension) {
  return extension == ".png" || extension == ".tga" || extension == ".tif" || extension == ".bmp" ||
         extension == ".jpg";
}

}  // namespace host
