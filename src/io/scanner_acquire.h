// The scanner: availability, the choice of device, and one scan into the import buffer.
#pragma once

#include <cstdint>

namespace io {

int32_t IsTwain();
int32_t TwainSelectSource();
// 1 when a scanned picture now fills the import buffer (RGBA32, alpha 255); 0 leaves the buffer
// as it was. Reports its own failures ("TwainAcquire Excpt") and returns what it reached.
int32_t TwainAcquire() noexcept;

}  // namespace io
