// Makes operator new fail on demand, for tests of memory failures outside the engine heap (thread
// start-up, std::function, containers). Off unless a test arms it.
#pragma once

namespace palmora_test {

// Lets `successes` further allocations through (on any thread), then fails every one until
// StopFailingNew().
void FailNewAfter(long successes) noexcept;
void StopFailingNew() noexcept;

}  // namespace palmora_test
