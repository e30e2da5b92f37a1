/* palmora: the export macro shared by every family header. */
#ifndef PALMORA_EXPORT_H
#define PALMORA_EXPORT_H

#include <stdint.h>

#ifdef __cplusplus
#define PMR_EXTERN_C extern "C"
#else
#define PMR_EXTERN_C
#endif

#define PMR_API PMR_EXTERN_C __attribute__((visibility("default")))

#endif
