// Options several subcommands share.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace host {

inline void AddQuietFlag(CLI::App* command, bool& quiet) {
  command->add_flag("-q,--quiet", quiet, "no progress line and no summary");
}

}  // namespace host
