#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "host/host_services.h"
#include "imaging/spline_points.h"
#include "platform/memory_status.h"
#include "support/engine_fixture.h"

namespace {

using palmora_test::EngineTest;
using HostServices = EngineTest;

TEST_F(HostServices, MemoryFiguresAreWholeMebibytesOfTheFullCounts) {
  platform::MemoryStatus status;
  status.totalPhysical = (uint64_t{5} << 30) + (1 << 20) - 1;  // past 4 GiB, a fraction dropped
  status.availablePhysical = uint64_t{3} << 20;
  status.totalPageFile = uint64_t{9} << 30;
  status.availablePageFile = 0;
  status.totalVirtual = uint64_t{1} << 47;
  status.availableVirtual = (uint64_t{1} << 47) - (uint64_t{1} << 30);
  platform::OverrideMemoryStatusForTesting(&status);
  EXPECT_EQ(PMR_GetTotalPhyMemory(), 5 * 1024);
  EXPECT_EQ(PMR_GetAvailPhyMemory(), 3);
  EXPECT_EQ(PMR_GetTotalPgMemory(), 9 * 1024);
  EXPECT_EQ(PMR_GetAvailPgMemory(), 0);
  EXPECT_EQ(PMR_GetTotalVirMemory(), 128 * 1024 * 1024);
  EXPECT_EQ(PMR_GetAvailVirMemory(), 128 * 1024 * 1024 - 1024);
  platform::OverrideMemoryStatusForTesting(nullptr);
  EXPECT_GT(PMR_GetTotalPhyMemory(), 0);
}

TEST_F(HostServices, CurveRunsThroughItsPointsAndGettersClampTheIndex) {
  EXPECT_EQ(PMR_GetSplinePointCount(), 0);
  EXPECT_EQ(PMR_GetSplinePointX(5), 0);
  EXPECT_EQ(PMR_CalcSpline3(10, 20, 110, 220, 300, 40, 0), 1);
  EXPECT_EQ(PMR_GetSplinePointCount(), 100);
  EXPECT_EQ(PMR_GetSplinePointX(0), 10);
  EXPECT_EQ(PMR_GetSplinePointY(0), 20);
  EXPECT_EQ(PMR_GetSplinePointX(99), 300);
  EXPECT_EQ(PMR_GetSplinePointY(99), 40);
  EXPECT_EQ(PMR_GetSplinePointX(-1), 300);
  EXPECT_EQ(PMR_GetSplinePointY(1000), 40);
  // The middle control point lies on the curve (sample 49.5 of 99: between samples 49 and 50).
  EXPECT_NEAR((PMR_GetSplinePointX(49) + PMR_GetSplinePointX(50)) / 2.0, 110, 4);
  EXPECT_NEAR((PMR_GetSplinePointY(49) + PMR_GetSplinePointY(50)) / 2.0, 220, 4);
  // The samples move steadily along: no step is more than a few times the average.
  for (int i = 1; i < 100; ++i) {
    const double step = std::hypot(PMR_GetSplinePointX(i) - PMR_GetSplinePointX(i - 1),
                                   PMR_GetSplinePointY(i) - PMR_GetSplinePointY(i - 1));
    EXPECT_LT(step, 12.0) << i;
  }
  // Unsigned coordinates of 2^31 and more are not negative; their points saturate.
  PMR_CalcSpline3(0x80000000u, 0, 0x80000010u, 0, 0xFFFFFFFFu, 0, 0);
  EXPECT_EQ(PMR_GetSplinePointX(99), INT32_MAX);
}

TEST_F(HostServices, SplineLibraryPassesThroughEveryControlPoint) {
  const double x[4] = {0, 10, 10, 0}, y[4] = {0, 0, 10, 10}, z[4] = {0, 1, 2, 3};
  double ox[31], oy[31], oz[31];
  ASSERT_EQ(imaging::ISE40_Get3DSplinePoints(31, 4, 50, x, y, z, ox, oy, oz), 1);
  for (int k = 0; k < 4; ++k) {
    EXPECT_DOUBLE_EQ(ox[k * 10], x[k]);
    EXPECT_DOUBLE_EQ(oy[k * 10], y[k]);
    EXPECT_DOUBLE_EQ(oz[k * 10], z[k]);
  }
  // Tension 0 joins the points by straight lines.
  ASSERT_EQ(imaging::ISE40_Get3DSplinePoints(31, 4, 0, x, y, z, ox, oy, oz), 1);
  for (int j = 0; j <= 10; ++j) EXPECT_DOUBLE_EQ(oy[j], 0.0);
  EXPECT_EQ(imaging::ISE40_Get3DSplinePoints(1, 4, 50, x, y, z, ox, oy, oz), 0);
  EXPECT_EQ(imaging::ISE40_Get3DSplinePoints(31, 1, 50, x, y, z, ox, oy, oz), 0);
  EXPECT_EQ(imaging::ISE40_Get3DSplinePoints(31, 4, 50, x, nullptr, z, ox, oy, oz), 0);
}

int32_t g_rect[4];
bool g_readable = true;

TEST_F(HostServices, WindowPlacementSetsTheNormalRectangleOneShortAtRightAndBottom) {
  EXPECT_EQ(PMR_SetWindowBasePos(10, 20, 110, 220), 0);  // no window system
  host::WindowSystemBackend backend;
  backend.getPlacement = [](void*, int32_t rect[4]) {
    for (int i = 0; i < 4; ++i) rect[i] = g_rect[i];
    return g_readable;
  };
  backend.setPlacement = [](void*, const int32_t rect[4]) {
    for (int i = 0; i < 4; ++i) g_rect[i] = rect[i];
    return true;
  };
  host::SetWindowSystemBackend(&backend);
  EXPECT_EQ(PMR_SetWindowBasePos(10, 20, 110, 220), 1);
  EXPECT_EQ(g_rect[0], 10);
  EXPECT_EQ(g_rect[1], 20);
  EXPECT_EQ(g_rect[2], 109);
  EXPECT_EQ(g_rect[3], 219);
  g_readable = false;
  EXPECT_EQ(PMR_SetWindowBasePos(0, 0, 5, 5), 0);
  EXPECT_EQ(g_rect[2], 109);
  host::SetWindowSystemBackend(nullptr);
}

TEST_F(HostServices, FixedAnswersAndRenaming) {
  EXPECT_EQ(PMR_IsCompositionEnabled(), 0);
  EXPECT_EQ(PMR_GetWindowBackgroundColor(), 0x00F0F0F0);
  EXPECT_EQ(PMR_GetWindowTextColor(), 0);
  EXPECT_STREQ(PMR_GetDirInfo(), "/usr/share");
  const std::string from = ::testing::TempDir() + "palmora_rename_from.txt";
  const std::string to = ::testing::TempDir() + "palmora_rename_to.txt";
  std::ofstream(from) << "x";
  EXPECT_EQ(PMR_RenameFile(from.c_str(), to.c_str()), 1);
  EXPECT_EQ(PMR_RenameFile(from.c_str(), to.c_str()), 0);
  EXPECT_EQ(PMR_RenameFile(nullptr, to.c_str()), 0);
  EXPECT_TRUE(std::ifstream(to).good());
  std::remove(to.c_str());
}

}  // namespace
