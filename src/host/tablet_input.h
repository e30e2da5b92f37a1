// Pen-tablet input for the host: a system-cursor context on the drawing window, packets read in
// batches, and per packet the position, the pressure (1..100), the status and the eraser end.
#pragma once

#include <cstdint>

namespace host {

int32_t InitTablet(void* window);
int32_t CloseTablet();
int32_t SetTabletOrigin();
int32_t ReadTabletPackets();
void ResetTabletPressure();
int32_t ReadTabletPressure(uint32_t index);
int32_t ReadRawTabletPressure(uint32_t index);
int32_t ReadTabletX(uint32_t index);
int32_t ReadTabletY(uint32_t index);
int32_t PacketStatus(uint32_t index);
int32_t IsPacketInvert(uint32_t index);

}  // namespace host
