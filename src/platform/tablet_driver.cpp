#include "platform/tablet_driver.h"

#include <dlfcn.h>

#include <cstdlib>

namespace platform {
namespace {

// The driver stays loaded until the process ends once it has been found.
void* Driver() {
  static void* handle = nullptr;
  if (!handle) {
    const char* file = std::getenv("PALMORA_TABLET_DRIVER");
    handle = dlopen(file && *file ? file : "libpalmora_tablet.so", RTLD_NOW | RTLD_LOCAL);
  }
  return handle;
}

// One function of the driver: looked up on each call until it is found, then kept.
template <class F>
struct Binding {
  const char* name;
  F bound = nullptr;
  F Get() {
    if (!bound) {
      if (void* driver = Driver()) bound = reinterpret_cast<F>(dlsym(driver, name));
    }
    return bound;
  }
};

Binding<int32_t (*)(uint32_t, uint32_t, void*)> g_info{"WTInfoA"};
Binding<void* (*)(void*, PMR_TabletContext*, int32_t)> g_open{"WTOpenA"};
Binding<int32_t (*)(void*)> g_close{"WTClose"};
Binding<int32_t (*)(void*, int32_t, void*)> g_packets{"WTPacketsGet"};
Binding<int32_t (*)(void*, int32_t)> g_queueSize{"WTQueueSizeSet"};

}  // namespace

int32_t WTInfoA(uint32_t category, uint32_t index, void* output) {
  auto f = g_info.Get();
  return f ? f(category, index, output) : 0;
}
void* WTOpenA(void* window, PMR_TabletContext* context, int32_t enable) {
  auto f = g_open.Get();
  return f ? f(window, context, enable) : nullptr;
}
int32_t WTClose(void* context) {
  auto f = g_close.Get();
  return f ? f(context) : 0;
}
int32_t WTPacketsGet(void* context, int32_t maxPackets, void* packets) {
  auto f = g_packets.Get();
  return f ? f(context, maxPackets, packets) : 0;
}
int32_t WTQueueSizeSet(void* context, int32_t size) {
  auto f = g_queueSize.Get();
  return f ? f(context, size) : 0;
}

}  // namespace platform
