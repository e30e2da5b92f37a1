// The paint-script recording: a text file of painting steps that a filter script describes and the
// host replays through its brush machinery. One item per line; see docs/paint-scripts.md.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace script {

class PaintScriptWriter {
 public:
  ~PaintScriptWriter() { Close(); }
  // Starts a new recording at path (an open one is closed first, without its end line). Creates
  // the file's folder when it is missing. Returns false when the file cannot be created.
  bool Open(const std::string& path);
  bool IsOpen() const { return file_ != nullptr; }
  // Writes one line; nothing when no recording is open. Write errors are ignored.
  void Line(std::string_view text);
  // Closes the file without writing anything more.
  void Close();

 private:
  std::FILE* file_ = nullptr;
};

// The engine's one recording.
PaintScriptWriter& PaintScript();

// "<start directory>/scripts/luapaint.srp" (no second separator when the directory ends with one).
std::string PaintScriptPath(const char* startDir);

}  // namespace script
