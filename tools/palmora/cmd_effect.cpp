// palmora effect NAME IN OUT: runs one effect of the dispatcher on a picture.
#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <memory>

#include "canvas.h"
#include "cli_values.h"
#include "command_options.h"
#include "commands.h"
#include "effect_descriptions.h"
#include "engine_progress.h"
#include "host_error.h"
#include "picture_io.h"
#include "safe_lua.h"
#include "script_library.h"

namespace host {
namespace {

struct EffectOptions {
  std::string name, input, output;
  std::vector<std::string> sliders, options;
  std::string colour;
  std::string text;
  int scriptValue = 0;
  bool list = false;
  bool help = false;
  bool quiet = false;
  bool safe = false;  // for "Lua Filter"
  bool scriptValueGiven = false;
};

void RunEffectCommand(const EffectOptions& o, const CLI::App& command) {
  if (o.list) {
    std::fputs(EffectListText().c_str(), stdout);
    return;
  }
  if (o.help) {
    // With a name, the effect's own parameters; without, the command's usage.
    std::fputs(o.name.empty() ? command.help().c_str() : EffectHelpText(DescribeEffect(o.name)).c_str(),
               stdout);
    // Effects that take a shipped picture script by family list the names --text accepts.
    if (const std::string family = ScriptFamily(o.name); !family.empty()) {
      std::string names;
      for (const std::string& n : ScriptNames(family)) names += " " + n;
      std::printf("  --text NAME   one of the %s scripts:%s\n", family.c_str(), names.c_str());
    }
    return;
  }
  if (o.name.empty() || o.input.empty() || o.output.empty())
    throw HostError("effect needs NAME IN OUT (see palmora effect --help)");
  const EffectDescription description = DescribeEffect(o.name);
  CheckOutputPath(o.output);
  Canvas::EffectArguments e;
  e.name = o.name;
  // What the command line leaves out takes the effect's described default.
  ApplyDescribedDefaults(description, e);
  if (o.scriptValueGiven) e.scriptValue = o.scriptValue;
  for (const std::string& s : o.sliders) {
    const IndexedValue v = ParseIndexedValue(s, "--slider", 6);
    if (v.value < 0 || v.value > 100) throw HostError("--slider " + s + ": percent must be 0..100");
    e.sliders[v.index] = int32_t(std::trunc(v.value * 10));  // the engine counts tenths
  }
  for (const std::string& s : o.options) {
    const IndexedValue v = ParseIndexedValue(s, "--option", 8);
    e.options[v.index] = int32_t(std::lround(v.value));
  }
  if (!o.colour.empty()) {
    const Rgb rgb = ParseRgb(o.colour, "--color");
    e.red = rgb.red, e.green = rgb.green, e.blue = rgb.blue;
  }
  if (!o.text.empty()) e.text = ResolveScriptText(o.name, o.text);

  const Picture picture = ReadPicture(o.input);
  Canvas canvas(picture.width, picture.height, 1);
  canvas.ShowPaper(false);
  canvas.LoadPainting(picture);
  const SafeLuaMode mode(o.safe);
  EngineProgress progress(o.quiet);
  canvas.RunEffect(e);
  WritePicture(o.output, canvas.PaintingLayer());
  if (!o.quiet) std::printf("%s: wrote %s\n", o.name.c_str(), o.output.c_str());
}

}  // namespace

Command AddEffectCommand(CLI::App& app) {
  auto o = std::make_shared<EffectOptions>();
  CLI::App* c = app.add_subcommand("effect", "run an effect by name on a picture");
  // --help after a name describes that effect, so the flag is handled here.
  c->set_help_flag();
  c->add_flag("-h,--help", o->help, "print this help, or with NAME the effect's parameters");
  c->add_option("name", o->name, "the effect's exact name (case matters)");
  c->add_option("input", o->input, "the picture to read");
  c->add_option("output", o->output, "the picture to write");
  c->add_option("--slider", o->sliders,
                "slider N (1..6) at V percent, e.g. --slider 1=40 (unset: the effect's default)");
  c->add_option("--option", o->options, "option N (1..8) set to V, e.g. --option 3=1");
  c->add_option("--color", o->colour, "the effect colour R,G,B (0..255 each)");
  c->add_option("--text", o->text, "the text argument (a file or a name) of effects that take one");
  c->add_option("--script-value", o->scriptValue, "the script value of generator effects")
      ->each([o](const std::string&) { o->scriptValueGiven = true; });
  c->add_flag("--list", o->list, "print every effect the engine runs with what it does");
  AddSafeLuaFlag(c, o->safe);
  AddQuietFlag(c, o->quiet);
  return {c, [o, c] { RunEffectCommand(*o, *c); }};
}

}  // namespace host
