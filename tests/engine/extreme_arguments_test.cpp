// Arguments at the ends of the 32-bit range: sizes whose byte counts cannot fit are refused before
// anything changes, and coordinates far off the canvas are computed without overflow.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "palmora/drawing.h"
#include "palmora/layers.h"
#include "palmora/processing.h"
#include "palmora/transfer.h"
#include "support/engine_fixture.h"

namespace {

using ExtremeArguments = palmora_test::EngineTest;

TEST_F(ExtremeArguments, LayersWhoseRowsCannotBeCountedAreRefused) {
  MakeCanvas(6, 4);
  const auto before = palmora_test::ReadLayer(2);
  for (const int32_t width : {INT_MAX, INT_MAX / 8 + 1, INT_MAX / 4}) {
    PMR_SetLastError("");
    EXPECT_EQ(PMR_CreateLayer(2, width, 1), 0) << width;
    EXPECT_STREQ(PMR_GetLastError(), "CreateLayer Excpt");
  }
  // The layer keeps its pixels and size.
  EXPECT_EQ(palmora_test::ReadLayer(2), before);
}

TEST_F(ExtremeArguments, APushBetweenFarPointsLeavesAValidPicture) {
  MakeCanvas(8, 6);
  PMR_IPLAllocSrcBuffer32();
  PMR_IPLAllocDstBuffer32();
  const int32_t far[][4] = {{INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                            {INT_MAX, INT_MAX, INT_MIN, INT_MIN},
                            {0, 0, INT_MIN, 3},
                            {INT_MIN, 0, 0, INT_MAX}};
  for (const auto& p : far) {
    PMR_SetLastError("");
    PMR_WarpPointToPoint(p[0], p[1], p[2], p[3]);
    EXPECT_STREQ(PMR_GetLastError(), "");
  }
  std::vector<uint8_t> out(8 * 6 * 4);
  EXPECT_EQ(PMR_GetRGBA32Layer(out.data(), 8 * 4, 2), 1);
  PMR_IPLFreeSrcBuffer32();
  PMR_IPLFreeDstBuffer32();
}

}  // namespace
