// palmora paint SCRIPT -o OUT: replays a paint script and saves the page.
#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <memory>

#include "brush_presets.h"
#include "canvas.h"
#include "cli_values.h"
#include "command_options.h"
#include "commands.h"
#include "engine_progress.h"
#include "host_error.h"
#include "paint_replay.h"
#include "palmora/palmora.h"
#include "picture_io.h"

namespace host {
namespace {

struct PaintOptions {
  std::string script;
  std::string output;
  std::string size;
  std::string background;
  int undo = 0;
  bool quiet = false;
};

std::string BrushList() {
  std::string text = "Brushes that SelectBrush names:\n";
  for (const BrushPreset& b : BrushPresets())
    text += "  " + std::string(b.name) + std::string(16 - std::string(b.name).size(), ' ') +
            b.summary + "\n";
  return text;
}

void Paint(const PaintOptions& o) {
  const auto start = std::chrono::steady_clock::now();
  CheckOutputPath(o.output);
  if (o.undo < 0) throw HostError("--undo needs a count of 0 or more");
  const PaintScript script = ReadPaintScript(o.script);
  Picture background;
  if (!o.background.empty()) background = ReadPicture(o.background);
  CanvasSize size{800, 600};
  if (!o.size.empty())
    size = ParseSize(o.size, "--size");
  else if (script.width > 0)
    size = {script.width, script.height};
  else if (!o.background.empty())
    size = {background.width, background.height};

  Canvas canvas(size.width, size.height, script.seed);
  PMR_Clear(255, 255, 255, 255);  // a fresh sheet: the painting starts as white paper
  PMR_SaveUndoBackBuffer(kPaintingLayer);
  if (!o.background.empty()) canvas.LoadPainting(background);

  EngineProgress engineProgress(o.quiet);
  ReplayCounts counts;
  {
    Progress progress(o.quiet, "painting " + o.script);
    counts = ReplayPaintScript(canvas, script, o.script, &progress);
  }
  for (int i = 0; i < o.undo; ++i) {
    if (!PMR_CanUndo())
      throw HostError("--undo " + std::to_string(o.undo) + ": the replay left only " +
                      std::to_string(i) + " step(s) to undo");
    PMR_Undo();
  }
  canvas.SavePage(o.output);
  if (!o.quiet) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("painted %s (%d×%d): %zu strokes, %zu dabs, %zu effects in %.2f s\n",
                o.output.c_str(), size.width, size.height, counts.strokes, counts.dabs,
                counts.filters, seconds);
  }
}

}  // namespace

Command AddPaintCommand(CLI::App& app) {
  auto o = std::make_shared<PaintOptions>();
  CLI::App* c = app.add_subcommand("paint", "replay a paint script (.srp) and save the page");
  c->add_option("script", o->script, "the paint script")->required();
  c->add_option("-o,--output", o->output, "the picture to write (.png, .jpg, .bmp, .tif, ...)")
      ->required();
  c->add_option("--size", o->size,
                "canvas size W×H (default: the script's CanvasSize record, "
                "else the background's, else 800×600)");
  c->add_option("--background", o->background, "a picture to paint on (placed at the top left)");
  c->add_option("--undo", o->undo, "undo this many steps (strokes, effects) before saving");
  AddQuietFlag(c, o->quiet);
  c->footer(BrushList());
  return {c, [o] { Paint(*o); }};
}

}  // namespace host
