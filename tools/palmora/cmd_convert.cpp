// palmora convert IN OUT: reads a picture of any type, optionally crops, turns, mirrors and
// resizes it, and writes it as the type the output's extension names.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "cli_values.h"
#include "command_options.h"
#include "commands.h"
#include "deep_png.h"
#include "engine_resize.h"
#include "host_error.h"
#include "palmora/palmora.h"
#include "picture_geometry.h"
#include "picture_io.h"

namespace host {
namespace {

struct ConvertOptions {
  std::string input, output;
  std::string resize, crop, flip, filter = "Lanczos3";
  double scale = 0;
  int turn = 0;
  int quality = 0;
  bool qualityGiven = false;
  int depth = 0;  // 0: as the input
  bool quiet = false;
};

// What the run will do, checked in full before the input is read.
struct Plan {
  bool resize = false;
  CanvasSize size;
  bool crop = false;
  Area area;
};

Plan CheckOptions(const ConvertOptions& o) {
  CheckOutputPath(o.output);
  const std::string extension = o.output == "-" ? ".png" : WriterExtension(o.output);
  if (o.qualityGiven && (o.quality < 1 || o.quality > 100))
    throw HostError("--quality " + std::to_string(o.quality) + " is outside 1..100");
  if (o.qualityGiven && extension != ".jpg")
    throw HostError("--quality applies to JPEG output only");
  if (o.depth == 16 && extension != ".png")
    throw HostError("--depth 16 is written as PNG only (the output is " + extension + ")");
  Plan plan;
  if (!o.resize.empty()) {
    plan.resize = true;
    plan.size = ParseSize(o.resize, "--resize");
  }
  if (!o.crop.empty()) {
    plan.crop = true;
    plan.area = ParseArea(o.crop, "--crop");
  }
  const auto& filters = ResizeFilterNames();
  if (std::find(filters.begin(), filters.end(), o.filter) == filters.end())
    throw HostError("--filter '" + o.filter +
                    "' is not one of the resampler's filters (see "
                    "palmora convert --help)");
  return plan;
}

// The engine widens 8 bits to 16 by multiplying by 256; its high byte is the 8-bit value again.
DeepPicture Widen(const Picture& picture) {
  DeepPicture deep{picture.width, picture.height, std::vector<uint16_t>(picture.rgba.size())};
  for (std::size_t i = 0; i < picture.rgba.size(); ++i)
    deep.rgba[i] = uint16_t(picture.rgba[i] << 8);
  return deep;
}

Picture HighBytes(const DeepPicture& deep) {
  Picture picture{deep.width, deep.height, std::vector<uint8_t>(deep.rgba.size())};
  for (std::size_t i = 0; i < deep.rgba.size(); ++i) picture.rgba[i] = uint8_t(deep.rgba[i] >> 8);
  return picture;
}

// Samples that hold 8 significant bits, written at 16: full scale, so that 255 becomes 65535 as
// any reader of a 16-bit file expects.
DeepPicture FullScale(const DeepPicture& deep) {
  DeepPicture out = deep;
  for (uint16_t& sample : out.rgba) sample = uint16_t((sample >> 8) * 257);
  return out;
}

std::string FilterNameList() {
  std::string all;
  for (const std::string& name : ResizeFilterNames()) all += (all.empty() ? "" : ", ") + name;
  return all;
}

int QuarterTurns(int degrees) { return degrees / 90; }

void RunConvert(const ConvertOptions& o) {
  const Plan plan = CheckOptions(o);
  DeepPicture picture;
  bool deepInput = false;    // the input held 16 bits a channel
  bool sixteenBits = false;  // the samples still carry 16 significant bits
  int dpi = 72;
  WithInputFile(o.input, [&](const std::string& file) {
    // The engine's readers give 8 bits a channel; a 16-bit PNG is read here at its full depth.
    deepInput = sixteenBits = IsDeepPng(file);
    picture = sixteenBits ? ReadDeepPng(file) : Widen(ReadPicture(file));
    dpi = PMR_GetDPIFromFile(file.c_str());
  });
  if (plan.crop) picture = Crop(picture, plan.area);
  if (o.turn != 0) picture = TurnClockwise(picture, QuarterTurns(o.turn));
  if (!o.flip.empty()) picture = Mirror(picture, o.flip == "h");
  if (plan.resize || o.scale > 0) {
    CanvasSize size = plan.size;
    if (!plan.resize) {
      size.width = int(std::lround(picture.width * o.scale));
      size.height = int(std::lround(picture.height * o.scale));
      if (size.width < 1 || size.height < 1 || size.width > 10000 || size.height > 10000)
        throw HostError("--scale " + std::to_string(o.scale) + " makes a " +
                        std::to_string(size.width) + "×" + std::to_string(size.height) +
                        " picture; each side must be 1..10000");
    }
    picture = ResizeWithEngine(picture, size.width, size.height, o.filter);
    sixteenBits = false;
  }

  const bool png = o.output == "-" || WriterExtension(o.output) == ".png";
  const int depth = o.depth != 0 ? o.depth : (deepInput && png ? 16 : 8);
  if (depth == 16) {
    const DeepPicture out = sixteenBits ? picture : FullScale(picture);
    const auto write = [&](const std::string& file) {
      WriteThroughTemporary(
          file, [&](const char* temporary) { return WriteDeepPng(temporary, out, dpi) ? 1 : 0; });
    };
    if (o.output == "-")
      WriteStandardOutput(".png", write);
    else
      write(o.output);
  } else {
    WritePicture(o.output, HighBytes(picture), dpi, o.quality);
  }
  if (!o.quiet)
    std::printf("convert: wrote %s (%d×%d, %d bits a channel)\n", o.output.c_str(), picture.width,
                picture.height, depth);
}

}  // namespace

Command AddConvertCommand(CLI::App& app) {
  auto o = std::make_shared<ConvertOptions>();
  CLI::App* c = app.add_subcommand("convert", "convert a picture to another type, size or turn");
  c->add_option("input", o->input, "the picture to read (- for standard input)")->required();
  c->add_option("output", o->output,
                "the picture to write, its type by extension (- for PNG on standard output)")
      ->required();
  CLI::Option* resize =
      c->add_option("--resize", o->resize, "resample to W×H pixels (1..10000 each)");
  c->add_option("--scale", o->scale, "resample by a factor, e.g. 0.5 for half the size")
      ->check(CLI::PositiveNumber)
      ->excludes(resize);
  c->add_option("--filter", o->filter,
                "the resampler's filter (default Lanczos3): " + FilterNameList());
  c->add_option("--crop", o->crop, "keep the rectangle X,Y,W,H of the input (pixels)");
  c->add_option("--turn", o->turn, "turn clockwise by 90, 180 or 270 degrees")
      ->check(CLI::IsMember({90, 180, 270}));
  c->add_option("--flip", o->flip, "mirror: h left to right, v top to bottom")
      ->check(CLI::IsMember({"h", "v"}));
  c->add_option("--quality", o->quality, "JPEG quality 1..100 (default 97)")
      ->each([o](const std::string&) { o->qualityGiven = true; });
  c->add_option("--depth", o->depth,
                "bits a channel of a PNG output, 8 or 16 (default: 16 when the input is a 16-bit "
                "PNG, else 8)")
      ->check(CLI::IsMember({8, 16}));
  AddQuietFlag(c, o->quiet);
  c->footer(
      "Steps run in this order: crop, turn, flip, resize. Crop, turn and flip keep every bit; "
      "resizing uses the engine's resampler, which works at 8 bits a channel. A 16-bit PNG stays "
      "16-bit when written as PNG unless --depth 8 is given; 8-bit samples written at 16 bits are "
      "scaled to the full range (255 becomes 65535). The resolution (dpi) of the input is kept.");
  return {c, [o] { RunConvert(*o); }};
}

}  // namespace host
