// Writes test pictures as PNG files for a person to look at. Nothing is written unless the
// environment names a folder in PALMORA_TEST_PNG_DIR.
#pragma once

#include <cstdint>
#include <string>

namespace palmora_test {

// bgr: width x height pixels of blue, green, red bytes, rows stride bytes apart.
void SnapshotBGR(const std::string& name, const uint8_t* bgr, int32_t width, int32_t height,
                 int32_t stride);

}  // namespace palmora_test
