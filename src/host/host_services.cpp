#include "host/host_services.h"

#include <cstdint>
#include <cstdio>

#include "engine/engine_state.h"
#include "imaging/spline_points.h"
#include "platform/memory_status.h"

namespace host {
namespace {

WindowSystemBackend g_windows;

int32_t Mebibytes(uint64_t bytes) {
  return static_cast<int32_t>(static_cast<uint32_t>(bytes >> 20));
}

// Truncation toward zero; values past the 32-bit range (a curve through coordinates of 2^31 and
// more) saturate instead of being undefined.
int32_t TruncateToInt32(double v) {
  if (!(v > -2147483649.0)) return INT32_MIN;
  if (!(v < 2147483648.0)) return INT32_MAX;
  return static_cast<int32_t>(v);
}

int32_t SplinePoint(const double* axis, int32_t index) {
  const engine::CurveState& c = engine::State().curve;
  if (c.pointCount <= 0) return 0;
  const uint32_t i = static_cast<uint32_t>(index);
  const uint32_t last = static_cast<uint32_t>(c.pointCount) - 1;
  return TruncateToInt32(axis[i <= last ? i : last]);
}

int32_t OneShort(int32_t edge) { return edge == INT32_MIN ? edge : edge - 1; }

}  // namespace

int32_t MemoryMebibytes(MemoryFigure figure) {
  platform::MemoryStatus status;
  if (!platform::ReadMemoryStatus(status)) return 0;
  switch (figure) {
    case MemoryFigure::kTotalPhysical:
      return Mebibytes(status.totalPhysical);
    case MemoryFigure::kAvailablePhysical:
      return Mebibytes(status.availablePhysical);
    case MemoryFigure::kTotalPageFile:
      return Mebibytes(status.totalPageFile);
    case MemoryFigure::kAvailablePageFile:
      return Mebibytes(status.availablePageFile);
    case MemoryFigure::kTotalVirtual:
      return Mebibytes(status.totalVirtual);
    case MemoryFigure::kAvailableVirtual:
      return Mebibytes(status.availableVirtual);
  }
  return 0;
}

int32_t WindowBackgroundColor() { return 0x00F0F0F0; }
int32_t WindowTextColor() { return 0x00000000; }
int32_t WindowCaptionSize() { return 23; }
int32_t WindowSmallCaptionSize() { return 17; }
int32_t WindowFixedFrameSize() { return 3; }

int32_t SetWindowBasePos(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  void* window = engine::State().hostWindow;
  int32_t rect[4];
  if (!g_windows.getPlacement || !g_windows.setPlacement || !g_windows.getPlacement(window, rect))
    return 0;
  // The normal rectangle keeps its right and bottom edges inside, one short of those given.
  const int32_t placed[4] = {left, top, OneShort(right), OneShort(bottom)};
  return g_windows.setPlacement(window, placed) ? 1 : 0;
}

void SetWindowSystemBackend(const WindowSystemBackend* backend) {
  g_windows = backend ? *backend : WindowSystemBackend{};
}

bool ClientToScreen(void* window, int32_t point[2]) {
  return g_windows.clientToScreen && g_windows.clientToScreen(window, point);
}

void ScreenSize(int32_t size[2]) {
  if (g_windows.screenSize && g_windows.screenSize(size)) return;
  size[0] = 1920, size[1] = 1080;
}

int32_t IsCompositionEnabled() { return 0; }

const char* DirInfo() { return "/usr/share"; }

int32_t RenameFile(const char* oldPath, const char* newPath) {
  if (!oldPath || !newPath) return 0;
  return std::rename(oldPath, newPath) == 0 ? 1 : 0;
}

int32_t CalcSpline3(uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1, uint32_t x2, uint32_t y2) {
  engine::CurveState& c = engine::State().curve;
  c.controlX[0] = x0, c.controlX[1] = x1, c.controlX[2] = x2;
  c.controlY[0] = y0, c.controlY[1] = y1, c.controlY[2] = y2;
  c.controlZ[0] = c.controlZ[1] = c.controlZ[2] = 0;
  // 100 points over 3 control points with the classic tangents.
  const int32_t result = imaging::ISE40_Get3DSplinePoints(
      engine::CurveState::kPoints, 3, 50, c.controlX, c.controlY, c.controlZ, c.x, c.y, c.z);
  c.pointCount = engine::CurveState::kPoints;
  return result;
}

int32_t SplinePointCount() { return engine::State().curve.pointCount; }
int32_t SplinePointX(int32_t index) { return SplinePoint(engine::State().curve.x, index); }
int32_t SplinePointY(int32_t index) { return SplinePoint(engine::State().curve.y, index); }

}  // namespace host
