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
  // Refreshed source 32, premultiplied; a library body into the destination 32, which is divided
  // by alpha and written back through the mask and the texture when the body succeeds.
  kLibraryPremultiplied,
  // The 24-bit buffers filled from the current layer; a library body from source 24 into
  // destination 24, whose colour is written back through the mask and the texture (alpha stays).
  kLibrary24,
  // The source buffer 32 as the host last filled it (not refreshed); a library body into the
  // destination 32, written back through the mask and the texture.
  kLibraryUnrefreshed,
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
// A library body: reads a canvas-sized source picture, writes the destination; false when the
// library refused (nothing is written back then).
using LibraryBody = bool (*)(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                             int32_t width, int32_t height);

struct EffectInfo {
  std::string_view name;
  EffectRoute route;
  uint32_t reads;
  std::string_view ownEffect = {};  // the own effect the route runs (kOwn... routes)
  LayerCopyBody layerCopy = nullptr;  // the body of a kLayerCopy route
  SourceBody onSource = nullptr;      // the body of a kRefreshedSource route
  LibraryBody library = nullptr;      // the body of a kLibrary... route
};

// Every descriptor, each once.
std::span<const EffectInfo> EffectCatalogue();
// The descriptor of exactly that name (case-sensitive), or null.
const EffectInfo* FindEffect(std::string_view name);

}  // namespace process
