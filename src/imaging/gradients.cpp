#include "imaging/gradients.h"

#include <algorithm>
#include <cmath>

#include "imaging/picture_args.h"

namespace imaging {
namespace {

constexpr uint32_t kMaxStops = 256;

struct Stops {
  const uint8_t* colours;
  const int32_t* positions;
  uint32_t count;
  bool smooth;

  // The colour at t (0..1 along the gradient), written red first.
  void ColourAt(double t, uint8_t* pixel) const {
    const double percent = t * 100.0;
    uint32_t next = 0;
    while (next < count && positions[next] < percent) ++next;
    if (next == 0 || next == count) {
      Write(next == 0 ? 0 : count - 1, pixel);
      return;
    }
    const uint32_t before = next - 1;
    if (!smooth) {
      Write(before, pixel);
      return;
    }
    const double span = positions[next] - positions[before];
    const double f = span > 0 ? (percent - positions[before]) / span : 1.0;
    const uint8_t* a = colours + 4 * before;
    const uint8_t* b = colours + 4 * next;
    // Entries are blue, green, red, alpha; pixels red, green, blue, alpha.
    static constexpr int kFrom[4] = {2, 1, 0, 3};
    for (int c = 0; c < 4; ++c) {
      pixel[c] = uint8_t(std::lround(a[kFrom[c]] + (b[kFrom[c]] - a[kFrom[c]]) * f));
    }
  }
  void Write(uint32_t stop, uint8_t* pixel) const {
    const uint8_t* e = colours + 4 * stop;
    pixel[0] = e[2], pixel[1] = e[1], pixel[2] = e[0], pixel[3] = e[3];
  }
};

bool Usable(const void* image, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
            uint32_t rowBytes, const uint8_t* colours, const int32_t* positions, uint32_t count) {
  return bytesPerPixel == 4 && IsDrawablePicture(image, width, height, rowBytes, 4) && colours &&
         positions && count >= 1 && count <= kMaxStops;
}

// Fills every pixel with the stops' colour at place(x, y), from 0 to 1 along the gradient; a
// pixel's place is its own coordinates, so the pixel at a given point takes that point's colour.
template <class Place>
void Fill(void* image, uint32_t width, uint32_t height, uint32_t rowBytes, const Stops& stops,
          Place&& place) {
  uint8_t* base = static_cast<uint8_t*>(image);
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* pixel = base + std::size_t(y) * rowBytes;
    for (uint32_t x = 0; x < width; ++x, pixel += 4)
      stops.ColourAt(place(double(x), double(y)), pixel);
  }
}

}  // namespace

int32_t ISE3GradientFillImageLinear(void* image, uint32_t width, uint32_t height,
                                    uint32_t bytesPerPixel, uint32_t rowBytes, double x0, double y0,
                                    double x1, double y1, const uint8_t* stopColours,
                                    const int32_t* stopPositions, uint32_t stopCount,
                                    uint32_t /*reserved1*/, uint32_t smooth,
                                    uint32_t /*reserved2*/) {
  if (!Usable(image, width, height, bytesPerPixel, rowBytes, stopColours, stopPositions, stopCount))
    return 0;
  const double dx = x1 - x0, dy = y1 - y0, length2 = dx * dx + dy * dy;
  const Stops stops{stopColours, stopPositions, stopCount, smooth != 0};
  // A line of no length puts everything at its start.
  Fill(image, width, height, rowBytes, stops, [&](double x, double y) {
    return length2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / length2 : 0.0;
  });
  return 1;
}

int32_t ISE3GradientFillImageRadial(void* image, uint32_t width, uint32_t height,
                                    uint32_t bytesPerPixel, uint32_t rowBytes, double radius,
                                    double centreX, double centreY, const uint8_t* stopColours,
                                    const int32_t* stopPositions, uint32_t stopCount,
                                    uint32_t /*reserved1*/, uint32_t smooth,
                                    uint32_t /*reserved2*/) {
  if (!Usable(image, width, height, bytesPerPixel, rowBytes, stopColours, stopPositions, stopCount))
    return 0;
  const Stops stops{stopColours, stopPositions, stopCount, smooth != 0};
  Fill(image, width, height, rowBytes, stops, [&](double x, double y) {
    const double d = std::hypot(x - centreX, y - centreY);
    return radius > 0 ? d / radius : 1.0;
  });
  return 1;
}

}  // namespace imaging
