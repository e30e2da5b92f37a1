/* Compiles the public header as C99 and calls a few exports through the shared library. */
#include <string.h>

#include "palmora/palmora.h"

int main(void) {
  PMR_SetLastError("probe");
  if (strcmp(PMR_GetLastError(), "probe") != 0) return 1;
  int value = 7;
  if (BankAdrs(&value) != &value) return 1;
  PMR_CreateImage(0, 8, 8, 4, 0);
  if (!PMR_CreateLayer(1, 8, 8)) return 1;
  PMR_DeleteImage();
  return 0;
}
