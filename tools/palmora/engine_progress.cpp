#include "engine_progress.h"

#include "palmora/palmora.h"

namespace host {

EngineProgress::EngineProgress(bool quiet) : quiet_(quiet) {
  PMR_SetProgressCallback(&Report, this);
}

EngineProgress::~EngineProgress() { PMR_SetProgressCallback(nullptr, nullptr); }

void EngineProgress::Report(const char* task, int32_t done, int32_t total, void* user) {
  auto* self = static_cast<EngineProgress*>(user);
  const std::string name = task ? task : "";
  // A new task gets a line of its own; the old one is wiped when it goes.
  if (!self->line_ || name != self->task_) {
    self->line_.reset();
    self->line_ = std::make_unique<Progress>(self->quiet_, name);
    self->task_ = name;
  }
  if (done >= 0 && total > 0) self->line_->Update(std::size_t(done), std::size_t(total));
  if (done >= total) self->line_.reset();
}

}  // namespace host
