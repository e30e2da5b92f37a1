#include "process/script/script_effect_run.h"

#include "imaging/channels.h"
#include "imaging/picture_script.h"

namespace process {
namespace {

struct FinishSession {
  ~FinishSession() { imaging::ISL_Finish(); }
};

}  // namespace

bool RunScriptEffect(uint32_t effectId, std::initializer_list<ScriptSlot> slots, uint8_t* rgba,
                     int32_t width, int32_t height) {
  if (!rgba || width <= 0 || height <= 0 || !imaging::ISL_Initialize()) return false;
  const FinishSession finish;
  if (!imaging::ISL_AddEffect(effectId, 1)) return false;
  for (const ScriptSlot& s : slots) imaging::ISL_SetEffectValue(0, s.slot, s.value);
  const uint32_t w = uint32_t(width), h = uint32_t(height);
  imaging::IS3RGBAToBGRA(rgba, w, h, w * 4);
  const bool ran = imaging::ISL_ExecuteScriptOnImage(rgba, w, h) != 0;
  // A failed run leaves the pixels alone, so swapping back restores them too.
  imaging::IS3RGBAToBGRA(rgba, w, h, w * 4);
  return ran;
}

int32_t GeneratorMixMode(int32_t option2) {
  if (option2 == 0) return 12;
  if (option2 >= 1 && option2 <= 12) return option2 - 1;
  return option2;
}

}  // namespace process
