#include "process/library_start.h"

#include "engine/scratch_pool.h"
#include "imaging/imaging.h"

namespace process {

void IPLInit() {
  imaging::is5_Initialize(nullptr);
  imaging::IS40_Initialize(nullptr);
  imaging::ISE40_Initialize(nullptr);
  imaging::IS3Initialize(nullptr);
  imaging::ISE3Initialize(nullptr);
}

// The two effects modules have no end call.
void IPLExit() {
  imaging::is5_Exit();
  imaging::IS40_Exit();
  imaging::IS3Exit();
  // The library is done with: its kept temporaries go back to the system.
  engine::TrimScratch();
}

}  // namespace process
