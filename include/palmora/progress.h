/* palmora: progress of long work, reported to the host. */
#ifndef PALMORA_PROGRESS_H
#define PALMORA_PROGRESS_H

#include "palmora/export.h"

/* Called on the thread that made the call, with done of total steps of task (an effect's name,
 * or "save page"): 0 of total when the work starts, total of total when it ends, steps between.
 * It must not call back into the engine. */
typedef void (*PMR_ProgressCallback)(const char* task, int32_t done, int32_t total, void* user);
/* Installs the host's progress callback (effects run through PMR_IPLImageProcess and page saves
 * report through it); null restores the default, which does nothing. */
PMR_API void PMR_SetProgressCallback(PMR_ProgressCallback callback, void* user);

#endif
