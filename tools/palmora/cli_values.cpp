#include "cli_values.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "host_error.h"

namespace host {
namespace {

bool ParseWhole(const std::string& text, int low, int high, int& out) {
  double value = 0;
  if (!ParseNumber(text, value) || value != std::floor(value) || value < low || value > high)
    return false;
  out = int(value);
  return true;
}

}  // namespace

bool ParseNumber(const std::string& text, double& value) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  value = std::strtod(begin, &end);
  if (end == begin || errno == ERANGE || !std::isfinite(value)) return false;
  while (*end == ' ' || *end == '\t') ++end;
  return *end == '\0';
}

CanvasSize ParseSize(const std::string& text, const std::string& option) {
  // Accept the multiplication sign (UTF-8 "×") as well as a plain x.
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool times = text.compare(i, 2, "\xC3\x97") == 0;
    plain += times ? 'x' : text[i];
    i += times;
  }
  const std::size_t x = plain.find_first_of("xX");
  CanvasSize size;
  if (x == std::string::npos || !ParseWhole(plain.substr(0, x), 1, 10000, size.width) ||
      !ParseWhole(plain.substr(x + 1), 1, 10000, size.height))
    throw HostError("bad size for " + option + ": '" + text + "' (expected W×H, each 1..10000)");
  return size;
}

Area ParseArea(const std::string& text, const std::string& option) {
  int values[4] = {};
  std::size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    const std::size_t comma = i < 3 ? text.find(',', start) : text.size();
    if (comma == std::string::npos ||
        !ParseWhole(text.substr(start, comma - start), i < 2 ? 0 : 1, 1 << 30, values[i]))
      throw HostError(option + " " + text + ": expected X,Y,W,H in whole pixels (W and H from 1)");
    start = comma + 1;
  }
  if (start <= text.size())
    throw HostError(option + " " + text + ": expected X,Y,W,H in whole pixels (W and H from 1)");
  return {values[0], values[1], values[2], values[3]};
}

Rgb ParseRgb(const std::string& text, const std::string& option) {
  Rgb rgb;
  const std::size_t a = text.find(','), b = a == std::string::npos ? a : text.find(',', a + 1);
  if (b == std::string::npos || !ParseWhole(text.substr(0, a), 0, 255, rgb.red) ||
      !ParseWhole(text.substr(a + 1, b - a - 1), 0, 255, rgb.green) ||
      !ParseWhole(text.substr(b + 1), 0, 255, rgb.blue))
    throw HostError("bad colour for " + option + ": '" + text + "' (expected R,G,B, each 0..255)");
  return rgb;
}

IndexedValue ParseIndexedValue(const std::string& text, const std::string& option, int count) {
  IndexedValue out;
  const std::size_t eq = text.find('=');
  int index = 0;
  if (eq == std::string::npos || !ParseWhole(text.substr(0, eq), 1, count, index) ||
      !ParseNumber(text.substr(eq + 1), out.value))
    throw HostError("bad value for " + option + ": '" + text + "' (expected N=V with N 1.." +
                    std::to_string(count) + ")");
  out.index = index - 1;
  return out;
}

}  // namespace host
