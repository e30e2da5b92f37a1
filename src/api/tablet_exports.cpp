// Exports: pen-tablet input. None reports through the last error: a missing driver or an empty
// queue shows as the neutral answers.
#include "host/tablet_input.h"
#include "palmora/tablet.h"

PMR_API int32_t PMR_InitTablet(void* window) { return host::InitTablet(window); }
PMR_API int32_t PMR_CloseTablet(void) { return host::CloseTablet(); }
PMR_API int32_t PMR_SetTabletOrigin(void) { return host::SetTabletOrigin(); }
PMR_API int32_t PMR_ReadTabletPackets(void) { return host::ReadTabletPackets(); }
PMR_API void PMR_ResetTabletPressure(void) { host::ResetTabletPressure(); }
PMR_API int32_t PMR_ReadTabletPressure(uint32_t index) { return host::ReadTabletPressure(index); }
PMR_API int32_t PMR_ReadRawTabletPressure(uint32_t index) {
  return host::ReadRawTabletPressure(index);
}
PMR_API int32_t PMR_ReadTabletX(uint32_t index) { return host::ReadTabletX(index); }
PMR_API int32_t PMR_ReadTabletY(uint32_t index) { return host::ReadTabletY(index); }
PMR_API int32_t PMR_PacketStatus(uint32_t index) { return host::PacketStatus(index); }
PMR_API int32_t PMR_IsPacketInvert(uint32_t index) { return host::IsPacketInvert(index); }
