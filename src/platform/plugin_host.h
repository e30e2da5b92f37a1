// The filter plug-in host: finds plug-ins in the plug-in folders and runs them. The plug-in
// interface is documented in palmora/plugins.h.
#pragma once

#include <cstdint>

#include "palmora/plugins.h"

namespace platform {

// Called once per filter found with its file, category and name; answers 0 to go on.
using PluginFound = int32_t (*)(const char* file, const char* category, const char* name,
                                void* user);

// Scans the folders of PALMORA_PLUGIN_PATH, or else startFolder/plugins (recursing when value is
// non-zero); returns the number of filters found.
int32_t ScanPSPlugin(int32_t value, const char* startFolder, PluginFound found, void* user);

// Runs the filter the text names ("category :: name :: file", as listed) from source into
// destination; 0 for success, non-zero when the plug-in cannot be loaded, lacks the filter or
// reports failure.
int32_t InvokePSPlugin(const PMR_PluginImage* source, PMR_PluginImage* destination,
                       const char* plugin, PMR_PluginAbort abort, PMR_PluginProgress progress,
                       void* context, int32_t mode);

}  // namespace platform
