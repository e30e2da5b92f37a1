#include "script/lua_ffi_accessors.h"

#include "platform/escape_latch.h"
#include "script/lua_pixel_api.h"

namespace script {

#if PALMORA_LUAJIT
namespace {

// Arguments: the ffi library, source, destination, mask (or nil), control bytes, the escape query,
// width, height, the stop check. The coordinate rule: a number in (-1, limit) is truncated toward
// zero (-0.5 is column 0); anything else, NaN included, is outside.
constexpr const char kAccessors[] = R"lua(
local ffi, src_, dst_, mask_, control_, pending_, W, H, check_stop = ...
local src = ffi.cast("const uint8_t*", src_)
local dst = ffi.cast("uint8_t*", dst_)
local mask = mask_ and ffi.cast("uint16_t*", mask_) or nil
local control = ffi.cast("const volatile uint8_t*", control_)
-- A call, not a load: the compiler would hoist a plain load of the latch out of a loop and never
-- see the host set it from another thread.
local escape_pending = ffi.cast("int (*)(void)", pending_)
local floor, fmod, band = math.floor, math.fmod, bit.band

local function at(x, y)
  if x > -1 and x < W and y > -1 and y < H then
    if escape_pending() ~= 0 or control[1] ~= 0 then check_stop() end
    local xi = x >= 0 and floor(x) or 0
    local yi = y >= 0 and floor(y) or 0
    return (yi * W + xi) * 4
  end
  return nil
end

local function reader()
  if control[0] ~= 0 then return dst end
  return src
end

local function byte(v)
  local t = v * 255
  if t >= 255 then return 255 end
  if t > 0 then return floor(t) end
  return 0
end

function get_value(x, y)
  local o = at(x, y)
  if not o then return 0 end
  local p = reader()
  return (p[o] / 255 + p[o + 1] / 255 + p[o + 2] / 255) / 3
end

function set_value(x, y, v)
  local o = at(x, y)
  local b = byte(v)
  if o then dst[o] = b; dst[o + 1] = b; dst[o + 2] = b end
end

function get_rgb(x, y)
  local o = at(x, y)
  if not o then return 0, 0, 0 end
  local p = reader()
  return p[o] / 255, p[o + 1] / 255, p[o + 2] / 255
end

function set_rgb(x, y, r, g, b)
  local o = at(x, y)
  r, g, b = byte(r), byte(g), byte(b)
  if o then dst[o] = r; dst[o + 1] = g; dst[o + 2] = b end
end

function get_alpha(x, y)
  local o = at(x, y)
  if not o then return 0 end
  return reader()[o + 3] / 255
end

function set_alpha(x, y, a)
  local o = at(x, y)
  a = byte(a)
  if o then dst[o + 3] = a end
end

function get_rgba(x, y)
  local o = at(x, y)
  if not o then return 0, 0, 0, 0 end
  local p = reader()
  return p[o] / 255, p[o + 1] / 255, p[o + 2] / 255, p[o + 3] / 255
end

function set_rgba(x, y, r, g, b, a)
  local o = at(x, y)
  r, g, b, a = byte(r), byte(g), byte(b), byte(a)
  if o then dst[o] = r; dst[o + 1] = g; dst[o + 2] = b; dst[o + 3] = a end
end

function get_mask(x, y)
  local o = at(x, y)
  if not o or not mask then return 0 end
  return mask[o / 4] / 65535
end

-- The low 16 bits of trunc(m * 65535), with no limiting.
function set_mask(x, y, m)
  local o = at(x, y)
  local t = m * 65535
  if not o or not mask then return end
  if t ~= t or t == math.huge or t == -math.huge then t = 0 end
  t = t >= 0 and floor(t) or -floor(-t)
  t = fmod(t, 65536)
  mask[o / 4] = band(t, 0xFFFF)
end
)lua";

int EscapePendingForScripts() { return platform::EscapePending() ? 1 : 0; }

// Through require where the package library is open; a safe-mode state has none, and gets the
// library straight from its opener (it stays out of the script's reach: only the accessors hold
// it).
void PushFfiLibrary(lua_State* L) {
  lua_getfield(L, LUA_GLOBALSINDEX, "require");
  if (lua_isfunction(L, -1)) {
    lua_pushstring(L, "ffi");
    lua_call(L, 1, 1);
    return;
  }
  lua_pop(L, 1);
  lua_pushcfunction(L, luaopen_ffi);
  lua_call(L, 0, 1);
}

int StopCheck(lua_State* L) {
  CheckStop(L);
  return 0;
}

}  // namespace

bool InstallFfiAccessors(lua_State* L, LuaRunContext& run) {
  if (luaL_loadbuffer(L, kAccessors, sizeof kAccessors - 1, "=pixel accessors") != 0) {
    lua_pop(L, 1);
    return false;
  }
  PushFfiLibrary(L);
  lua_pushlightuserdata(L, run.src);
  lua_pushlightuserdata(L, run.dst);
  if (run.mask)
    lua_pushlightuserdata(L, run.mask);
  else
    lua_pushnil(L);
  lua_pushlightuserdata(L, const_cast<uint8_t*>(run.control));
  lua_pushlightuserdata(L, reinterpret_cast<void*>(&EscapePendingForScripts));
  lua_pushnumber(L, run.width);
  lua_pushnumber(L, run.height);
  lua_pushcclosure(L, StopCheck, 0);
  if (lua_pcall(L, 9, 0, 0) != 0) {
    lua_pop(L, 1);
    return false;
  }
  return true;
}

#else

bool InstallFfiAccessors(lua_State*, LuaRunContext&) { return true; }

#endif

}  // namespace script
