#include "platform/message_box.h"

#include <cstdio>

#include "platform/host_callback.h"

namespace platform {
namespace {
MessageBoxCallback g_callback = nullptr;
void* g_user = nullptr;
}  // namespace

void SetMessageBoxCallback(MessageBoxCallback callback, void* user) noexcept {
  g_callback = callback;
  g_user = user;
}

void ShowMessageBox(const char* text, const char* caption) noexcept {
  if (!text) text = "";
  if (!caption) caption = "";
  if (g_callback) {
    HostCallbackScope inHost;
    g_callback(text, caption, g_user);
    return;
  }
  std::fprintf(stderr, "[%s] %s\n", caption, text);
}

void OutputDebugText(const char* text) noexcept { std::fprintf(stderr, "%s\n", text ? text : ""); }

}  // namespace platform
