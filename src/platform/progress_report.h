// Progress of long work for the host: whatever callback it installed, else nothing.
#pragma once

#include <cstdint>

#include "palmora/progress.h"

namespace platform {

void SetProgressCallback(PMR_ProgressCallback callback, void* user);
// Tells the host that done of total steps of task are finished.
void ReportProgress(const char* task, int32_t done, int32_t total);

}  // namespace platform
