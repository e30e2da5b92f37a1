/* A tablet driver for the tests: an axis and a packet queue the test sets through the test_tablet_
 * functions, and the context the engine opened, kept for the test to read. */
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "palmora/tablet.h"

#define EXPORT __attribute__((visibility("default")))

static int present = 1;
static PMR_TabletAxis axis = {0, 1023, 0, 0};
static PMR_TabletContext opened;
static PMR_TabletPacket queue[2048];
static int32_t queued = 0;
static int32_t queueSize = 0;
static int context_token;

EXPORT void test_tablet_set_present(int on) { present = on; }
EXPORT void test_tablet_set_axis(int32_t min, int32_t max) { axis.min = min, axis.max = max; }
EXPORT void test_tablet_queue(const PMR_TabletPacket* packets, int32_t count) {
  for (int32_t i = 0; i < count && queued < 2048; ++i) queue[queued++] = packets[i];
}
EXPORT int32_t test_tablet_queued(void) { return queued; }
EXPORT int32_t test_tablet_queue_size(void) { return queueSize; }
EXPORT void test_tablet_opened(PMR_TabletContext* out) { *out = opened; }

EXPORT int32_t WTInfoA(uint32_t category, uint32_t index, void* output) {
  if (!present) return 0;
  if (category == 100 && index == 15) {
    memcpy(output, &axis, sizeof axis);
    return (int32_t)sizeof axis;
  }
  if (category == 3) {
    PMR_TabletContext defaults;
    memset(&defaults, 0, sizeof defaults);
    strcpy(defaults.name, "driver default");
    defaults.buttonDownMask = 0x5;
    defaults.outOriginX = 77;
    memcpy(output, &defaults, sizeof defaults);
    return (int32_t)sizeof defaults;
  }
  return 0;
}
EXPORT void* WTOpenA(void* window, PMR_TabletContext* context, int32_t enable) {
  (void)window;
  if (!present || !enable) return NULL;
  opened = *context;
  return &context_token;
}
EXPORT int32_t WTClose(void* context) { return context == &context_token; }
EXPORT int32_t WTPacketsGet(void* context, int32_t maxPackets, void* packets) {
  if (context != &context_token || maxPackets <= 0) return 0;
  const int32_t n = queued < maxPackets ? queued : maxPackets;
  if (packets) memcpy(packets, queue, (size_t)n * sizeof queue[0]);
  memmove(queue, queue + n, (size_t)(queued - n) * sizeof queue[0]);
  queued -= n;
  return n;
}
EXPORT int32_t WTQueueSizeSet(void* context, int32_t size) {
  if (context != &context_token) return 0;
  queueSize = size;
  return 1;
}
