/* palmora: user filters written in Lua 5.1, and the host services they use. */
#ifndef PALMORA_LUA_H
#define PALMORA_LUA_H

#include "palmora/export.h"

/* Runs a filter script over the processing buffers (the source buffer 32 is what it reads; the
 * host allocates both buffers first). sliders are in thousandths, styles zero-based, flags use
 * their low byte. On success the result goes into the current layer through the mask and the
 * texture; load and run errors are shown in a message box titled "Lua Script Error" and leave the
 * layer as it was. The script may record a paint script into "scripts/luapaint.srp" under the
 * start directory (see docs/paint-scripts.md). */
PMR_API void PMR_LuaFilterRun(const char* script, int32_t slider1, int32_t slider2, int32_t slider3,
                              int32_t slider4, int32_t slider5, int32_t slider6, int32_t style1,
                              int32_t style2, int32_t flag1, int32_t flag2, int32_t flag3,
                              int32_t flag4, int32_t flag5, int32_t flag6);

/* Extra export: how the host shows message boxes (from scripts' message_box and for script
 * errors). The callback returns when the box is dismissed. Null restores the default, a line on
 * standard error. */
typedef void (*PMR_MessageBoxCallback)(const char* text, const char* caption, void* user);
PMR_API void PMR_SetMessageBoxCallback(PMR_MessageBoxCallback callback, void* user);

/* Extra export: the Escape key. Scripts read each press once with is_escape(). A press the
 * running script does not take within 0.2 s stops it with an error ("the script was stopped"), so
 * the host can always end a runaway filter; it may call this from another thread. */
PMR_API void PMR_SignalEscape(void);

/* Extra export: the most memory one filter's Lua state may hold, in MiB (0: the default, 1024).
 * A script that needs more fails with a memory error, shown like any script error. */
PMR_API void PMR_SetLuaMemoryLimit(int32_t megabytes);

/* Extra export: the longest one filter run may take, in milliseconds (0 or less: no limit, the
 * default). A run with a limit is stopped like an ignored Escape when its time is up, even in a
 * loop that calls no engine function; LuaJIT then runs it without its compiler. */
PMR_API void PMR_SetLuaTimeLimit(int32_t milliseconds);

/* Extra export: safe mode (non-zero) for filters from untrusted sources. Scripts get only the base,
 * string, table and math libraries (and bit): no io, os, ffi, debug, package, require or file
 * loading; at most 256 MiB of memory and, without a host time limit, 60 s. Off by default, where
 * scripts keep the standard libraries. In every mode precompiled chunks are refused, a stop
 * (Escape, time or memory limit) cannot be caught by pcall or xpcall, calls back into the script
 * from library functions nest at most 100 deep, and os.exit is refused. */
PMR_API void PMR_SetLuaSafeMode(int32_t on);

#endif
