// palmora render IN OUT --scale S --replicate I: the view renderer's picture of a canvas.
#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <memory>

#include "canvas.h"
#include "command_options.h"
#include "commands.h"
#include "host_error.h"
#include "palmora/palmora.h"
#include "picture_io.h"

namespace host {
namespace {

struct RenderOptions {
  std::string input, output, mask;
  float scale = 1.0f;
  int replicate = 1;
  bool maskFull = false;
  bool paper = false;
  bool quiet = false;
};

// How many output columns the renderer draws for `side` canvas columns from 0: one per canvas
// pixel at 1:1, one per S canvas pixels when sampling, I per canvas pixel when replicating.
int OutputSide(int side, float scale, int replicate) {
  if (scale == float(replicate)) return side;
  if (scale > float(replicate)) return int(std::trunc(float(side) / scale - 1.0f)) + 1;
  return replicate * side;
}

void Render(const RenderOptions& o) {
  if (!(o.scale > 0) || !std::isfinite(o.scale)) throw HostError("--scale must be above 0");
  if (o.replicate < 0) throw HostError("--replicate must be 0 or more");
  if (o.scale < float(o.replicate) && o.replicate > 64)
    throw HostError("--replicate above 64 makes a picture too large");
  CheckOutputPath(o.output);
  const Picture picture = ReadPicture(o.input);
  Picture mask;
  if (!o.mask.empty()) mask = ReadPicture(o.mask);

  const int width = OutputSide(picture.width, o.scale, o.replicate);
  const int height = OutputSide(picture.height, o.scale, o.replicate);
  if (int64_t(width) * height > 100'000'000) throw HostError("the rendered picture would be too large");

  Canvas canvas(picture.width, picture.height, 1);
  canvas.ShowPaper(o.paper);
  canvas.LoadPainting(picture);
  if (!o.mask.empty()) {
    // The mask picture's grey: black lets everything through, white protects.
    const std::vector<uint8_t> rgb = PackedRgb(mask);
    PMR_LoadMask(rgb.data(), mask.width * 3, mask.width, mask.height);
    PMR_SetMaskOptions(255, 64, 64, 255, 128, 128, o.maskFull ? 1 : 0);
    PMR_EnableMask(1);
    PMR_DisplayMask(1);
  }
  PMR_SetScale(o.replicate, o.scale);
  PMR_SetViewSize(width, height);
  std::vector<uint8_t> bgr(std::size_t(width) * height * 3);
  if (!PMR_Render(bgr.data(), width * 3, 0, 0, picture.width, picture.height))
    throw HostError("the view renderer drew nothing");
  Picture out{width, height, std::vector<uint8_t>(std::size_t(width) * height * 4)};
  for (std::size_t i = 0, n = std::size_t(width) * height; i < n; ++i) {
    out.rgba[i * 4 + 0] = bgr[i * 3 + 2];
    out.rgba[i * 4 + 1] = bgr[i * 3 + 1];
    out.rgba[i * 4 + 2] = bgr[i * 3 + 0];
    out.rgba[i * 4 + 3] = 255;
  }
  WritePicture(o.output, out);
  if (!o.quiet) std::printf("rendered %s (%d×%d)\n", o.output.c_str(), width, height);
}

}  // namespace

Command AddRenderCommand(CLI::App& app) {
  auto o = std::make_shared<RenderOptions>();
  CLI::App* c = app.add_subcommand("render", "draw a picture through the view renderer");
  c->add_option("input", o->input, "the picture to show")->required();
  c->add_option("output", o->output, "the picture to write")->required();
  c->add_option("--scale", o->scale, "canvas pixels per output pixel (default 1)");
  c->add_option("--replicate", o->replicate,
                "whole-number magnification used when --scale is below it (default 1)");
  c->add_option("--mask", o->mask, "a grey picture used as the mask and shown tinted "
                                   "(black lets paint through, white protects)");
  c->add_flag("--mask-full", o->maskFull, "tint masked areas fully instead of at most half");
  c->add_flag("--paper", o->paper, "show white paper under the picture instead of the checkerboard");
  AddQuietFlag(c, o->quiet);
  c->footer("At 1:1 (--scale equal to --replicate) the output has the picture's size; with --scale "
            "above --replicate every S-th pixel is shown; below it each pixel becomes an I×I "
            "block.");
  return {c, [o] { Render(*o); }};
}

}  // namespace host
