// Text helpers of the run-time.
#pragma once

#include "cvi_util.h"

#ifdef __cplusplus
extern "C" {
#endif

// Lower-cases the ASCII letters of a NUL-terminated text in place; other
// bytes stay. A null text is ignored.
CVI_API void StringLowerCase(char* text);

#ifdef __cplusplus
}
#endif
