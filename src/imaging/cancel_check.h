// Long library work (seam carving) asks this between steps whether its caller wants it to stop;
// a stopped call fails and writes nothing. Nothing asks by default.
#pragma once

namespace imaging {

using CancelCheck = bool (*)();

// Installs a check for the lifetime of the object (the previous one comes back after).
class ScopedCancelCheck {
 public:
  explicit ScopedCancelCheck(CancelCheck check) noexcept;
  ~ScopedCancelCheck();
  ScopedCancelCheck(const ScopedCancelCheck&) = delete;
  ScopedCancelCheck& operator=(const ScopedCancelCheck&) = delete;

 private:
  CancelCheck previous_;
};

bool CancelRequested();

}  // namespace imaging
