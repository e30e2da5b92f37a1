// palmora render IN OUT --scale Z: the view renderer's picture of a canvas, zoomed.
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
  float zoom = 1.0f;
  bool maskFull = false;
  bool paper = false;
  bool quiet = false;
};

// The renderer's two ways of zooming: below 1 it samples every step-th canvas pixel (step = 1 /
// zoom); above 1 it turns each canvas pixel into a whole-number block.
struct ViewZoom {
  int replicate = 1;
  float step = 1.0f;
};

ViewZoom ZoomFor(float zoom) {
  if (!(zoom > 0) || !std::isfinite(zoom)) throw HostError("--scale must be above 0");
  if (zoom <= 1.0f) return {1, 1.0f / zoom};
  if (zoom != std::trunc(zoom) || zoom > 64)
    throw HostError("--scale above 1 must be a whole number up to 64 (each pixel becomes a block)");
  return {int(zoom), 1.0f};
}

// How many output columns the renderer draws for `side` canvas columns from 0.
int OutputSide(int side, const ViewZoom& z) {
  if (z.replicate > 1) return z.replicate * side;
  if (z.step == 1.0f) return side;
  return int(std::trunc(float(side) / z.step - 1.0f)) + 1;
}

void Render(const RenderOptions& o) {
  const ViewZoom zoom = ZoomFor(o.zoom);
  CheckOutputPath(o.output);
  const Picture picture = ReadPicture(o.input);
  Picture mask;
  if (!o.mask.empty()) mask = ReadPicture(o.mask);

  const int width = OutputSide(picture.width, zoom);
  const int height = OutputSide(picture.height, zoom);
  if (int64_t(width) * height > 100'000'000)
    throw HostError("the rendered picture would be too large");

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
  PMR_SetScale(zoom.replicate, zoom.step);
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
  c->add_option("--scale", o->zoom, "zoom: 2 doubles the picture, 0.5 halves it (default 1)");
  c->add_option("--mask", o->mask,
                "a grey picture used as the mask (black lets paint through, "
                "white protects): protected parts are tinted half-way to a "
                "checker of red and salmon pink");
  c->add_flag("--mask-full", o->maskFull,
              "cover protected parts with the red and salmon-pink "
              "checker instead of tinting them half-way");
  c->add_flag("--paper", o->paper,
              "show white paper under the picture instead of the checkerboard");
  AddQuietFlag(c, o->quiet);
  c->footer(
      "Zooming out (--scale below 1) shows every (1/scale)-th pixel; zooming in (a whole "
      "--scale from 2 to 64) turns each pixel into a scale×scale block.");
  return {c, [o] { Render(*o); }};
}

}  // namespace host
