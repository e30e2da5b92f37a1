#include "imaging/library_lifecycle.h"

namespace imaging {

int32_t is5_Initialize(const char*) { return 1; }
int32_t IS40_Initialize(const char*) { return 1; }
int32_t ISE40_Initialize(const char*) { return 1; }
int32_t IS3Initialize(const char*) { return 1; }
int32_t ISE3Initialize(const char*) { return 1; }
int32_t is5_Exit() { return 1; }
int32_t IS40_Exit() { return 1; }
int32_t IS3Exit() { return 1; }

}  // namespace imaging
