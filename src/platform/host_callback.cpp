#include "platform/host_callback.h"

namespace platform {
namespace {
int g_depth = 0;  // the host calls from its one UI thread
}  // namespace

HostCallbackScope::HostCallbackScope() noexcept { ++g_depth; }
HostCallbackScope::~HostCallbackScope() { --g_depth; }

bool InsideHostCallback() noexcept { return g_depth > 0; }

}  // namespace platform
