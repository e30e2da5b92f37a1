// palmora gallery PICTURE -o DIR: runs every effect of the engine with its described defaults on
// a picture, writes each result at full size and one labelled contact sheet of them all.
#include <CLI/CLI.hpp>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "canvas.h"
#include "command_options.h"
#include "commands.h"
#include "contact_sheet.h"
#include "effect_descriptions.h"
#include "host_error.h"
#include "picture_io.h"
#include "safe_lua.h"

namespace host {
namespace {

struct GalleryOptions {
  std::string input, folder;
  int columns = 8;
  int thumbSide = 160;
  bool quiet = false;
};

// A file name from an effect name: lower case, words joined by '-'.
std::string FileStem(const std::string& name) {
  std::string stem;
  for (char c : name) {
    if (std::isalnum(static_cast<unsigned char>(c)))
      stem += char(std::tolower(static_cast<unsigned char>(c)));
    else if (!stem.empty() && stem.back() != '-')
      stem += '-';
  }
  while (!stem.empty() && stem.back() == '-') stem.pop_back();
  return stem;
}

// Effects whose text argument has no shipped default (plug-ins) cannot run without the user's
// own file.
bool NeedsUsersFile(const EffectDescription& effect) {
  for (const EffectParameterInfo& p : effect.parameters)
    if (p.kind == EffectParameterInfo::kText && p.defaultText.empty()) return true;
  return false;
}

Picture RunWithDefaults(const EffectDescription& effect, const Picture& picture) {
  Canvas::EffectArguments arguments;
  arguments.name = effect.name;
  ApplyDescribedDefaults(effect, arguments);
  Canvas canvas(picture.width, picture.height, 1);
  canvas.ShowPaper(false);
  canvas.LoadPainting(picture);
  canvas.RunEffect(arguments);
  return canvas.PaintingLayer();
}

void RunGallery(const GalleryOptions& o) {
  const Picture picture = ReadPicture(o.input);
  std::error_code error;
  std::filesystem::create_directories(o.folder, error);
  if (!std::filesystem::is_directory(o.folder, error))
    throw HostError("cannot make the folder '" + o.folder + "'");
  const std::filesystem::path folder(o.folder);

  std::vector<SheetEntry> entries{{"Original", picture, false}};
  std::string index = "# effect\tresult\n";
  int ran = 0, skipped = 0, failed = 0;
  // Lua filters run in safe mode: the gallery runs the shipped example only.
  const SafeLuaMode safe(true);
  const std::vector<EffectDescription> effects = DescribeEffects();
  for (std::size_t i = 0; i < effects.size(); ++i) {
    const EffectDescription& effect = effects[i];
    if (!o.quiet)
      std::fprintf(stderr, "\r[%zu/%zu] %-40s", i + 1, effects.size(), effect.name.c_str());
    if (NeedsUsersFile(effect)) {
      index += effect.name + "\tskipped: needs a file of the user's own (a plug-in)\n";
      ++skipped;
      continue;
    }
    const std::string file = FileStem(effect.name) + ".png";
    try {
      const Picture result = RunWithDefaults(effect, picture);
      WritePicture((folder / file).string(), result);
      entries.push_back({effect.name, result, false});
      index += effect.name + "\t" + file + "\n";
      ++ran;
    } catch (const HostError& e) {
      entries.push_back({effect.name + " (failed)", {}, true});
      index += effect.name + "\tfailed: " + e.what() + "\n";
      ++failed;
    }
  }
  if (!o.quiet) std::fputs("\r", stderr);

  const std::string title = "palmora effects with their defaults on " +
                            std::filesystem::path(o.input).filename().string();
  WritePicture((folder / "contact-sheet.png").string(),
               MakeContactSheet(entries, o.columns, o.thumbSide, title));
  std::ofstream((folder / "gallery.txt").string()) << index;
  if (!o.quiet)
    std::printf("gallery: %d effects written to %s, %d skipped, %d failed (see gallery.txt)\n", ran,
                o.folder.c_str(), skipped, failed);
  if (failed) throw HostError(std::to_string(failed) + " effects failed (see gallery.txt)");
}

}  // namespace

Command AddGalleryCommand(CLI::App& app) {
  auto o = std::make_shared<GalleryOptions>();
  CLI::App* c = app.add_subcommand(
      "gallery", "run every effect with its defaults on a picture and make a contact sheet");
  c->add_option("picture", o->input, "the picture to run the effects on")->required();
  c->add_option("-o,--output", o->folder, "the folder for the results and contact-sheet.png")
      ->required();
  c->add_option("--columns", o->columns, "thumbnails a row on the sheet (default 8)")
      ->check(CLI::Range(1, 64));
  c->add_option("--thumb", o->thumbSide, "the thumbnails' longer side in pixels (default 160)")
      ->check(CLI::Range(32, 1024));
  AddQuietFlag(c, o->quiet);
  c->footer(
      "Each effect runs on a fresh canvas holding the picture. Effects that read a file "
      "take the shipped default from the data folder; those that need a file of the "
      "user's own (plug-ins) are listed as skipped in gallery.txt.");
  return {c, [o] { RunGallery(*o); }};
}

}  // namespace host
