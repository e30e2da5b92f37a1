// The subcommands. Each adds itself to the command line with its options and its --help, and
// hands back the work to run when it was the one chosen; the work fails by throwing HostError.
#pragma once

#include <functional>

namespace CLI {
class App;
}

namespace host {

struct Command {
  CLI::App* app = nullptr;
  std::function<void()> run;
};

Command AddPaintCommand(CLI::App& app);
Command AddEffectCommand(CLI::App& app);
Command AddRenderCommand(CLI::App& app);
Command AddLuaCommand(CLI::App& app);
Command AddInfoCommand(CLI::App& app);
Command AddDemoCommand(CLI::App& app);
Command AddGalleryCommand(CLI::App& app);

}  // namespace host
