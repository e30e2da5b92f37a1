// Picture-file extensions as the host passes them: with the dot, compared without regard to case.
#pragma once

#include <strings.h>

namespace io {

inline bool IsExtension(const char* extension, const char* wanted) {
  return extension && strcasecmp(extension, wanted) == 0;
}

}  // namespace io
