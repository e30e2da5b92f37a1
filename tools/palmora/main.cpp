// palmora: the reference host of the palmora engine. It paints paint scripts, runs effects and
// Lua filters on pictures, renders the view, converts and reports on picture files, through the
// engine's C interface only (and libpng for PNG files at 16 bits a channel).
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <exception>

#include "commands.h"
#include "data_folder.h"
#include "host_error.h"

int main(int argc, char** argv) {
  CLI::App app{"palmora: paints, processes and saves pictures with the palmora engine"};
  app.name("palmora");
  app.require_subcommand(1);
  app.set_version_flag("--version", "palmora " PALMORA_VERSION);
  std::string dataFolder;
  app.add_option("--data", dataFolder,
                 "folder of the shipped data files (default: $PALMORA_DATA, "
                 "else the folder palmora was built or installed with)");
  const host::Command commands[] = {
      host::AddPaintCommand(app), host::AddEffectCommand(app),  host::AddRenderCommand(app),
      host::AddLuaCommand(app),   host::AddInfoCommand(app),    host::AddConvertCommand(app),
      host::AddDemoCommand(app),  host::AddGalleryCommand(app),
  };
  try {
    // The parser would only say that a subcommand is missing; name the word it did not know.
    for (int i = 1; i < argc; ++i) {
      if (argv[i][0] == '-') {
        if (std::string(argv[i]) == "--data") ++i;
        if (std::string(argv[i]) == "--version") break;
        continue;
      }
      const auto named = [&](const host::Command& c) { return c.app->check_name(argv[i]); };
      if (std::none_of(std::begin(commands), std::end(commands), named))
        throw host::HostError(std::string("unknown command '") + argv[i] +
                              "' (see palmora --help)");
      break;
    }
    app.parse(argc, argv);
    host::SetDataFolder(dataFolder);
    for (const host::Command& command : commands)
      if (command.app->parsed()) command.run();
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::fprintf(stderr, "palmora: %s (see palmora --help)\n", e.what());
    return 2;
  } catch (const host::HostError& e) {
    std::fprintf(stderr, "palmora: %s\n", e.what());
    return 1;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "palmora: out of memory\n");
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "palmora: %s\n", e.what());
    return 1;
  }
  return 0;
}
