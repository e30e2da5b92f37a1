// The effect catalogue as a table: one descriptor per effect with its exact name, the route by
// which it reads the current layer and writes its result back, and the arguments it reads.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "process/effect_call.h"

namespace process {

enum class EffectRoute : uint8_t {
  // Refreshed source 32, premultiplied; an own effect; destination divided by alpha and written
  // into the current layer through the mask and the texture.
  kOwnPremultiplied,
  // Refreshed source 32; an own effect; destination written through the mask and the texture.
  kOwn,
  // Refreshed source 32; the mask opened; an own effect that marks the mask plane. The layer is
  // not written.
  kOwnIntoMask,
  // A copy of the current layer changed in place by the body and written back through the mask
  // and the texture.
  kLayerCopy,
  // Refreshed source 32; the body reads it and writes its own result back (a user filter).
  kRefreshedSource,
};

// What a descriptor reads of the argument block (for the Lua host's effect list, tools, fuzzers).
enum EffectReads : uint32_t {
  kSlider1 = 1u << 0, kSlider2 = 1u << 1, kSlider3 = 1u << 2,
  kSlider4 = 1u << 3, kSlider5 = 1u << 4, kSlider6 = 1u << 5,
  kOption1 = 1u << 6, kOption2 = 1u << 7, kOption3 = 1u << 8, kOption4 = 1u << 9,
  kOption5 = 1u << 10, kOption6 = 1u << 11, kOption7 = 1u << 12, kOption8 = 1u << 13,
  kColour = 1u << 14, kScriptValue = 1u << 15, kText = 1u << 16,
};

// A body that changes a width x height RGBA32 copy of the current layer in place.
using LayerCopyBody = void (*)(const EffectCall& call, uint8_t* pixels, int32_t width,
                               int32_t height);
// A body that reads the freshly refreshed source buffer 32 and writes back itself.
using SourceBody = void (*)(const EffectCall& call);

struct EffectInfo {
  std::string_view name;
  EffectRoute route;
  uint32_t reads;
  std::string_view ownEffect = {};  // the own effect the route runs (kOwn... routes)
  LayerCopyBody layerCopy = nullptr;  // the body of a kLayerCopy route
  SourceBody onSource = nullptr;      // the body of a kRefreshedSource route
};

// Every descriptor, each once.
std::span<const EffectInfo> EffectCatalogue();
// The descriptor of exactly that name (case-sensitive), or null.
const EffectInfo* FindEffect(std::string_view name);

}  // namespace process
