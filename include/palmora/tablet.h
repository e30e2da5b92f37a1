/* palmora: pen-tablet input through a tablet driver library loaded at run time: the file named by
 * the environment variable PALMORA_TABLET_DRIVER, or else "libpalmora_tablet.so" from the
 * library search path. Without a driver every call gives its neutral answer.
 *
 * A driver exports five C functions, by these names, with the published tablet interface's
 * meaning:
 *   int32_t WTInfoA(uint32_t category, uint32_t index, void* output);
 *     category 100 (devices), index 15 (normal pressure): fills a PMR_TabletAxis;
 *     category 3 (default context), index 0: fills a PMR_TabletContext. Returns the bytes
 *     written, 0 when it has no answer.
 *   void* WTOpenA(void* window, PMR_TabletContext* context, int32_t enable);  null on failure
 *   int32_t WTClose(void* context);
 *   int32_t WTPacketsGet(void* context, int32_t maxPackets, void* packets);
 *     copies up to maxPackets queued packets (PMR_TabletPacket, oldest first) and removes them
 *     from the queue; packets may be null to discard them; returns how many.
 *   int32_t WTQueueSizeSet(void* context, int32_t size);  non-zero on success */
#ifndef PALMORA_TABLET_H
#define PALMORA_TABLET_H

#include "palmora/export.h"

typedef struct PMR_TabletAxis {
  int32_t min, max, units, resolution;
} PMR_TabletAxis;

typedef struct PMR_TabletContext {
  char name[40];
  uint32_t options;    /* 1: the context moves the system cursor */
  uint32_t packetData; /* fields each packet carries: 0x582 = status, x, y, normal pressure */
  uint32_t packetMode; /* fields reported relative (0: all absolute) */
  uint32_t moveMask, buttonDownMask, buttonUpMask;
  int32_t outOriginX, outOriginY, outExtentX,
      outExtentY; /* a negative y extent: y grows downwards */
} PMR_TabletContext;

typedef struct PMR_TabletPacket {
  uint32_t status; /* 0x10: the pen's eraser end */
  int32_t x, y;    /* screen pixels */
  uint32_t normalPressure;
} PMR_TabletPacket;

/* Opens a tablet context for the window: non-zero when the tablet is usable, 0 when no pressure
 * axis could be read. */
PMR_API int32_t PMR_InitTablet(void* window);
PMR_API int32_t PMR_CloseTablet(void);
/* Takes the window's client origin on the screen as the origin of packet positions. */
PMR_API int32_t PMR_SetTabletOrigin(void);
/* Reads up to 256 queued packets; returns how many. */
PMR_API int32_t PMR_ReadTabletPackets(void);
/* Pressure starts again from 10 and queued packets are dropped (at the start of a stroke). */
PMR_API void PMR_ResetTabletPressure(void);
/* Pressure 1..100 of packet index; past the batch the last pressure, rising by 25 a call up to
 * 100. */
PMR_API int32_t PMR_ReadTabletPressure(uint32_t index);
PMR_API int32_t PMR_ReadRawTabletPressure(uint32_t index);
PMR_API int32_t PMR_ReadTabletX(uint32_t index);
PMR_API int32_t PMR_ReadTabletY(uint32_t index);
PMR_API int32_t PMR_PacketStatus(uint32_t index);
PMR_API int32_t PMR_IsPacketInvert(uint32_t index);

#endif
