// Small services for the host that have nothing to do with pixels: memory figures, window colours
// and metrics, window placement, the system folder, renaming files and a three-point curve.
#pragma once

#include <cstdint>

namespace host {

// Memory figures in whole mebibytes (bytes >> 20, truncated to 32 bits); 0 when unknown.
enum class MemoryFigure {
  kTotalPhysical,
  kAvailablePhysical,
  kTotalPageFile,
  kAvailablePageFile,
  kTotalVirtual,
  kAvailableVirtual
};
int32_t MemoryMebibytes(MemoryFigure figure);

// The window colours and metrics of the desktop platform, as fixed defaults here: a button face of
// light grey 0x00F0F0F0 and black button text (packed 0x00BBGGRR), a caption 23 pixels high, a
// small caption 17, a fixed frame 3.
int32_t WindowBackgroundColor();
int32_t WindowTextColor();
int32_t WindowCaptionSize();
int32_t WindowSmallCaptionSize();
int32_t WindowFixedFrameSize();

// Sets the host window's normal rectangle to left, top, right - 1, bottom - 1 through the window
// placement service; 0 when there is none (headless) or it refuses.
int32_t SetWindowBasePos(int32_t left, int32_t top, int32_t right, int32_t bottom);
// There is no desktop compositor to ask here: always 0.
int32_t IsCompositionEnabled();
// The folder of system-wide data ("/usr/share", where the fonts folder lies).
const char* DirInfo();
// 1 when the file was renamed, 0 otherwise (null paths included).
int32_t RenameFile(const char* oldPath, const char* newPath);

// The curve through (x0, y0), (x1, y1), (x2, y2) sampled at 100 points (coordinates read as
// unsigned); returns the library's result.
int32_t CalcSpline3(uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1, uint32_t x2, uint32_t y2);
int32_t SplinePointCount();
// The point at index (read unsigned), or the last point for an index past the end; coordinates
// truncated toward zero. 0 before the first curve.
int32_t SplinePointX(int32_t index);
int32_t SplinePointY(int32_t index);

// The window system: the desktop platform's window placement, client-to-screen mapping and screen
// size, reached here through a backend the embedding installs (tests install one). Without one,
// placement and mapping fail and the screen is 1920 x 1080. Rectangles are left, top, right,
// bottom.
struct WindowSystemBackend {
  bool (*getPlacement)(void* window, int32_t rect[4]) = nullptr;
  bool (*setPlacement)(void* window, const int32_t rect[4]) = nullptr;
  bool (*clientToScreen)(void* window, int32_t point[2]) = nullptr;
  bool (*screenSize)(int32_t size[2]) = nullptr;
};
void SetWindowSystemBackend(const WindowSystemBackend* backend);
// The window's client point in screen pixels; false when there is no window system.
bool ClientToScreen(void* window, int32_t point[2]);
// Screen width and height in pixels.
void ScreenSize(int32_t size[2]);

}  // namespace host
