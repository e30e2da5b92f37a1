// Reading a paint-script file: the header with its random seed, then records, each a keyword line
// followed by a fixed number of field lines, ending with "ScriptEnd" (or the end of the file, as
// a recording that was never closed leaves it).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host {

enum class RecordKind {
  kSelectBrush,      // name, angle, picture
  kSetBrushSize,     // size in pixels
  kSetBrushDensity,  // percent
  kSetBrushOpacity,  // percent
  kCanvasSize,       // width, height: only before the first other record
  kSetColor,         // red, green, blue 0..255
  kSetColorBanks,    // name, then red, green, blue of banks 0..3
  kDrawStart,        // x, y, -1
  kSmoothPlot2,      // x, y, pressure, start marker, end marker
  kDrawStop,         // 1
  kLine2,            // x1, y1, x2, y2
  kSpline,           // start, first control, second control, end: a cubic curve
  kDab,              // x, y, pressure
  kFilter,           // the twenty arguments of an effect call
};

struct Field {
  std::string text;
  double number = 0;
  bool isNumber = false;
};

struct Record {
  RecordKind kind;
  int line = 0;  // the keyword's line in the file, for messages
  std::vector<Field> fields;
  double Number(std::size_t i) const { return fields[i].number; }
};

struct PaintScript {
  uint32_t seed = 0;
  std::vector<Record> records;
  int width = 0, height = 0;  // from a CanvasSize record; 0 when the script gives none
};

// Parses the text of a script. Throws HostError "NAME:LINE: what is wrong" for a bad header, an
// unknown keyword, a record cut short or a field that must be a number and is not.
PaintScript ParsePaintScript(const std::string& text, const std::string& name);
// Reads and parses a file (HostError when it cannot be read).
PaintScript ReadPaintScript(const std::string& path);

}  // namespace host
