// Starting and ending the image-processing library.
#pragma once

namespace process {

// Starts the library modules in their fixed order.
void IPLInit();
// Ends them.
void IPLExit();

}  // namespace process
