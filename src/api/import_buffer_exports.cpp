// Exports: the import buffer.
#include "api/guard.h"
#include "io/import_buffer.h"
#include "palmora/import_buffer.h"

PMR_API int32_t PMR_ReadFromFile(const char* path) {
  return api::guard(0, "ReadFromFile Excpt", [&] { return io::ReadFromFile(path); });
}
PMR_API int32_t PMR_GetNewRGBAWidth(void) { return io::GetNewRGBAWidth(); }
PMR_API int32_t PMR_GetNewRGBAHeight(void) { return io::GetNewRGBAHeight(); }
PMR_API void PMR_GetNewRGBA32(void* dst) {
  api::guard("GetNewRGBA32 Excpt", [&] { io::GetNewRGBA32(dst); });
}
PMR_API int32_t PMR_DeleteNewRGBA(void) {
  return api::guard(0, "DeleteNewRGBA Excpt", [&] { return io::DeleteNewRGBA(); });
}
PMR_API void PMR_GetNewRGBA24(void* dst) {
  api::guard("GetNewRGBA24 Excpt", [&] { io::GetNewRGBA24(dst); });
}
PMR_API void PMR_GetResizedNewRGBA24(void* dst, int32_t width, int32_t height) {
  api::guard("GetResizedNewRGB24 Excpt", [&] { io::GetResizedNewRGBA24(dst, width, height); });
}
PMR_API int32_t PMR_IsNewRGBA32Transparent(void) { return io::IsNewRGBA32Transparent(); }
PMR_API int32_t PMR_SetInNewRGBA(void) {
  return api::guard(0, "SetInNewRGBA Excpt", [&] { return io::SetInNewRGBA(); });
}
