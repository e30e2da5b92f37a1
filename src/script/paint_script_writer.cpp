#include "script/paint_script_writer.h"

#include <sys/stat.h>

namespace script {

bool PaintScriptWriter::Open(const std::string& path) {
  Close();
  const std::size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0) mkdir(path.substr(0, slash).c_str(), 0777);
  file_ = std::fopen(path.c_str(), "w");
  return file_ != nullptr;
}

void PaintScriptWriter::Line(std::string_view text) {
  if (!file_) return;
  std::fwrite(text.data(), 1, text.size(), file_);
  std::fputc('\n', file_);
}

void PaintScriptWriter::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

PaintScriptWriter& PaintScript() {
  static PaintScriptWriter writer;
  return writer;
}

std::string PaintScriptPath(const char* startDir) {
  std::string path = startDir ? startDir : "";
  if (!path.empty() && path.back() != '/') path += '/';
  return path + "scripts/luapaint.srp";
}

}  // namespace script
