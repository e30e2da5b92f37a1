// palmora lua FILTER IN OUT: runs a Lua filter on a picture, and with --replay paints the paint
// script the filter recorded onto the result.
#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "canvas.h"
#include "cli_values.h"
#include "command_options.h"
#include "commands.h"
#include "safe_lua.h"
#include "host_error.h"
#include "paint_replay.h"
#include "palmora/palmora.h"
#include "picture_io.h"

namespace host {
namespace {

struct LuaOptions {
  std::string filter, input, output;
  std::vector<std::string> sliders, styles, flags;
  bool replay = false;
  bool quiet = false;
  bool safe = false;
};

// The filter's start directory: a fresh folder of this run's own, where a recorded paint script
// lands (scripts/luapaint.srp); removed at the end.
class RunFolder {
 public:
  RunFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "palmora-lua-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw HostError("cannot make a temporary folder");
    path_ = pattern;
    std::filesystem::create_directory(path_ / "scripts");
  }
  ~RunFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  std::string StartDir() const { return path_.string() + "/"; }
  std::string Recording() const { return (path_ / "scripts" / "luapaint.srp").string(); }

 private:
  std::filesystem::path path_;
};

// Script errors arrive as a message box titled "Lua Script Error"; other boxes are the script's
// own messages and are passed on to standard error.
struct Messages {
  std::string error;
  static void Show(const char* text, const char* caption, void* user) {
    auto* self = static_cast<Messages*>(user);
    const std::string title = caption ? caption : "";
    if (title == "Lua Script Error") {
      if (self->error.empty()) self->error = text ? text : "";
    } else {
      std::fprintf(stderr, "%s: %s\n", title.c_str(), text ? text : "");
    }
  }
};

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

void RunLua(const LuaOptions& o) {
  CheckOutputPath(o.output);
  if (!std::filesystem::is_regular_file(o.filter))
    throw HostError("cannot read '" + o.filter + "': no such file");
  int32_t sliders[6] = {}, styles[2] = {}, flags[6] = {};
  for (const std::string& s : o.sliders) {
    const IndexedValue v = ParseIndexedValue(s, "--slider", 6);
    if (std::fabs(v.value) > 2'000'000) throw HostError("--slider " + s + ": value out of range");
    sliders[v.index] = int32_t(std::lround(v.value * 1000));  // the filter reads thousandths
  }
  for (const std::string& s : o.styles) {
    const IndexedValue v = ParseIndexedValue(s, "--style", 2);
    if (v.value < 1 || v.value > 1000) throw HostError("--style " + s + ": styles count from 1");
    styles[v.index] = int32_t(v.value) - 1;  // the filter counts from 1, the call from 0
  }
  for (const std::string& s : o.flags) {
    const IndexedValue v = ParseIndexedValue(s, "--flag", 6);
    flags[v.index] = v.value != 0;
  }

  const Picture picture = ReadPicture(o.input);
  Canvas canvas(picture.width, picture.height, 1);
  canvas.ShowPaper(false);
  canvas.LoadPainting(picture);

  RunFolder folder;
  Messages messages;
  PMR_SetStartDir(folder.StartDir().c_str());
  PMR_SetMessageBoxCallback(&Messages::Show, &messages);
  PMR_IPLAllocSrcBuffer32();
  PMR_IPLAllocDstBuffer32();
  const SafeLuaMode mode(o.safe);
  PMR_LuaFilterRun(o.filter.c_str(), sliders[0], sliders[1], sliders[2], sliders[3], sliders[4],
                   sliders[5], styles[0], styles[1], flags[0], flags[1], flags[2], flags[3],
                   flags[4], flags[5]);
  PMR_SetMessageBoxCallback(nullptr, nullptr);
  if (!messages.error.empty())
    throw HostError("filter '" + o.filter + "': " + OneLine(messages.error));
  canvas.CheckEngine("filter '" + o.filter + "'");
  PMR_SaveUndoBuffer(1, 0);

  std::string replayed;
  if (o.replay) {
    if (std::filesystem::is_regular_file(folder.Recording())) {
      const PaintScript script = ReadPaintScript(folder.Recording());
      PMR_SetRandomSeed(script.seed);
      Progress progress(o.quiet, "painting the filter's strokes");
      const ReplayCounts counts =
          ReplayPaintScript(canvas, script, "the recorded paint script", &progress);
      replayed = ", replayed " + std::to_string(counts.strokes) + " strokes";
    } else {
      replayed = ", the filter recorded no paint script";
    }
  }
  WritePicture(o.output, canvas.PaintingLayer());
  if (!o.quiet)
    std::printf("%s: wrote %s%s\n", o.filter.c_str(), o.output.c_str(), replayed.c_str());
}

}  // namespace

Command AddLuaCommand(CLI::App& app) {
  auto o = std::make_shared<LuaOptions>();
  CLI::App* c = app.add_subcommand("lua", "run a Lua filter on a picture");
  c->add_option("filter", o->filter, "the filter script (.lua)")->required();
  c->add_option("input", o->input, "the picture to read")->required();
  c->add_option("output", o->output, "the picture to write")->required();
  c->add_option("--slider", o->sliders,
                "slider N (1..6) set to V as the filter reads it "
                "(sliderValN), e.g. --slider 1=24");
  c->add_option("--style", o->styles, "style N (1..2) set to V, counted from 1 as the filter does");
  c->add_option("--flag", o->flags, "flag N (1..6) set to V (0 or 1)");
  c->add_flag("--replay", o->replay, "paint the paint script the filter records onto the result");
  AddSafeLuaFlag(c, o->safe);
  AddQuietFlag(c, o->quiet);
  return {c, [o] { RunLua(*o); }};
}

}  // namespace host
