// palmora effect NAME IN OUT, or NAME IN... -o DIR: runs one effect of the dispatcher on a
// picture, or on each of several.
#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
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
  std::string name, folder;
  std::vector<std::string> files;
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

void RunOnPicture(const EffectOptions& o, const Canvas::EffectArguments& e,
                  const std::string& input, const std::string& output) {
  const Picture picture = ReadPicture(input);
  Canvas canvas(picture.width, picture.height, 1);
  canvas.ShowPaper(false);
  canvas.LoadPainting(picture);
  const SafeLuaMode mode(o.safe);
  EngineProgress progress(o.quiet);
  canvas.RunEffect(e);
  WritePicture(output, canvas.PaintingLayer());
  if (!o.quiet) std::printf("%s: wrote %s\n", o.name.c_str(), output.c_str());
}

// Each input is written to the folder under its own name and type; one that fails is reported
// and the others are still done, and the run fails at the end.
void RunBatch(const EffectOptions& o, const Canvas::EffectArguments& e) {
  std::error_code error;
  std::filesystem::create_directories(o.folder, error);
  if (!std::filesystem::is_directory(o.folder))
    throw HostError("cannot make the output folder '" + o.folder + "': " + error.message());
  std::map<std::string, std::string> written;  // output -> the input it came from
  int failures = 0;
  for (const std::string& input : o.files) {
    try {
      if (input == "-") throw HostError("a batch reads files by name, not standard input");
      const std::string output =
          (std::filesystem::path(o.folder) / std::filesystem::path(input).filename()).string();
      // Two inputs of the same name in different folders would write one file twice.
      const auto [earlier, fresh] = written.emplace(output, input);
      if (!fresh)
        throw HostError("its output " + output + " is already written from " + earlier->second);
      CheckOutputPath(output);
      RunOnPicture(o, e, input, output);
    } catch (const HostError& failure) {
      // Name the input unless the message already does.
      const std::string message = failure.what();
      if (message.find(input) == std::string::npos)
        std::fprintf(stderr, "palmora: %s: %s\n", input.c_str(), message.c_str());
      else
        std::fprintf(stderr, "palmora: %s\n", message.c_str());
      ++failures;
    }
  }
  if (failures)
    throw HostError(std::to_string(failures) + " of " + std::to_string(o.files.size()) +
                    " pictures failed");
}

void RunEffectCommand(const EffectOptions& o, const CLI::App& command) {
  if (o.list) {
    std::fputs(EffectListText().c_str(), stdout);
    return;
  }
  if (o.help) {
    // With a name, the effect's own parameters; without, the command's usage.
    std::fputs(
        o.name.empty() ? command.help().c_str() : EffectHelpText(DescribeEffect(o.name)).c_str(),
        stdout);
    // Effects that take a shipped picture script by family list the names --text accepts.
    if (const std::string family = ScriptFamily(o.name); !family.empty()) {
      std::string names;
      for (const std::string& n : ScriptNames(family)) names += " " + n;
      std::printf("  --text NAME   one of the %s scripts:%s\n", family.c_str(), names.c_str());
    }
    return;
  }
  if (o.name.empty() || o.files.empty() || (o.folder.empty() && o.files.size() != 2))
    throw HostError("effect needs NAME IN OUT, or NAME IN... -o DIR (see palmora effect --help)");
  const EffectDescription description = DescribeEffect(o.name);
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

  if (o.folder.empty()) {
    CheckOutputPath(o.files[1]);
    RunOnPicture(o, e, o.files[0], o.files[1]);
    return;
  }
  RunBatch(o, e);
}

}  // namespace

Command AddEffectCommand(CLI::App& app) {
  auto o = std::make_shared<EffectOptions>();
  CLI::App* c = app.add_subcommand("effect", "run an effect by name on a picture or a batch");
  // --help after a name describes that effect, so the flag is handled here.
  c->set_help_flag();
  c->add_flag("-h,--help", o->help, "print this help, or with NAME the effect's parameters");
  c->add_option("name", o->name, "the effect's exact name (case matters)");
  c->add_option("files", o->files,
                "IN OUT: the picture to read (- for standard input) and the one to write; with "
                "-o, every picture to read");
  c->add_option("-o,--output-dir", o->folder,
                "write each input to DIR under its own file name and type (made when missing)");
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
