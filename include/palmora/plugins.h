/* palmora: filter plug-ins. A plug-in is a shared object (".so") in a plug-in folder: the folders
 * listed in the environment variable PALMORA_PLUGIN_PATH (separated by ':'), or else "plugins" in
 * the host's start folder. It exports the two C functions below; the engine lists its filters and
 * runs one as the effect "Adobe Compatible Plug-ins", with the listed text as the effect's text.
 *
 *   int32_t palmora_plugin_describe(int32_t index, const char** category, const char** name);
 *     Names filter number index (0, 1, ...): returns 1 and sets both texts, or 0 past the last.
 *   int32_t palmora_plugin_run(const char* name, const PMR_PluginImage* source,
 *                              PMR_PluginImage* destination, int32_t mode,
 *                              PMR_PluginAbort abort, PMR_PluginProgress progress, void* context);
 *     Runs the named filter from source into destination (same size): 4 bytes a pixel in the order
 *     blue, green, red, alpha. mode 0 asks the filter to keep alpha as it is, 2 lets it change
 *     alpha. Returns 0 for success; anything else leaves the layer unchanged. abort(context)
 *     answers non-zero when the filter should stop; progress(done, total, context) reports. */
#ifndef PALMORA_PLUGINS_H
#define PALMORA_PLUGINS_H

#include "palmora/export.h"

typedef struct PMR_PluginImage {
  int32_t width;
  int32_t height;
  void* pixels;
  int32_t rowPixels; /* pixels from one row's start to the next */
} PMR_PluginImage;
typedef int32_t (*PMR_PluginAbort)(void* context);
typedef void (*PMR_PluginProgress)(int32_t done, int32_t total, void* context);

/* Scans the plug-in folders (value non-zero: their subfolders too) and adds each filter found to
 * the engine's list; returns how many were found. */
PMR_API int32_t PMR_PhotoshopPluginScan(int32_t value);
/* Takes the most recently found filter off the list and returns "category :: name :: file", the
 * text that runs it; "" once the list is empty. The text stays valid until the next call. */
PMR_API const char* PMR_PhotoshopPluginNextName(void);

#endif
