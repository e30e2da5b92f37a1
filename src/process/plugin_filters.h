// Filter plug-ins: the list the host reads after a scan, and the "Adobe Compatible Plug-ins"
// effect that runs one.
#pragma once

#include <cstdint>

#include "process/effect_descriptor.h"

namespace process {

// Adds every filter found to the head of the list; returns the scan's count.
int32_t PhotoshopPluginScan(int32_t value);
// Takes the head of the list as "category :: name :: file" ("" when empty), in a 1024-byte
// buffer the engine owns; a longer text is cut at 1023 bytes.
const char* PhotoshopPluginNextName();

// Runs the plug-in named by the text argument on the refreshed source buffer 32 into the
// destination buffer 32 and writes it into the current layer through the mask and the texture;
// option 3 keeps the layer's alpha (the plug-in is asked to, and the alpha lock holds for the
// write).
void PluginEffectBody(const EffectCall& call);

inline constexpr EffectParameter kPluginEffectParameters[] = {
    Flag(3, "keep alpha"),
    TextArgument("plug-in, as the plug-in list names it", ""),
};
inline constexpr EffectDescriptor kPluginEffect =
    FreeFormRow("Adobe Compatible Plug-ins", EffectRoute::kOnSource, PluginEffectBody,
                kPluginEffectParameters, "Runs a filter plug-in found by the plug-in scan.");

}  // namespace process
