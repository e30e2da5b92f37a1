// Scanner access in place of the desktop's scanner library, through SANE. Each call starts SANE,
// does its work and shuts SANE down again, so nothing stays open between exports.
#pragma once

#include <cstdint>

namespace platform {

// Stands in for the source dialog: the index of the device to use, or -1 to cancel.
using ScannerSourceChooser = int32_t (*)(const char* const* deviceNames, int32_t count, void* user);
// Null restores the default, which takes the first device.
void SetScannerSourceChooser(ScannerSourceChooser chooser, void* user);

// Non-zero when SANE starts and finds at least one device.
int32_t ScannerAvailable();
// Lets the chooser pick a device and remembers it; non-zero when one was picked.
int32_t ScannerSelectSource(void* parentWindow);
// Pixel types the acquire call understands.
inline constexpr int32_t kScanPixelColour = 4;  // colour where the device offers it
// Scans one picture from the chosen device (the first when none was chosen, or when the chosen
// one is gone). Returns a malloc'd packed bitmap (40-byte header, bottom-up 24-bit rows padded
// to four bytes), or null.
void* ScannerAcquire(void* parentWindow, int32_t pixelType);
// Releases a bitmap from ScannerAcquire.
void ScannerRelease(void* bitmap);

}  // namespace platform
