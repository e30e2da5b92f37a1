#include "imaging/picture_script.h"

#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "imaging/script/effect_table.h"
#include "imaging/script/script_file.h"

namespace imaging {
namespace {

struct Session {
  bool running = false;
  bool scriptLoaded = false;
  bool buffersReady = false;
  script::Script script;
};

Session& CurrentSession() {
  static Session session;
  return session;
}

bool UsablePicture(const void* pixels, uint32_t width, uint32_t height) {
  return pixels && width > 0 && height > 0 && width <= kScriptMaxSide && height <= kScriptMaxSide;
}

// Whether the list is one effect that leaves the picture untouched when it fails.
bool SafeInPlace(const std::vector<script::EffectEntry>& effects) {
  const script::EffectEntry* only = nullptr;
  for (const script::EffectEntry& entry : effects) {
    if (!entry.enabled) continue;
    if (only) return false;
    only = &entry;
  }
  return only && script::WritesOnlyOnceDone(only->id);
}

// Runs the effects on a copy and writes the caller's pixels only when every effect succeeded.
// A single effect that fails before it writes anything runs on the pixels themselves: copying a
// large picture in and out costs more than most generators.
int32_t RunOnCopy(const std::vector<script::EffectEntry>& effects, void* pixels, uint32_t width,
                  uint32_t height, bool startTransparent) {
  try {
    if (!startTransparent && SafeInPlace(effects))
      return script::RunEffects(effects, {static_cast<uint8_t*>(pixels), width, height}) ? 1 : 0;
    const size_t bytes = size_t{width} * height * 4;
    std::vector<uint8_t> work(bytes, 0);
    if (!startTransparent) std::memcpy(work.data(), pixels, bytes);
    if (!script::RunEffects(effects, {work.data(), width, height})) return 0;
    std::memcpy(pixels, work.data(), bytes);
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

}  // namespace

int32_t ISL_Initialize() {
  CurrentSession() = Session{};
  CurrentSession().running = true;
  return 1;
}

int32_t ISL_LoadScriptFromFile(const char* path) {
  Session& session = CurrentSession();
  if (!session.running) return 0;
  try {
    script::Script loaded;
    if (!script::ReadScriptFile(path, loaded)) return 0;
    session.script = std::move(loaded);
    session.scriptLoaded = true;
    session.buffersReady = false;
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

int32_t ISL_InitBuffers() {
  Session& session = CurrentSession();
  if (!session.running || !session.scriptLoaded) return 0;
  session.buffersReady = true;
  return 1;
}

int32_t ISL_ReadScriptHeaderFromFile(const char* path, void* header) {
  if (!header) return 0;
  try {
    script::Script loaded;
    if (!script::ReadScriptFile(path, loaded)) return 0;
    ScriptHeader record{};
    std::memcpy(record.magic, "picture-script", 14);
    record.width = loaded.width;
    record.height = loaded.height;
    record.effectCount = static_cast<uint32_t>(loaded.effects.size());
    record.version = loaded.version;
    std::memcpy(header, &record, sizeof record);
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

int32_t ISL_ExecuteScript(void* pixels, uint32_t width, uint32_t height) {
  const Session& session = CurrentSession();
  if (!session.running || !session.buffersReady || !UsablePicture(pixels, width, height)) return 0;
  return RunOnCopy(session.script.effects, pixels, width, height, true);
}

int32_t ISL_AddEffect(uint32_t effectId, uint32_t enabled) {
  Session& session = CurrentSession();
  const script::EffectInfo* info = script::FindEffect(effectId);
  if (!session.running || !info || session.script.effects.size() >= kScriptMaxEffects) return 0;
  try {
    script::EffectEntry entry;
    entry.id = effectId;
    entry.enabled = enabled != 0;
    entry.values = info->defaults;
    session.script.effects.push_back(entry);
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

int32_t ISL_SetEffectValue(uint32_t effectIndex, uint32_t slot, double value) {
  Session& session = CurrentSession();
  if (!session.running || effectIndex >= session.script.effects.size() ||
      slot >= kScriptValueSlots || !std::isfinite(value))
    return 0;
  session.script.effects[effectIndex].values[slot] = value;
  return 1;
}

int32_t ISL_ExecuteScriptOnImage(void* pixels, uint32_t width, uint32_t height) {
  const Session& session = CurrentSession();
  if (!session.running || session.script.effects.empty() || !UsablePicture(pixels, width, height))
    return 0;
  return RunOnCopy(session.script.effects, pixels, width, height, false);
}

int32_t ISL_Finish() {
  CurrentSession() = Session{};
  return 1;
}

}  // namespace imaging
