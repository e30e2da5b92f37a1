#include "paint_script.h"

#include <fstream>
#include <sstream>

#include "cli_values.h"
#include "host_error.h"

namespace host {
namespace {

constexpr const char* kFormatNumber = "1554";

// Which fields of a record must be numbers: 'n' a number, 't' any text.
struct RecordSyntax {
  const char* keyword;
  RecordKind kind;
  const char* fields;
};

constexpr RecordSyntax kSyntax[] = {
    {"CanvasSize", RecordKind::kCanvasSize, "nn"},
    {"SelectBrush", RecordKind::kSelectBrush, "ttt"},
    {"SetBrushSize", RecordKind::kSetBrushSize, "n"},
    {"SetBrushDensity", RecordKind::kSetBrushDensity, "n"},
    {"SetBrushOpacity", RecordKind::kSetBrushOpacity, "n"},
    {"SetColor", RecordKind::kSetColor, "nnn"},
    {"SetColorBanks", RecordKind::kSetColorBanks, "tnnnnnnnnnnnn"},
    {"DrawStart", RecordKind::kDrawStart, "nnn"},
    {"SmoothPlot2", RecordKind::kSmoothPlot2, "nnnnn"},
    {"DrawStop", RecordKind::kDrawStop, "n"},
    {"Line2", RecordKind::kLine2, "nnnn"},
    {"Spline", RecordKind::kSpline, "nnnnnnnn"},
    {"Dab", RecordKind::kDab, "nnn"},
    // Name, script value, six sliders, eight options, red, green, blue, text.
    {"Filter", RecordKind::kFilter, "tnnnnnnnnnnnnnnnnnnt"},
};

class LineReader {
 public:
  LineReader(const std::string& text, const std::string& name) : in_(text), name_(name) {}

  bool Next(std::string& line) {
    if (!std::getline(in_, line)) return false;
    ++number_;
    if (!line.empty() && line.back() == '\r') line.pop_back();  // written in text mode elsewhere
    return true;
  }
  int number() const { return number_; }
  [[noreturn]] void Fail(int line, const std::string& what) const {
    throw HostError(name_ + ":" + std::to_string(line) + ": " + what);
  }

 private:
  std::istringstream in_;
  std::string name_;
  int number_ = 0;
};

std::string Expect(LineReader& reader, const char* what) {
  std::string line;
  if (!reader.Next(line)) reader.Fail(reader.number() + 1, std::string("missing ") + what);
  return line;
}

void ReadHeader(LineReader& reader, PaintScript& script) {
  if (Expect(reader, "format number") != kFormatNumber)
    reader.Fail(1,
                std::string("not a paint script (the first line must be ") + kFormatNumber + ")");
  if (Expect(reader, "\"Description\"") != "Description")
    reader.Fail(reader.number(), "expected \"Description\"");
  double count = 0;
  if (!ParseNumber(Expect(reader, "description line count"), count) || count < 0 ||
      count != int(count))
    reader.Fail(reader.number(), "the description line count must be a whole number");
  for (int i = 0; i < int(count); ++i) Expect(reader, "description line");
  if (Expect(reader, "\"RandomSeed\"") != "RandomSeed")
    reader.Fail(reader.number(), "expected \"RandomSeed\"");
  double seed = 0;
  if (!ParseNumber(Expect(reader, "random seed"), seed) || seed < 0 || seed > 4294967295.0)
    reader.Fail(reader.number(), "the random seed must be a number 0..4294967295");
  script.seed = uint32_t(seed);
}

}  // namespace

PaintScript ParsePaintScript(const std::string& text, const std::string& name) {
  LineReader reader(text, name);
  PaintScript script;
  ReadHeader(reader, script);
  std::string keyword;
  while (reader.Next(keyword)) {
    if (keyword == "ScriptEnd") return script;
    if (keyword.empty()) continue;  // tolerated between records
    const RecordSyntax* syntax = nullptr;
    for (const RecordSyntax& s : kSyntax)
      if (keyword == s.keyword) syntax = &s;
    if (!syntax) reader.Fail(reader.number(), "unknown record '" + keyword + "'");
    Record record{syntax->kind, reader.number(), {}};
    for (const char* kind = syntax->fields; *kind; ++kind) {
      std::string line;
      if (!reader.Next(line))
        reader.Fail(record.line,
                    keyword + " record ends early (it has " +
                        std::to_string(std::char_traits<char>::length(syntax->fields)) +
                        " fields)");
      double number = 0;
      const bool isNumber = ParseNumber(line, number);
      Field field{line, isNumber ? number : 0, isNumber};
      if (*kind == 'n' && !field.isNumber)
        reader.Fail(reader.number(), keyword + " needs a number here, not '" + line + "'");
      record.fields.push_back(std::move(field));
    }
    if (record.kind == RecordKind::kCanvasSize) {
      // The size is the page's, fixed before anything is painted on it.
      if (!script.records.empty())
        reader.Fail(record.line, "CanvasSize must come before every other record");
      const double width = record.Number(0), height = record.Number(1);
      if (!(width >= 1 && width <= 10000 && height >= 1 && height <= 10000) ||
          width != int(width) || height != int(height))
        reader.Fail(record.line, "CanvasSize needs whole sides 1..10000");
      script.width = int(width);
      script.height = int(height);
    }
    script.records.push_back(std::move(record));
  }
  return script;
}

PaintScript ReadPaintScript(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw HostError("cannot read '" + path + "': no such file");
  std::ostringstream text;
  text << in.rdbuf();
  return ParsePaintScript(text.str(), path);
}

}  // namespace host
