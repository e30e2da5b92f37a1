// Exports: host services.
#include "api/guard.h"
#include "host/host_services.h"
#include "palmora/host.h"

using host::MemoryFigure;

PMR_API int32_t PMR_GetTotalPhyMemory(void) {
  return host::MemoryMebibytes(MemoryFigure::kTotalPhysical);
}
PMR_API int32_t PMR_GetAvailPhyMemory(void) {
  return host::MemoryMebibytes(MemoryFigure::kAvailablePhysical);
}
PMR_API int32_t PMR_GetTotalPgMemory(void) {
  return host::MemoryMebibytes(MemoryFigure::kTotalPageFile);
}
PMR_API int32_t PMR_GetAvailPgMemory(void) {
  return host::MemoryMebibytes(MemoryFigure::kAvailablePageFile);
}
PMR_API int32_t PMR_GetTotalVirMemory(void) {
  return host::MemoryMebibytes(MemoryFigure::kTotalVirtual);
}
PMR_API int32_t PMR_GetAvailVirMemory(void) {
  return host::MemoryMebibytes(MemoryFigure::kAvailableVirtual);
}

PMR_API int32_t PMR_GetWindowBackgroundColor(void) { return host::WindowBackgroundColor(); }
PMR_API int32_t PMR_GetWindowTextColor(void) { return host::WindowTextColor(); }
PMR_API int32_t PMR_GetWindowCaptionSize(void) { return host::WindowCaptionSize(); }
PMR_API int32_t PMR_GetWindowSmallCaptionSize(void) { return host::WindowSmallCaptionSize(); }
PMR_API int32_t PMR_GetWindowFixedFrameSize(void) { return host::WindowFixedFrameSize(); }

PMR_API int32_t PMR_SetWindowBasePos(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return api::guard(0, "SetWindowBasePos Excpt",
                    [&] { return host::SetWindowBasePos(left, top, right, bottom); });
}
PMR_API int32_t PMR_IsCompositionEnabled(void) { return host::IsCompositionEnabled(); }
PMR_API const char* PMR_GetDirInfo(void) { return host::DirInfo(); }
PMR_API int32_t PMR_RenameFile(const char* oldPath, const char* newPath) {
  return api::guard(0, "RenameFile Excpt", [&] { return host::RenameFile(oldPath, newPath); });
}

PMR_API int32_t PMR_CalcSpline3(uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1, uint32_t x2,
                                uint32_t y2, int32_t /*reserved*/) {
  return api::guard(0, "CalcSpline3 Excpt",
                    [&] { return host::CalcSpline3(x0, y0, x1, y1, x2, y2); });
}
PMR_API int32_t PMR_GetSplinePointCount(void) { return host::SplinePointCount(); }
PMR_API int32_t PMR_GetSplinePointX(int32_t index) { return host::SplinePointX(index); }
PMR_API int32_t PMR_GetSplinePointY(int32_t index) { return host::SplinePointY(index); }
