// Message boxes and debugger output. The desktop platform showed modal boxes; here the host
// installs a callback that shows them its own way (and returns when the user has dismissed the
// box). Without one, boxes are written to standard error.
#pragma once

namespace platform {

using MessageBoxCallback = void (*)(const char* text, const char* caption, void* user);

void SetMessageBoxCallback(MessageBoxCallback callback, void* user) noexcept;
void ShowMessageBox(const char* text, const char* caption) noexcept;
// Text for a debugger: standard error, one line.
void OutputDebugText(const char* text) noexcept;

}  // namespace platform
