// Paint-script recording from filter scripts. Every record is a keyword line followed by a fixed
// number of field lines. Fields copied from script arguments are written in Lua's own text form of
// the argument ("%.14g" for numbers); an argument that has no text form (missing, a table, a
// boolean) is written as an empty line, so the record keeps its length. Colour fields are whole
// numbers, trunc(value x 255).
#include "script/lua_paint_api.h"

#include <cmath>
#include <string>

#include "engine/engine_state.h"
#include "script/lua_number_rules.h"
#include "script/paint_script_writer.h"

namespace script {
namespace {

PaintScriptWriter& Out() { return PaintScript(); }

std::string ArgumentText(lua_State* L, int index) {
  const int type = lua_type(L, index);
  if (type != LUA_TNUMBER && type != LUA_TSTRING) return {};
  lua_pushvalue(L, index);  // converting a copy leaves the argument itself a number
  std::size_t length = 0;
  const char* text = lua_tolstring(L, -1, &length);
  std::string result(text, length);
  lua_pop(L, 1);
  return result;
}

std::string ColourText(lua_State* L, int index) {
  if (!lua_isnumber(L, index)) return {};
  return std::to_string(ClampToInt32(lua_tonumber(L, index) * 255.0));
}

// A keyword line, then the arguments first..last as fields.
void Record(lua_State* L, const char* keyword, int first, int last) {
  Out().Line(keyword);
  for (int index = first; index <= last; ++index) Out().Line(ArgumentText(L, index));
}

void Lines(std::initializer_list<const char*> lines) {
  for (const char* line : lines) Out().Line(line);
}

int paint_open(lua_State* L) {
  if (!Out().Open(PaintScriptPath(engine::State().startDir))) return 0;
  Lines({"1554", "Description", "1", " ", "RandomSeed"});
  Out().Line(ArgumentText(L, 1));
  return 0;
}

int paint_close(lua_State*) {
  Out().Line("ScriptEnd");
  Out().Close();
  return 0;
}

int paint_stroke_start(lua_State* L) {
  Record(L, "DrawStart", 1, 2);
  Lines({"-1", "SmoothPlot2", "0", "0", "0", "1", "0"});
  return 0;
}

int paint_stroke_pos(lua_State* L) {
  Record(L, "SmoothPlot2", 1, 3);
  Lines({"0", "0"});
  return 0;
}

int paint_stroke_stop(lua_State*) {
  Lines({"SmoothPlot2", "0", "0", "0", "0", "1", "DrawStop", "1"});
  return 0;
}

int paint_select_brush(lua_State* L) { return Record(L, "SelectBrush", 1, 3), 0; }
int paint_brush_size(lua_State* L) { return Record(L, "SetBrushSize", 1, 1), 0; }
int paint_brush_density(lua_State* L) { return Record(L, "SetBrushDensity", 1, 1), 0; }
int paint_brush_opacity(lua_State* L) { return Record(L, "SetBrushOpacity", 1, 1), 0; }

int paint_brush_color(lua_State* L) {
  Out().Line("SetColor");
  for (int index = 1; index <= 3; ++index) Out().Line(ColourText(L, index));
  return 0;
}

int paint_set_color_banks(lua_State* L) {
  Record(L, "SetColorBanks", 1, 1);
  for (int index = 2; index <= 13; ++index) Out().Line(ColourText(L, index));
  return 0;
}

int paint_line(lua_State* L) { return Record(L, "Line2", 1, 4), 0; }
int paint_spline(lua_State* L) { return Record(L, "Spline", 1, 8), 0; }
int paint_dab(lua_State* L) { return Record(L, "Dab", 1, 3), 0; }
int paint_filter(lua_State* L) { return Record(L, "Filter", 1, 20), 0; }

constexpr luaL_Reg kPaintFunctions[] = {
    {"paint_open", paint_open},
    {"paint_close", paint_close},
    {"paint_stroke_start", paint_stroke_start},
    {"paint_stroke_stop", paint_stroke_stop},
    {"paint_stroke_pos", paint_stroke_pos},
    {"paint_select_brush", paint_select_brush},
    {"paint_brush_size", paint_brush_size},
    {"paint_brush_density", paint_brush_density},
    {"paint_brush_opacity", paint_brush_opacity},
    {"paint_brush_color", paint_brush_color},
    {"paint_set_color_banks", paint_set_color_banks},
    {"paint_line", paint_line},
    {"paint_spline", paint_spline},
    {"paint_dab", paint_dab},
    {"paint_filter", paint_filter},
};

}  // namespace

void RegisterPaintApi(lua_State* L) {
  for (const luaL_Reg& entry : kPaintFunctions) {
    lua_pushcclosure(L, entry.func, 0);
    lua_setfield(L, LUA_GLOBALSINDEX, entry.name);
  }
}

}  // namespace script
