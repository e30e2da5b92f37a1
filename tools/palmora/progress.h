// The progress line of long work: one line on standard error, rewritten in place, shown only on a
// terminal and only when not silenced with --quiet. It is gone when the work ends.
#pragma once

#include <chrono>
#include <string>

namespace host {

class Progress {
 public:
  Progress(bool quiet, std::string label);
  ~Progress();
  void Update(std::size_t done, std::size_t total);

 private:
  bool shown_ = false;
  bool drawn_ = false;
  std::string label_;
  std::chrono::steady_clock::time_point last_;
};

}  // namespace host
