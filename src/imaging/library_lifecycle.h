// Start and end of the library modules. The engine calls them from its start-up export; our
// library needs no global set-up, so they only record that it is running.
#pragma once

#include <cstdint>

namespace imaging {

int32_t is5_Initialize(const char* key);
int32_t IS40_Initialize(const char* key);
int32_t ISE40_Initialize(const char* key);
int32_t IS3Initialize(const char* key);
int32_t ISE3Initialize(const char* key);
int32_t is5_Exit();
int32_t IS40_Exit();
int32_t IS3Exit();

}  // namespace imaging
