// Support code (the file name joins it to the test program).
#include "support/png_snapshot.h"

#include "support/png_write.h"

namespace palmora_test {

void SnapshotBGR(const std::string& name, const uint8_t* bgr, int32_t width, int32_t height,
                 int32_t stride) {
  const std::string dir = PictureDir();
  if (dir.empty() || width <= 0 || height <= 0 || stride < width * 3) return;
  WritePng(dir + "/" + name + ".png", bgr, uint32_t(width), uint32_t(height), PngPixels::kBGR,
           size_t(stride));
}

}  // namespace palmora_test
