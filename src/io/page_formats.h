// The formats the merged page can be saved in line by line: for each, its line writer's set-up,
// row and finishing calls, the row format it takes and the order rows are handed over in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/store_policy.h"
#include "imaging/line_writers.h"

namespace io {

struct PageFormat {
  const char* extension;
  int32_t bytesPerPixel;  // 3: RGB24, 4: RGBA32
  bool bottomRowFirst;
  void (*convertRow)(const uint16_t* src, uint8_t* dst, std::size_t pixels, engine::Stores stores);
  imaging::ISLineWriter (*start)(imaging::ISDest dest, uint32_t width, uint32_t height,
                                 int32_t dpi);
  int32_t (*writeLine)(imaging::ISLineWriter writer, const void* row);
  int32_t (*finish)(imaging::ISLineWriter writer);
};

// ".bmp", ".png" and ".jpg" (rows as RGB24).
std::span<const PageFormat> PageFormatsRGB24();
// ".png", ".tga" and ".tif" (rows as RGBA32).
std::span<const PageFormat> PageFormatsRGB32();

// The format of that extension (compared without regard to case), or null.
const PageFormat* FindPageFormat(std::span<const PageFormat> formats, const char* extension);

}  // namespace io
