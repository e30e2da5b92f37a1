// Exports: the clipboard and screen capture.
#include "api/guard.h"
#include "io/clipboard.h"
#include "palmora/clipboard.h"

PMR_API int32_t PMR_FromClipboard(void) {
  return api::guard(0, "FromClipBoard Excpt", [&] { return io::FromClipboard(); });
}
PMR_API int32_t PMR_FromClipboardInto(int32_t x, int32_t y, int32_t centred) {
  return api::guard(0, "FromClipBoardInto Excpt",
                    [&] { return io::FromClipboardInto(x, y, centred); });
}
PMR_API int32_t PMR_FromClipboardIntoEX2(int32_t x, int32_t y, int32_t size, int32_t angle,
                                         int32_t centred, int32_t smooth, int32_t opacity) {
  return api::guard(0, "FromClipBoardIntoEX Excpt", [&] {
    return io::FromClipboardIntoEX2(x, y, size, angle, centred, smooth, opacity);
  });
}
PMR_API int32_t PMR_FromClipboardToFile(const char* path, const char* extension, int32_t dpi) {
  return api::guard(0, "FromClipBoardToFile Excpt",
                    [&] { return io::FromClipboardToFile(path, extension, dpi); });
}
PMR_API int32_t PMR_FromClipboardToImageBrush(int32_t size) {
  return api::guard(0, "FromClipBoardToImageBrush Excpt",
                    [&] { return io::FromClipboardToImageBrush(size); });
}
PMR_API int32_t PMR_ToClipboard(void) {
  return api::guard(0, "ToClipBoard Excpt", [&] { return io::ToClipboard(); });
}
PMR_API int32_t PMR_ToClipboardRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  return api::guard(0, "ToClipBoardRect Excpt",
                    [&] { return io::ToClipboardRect(x1, y1, x2, y2); });
}
PMR_API int32_t PMR_RGBA32ToClipboardRect(const void* src, int32_t x, int32_t y, int32_t width,
                                          int32_t height, int32_t useMask) {
  return api::guard(0, "RGBA32ToClipBoardRect Excpt",
                    [&] { return io::RGBA32ToClipboardRect(src, x, y, width, height, useMask); });
}
PMR_API int32_t PMR_ToClipboardFromFile(const char* path) {
  return api::guard(0, "ToClipBoardFromFile Excpt", [&] { return io::ToClipboardFromFile(path); });
}
PMR_API int32_t PMR_ScreenCapture(void) {
  return api::guard(0, "ScreenCapture Excpt", [&] { return io::ScreenCapture(); });
}
PMR_API int32_t PMR_ScreenCaptureInto(void) {
  return api::guard(0, "ScreenCaptureInto Excpt", [&] { return io::ScreenCaptureInto(); });
}
