#include "progress.h"

#include <cstdio>

#include <unistd.h>

namespace host {

Progress::Progress(bool quiet, std::string label)
    : shown_(!quiet && isatty(STDERR_FILENO)), label_(std::move(label)) {}

Progress::~Progress() {
  if (drawn_) std::fprintf(stderr, "\r\033[K");
}

void Progress::Update(std::size_t done, std::size_t total) {
  if (!shown_ || total == 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (drawn_ && done < total && now - last_ < std::chrono::milliseconds(100)) return;
  last_ = now;
  drawn_ = true;
  std::fprintf(stderr, "\r\033[K%s: %3zu%% (%zu of %zu)", label_.c_str(), done * 100 / total, done,
               total);
  std::fflush(stderr);
}

}  // namespace host
