// Exports: filter plug-ins.
#include "api/guard.h"
#include "palmora/plugins.h"
#include "process/plugin_filters.h"

PMR_API int32_t PMR_PhotoshopPluginScan(int32_t value) {
  return api::guard(0, "PhotoshopPluginScan Excpt",
                    [&] { return process::PhotoshopPluginScan(value); });
}
PMR_API const char* PMR_PhotoshopPluginNextName(void) {
  static const char kEmpty[] = "";
  return api::guard(kEmpty, "PMR_PhotoshopPluginNextName Excpt",
                    [] { return process::PhotoshopPluginNextName(); });
}
