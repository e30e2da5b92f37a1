#include "palmora/progress.h"

#include "platform/progress_report.h"

PMR_API void PMR_SetProgressCallback(PMR_ProgressCallback callback, void* user) {
  platform::SetProgressCallback(callback, user);
}
