/* A host built only from the installed header and library. */
#include <palmora/palmora.h>

int main(void) {
  PMR_CreateImage(0, 4, 4, 4, 0);
  const int ok = PMR_CreateLayer(1, 4, 4);
  PMR_DeleteImage();
  return ok == 1 ? 0 : 1;
}
