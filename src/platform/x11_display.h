// The X11 desktop services: the CLIPBOARD selection and the root window's pixels. Nothing here
// runs until a caller asks; no connection is opened when the library is loaded. Every wait on
// the X server or on another client is bounded, so a silent peer cannot hold the host.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// True when the host names a display (DISPLAY set and not empty).
bool DisplayNamed();

// Produces the bytes of one offered type; runs on the selection service's thread.
using SelectionEncoder = std::function<bool(const std::string& mime, std::vector<uint8_t>& bytes)>;

// Claims the CLIPBOARD selection for the given types. A service thread answers other programs'
// requests (TARGETS and each type, large answers in increments) until another client takes the
// selection, a later offer replaces this one, or the library is unloaded. Returns false, with
// nothing claimed, when no display can be reached or the claim is refused.
bool OfferClipboard(const std::vector<std::string>& mimes, SelectionEncoder encoder);
// True while this process's service thread still owns the selection.
bool OwnsClipboard();
// True when another client took the selection from the latest offer: what this process offered
// is no longer the desktop's clipboard.
bool ClipboardTakenByAnotherClient();
// Stops the service thread and gives the selection up.
void ReleaseClipboard();

enum class SelectionRead {
  kNoDisplay,  // no X server could be reached: the desktop has no clipboard of its own
  kNothing,    // nobody owns the selection, no type is delivered, or the owner kept silent
  kDelivered,
};
// Asks the selection's owner for the first of mimes it delivers.
SelectionRead ReadClipboard(const std::vector<std::string>& mimes, std::string& mime,
                            std::vector<uint8_t>& bytes);

// Reads the whole root window. allocate(width, height) gives room for width x height packed
// RGBA32 pixels (or null to give up, or throws); the pixels arrive with alpha 255. Returns false
// when no display can be reached, its pixel format is not one of 16 or 32 bits a pixel, or a read
// fails; what allocate gave may then be partly written.
bool CaptureScreen(const std::function<uint8_t*(int32_t width, int32_t height)>& allocate);

}  // namespace platform
