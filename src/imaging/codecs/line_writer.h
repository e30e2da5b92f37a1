// The common shape of the line writers: a format tag, the row count, and the two steps each
// format supplies.
#pragma once

#include <cstdint>

#include "imaging/codecs/file_access.h"
#include "imaging/line_writers.h"

namespace imaging {

struct LineWriter {
  LineWriter(int32_t type, uint32_t width, uint32_t height)
      : type(type), width(width), height(height) {}
  virtual ~LineWriter() = default;
  // Writes the next row; false when the file could not take it.
  virtual bool WriteRow(const uint8_t* row) = 0;
  // Completes the file after the last row.
  virtual bool Finish() = 0;
  // Bytes of one row handed in (for padding a short picture).
  virtual uint32_t RowBytes() const = 0;

  const int32_t type;
  const uint32_t width;
  const uint32_t height;
  uint32_t rowsWritten = 0;
  bool failed = false;
};

// The shared bodies of IS40_WriteNext*Line and IS40_DestroyWrite*Lines.
int32_t WriteNextLine(ISLineWriter writer, int32_t type, const void* row);
int32_t DestroyLineWriter(ISLineWriter writer, int32_t type);

}  // namespace imaging
