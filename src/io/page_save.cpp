// Saving the flattened canvas as a picture file without ever holding it whole: a band of rows is
// flattened into 16-bit pixels, each row of it converted to 8 bits and handed to the format's line
// writer, then the next band. The memory used is one band and one output row.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "imaging/imaging.h"
#include "io/page_formats.h"
#include "io/picture_files.h"
#include "platform/progress_report.h"
#include "render/flatten.h"

namespace io {
namespace {

// About 64K pixels a band: enough for the flattening to split the band between cores and keep
// it in cache while the layers pass over it, little next to the canvas.
constexpr int64_t kBandPixels = 65536;

int32_t BandRows(int32_t width, int32_t height) {
  return int32_t(std::clamp<int64_t>(kBandPixels / width, 1, height));
}

// The file being written. Unless Finish() succeeds, the writer is ended, the destination closed
// and a regular file left by it removed: a failed save leaves no partial picture behind.
class PageFile {
 public:
  PageFile(const char* path, const PageFormat& format)
      : path_(path), format_(format), dest_(imaging::IS40_OpenFileDest(path, 0)) {
    struct stat info {};
    regularFile_ = dest_ && ::stat(path, &info) == 0 && S_ISREG(info.st_mode);
  }
  PageFile(const PageFile&) = delete;
  PageFile& operator=(const PageFile&) = delete;
  ~PageFile() {
    if (!dest_) return;
    if (writer_) format_.finish(writer_);
    imaging::IS40_CloseDest(dest_);
    Remove();
  }

  bool Start(int32_t width, int32_t height, int32_t dpi) {
    if (dest_) writer_ = format_.start(dest_, uint32_t(width), uint32_t(height), dpi);
    return writer_ != nullptr;
  }
  bool WriteRow(const uint8_t* row) { return format_.writeLine(writer_, row) != 0; }
  bool Finish() {
    const bool written = format_.finish(writer_) != 0;
    writer_ = nullptr;
    const bool closed = imaging::IS40_CloseDest(dest_) != 0;
    dest_ = nullptr;
    if (!written || !closed) Remove();
    return written && closed;
  }

 private:
  void Remove() {
    if (regularFile_) std::remove(path_);
  }

  const char* path_;
  const PageFormat& format_;
  imaging::ISDest dest_;
  imaging::ISLineWriter writer_ = nullptr;
  bool regularFile_ = false;
};

int32_t SavePage(const char* path, const char* extension, int32_t dpi,
                 std::span<const PageFormat> formats) {
  const PageFormat* format = FindPageFormat(formats, extension);
  if (!format || !path || !*path) return 0;
  const engine::EngineState& s = engine::State();
  const int32_t width = s.canvasWidth, height = s.canvasHeight;
  if (width <= 0 || height <= 0) return 0;

  // Both buffers before the file: when memory is short, nothing is written.
  const int32_t bandRows = BandRows(width, height);
  const std::size_t rowSamples = std::size_t(width) * 4;
  engine::OwnedPlane<uint16_t> band =
      engine::MakeOwnedPlane<uint16_t>(engine::PlaneBytes(width, bandRows, 8) / sizeof(uint16_t));
  engine::OwnedPlane<uint8_t> row =
      engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(width, 1, format->bytesPerPixel));

  PageFile file(path, *format);
  if (!file.Start(width, height, dpi)) return 0;
  constexpr const char* kTask = "save page";
  platform::ReportProgress(kTask, 0, height);
  for (int32_t done = 0; done < height; done += bandRows) {
    const int32_t rows = std::min(bandRows, height - done);
    const int32_t top = format->bottomRowFirst ? height - done - rows : done;
    render::MergeRect(band.get(), 0, top, width, rows);
    for (int32_t i = 0; i < rows; ++i) {
      const int32_t r = format->bottomRowFirst ? rows - 1 - i : i;
      format->convertRow(band.get() + rowSamples * std::size_t(r), row.get(), std::size_t(width),
                         engine::Stores::kCached);
      if (!file.WriteRow(row.get())) return 0;
    }
    if (done + rows < height) platform::ReportProgress(kTask, done + rows, height);
  }
  if (!file.Finish()) return 0;
  platform::ReportProgress(kTask, height, height);
  return 1;
}

}  // namespace

int32_t SavePageToFileRGB24(const char* path, const char* extension, int32_t dpi) {
  return SavePage(path, extension, dpi, PageFormatsRGB24());
}

int32_t SavePageToFileRGB32(const char* path, const char* extension, int32_t dpi) {
  return SavePage(path, extension, dpi, PageFormatsRGB32());
}

}  // namespace io
