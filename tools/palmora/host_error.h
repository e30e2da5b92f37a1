// The one way a subcommand fails: a message of one line, shown as "palmora: <message>", and a
// non-zero exit status. Nothing else is printed on failure.
#pragma once

#include <stdexcept>
#include <string>

namespace host {

class HostError : public std::runtime_error {
 public:
  explicit HostError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace host
