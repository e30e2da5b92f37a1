#include "platform/font_chooser.h"

#include <algorithm>
#include <cstring>

#include "platform/host_callback.h"

namespace platform {
namespace {

// The default: the installed face that best matches the record's face name (a sans-serif face
// for none), written back with a 16-pixel height and regular weight where the record has none.
int32_t DefaultChooser(imaging::FontRecord* record, uint32_t /*flags*/, uint32_t* error,
                       void* /*user*/) {
  char path[4096], family[256];
  if (!imaging::MatchFontFile(*record, path, sizeof path, family, sizeof family)) {
    *error = kFontNoFonts;
    return 0;
  }
  // A longer family name is cut to the record's 31 characters.
  std::memset(record->faceName, 0, sizeof record->faceName);
  std::memcpy(record->faceName, family, std::min(std::strlen(family), sizeof record->faceName - 1));
  if (record->height == 0) record->height = -16;
  if (record->weight == 0) record->weight = 400;
  return 1;
}

FontChooser g_chooser = &DefaultChooser;
void* g_user = nullptr;

}  // namespace

void SetFontChooser(FontChooser chooser, void* user) {
  g_chooser = chooser ? chooser : &DefaultChooser;
  g_user = chooser ? user : nullptr;
}

int32_t ChooseFont(imaging::FontRecord* record, uint32_t flags, uint32_t* error) {
  *error = 0;
  HostCallbackScope inHost;
  return g_chooser(record, flags, error, g_user);
}

}  // namespace platform
