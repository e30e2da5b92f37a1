#include "imaging/codecs/line_writer.h"

#include <memory>
#include <new>
#include <vector>

namespace imaging {

int32_t WriteNextLine(ISLineWriter writer, int32_t type, const void* row) {
  if (!writer || writer->type != type || !row || writer->failed) return 0;
  if (writer->rowsWritten >= writer->height) return 0;
  if (!writer->WriteRow(static_cast<const uint8_t*>(row))) {
    writer->failed = true;
    return 0;
  }
  ++writer->rowsWritten;
  return 1;
}

int32_t DestroyLineWriter(ISLineWriter writer, int32_t type) {
  if (!writer || writer->type != type) return 0;
  std::unique_ptr<LineWriter> owned(writer);
  bool complete = !writer->failed && writer->rowsWritten == writer->height;
  if (!writer->failed && writer->rowsWritten < writer->height) {
    // Keep the file readable: the header promised height rows.
    std::vector<uint8_t> zeros(writer->RowBytes(), 0);
    while (writer->rowsWritten < writer->height && writer->WriteRow(zeros.data())) {
      ++writer->rowsWritten;
    }
  }
  if (!writer->Finish()) complete = false;
  return complete ? 1 : 0;
}

}  // namespace imaging
