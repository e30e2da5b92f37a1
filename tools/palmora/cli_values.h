// Parsing of the small value forms the command line takes: sizes, colours and name=value pairs.
#pragma once

#include <string>
#include <vector>

namespace host {

struct CanvasSize {
  int width = 0;
  int height = 0;
};

// "W×H" or "WxH" with both sides 1..10000. Throws HostError naming the option.
CanvasSize ParseSize(const std::string& text, const std::string& option);
// "R,G,B" with each channel 0..255.
struct Rgb {
  int red = 0, green = 0, blue = 0;
};
Rgb ParseRgb(const std::string& text, const std::string& option);

// "X,Y,W,H": a corner (0..) and a size (1..) in whole pixels.
struct Area {
  int x = 0, y = 0, width = 0, height = 0;
};
Area ParseArea(const std::string& text, const std::string& option);

// "N=V" with N in 1..count and V a number; returns the index (0-based) and the value.
struct IndexedValue {
  int index = 0;
  double value = 0;
};
IndexedValue ParseIndexedValue(const std::string& text, const std::string& option, int count);

// A whole decimal number (leading and trailing blanks allowed); false when anything else is there.
bool ParseNumber(const std::string& text, double& value);

}  // namespace host
