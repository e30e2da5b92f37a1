#include "process/plugin_filters.h"

#include <cstdio>
#include <memory>
#include <string>

#include "engine/engine_state.h"
#include "engine/layer_load_rgba32.h"
#include "imaging/channels.h"
#include "platform/plugin_host.h"
#include "engine/processing_buffers.h"

namespace process {
namespace {

// A found filter: the scan's first, second and third text (file, category, name).
struct PluginEntry {
  std::string first, second, third;
  std::unique_ptr<PluginEntry> next;
};

std::unique_ptr<PluginEntry> g_head;
char g_name[1024];

int32_t AddFound(const char* file, const char* category, const char* name, void*) {
  try {
    auto entry =
        std::make_unique<PluginEntry>(PluginEntry{file, category, name, std::move(g_head)});
    g_head = std::move(entry);
  } catch (...) {
    engine::SetLastError("PhotoshopPluginScan_cb Excpt");
  }
  return 0;
}

int32_t NeverAbort(void*) { return 0; }
void IgnoreProgress(int32_t, int32_t, void*) {}

// Swaps red and blue of every pixel: the plug-ins see blue first.
void SwapRedBlue(uint8_t* pixels, int32_t width, int32_t height) {
  imaging::IS40_ReorderChannels(pixels, uint32_t(width), uint32_t(height), uint32_t(width) * 4, 2,
                                1, 0, 3);
}

}  // namespace

int32_t PhotoshopPluginScan(int32_t value) {
  return platform::ScanPSPlugin(value, engine::State().startDir, &AddFound, nullptr);
}

const char* PhotoshopPluginNextName() {
  g_name[0] = '\0';
  if (!g_head) return g_name;
  std::unique_ptr<PluginEntry> entry = std::move(g_head);
  g_head = std::move(entry->next);
  std::snprintf(g_name, sizeof g_name, "%s :: %s :: %s", entry->second.c_str(),
                entry->third.c_str(), entry->first.c_str());
  return g_name;
}

void PluginEffectBody(const EffectCall& call) {
  engine::EngineState& s = engine::State();
  uint8_t* source = engine::UsableSrcBuffer32();
  uint8_t* destination = engine::UsableDstBuffer32();
  if (!source || !destination || !call.text || !s.currentLayer) return;
  const int32_t width = s.canvasWidth, height = s.canvasHeight;
  SwapRedBlue(source, width, height);
  const PMR_PluginImage in{width, height, source, width};
  PMR_PluginImage out{width, height, destination, width};
  const bool keepAlpha = call.options[2] == 1;
  if (platform::InvokePSPlugin(&in, &out, call.text, &NeverAbort, &IgnoreProgress, nullptr,
                               keepAlpha ? 0 : 2) != 0) {
    return;
  }
  SwapRedBlue(destination, width, height);
  engine::LayerRecord& layer = *s.currentLayer;
  const uint8_t alphaLock = layer.alphaLock;
  if (keepAlpha) layer.alphaLock = 1;
  engine::LoadRGBA32Layer(destination, width * 4, s.currentLayerIndex, 0, 0, layer.width,
                          layer.height, 1);
  layer.alphaLock = alphaLock;
}

}  // namespace process
