/* The phone's embedded file system (EFS) and the library's capabilities.
 *
 * QLIB_EfsDirectory lists one folder of the phone's file system through the
 * EFS-directory call-back registered with QLIB_ConfigureCallBacks (its
 * first function address, cast from a QmslEfsDirectoryCallback). */
#ifndef QMSL_EFS_H
#define QMSL_EFS_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* What this library supports: diagnostic commands, file-system (EFS)
 * functions and software download. Each output is 1 or 0 (null outputs are
 * skipped). Library-wide, so it takes no handle. */
QMSL_API unsigned char QLIB_GetLibraryCapabilities(unsigned char* supportsDiag, unsigned char* supportsEfs,
                                                   unsigned char* supportsSwDownload);

/* Called once per real entry of a listed folder ("." and ".." are never
 * reported), in the folder's order, during QLIB_EfsDirectory and in the
 * caller's thread. folder is the path as the caller gave it, name the entry
 * without its folder, isDirectory 1 for a sub-folder. Both texts live only
 * for the call. The return value is the call-back's own (a running count,
 * say); the library ignores it. */
typedef int (*QmslEfsDirectoryCallback)(const char* folder, const char* name, unsigned char isDirectory);

/* Lists the folder at path ("a/b/c"; leading and trailing '/' ignored). Fails
 * when the folder does not exist. Without a registered call-back the listing
 * still succeeds and reports nothing. */
QMSL_API unsigned char QLIB_EfsDirectory(QmslHandle handle, const char* path);

#ifdef __cplusplus
}
#endif

#endif
