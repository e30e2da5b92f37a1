// The engine's progress reports (effects, page saves) shown as the host's progress line while an
// EngineProgress lives; --quiet and a non-terminal standard error show nothing.
#pragma once

#include <memory>
#include <string>

#include "progress.h"

namespace host {

class EngineProgress {
 public:
  explicit EngineProgress(bool quiet);
  ~EngineProgress();
  EngineProgress(const EngineProgress&) = delete;
  EngineProgress& operator=(const EngineProgress&) = delete;

 private:
  static void Report(const char* task, int32_t done, int32_t total, void* user);
  bool quiet_;
  std::string task_;
  std::unique_ptr<Progress> line_;
};

}  // namespace host
