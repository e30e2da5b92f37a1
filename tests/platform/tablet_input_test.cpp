#include <gtest/gtest.h>
#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

#include "host/host_services.h"
#include "support/engine_fixture.h"

namespace {

using palmora_test::EngineTest;

// The test driver's controls, found in the driver the engine loads.
struct Driver {
  void* handle = nullptr;
  void (*setPresent)(int) = nullptr;
  void (*setAxis)(int32_t, int32_t) = nullptr;
  void (*queue)(const PMR_TabletPacket*, int32_t) = nullptr;
  int32_t (*queued)() = nullptr;
  int32_t (*queueSize)() = nullptr;
  void (*opened)(PMR_TabletContext*) = nullptr;
};

class TabletInput : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    setenv("PALMORA_TABLET_DRIVER", PALMORA_TEST_TABLET_DRIVER, 1);
    d.handle = dlopen(PALMORA_TEST_TABLET_DRIVER, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(d.handle, nullptr);
    d.setPresent = reinterpret_cast<void (*)(int)>(dlsym(d.handle, "test_tablet_set_present"));
    d.setAxis =
        reinterpret_cast<void (*)(int32_t, int32_t)>(dlsym(d.handle, "test_tablet_set_axis"));
    d.queue = reinterpret_cast<void (*)(const PMR_TabletPacket*, int32_t)>(
        dlsym(d.handle, "test_tablet_queue"));
    d.queued = reinterpret_cast<int32_t (*)()>(dlsym(d.handle, "test_tablet_queued"));
    d.queueSize = reinterpret_cast<int32_t (*)()>(dlsym(d.handle, "test_tablet_queue_size"));
    d.opened =
        reinterpret_cast<void (*)(PMR_TabletContext*)>(dlsym(d.handle, "test_tablet_opened"));
    d.setPresent(1);
    d.setAxis(0, 1023);
  }
  void TearDown() override {
    PMR_CloseTablet();
    host::SetWindowSystemBackend(nullptr);
    dlclose(d.handle);
    EngineTest::TearDown();
  }
  Driver d;
};

TEST_F(TabletInput, WithoutADriverEveryReaderIsNeutral) {
  d.setPresent(0);
  int window;
  EXPECT_EQ(PMR_InitTablet(&window), 0);
  EXPECT_EQ(PMR_ReadTabletPackets(), 0);
  EXPECT_EQ(PMR_ReadTabletPressure(0), 100);
  EXPECT_EQ(PMR_ReadTabletPressure(0), 100);
  EXPECT_EQ(PMR_ReadRawTabletPressure(0), 0);
  EXPECT_EQ(PMR_ReadTabletX(0), 0);
  EXPECT_EQ(PMR_IsPacketInvert(0), 0);
  EXPECT_EQ(PMR_SetTabletOrigin(), 0);
  EXPECT_EQ(PMR_CloseTablet(), 0);
}

TEST_F(TabletInput, TheContextIsTheDriversDefaultWithTheEnginesChanges) {
  int window;
  EXPECT_EQ(PMR_InitTablet(&window), 1);
  PMR_TabletContext c;
  d.opened(&c);
  EXPECT_STREQ(c.name, "palmora tablet context");
  EXPECT_EQ(c.options, 1u);
  EXPECT_EQ(c.packetData, 0x582u);
  EXPECT_EQ(c.moveMask, 0x582u);
  EXPECT_EQ(c.packetMode, 0u);
  EXPECT_EQ(c.buttonUpMask, 0x5u);
  EXPECT_EQ(c.outOriginX, 0);
  EXPECT_EQ(c.outExtentX, 1920);
  EXPECT_EQ(c.outExtentY, -1080);
  EXPECT_EQ(d.queueSize(), 256);
  EXPECT_EQ(PMR_CloseTablet(), 1);
  EXPECT_EQ(PMR_CloseTablet(), 0);
}

TEST_F(TabletInput, PacketsGivePositionPressureAndTheEraserEnd) {
  host::WindowSystemBackend windows;
  windows.clientToScreen = [](void*, int32_t point[2]) {
    point[0] += 120, point[1] += 40;
    return true;
  };
  host::SetWindowSystemBackend(&windows);
  int window;
  ASSERT_EQ(PMR_InitTablet(&window), 1);
  EXPECT_EQ(PMR_SetTabletOrigin(), 1);
  const PMR_TabletPacket packets[3] = {
      {0x1, 500, 300, 512}, {0x11, 130, 45, 0}, {0x0, 121, 41, 1023}};
  d.queue(packets, 3);
  EXPECT_EQ(PMR_ReadTabletPackets(), 3);
  EXPECT_EQ(PMR_ReadTabletX(0), 380);
  EXPECT_EQ(PMR_ReadTabletY(0), 260);
  EXPECT_EQ(PMR_ReadTabletPressure(0), 50);
  EXPECT_EQ(PMR_ReadTabletPressure(1), 1);  // no pressure still paints
  EXPECT_EQ(PMR_ReadRawTabletPressure(1), 0);
  EXPECT_EQ(PMR_ReadTabletPressure(2), 100);
  EXPECT_EQ(PMR_IsPacketInvert(0), 0);
  EXPECT_EQ(PMR_IsPacketInvert(1), 1);
  EXPECT_EQ(PMR_PacketStatus(1), 0x11);
  EXPECT_EQ(PMR_ReadTabletX(3), 0);  // past the batch
  EXPECT_EQ(PMR_PacketStatus(3), 0);
  EXPECT_EQ(PMR_ReadRawTabletPressure(4000000000u), 0);
}

TEST_F(TabletInput, PressureClimbsBackAfterAResetWhenPacketsRunOut) {
  int window;
  ASSERT_EQ(PMR_InitTablet(&window), 1);
  const PMR_TabletPacket old[2] = {{0, 1, 1, 100}, {0, 2, 2, 100}};
  d.queue(old, 2);
  PMR_ResetTabletPressure();
  EXPECT_EQ(d.queued(), 0);  // queued packets were dropped
  EXPECT_EQ(PMR_ReadTabletPackets(), 0);
  for (int expected : {10, 35, 60, 85, 100, 100}) EXPECT_EQ(PMR_ReadTabletPressure(0), expected);
}

}  // namespace
