// The picture-script runner. A picture script (a small text file, see docs/picture-scripts.md)
// names a picture size and a list of numbered effects with their values; running it paints a
// picture. The same effects can be queued one by one and run on a caller's picture.
//
// Pictures are 4 bytes a pixel in the runner's channel order: blue, green, red, alpha. Rows are
// packed (width x 4 bytes). A session runs from ISL_Initialize to ISL_Finish; the engine uses
// one session at a time.
#pragma once

#include <cstdint>

namespace imaging {

inline constexpr uint32_t kScriptValueSlots = 16;
inline constexpr uint32_t kScriptMaxSide = 8192;
inline constexpr uint32_t kScriptMaxEffects = 64;

// What ISL_ReadScriptHeaderFromFile fills in. The picture's width and height sit at byte offsets
// 16 and 20, where callers read them.
struct ScriptHeader {
  char magic[16];        // "picture-script", zero-padded
  uint32_t width;        // offset 16
  uint32_t height;       // offset 20
  uint32_t effectCount;  // offset 24
  uint32_t version;      // offset 28: the format version of the file
};
static_assert(sizeof(ScriptHeader) == 32);

// Starts a session with an empty effect list (a running session is reset).
int32_t ISL_Initialize();
// Reads a script file into the session: its size and its effects replace the session's. Fails
// for a missing, unreadable or malformed file (the session is then unchanged) or without a session.
int32_t ISL_LoadScriptFromFile(const char* path);
// Readies the session to run its loaded script; fails when no script is loaded.
int32_t ISL_InitBuffers();
// Reads a script file's header into *header (a ScriptHeader). Fails, writing nothing, for a
// missing or malformed file. Needs no session.
int32_t ISL_ReadScriptHeaderFromFile(const char* path, void* header);
// Paints the loaded script into pixels (width x height; normally the script's own size), starting
// from a transparent picture. Fails, writing nothing, without a loaded and readied script.
int32_t ISL_ExecuteScript(void* pixels, uint32_t width, uint32_t height);
// Appends effect effectId to the session's list with its default values. enabled 0 adds it
// switched off. Fails for an unknown effect or a full list.
int32_t ISL_AddEffect(uint32_t effectId, uint32_t enabled);
// Sets value slot slot (0..15) of the effect at effectIndex (its place in the list).
int32_t ISL_SetEffectValue(uint32_t effectIndex, uint32_t slot, double value);
// Runs the session's effects on pixels in place. Fails, leaving them as they were, when the list
// is empty or an effect fails.
int32_t ISL_ExecuteScriptOnImage(void* pixels, uint32_t width, uint32_t height);
// Ends the session.
int32_t ISL_Finish();

}  // namespace imaging
