// The resize filters the host chooses by name, and the library filter code of each.
#pragma once

#include <cstdint>

namespace process {

// The filter code for a name (exact, case-sensitive); any other text selects 8, "Lanczos3".
uint32_t ResizeFilterCode(const char* name);

}  // namespace process
