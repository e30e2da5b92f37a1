// Scribble draws its rows in bands of a fixed height in parallel, each band with every scribble
// that may touch it and its lines' pixels mixed in integers, so that the result is the same for
// any band height. Tests set the height here to check exactly that (0 returns to the height
// chosen from the scribbles' size).
#pragma once

namespace imaging {

void SetScribbleBandRowsForTesting(int rows);

}  // namespace imaging
