// The tablet driver library, loaded at run time on first use and bound by function name. Every
// call answers 0 when the library or the function is missing; the next call tries again.
#pragma once

#include <cstdint>

#include "palmora/tablet.h"

namespace platform {

int32_t WTInfoA(uint32_t category, uint32_t index, void* output);
void* WTOpenA(void* window, PMR_TabletContext* context, int32_t enable);
int32_t WTClose(void* context);
int32_t WTPacketsGet(void* context, int32_t maxPackets, void* packets);
int32_t WTQueueSizeSet(void* context, int32_t size);

}  // namespace platform
