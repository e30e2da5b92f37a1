#include "process/resize_filter_names.h"

#include <cstring>
#include <iterator>

namespace process {
namespace {

struct FilterName {
  const char* name;
  uint32_t code;
};

// "Nearest Neighbor" and "Bilinear" share code 18.
constexpr FilterName kFilterNames[] = {
    {"Area Average", 15}, {"Nearest Neighbor", 18}, {"Bilinear", 18}, {"Bicubic", 17},
    {"Box", 0},           {"Triangle", 1},          {"Hamming", 2},   {"Gaussian", 3},
    {"Bell", 4},          {"B-Spline", 5},          {"Cubic 1", 6},   {"Cubic 2", 7},
    {"Lanczos3", 8},      {"Mitchell", 9},          {"Sinc", 10},     {"Hermite", 11},
    {"Hanning", 12},      {"Catrom", 13},
};
static_assert(std::size(kFilterNames) == 18);

constexpr uint32_t kDefaultFilter = 8;

}  // namespace

uint32_t ResizeFilterCode(const char* name) {
  if (!name) return kDefaultFilter;
  for (const FilterName& filter : kFilterNames)
    if (std::strcmp(filter.name, name) == 0) return filter.code;
  return kDefaultFilter;
}

}  // namespace process
