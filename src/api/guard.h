// The turnstile every export passes through: it runs the engine call and turns any failure into
// the export's fixed last-error text and its neutral result. It is the only catch-all; no C++
// exception ever crosses the C interface.
#pragma once

#include <type_traits>
#include <utility>

#include "engine/engine_state.h"

namespace api {

template <class Result, class Fn>
Result guard(Result neutral, const char* message, Fn&& fn) noexcept {
  try {
    return static_cast<Result>(std::forward<Fn>(fn)());
  } catch (...) {
    engine::SetLastError(message);
    return neutral;
  }
}

template <class Fn>
void guard(const char* message, Fn&& fn) noexcept {
  try {
    std::forward<Fn>(fn)();
  } catch (...) {
    engine::SetLastError(message);
  }
}

}  // namespace api
