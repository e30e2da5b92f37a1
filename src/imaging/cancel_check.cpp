#include "imaging/cancel_check.h"

namespace imaging {
namespace {
CancelCheck g_check = nullptr;
}  // namespace

ScopedCancelCheck::ScopedCancelCheck(CancelCheck check) noexcept : previous_(g_check) {
  g_check = check;
}
ScopedCancelCheck::~ScopedCancelCheck() { g_check = previous_; }

bool CancelRequested() { return g_check && g_check(); }

}  // namespace imaging
