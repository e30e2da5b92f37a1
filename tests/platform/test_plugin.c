/* A filter plug-in for the tests: "Testing :: Clear Red" clears the red channel (the third byte of
 * the blue-first pixels it sees) and sets alpha to 7 when allowed to change alpha; "Testing ::
 * Refuse" fails. */
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "palmora/plugins.h"

__attribute__((visibility("default"))) int32_t palmora_plugin_describe(int32_t index,
                                                                       const char** category,
                                                                       const char** name) {
  static const char* const names[] = {"Clear Red", "Refuse"};
  if (index < 0 || index >= 2) return 0;
  *category = "Testing";
  *name = names[index];
  return 1;
}

__attribute__((visibility("default"))) int32_t palmora_plugin_run(
    const char* name, const PMR_PluginImage* source, PMR_PluginImage* destination, int32_t mode,
    PMR_PluginAbort abort, PMR_PluginProgress progress, void* context) {
  if (strcmp(name, "Clear Red") != 0 || abort(context)) return 1;
  for (int32_t y = 0; y < source->height; ++y) {
    const uint8_t* in = (const uint8_t*)source->pixels + (size_t)y * source->rowPixels * 4;
    uint8_t* out = (uint8_t*)destination->pixels + (size_t)y * destination->rowPixels * 4;
    for (int32_t x = 0; x < source->width; ++x) {
      out[4 * x] = in[4 * x];
      out[4 * x + 1] = in[4 * x + 1];
      out[4 * x + 2] = 0;
      out[4 * x + 3] = mode == 0 ? in[4 * x + 3] : 7;
    }
    progress(y + 1, source->height, context);
  }
  return 0;
}
