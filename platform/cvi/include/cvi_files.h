// File helpers of the run-time.
#pragma once

#include "cvi_util.h"

#ifdef __cplusplus
extern "C" {
#endif

// Tells whether `path` names an existing file or directory: 1 when it
// exists (its size in bytes goes to *size when size is not null), 0 when it
// does not, -1 for any other failure (no right to look, null path).
CVI_API int GetFileInfo(const char* path, long* size);

#ifdef __cplusplus
}
#endif
