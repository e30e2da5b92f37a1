// Font choice. The desktop platform showed its font dialog; here the host installs a chooser of its
// own, and without one the engine's default chooser takes the face fontconfig matches best.
#pragma once

#include <cstdint>

#include "imaging/text.h"

namespace platform {

// Error codes a chooser reports when it fails (as the desktop dialog's did).
inline constexpr uint32_t kFontNoFonts = 0x2001;

// Fills (or keeps) the record and returns non-zero when a font was chosen. On 0, *error is 0 when
// the user cancelled, otherwise the failure's code. flags 0x41 start from the record as it is, 1
// from a cleared record.
using FontChooser = int32_t (*)(imaging::FontRecord* record, uint32_t flags, uint32_t* error,
                                void* user);

// Null restores the default chooser.
void SetFontChooser(FontChooser chooser, void* user);
int32_t ChooseFont(imaging::FontRecord* record, uint32_t flags, uint32_t* error);

}  // namespace platform
