// palmora demo: paints the shipped demo script, runs a few effects over the painting and saves
// the page, a thumbnail and a web picture, saying how long each step took.
#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "canvas.h"
#include "command_options.h"
#include "commands.h"
#include "engine_progress.h"
#include "data_folder.h"
#include "host_error.h"
#include "paint_replay.h"
#include "palmora/palmora.h"
#include "picture_io.h"

namespace host {
namespace {

constexpr int kWidth = 960, kHeight = 640;
constexpr const char* kScript = "paint/demo.srp";

struct DemoOptions {
  std::string folder = "palmora-demo";
  bool quiet = false;
};

class StepClock {
 public:
  explicit StepClock(bool quiet) : quiet_(quiet) {}
  template <class Fn>
  void Step(const std::string& what, Fn&& work) {
    const auto start = std::chrono::steady_clock::now();
    const std::string detail = work();
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (!quiet_) {
      std::printf("%-24s %8.1f ms  %s\n", what.c_str(), ms, detail.c_str());
      std::fflush(stdout);
    }
  }

 private:
  bool quiet_;
};

// The library's thumbnail and web-picture writers write straight to their destination; the
// host lets them write a temporary name and renames it once the file is there.
template <class Writer>
void WriteBeside(const std::string& path, Writer&& write) {
  const std::string temporary = path + ".partial" + LowerExtension(path);
  std::error_code error;
  std::filesystem::remove(temporary, error);
  write(temporary.c_str());
  if (!std::filesystem::is_regular_file(temporary, error) ||
      std::filesystem::file_size(temporary, error) == 0) {
    std::filesystem::remove(temporary, error);
    throw HostError("cannot write '" + path + "'");
  }
  std::filesystem::rename(temporary, path, error);
  if (error) throw HostError("cannot write '" + path + "': " + error.message());
}

void Demo(const DemoOptions& o) {
  std::error_code error;
  std::filesystem::create_directories(o.folder, error);
  if (!std::filesystem::is_directory(o.folder))
    throw HostError("cannot make the folder '" + o.folder + "'");
  const std::string page = (std::filesystem::path(o.folder) / "demo.png").string();
  const std::string thumbnail = (std::filesystem::path(o.folder) / "demo-thumbnail.bmp").string();
  const std::string web = (std::filesystem::path(o.folder) / "demo-web.jpg").string();
  StepClock clock(o.quiet);
  EngineProgress engineProgress(o.quiet);

  PaintScript script;
  clock.Step("read the paint script", [&] {
    script = ReadPaintScript(DataPath(kScript));
    return DataPath(kScript) + ", " + std::to_string(script.records.size()) + " records";
  });
  Canvas canvas(kWidth, kHeight, script.seed);
  PMR_Clear(255, 255, 255, 255);
  PMR_SaveUndoBackBuffer(kPaintingLayer);
  clock.Step("paint", [&] {
    Progress progress(o.quiet, "painting");
    const ReplayCounts c = ReplayPaintScript(canvas, script, DataPath(kScript), &progress);
    return std::to_string(c.strokes) + " strokes, " + std::to_string(c.dabs) + " dabs, " +
           std::to_string(c.filters) + " effects in the script";
  });
  // A little more colour, then a soft darkening towards the corners.
  Canvas::EffectArguments saturate{"Adjust HSV", 0, {500, 560, 500}, {}, 0, 0, 0, ""};
  clock.Step("effect \"Adjust HSV\"", [&] {
    canvas.RunEffect(saturate);
    return std::string("saturation up");
  });
  Canvas::EffectArguments vignette{"Vignette", 0, {150, 100, 250, 1000}, {0, 0, 1}, 0, 0, 0, ""};
  clock.Step("effect \"Vignette\"", [&] {
    canvas.RunEffect(vignette);
    return std::string("darker corners");
  });
  clock.Step("save the page", [&] {
    canvas.SavePage(page);
    return page + " (" + std::to_string(kWidth) + "×" + std::to_string(kHeight) + ")";
  });
  clock.Step("save a thumbnail", [&] {
    WriteBeside(thumbnail, [&](const char* to) { PMR_MakeThumbnail(page.c_str(), to, 160); });
    return thumbnail + " (160 on the longer side)";
  });
  clock.Step("save a web picture", [&] {
    WriteBeside(web, [&](const char* to) { PMR_MakeWebPic(page.c_str(), to, 640, 480); });
    return web + " (at most 640×480)";
  });
}

}  // namespace

Command AddDemoCommand(CLI::App& app) {
  auto o = std::make_shared<DemoOptions>();
  CLI::App* c = app.add_subcommand("demo", "paint the shipped demo picture and save it three ways");
  c->add_option("-o,--output", o->folder, "the folder to write into (default: palmora-demo)");
  AddQuietFlag(c, o->quiet);
  return {c, [o] { Demo(*o); }};
}

}  // namespace host
