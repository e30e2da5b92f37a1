// The colour metafiles are rendered over: the current paint colour as a platform colour value
// (red in the low byte, then green, then blue; the high bytes of its 16-bit channels).
#pragma once

#include <cstdint>

namespace io {

uint32_t MetafileBackgroundColour();

}  // namespace io
