// Scribble draws its rows in bands of a fixed height, each on a canvas of its own that reaches
// far enough past the band for every scribble touching it to lie wholly on it, so that the
// result is the same for any band height. Tests set the height here to check exactly that
// (0 returns to the height chosen from the scribbles' size).
#pragma once

namespace imaging {

void SetScribbleBandRowsForTesting(int rows);

}  // namespace imaging
