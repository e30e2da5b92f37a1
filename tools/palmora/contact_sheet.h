// A contact sheet: small copies of many pictures in a grid, each with its name underneath.
#pragma once

#include <string>
#include <vector>

#include "picture_io.h"

namespace host {

struct SheetEntry {
  std::string label;
  Picture picture;      // empty (0 x 0) for an entry without a picture: only its label is shown
  bool failed = false;  // labelled in red
};

// Scales a picture down (never up) to fit a side x side box, averaging the pixels each new pixel
// covers, and lays it over a light chequerboard so that transparent parts show as such.
Picture Thumbnail(const Picture& picture, int side);

// Lays the entries out in columns with thumbnails of thumbSide pixels and draws every label with
// the engine's text drawing. The sheet is opaque.
Picture MakeContactSheet(const std::vector<SheetEntry>& entries, int columns, int thumbSide,
                         const std::string& title);

}  // namespace host
