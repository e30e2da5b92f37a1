// The mean colour of each square cell of a picture, for the effects that rebuild a picture
// from cells (carpet knots, voxel blocks).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/script/script_model.h"

namespace imaging::script {

class CellAverages {
 public:
  CellAverages(const Picture& picture, uint32_t cell);
  // The four channel means (blue, green, red, alpha) of the cell holding pixel (x, y).
  const uint8_t* At(uint32_t x, uint32_t y) const {
    return means_.data() + (size_t{y / cell_} * columns_ + x / cell_) * 4;
  }
  uint32_t cell() const { return cell_; }

 private:
  uint32_t cell_, columns_;
  std::vector<uint8_t> means_;
};

}  // namespace imaging::script
