#include "host/tablet_input.h"

#include <algorithm>
#include <cstring>

#include "engine/engine_state.h"
#include "host/host_services.h"
#include "platform/tablet_driver.h"

namespace host {
namespace {

constexpr uint32_t kDevices = 100, kNormalPressure = 15;
constexpr uint32_t kDefaultContext = 3;
constexpr uint32_t kSystemCursor = 1;
constexpr uint32_t kStatusXYPressure = 0x582;  // status, x, y, normal pressure
constexpr uint32_t kInvert = 0x10;             // the pen's eraser end
constexpr int32_t kDiscardMost = 1000;

engine::TabletState& Tablet() { return engine::State().tablet; }

// The packet at index of the last batch, or null without a context or past the batch.
const PMR_TabletPacket* Packet(uint32_t index) {
  const engine::TabletState& t = Tablet();
  return t.context && index < t.packetCount ? &t.packets[index] : nullptr;
}

uint32_t ScaledPressure(const engine::TabletState& t, uint32_t raw) {
  return uint32_t(float(raw) * t.pressureScale);
}

}  // namespace

int32_t InitTablet(void* window) {
  engine::TabletState& t = Tablet();
  t.window = window;
  PMR_TabletAxis axis{};
  const int32_t info = platform::WTInfoA(kDevices, kNormalPressure, &axis);
  if (info == 0) return 0;
  t.pressureMax = axis.max;
  t.pressureMin = axis.min;
  t.pressureRange = int32_t(uint32_t(axis.max) - uint32_t(axis.min));
  // The range as an unsigned number; an empty one scales to nothing rather than dividing by zero.
  t.pressureScale = t.pressureRange != 0 ? 100.0f / float(uint32_t(t.pressureRange)) : 0.0f;

  PMR_TabletContext context{};
  platform::WTInfoA(kDefaultContext, 0, &context);
  std::memset(context.name, 0, sizeof context.name);
  std::strcpy(context.name, "palmora tablet context");
  context.options = kSystemCursor;
  context.packetData = context.moveMask = kStatusXYPressure;
  context.packetMode = 0;
  context.buttonUpMask = context.buttonDownMask;
  int32_t screen[2];
  ScreenSize(screen);
  context.outOriginX = context.outOriginY = 0;
  context.outExtentX = screen[0];
  context.outExtentY = -screen[1];  // y grows downwards, as on the screen
  t.context = platform::WTOpenA(window, &context, 1);
  return t.context ? platform::WTQueueSizeSet(t.context, int32_t(engine::TabletState::kBatch))
                   : info;
}

int32_t CloseTablet() {
  engine::TabletState& t = Tablet();
  if (!t.context) return 0;
  const int32_t closed = platform::WTClose(t.context);
  t.context = nullptr;
  return closed;
}

int32_t SetTabletOrigin() {
  engine::TabletState& t = Tablet();
  if (!t.context) return 0;
  int32_t origin[2] = {0, 0};
  const bool mapped = ClientToScreen(t.window, origin);
  t.originX = origin[0], t.originY = origin[1];
  return mapped ? 1 : 0;
}

int32_t ReadTabletPackets() {
  engine::TabletState& t = Tablet();
  t.packetCount = 0;
  if (!t.context) return 0;
  const int32_t read =
      platform::WTPacketsGet(t.context, int32_t(engine::TabletState::kBatch), t.packets);
  // A driver answering more than it was asked for is held to the batch.
  t.packetCount = uint32_t(std::clamp<int32_t>(read, 0, int32_t(engine::TabletState::kBatch)));
  return int32_t(t.packetCount);
}

void ResetTabletPressure() {
  engine::TabletState& t = Tablet();
  t.lastPressure = 10;
  if (t.context) platform::WTPacketsGet(t.context, kDiscardMost, nullptr);
}

int32_t ReadTabletPressure(uint32_t index) {
  engine::TabletState& t = Tablet();
  if (!t.context) return int32_t(t.lastPressure);
  if (index < t.packetCount) {
    const uint32_t p = std::max<uint32_t>(ScaledPressure(t, t.packets[index].normalPressure), 1);
    t.lastPressure = p;
    return int32_t(p);
  }
  // Out of packets: full pressure comes back in steps of 25.
  const uint32_t last = t.lastPressure;
  t.lastPressure = std::min<uint32_t>(last + 25, 100);
  return int32_t(last);
}

int32_t ReadRawTabletPressure(uint32_t index) {
  const engine::TabletState& t = Tablet();
  if (!t.context || index >= engine::TabletState::kBatch) return 0;
  return int32_t(ScaledPressure(t, t.packets[index].normalPressure));
}

int32_t ReadTabletX(uint32_t index) {
  const PMR_TabletPacket* p = Packet(index);
  return p ? int32_t(uint32_t(p->x) - uint32_t(Tablet().originX)) : 0;
}
int32_t ReadTabletY(uint32_t index) {
  const PMR_TabletPacket* p = Packet(index);
  return p ? int32_t(uint32_t(p->y) - uint32_t(Tablet().originY)) : 0;
}
int32_t PacketStatus(uint32_t index) {
  const PMR_TabletPacket* p = Packet(index);
  return p ? int32_t(p->status) : 0;
}
int32_t IsPacketInvert(uint32_t index) {
  const PMR_TabletPacket* p = Packet(index);
  return p && (p->status & kInvert) ? 1 : 0;
}

}  // namespace host
