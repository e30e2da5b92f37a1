/* palmora: small services for the host. On this system the desktop's window colours and metrics
 * are fixed defaults (button face 0x00F0F0F0 and black text packed 0x00BBGGRR, caption 23 pixels,
 * small caption 17, fixed frame 3), there is no desktop compositor to ask, and the system folder
 * is "/usr/share". */
#ifndef PALMORA_HOST_H
#define PALMORA_HOST_H

#include "palmora/export.h"

/* Memory figures in whole mebibytes: physical memory, physical memory plus swap (the commit
 * space), and the process's address space, each in total and available. */
PMR_API int32_t PMR_GetTotalPhyMemory(void);
PMR_API int32_t PMR_GetAvailPhyMemory(void);
PMR_API int32_t PMR_GetTotalPgMemory(void);
PMR_API int32_t PMR_GetAvailPgMemory(void);
PMR_API int32_t PMR_GetTotalVirMemory(void);
PMR_API int32_t PMR_GetAvailVirMemory(void);

PMR_API int32_t PMR_GetWindowBackgroundColor(void);
PMR_API int32_t PMR_GetWindowTextColor(void);
PMR_API int32_t PMR_GetWindowCaptionSize(void);
PMR_API int32_t PMR_GetWindowSmallCaptionSize(void);
PMR_API int32_t PMR_GetWindowFixedFrameSize(void);

/* Sets the host window's normal rectangle to left, top, right - 1, bottom - 1; 0 where the window
 * placement cannot be read (always, without a window system). */
PMR_API int32_t PMR_SetWindowBasePos(int32_t left, int32_t top, int32_t right, int32_t bottom);
PMR_API int32_t PMR_IsCompositionEnabled(void);
/* The system folder, valid until the next call. */
PMR_API const char* PMR_GetDirInfo(void);
/* 1 when the file was renamed. */
PMR_API int32_t PMR_RenameFile(const char* oldPath, const char* newPath);

/* A smooth curve through three points, sampled at 100 points from the first to the last; the
 * coordinates are unsigned. The getters read point index (unsigned; past the end: the last point),
 * truncated toward zero; before the first curve they return 0. */
PMR_API int32_t PMR_CalcSpline3(uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1, uint32_t x2,
                                uint32_t y2, int32_t reserved);
PMR_API int32_t PMR_GetSplinePointCount(void);
PMR_API int32_t PMR_GetSplinePointX(int32_t index);
PMR_API int32_t PMR_GetSplinePointY(int32_t index);

#endif
