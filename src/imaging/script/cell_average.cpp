#include "imaging/script/cell_average.h"

#include <algorithm>

namespace imaging::script {

CellAverages::CellAverages(const Picture& picture, uint32_t cell)
    : cell_(std::max(1u, cell)), columns_((picture.width + cell_ - 1) / cell_) {
  const uint32_t rows = (picture.height + cell_ - 1) / cell_;
  std::vector<uint64_t> sums(size_t{columns_} * rows * 5, 0);
  for (uint32_t y = 0; y < picture.height; ++y) {
    const uint8_t* p = picture.pixels + size_t{y} * picture.width * 4;
    uint64_t* row = sums.data() + size_t{y / cell_} * columns_ * 5;
    for (uint32_t x = 0; x < picture.width; ++x, p += 4) {
      uint64_t* s = row + size_t{x / cell_} * 5;
      for (int c = 0; c < 4; ++c) s[c] += p[c];
      ++s[4];
    }
  }
  means_.resize(size_t{columns_} * rows * 4);
  for (size_t i = 0; i < size_t{columns_} * rows; ++i)
    for (int c = 0; c < 4; ++c)
      means_[i * 4 + c] = uint8_t((sums[i * 5 + c] + sums[i * 5 + 4] / 2) / sums[i * 5 + 4]);
}

}  // namespace imaging::script
