#include "platform/progress_report.h"

namespace platform {
namespace {

PMR_ProgressCallback g_callback = nullptr;
void* g_user = nullptr;

}  // namespace

void SetProgressCallback(PMR_ProgressCallback callback, void* user) {
  g_callback = callback;
  g_user = callback ? user : nullptr;
}

void ReportProgress(const char* task, int32_t done, int32_t total) {
  if (g_callback) g_callback(task, done, total, g_user);
}

}  // namespace platform
