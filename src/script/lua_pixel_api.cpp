// The pixel API of filter scripts: pixels are addressed by canvas coordinates (truncated toward
// zero) and channels are numbers from 0 to 1. Reads outside the canvas give zeros, writes outside
// it do nothing. get_ functions read the source buffer unless the script asked for a single buffer;
// set_ functions always write the destination.
#include "script/lua_pixel_api.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>

#include "platform/escape_latch.h"
#include "platform/message_box.h"
#include "engine/colour_models.h"
#include "engine/merge_mode_names.h"
#include "script/lua_engine_bridge.h"
#include "script/lua_number_rules.h"
#include "script/lua_paint_api.h"
#include "script/lua_run_context.h"

namespace script {
namespace {

constexpr std::ptrdiff_t kOutside = -1;

LuaRunContext& Run(lua_State* L) {
  LuaRunContext* run = CurrentRun();
  if (!run) luaL_error(L, "no filter run is in progress");
  if (run->stopMessage) luaL_error(L, "%s", run->stopMessage);
  return *run;
}

// Byte offset of the pixel named by arguments 1 and 2, or kOutside. Both must be numbers.
std::ptrdiff_t PixelOffset(lua_State* L, const LuaRunContext& run) {
  const double xArg = luaL_checknumber(L, 1);
  const double yArg = luaL_checknumber(L, 2);
  const int32_t x = PixelCoordinate(xArg, run.width);
  const int32_t y = PixelCoordinate(yArg, run.height);
  if (x < 0 || y < 0) return kOutside;
  return (std::ptrdiff_t(y) * run.width + x) * 4;
}

// Reads a pixel's three colour bytes (black outside).
void ReadRgb(lua_State* L, const LuaRunContext& run, int rgb[3]) {
  const std::ptrdiff_t at = PixelOffset(L, run);
  rgb[0] = rgb[1] = rgb[2] = 0;
  if (at == kOutside) return;
  const uint8_t* p = run.ReadBuffer() + at;
  for (int c = 0; c < 3; ++c) rgb[c] = p[c];
}

// v limited to lo..hi; NaN gives lo.
double Limit(double v, double lo, double hi) {
  if (!(v >= lo)) return lo;
  return v > hi ? hi : v;
}

int PushNumbers(lua_State* L, std::initializer_list<double> values) {
  for (double v : values) lua_pushnumber(L, v);
  return static_cast<int>(values.size());
}

int get_value(lua_State* L) {
  LuaRunContext& run = Run(L);
  CheckStop(L);
  const std::ptrdiff_t at = PixelOffset(L, run);
  if (at == kOutside) return PushNumbers(L, {0});
  const uint8_t* p = run.ReadBuffer() + at;
  return PushNumbers(L, {(p[0] / 255.0 + p[1] / 255.0 + p[2] / 255.0) / 3.0});
}

int set_value(lua_State* L) {
  LuaRunContext& run = Run(L);
  CheckStop(L);
  const std::ptrdiff_t at = PixelOffset(L, run);
  const uint8_t v = ChannelByte(luaL_checknumber(L, 3));
  if (at == kOutside) return 0;
  uint8_t* p = run.dst + at;
  p[0] = p[1] = p[2] = v;
  return 0;
}

int get_rgb(lua_State* L) {
  LuaRunContext& run = Run(L);
  CheckStop(L);
  const std::ptrdiff_t at = PixelOffset(L, run);
  if (at == kOutside) return PushNumbers(L, {0, 0, 0});
  const uint8_t* p = run.ReadBuffer() + at;
  return PushNumbers(L, {p[0] / 255.0, p[1] / 255.0, p[2] / 255.0});
}

int set_rgb(lua_State* L) {
  LuaRunContext& run = Run(L);
  CheckStop(L);
  const std::ptrdiff_t at = PixelOffset(L, run);
  const uint8_t r = ChannelByte(luaL_checknumber(L, 3)), g = ChannelByte(luaL_checknumber(L, 4)),
                b = ChannelByte(luaL_checknumber(L, 5));
  if (at == kOutside) return 0;
  uint8_t* p = run.dst + at;
  p[0] = r;
  p[1] = g;
  p[2] = b;
  return 0;
}

int get_alpha(lua_State* L) {
  LuaRunContext& run = Run(L);
  CheckStop(L);
  const std::ptrdiff_t at = PixelOffset(L, run);
  if (at == kOutside) return PushNumbers(L, {0});
  return PushNumbers(L, {run.ReadBuffer()[at + 3] / 255.0});
}

int set_alpha(lua_State* L) {
  LuaRunContext& run = Run(L);
  CheckStop(L);
  const std::ptrdiff_t at = PixelOffset(L, run);
  const uint8_t a = ChannelByte(luaL_checknumber(L, 3));
  if (at != kOutside) run.dst[at + 3] = a;
  return 0;
}

int get_rgba(lua_State* L) {
  LuaRunContext& run = Run(L);
  CheckStop(L);
  const std::ptrdiff_t at = PixelOffset(L, run);
  if (at == kOutside) return PushNumbers(L, {0, 0, 0, 0});
  const uint8_t* p = run.ReadBuffer() + at;
  return PushNumbers(L, {p[0] / 255.0, p[1] / 255.0, p[2] / 255.0, p[3] / 255.0});
}

int set_rgba(lua_State* L) {
  LuaRunContext& run = Run(L);
  CheckStop(L);
  const std::ptrdiff_t at = PixelOffset(L, run);
  uint8_t v[4];
  for (int c = 0; c < 4; ++c) v[c] = ChannelByte(luaL_checknumber(L, 3 + c));
  if (at == kOutside) return 0;
  std::copy(v, v + 4, run.dst + at);
  return 0;
}

// Writes three bytes into the destination's colour channels at the pixel of arguments 1 and 2.
void WriteRgb(lua_State* L, const LuaRunContext& run, std::ptrdiff_t at, uint8_t r, uint8_t g,
              uint8_t b) {
  if (at == kOutside) return;
  uint8_t* p = run.dst + at;
  p[0] = r;
  p[1] = g;
  p[2] = b;
}

int get_hsv(lua_State* L) {
  LuaRunContext& run = Run(L);
  int rgb[3];
  ReadRgb(L, run, rgb);
  double h, s, v;
  engine::RGBToHSV(rgb[0], rgb[1], rgb[2], &h, &s, &v);
  return PushNumbers(L, {h, s, v});
}

int set_hsv(lua_State* L) {
  LuaRunContext& run = Run(L);
  const std::ptrdiff_t at = PixelOffset(L, run);
  const double h = Limit(luaL_checknumber(L, 3), 0, 359), s = Limit(luaL_checknumber(L, 4), 0, 1),
               v = Limit(luaL_checknumber(L, 5), 0, 1);
  uint8_t r, g, b;
  engine::HSVToRGB(h, s, v, &r, &g, &b);
  WriteRgb(L, run, at, r, g, b);
  return 0;
}

int get_hsl(lua_State* L) {
  LuaRunContext& run = Run(L);
  int rgb[3];
  ReadRgb(L, run, rgb);
  double h, s, l;
  engine::RGBToHSL(rgb[0], rgb[1], rgb[2], &h, &s, &l);
  return PushNumbers(L, {h, s, l});
}

int set_hsl(lua_State* L) {
  LuaRunContext& run = Run(L);
  const std::ptrdiff_t at = PixelOffset(L, run);
  const double h = Limit(luaL_checknumber(L, 3), 0, 359), s = Limit(luaL_checknumber(L, 4), 0, 1),
               l = Limit(luaL_checknumber(L, 5), 0, 1);
  uint8_t r, g, b;
  engine::HSLToRGB(h, s, l, &r, &g, &b);
  WriteRgb(L, run, at, r, g, b);
  return 0;
}

int get_lab(lua_State* L) {
  LuaRunContext& run = Run(L);
  int rgb[3];
  ReadRgb(L, run, rgb);
  double x, y, z;
  engine::RGBToXYZ(rgb[0], rgb[1], rgb[2], &x, &y, &z);
  engine::XYZToLab(x, y, z, &x, &y, &z);
  return PushNumbers(L, {x, y, z});
}

int set_lab(lua_State* L) {
  LuaRunContext& run = Run(L);
  const std::ptrdiff_t at = PixelOffset(L, run);
  const double l = luaL_checknumber(L, 3), a = luaL_checknumber(L, 4), b = luaL_checknumber(L, 5);
  uint8_t red, green, blue;
  engine::LabToRGB(l, a, b, &red, &green, &blue);
  WriteRgb(L, run, at, red, green, blue);
  return 0;
}

int get_cmyk(lua_State* L) {
  LuaRunContext& run = Run(L);
  int rgb[3];
  ReadRgb(L, run, rgb);
  double c, m, y, k;
  engine::CMYToCMYK(1 - rgb[0] / 255.0, 1 - rgb[1] / 255.0, 1 - rgb[2] / 255.0, &c, &m, &y, &k);
  return PushNumbers(L, {c, m, y, k});
}

int set_cmyk(lua_State* L) {
  LuaRunContext& run = Run(L);
  const std::ptrdiff_t at = PixelOffset(L, run);
  const double c = luaL_checknumber(L, 3), m = luaL_checknumber(L, 4), y = luaL_checknumber(L, 5),
               k = luaL_checknumber(L, 6);
  uint8_t r, g, b;
  engine::CMYKToRGB(c, m, y, k, &r, &g, &b);
  WriteRgb(L, run, at, r, g, b);
  return 0;
}

int get_mask(lua_State* L) {
  LuaRunContext& run = Run(L);
  CheckStop(L);
  const std::ptrdiff_t at = PixelOffset(L, run);
  if (at == kOutside || !run.mask) return PushNumbers(L, {0});
  return PushNumbers(L, {run.mask[at / 4] / 65535.0});
}

int set_mask(lua_State* L) {
  LuaRunContext& run = Run(L);
  CheckStop(L);
  const std::ptrdiff_t at = PixelOffset(L, run);
  const double m = luaL_checknumber(L, 3);
  // The low 16 bits of trunc(m * 65535), with no limiting.
  if (at != kOutside && run.mask)
    run.mask[at / 4] = static_cast<uint16_t>(WrapToInt32(m * 65535.0));
  return 0;
}

int PushColour(lua_State* L, const uint8_t rgb[3]) {
  return PushNumbers(L, {rgb[0] / 255.0, rgb[1] / 255.0, rgb[2] / 255.0});
}

int get_color(lua_State* L) { return PushColour(L, ReadBrushColours().colour); }
int get_color1(lua_State* L) { return PushColour(L, ReadBrushColours().banks[0]); }
int get_color2(lua_State* L) { return PushColour(L, ReadBrushColours().banks[1]); }
int get_color3(lua_State* L) { return PushColour(L, ReadBrushColours().banks[2]); }
int get_color4(lua_State* L) { return PushColour(L, ReadBrushColours().banks[3]); }

int flush(lua_State* L) {
  FlushDestination(Run(L));
  return 0;
}

int merge(lua_State* L) {
  LuaRunContext& run = Run(L);
  const int32_t mode = ClampToInt32(luaL_checknumber(L, 1));
  // The opacity is truncated before it is scaled: 1 gives 255, anything below 1 gives 0.
  const double opacity = std::trunc(Limit(luaL_checknumber(L, 2), 0, 1));
  MergeDestination(run, mode, static_cast<int32_t>(opacity) * 255);
  return 0;
}

int single_buffer(lua_State* L) {
  Run(L).control[0] = lua_toboolean(L, 1) ? 1 : 0;
  return 0;
}

int progress(lua_State*) { return 0; }

int message_box(lua_State* L) {
  CheckStop(L);
  const char* text = luaL_optstring(L, 1, "");
  const char* caption = luaL_optstring(L, 2, "");
  platform::ShowMessageBox(text, caption);
  return 0;
}

int is_escape(lua_State* L) {
  CheckStop(L);
  lua_pushnumber(L, platform::TakeEscape() ? 1 : 0);
  return 1;
}

int32_t BitArgument(lua_State* L, int index) { return WrapToInt32(luaL_checknumber(L, index)); }

int bit_not(lua_State* L) { return PushNumbers(L, {double(~BitArgument(L, 1))}); }
int bit_and(lua_State* L) {
  return PushNumbers(L, {double(BitArgument(L, 1) & BitArgument(L, 2))});
}
int bit_or(lua_State* L) { return PushNumbers(L, {double(BitArgument(L, 1) | BitArgument(L, 2))}); }
int bit_xor(lua_State* L) {
  return PushNumbers(L, {double(BitArgument(L, 1) ^ BitArgument(L, 2))});
}

// Shift counts are taken modulo 32 (so 33 shifts by 1, -1 by 31).
int ShiftCount(lua_State* L) { return int(uint32_t(BitArgument(L, 2)) & 31u); }

int bit_shfr(lua_State* L) {
  const int32_t a = BitArgument(L, 1);
  const int n = ShiftCount(L);
  // Arithmetic: the sign is copied in from the left.
  const int32_t shifted = a >= 0 ? (a >> n) : ~(~a >> n);
  return PushNumbers(L, {double(shifted)});
}

int bit_shfl(lua_State* L) {
  const uint32_t a = uint32_t(BitArgument(L, 1));
  const int n = ShiftCount(L);
  return PushNumbers(L, {double(int32_t(a << n))});
}

int output_debug_string(lua_State* L) {
  platform::OutputDebugText(luaL_optstring(L, 1, ""));
  return 0;
}

constexpr luaL_Reg kPixelFunctions[] = {
    {"get_value", get_value},   {"set_value", set_value},
    {"get_rgb", get_rgb},       {"set_rgb", set_rgb},
    {"get_alpha", get_alpha},   {"set_alpha", set_alpha},
    {"get_rgba", get_rgba},     {"set_rgba", set_rgba},
    {"get_hsv", get_hsv},       {"set_hsv", set_hsv},
    {"get_hsl", get_hsl},       {"set_hsl", set_hsl},
    {"get_lab", get_lab},       {"set_lab", set_lab},
    {"get_cmyk", get_cmyk},     {"set_cmyk", set_cmyk},
    {"get_mask", get_mask},     {"set_mask", set_mask},
    {"get_color", get_color},   {"get_color1", get_color1},
    {"get_color2", get_color2}, {"get_color3", get_color3},
    {"get_color4", get_color4}, {"flush", flush},
    {"merge", merge},           {"single_buffer", single_buffer},
    {"progress", progress},     {"message_box", message_box},
    {"is_escape", is_escape},   {"bit_not", bit_not},
    {"bit_and", bit_and},       {"bit_or", bit_or},
    {"bit_xor", bit_xor},       {"bit_shfr", bit_shfr},
    {"bit_shfl", bit_shfl},
};

// The merge-mode constants scripts know, numbers 0..21. The seventh has always been spelled
// without its final N, and scripts rely on that spelling.
constexpr const char* kMergeConstants[] = {
    "MERGE_NORMAL",     "MERGE_MULTIPLY",  "MERGE_SCREEN",   "MERGE_DARKEN",     "MERGE_LIGHTEN",
    "MERGE_DIFFERENCE", "MERGE_NEGATION",  "MERGE_EXCLUSIO", "MERGE_OVERLAY",    "MERGE_HARD_LIGHT",
    "MERGE_SOFT_LIGHT", "MERGE_DODGE",     "MERGE_BURN",     "MERGE_REFLECT",    "MERGE_GLOW",
    "MERGE_ADD",        "MERGE_SUBTRACT",  "MERGE_COLOR",    "MERGE_HARD_COLOR", "MERGE_TEXTURIZE",
    "MERGE_TEXTURIZE2", "MERGE_TEXTURIZE3"};
static_assert(std::size(kMergeConstants) == engine::kModeTexturize3 + 1);

void SetGlobalFunction(lua_State* L, const char* name, lua_CFunction fn) {
  lua_pushcclosure(L, fn, 0);
  lua_setfield(L, LUA_GLOBALSINDEX, name);
}

void SetGlobalNumber(lua_State* L, const char* name, double value) {
  lua_pushnumber(L, value);
  lua_setfield(L, LUA_GLOBALSINDEX, name);
}

}  // namespace

void CheckStop(lua_State* L) {
  LuaRunContext* run = CurrentRun();
  if (!run) return;
  if (!run->stopMessage && platform::EscapePending() && StopRequested(*run))
    run->Stop(kStoppedMessage);
  if (run->stopMessage) luaL_error(L, "%s", run->stopMessage);
}

void CheckStopAndTime(lua_State* L) {
  LuaRunContext* run = CurrentRun();
  if (run && !run->stopMessage && run->hasDeadline &&
      std::chrono::steady_clock::now() >= run->deadline)
    run->Stop(kTimeLimitMessage);
  CheckStop(L);
}

void RegisterFilterApi(lua_State* L, const FilterGlobals& globals) {
  for (const luaL_Reg& entry : kPixelFunctions) SetGlobalFunction(L, entry.name, entry.func);
  RegisterPaintApi(L);
  SetGlobalFunction(L, "output_debug_string", output_debug_string);

  SetGlobalNumber(L, "width", globals.width);
  SetGlobalNumber(L, "height", globals.height);
  SetGlobalNumber(L, "bound_x0", 0);
  SetGlobalNumber(L, "bound_y0", 0);
  SetGlobalNumber(L, "bound_x1", globals.width - 1);
  SetGlobalNumber(L, "bound_y1", globals.height - 1);
  char name[16];
  for (int i = 0; i < 6; ++i) {
    std::snprintf(name, sizeof name, "sliderVal%d", i + 1);
    SetGlobalNumber(L, name, globals.sliders[i] * 0.001);
  }
  for (int i = 0; i < 6; ++i) {
    std::snprintf(name, sizeof name, "flagVal%d", i + 1);
    lua_pushboolean(L, uint8_t(globals.flags[i]) != 0);
    lua_setfield(L, LUA_GLOBALSINDEX, name);
  }
  SetGlobalNumber(L, "styleVal1", double(globals.styles[0]) + 1);
  SetGlobalNumber(L, "styleVal2", double(globals.styles[1]) + 1);
  for (int mode = 0; mode <= engine::kModeTexturize3; ++mode)
    SetGlobalNumber(L, kMergeConstants[mode], mode);
}

}  // namespace script
