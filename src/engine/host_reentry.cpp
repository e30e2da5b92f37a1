#include "engine/host_reentry.h"

#include "platform/host_callback.h"

namespace engine {

void RefuseInsideHostCallback() {
  if (platform::InsideHostCallback()) throw ReentrantRelease();
}

}  // namespace engine
