/* File version information, answered from the host information file (see
 * win_host_info.h for its format). A file's version block holds only the
 * fixed version information, reached with the sub-block "\". */
#ifndef WIN_VERSION_H
#define WIN_VERSION_H

#include "win_host_info.h"

#define VS_FFI_SIGNATURE 0xFEEF04BDu
#define VS_FFI_STRUCVERSION 0x00010000u

/* Fixed version information: each version is two DWORDs, the first holding
 * parts one (high word) and two, the second parts three and four. */
typedef struct {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
} VS_FIXEDFILEINFO;

#ifdef __cplusplus
extern "C" {
#endif

/* Size of the file's version block, or 0 when the file has no version
 * information. *handle (when given) is set to 0. */
WIN_API DWORD GetFileVersionInfoSizeA(LPCSTR file, LPDWORD handle);
/* Fills data (length bytes, at least the size above) with the file's
 * version block. FALSE when the file has no version information or the
 * block does not fit. */
WIN_API BOOL GetFileVersionInfoA(LPCSTR file, DWORD handle, DWORD length, void* data);
/* Points *buffer at the fixed version information inside a block that
 * GetFileVersionInfoA filled, for the sub-block "\" (the only one), and
 * sets *length (when given) to its size. FALSE for another sub-block or a
 * block that is not a version block. */
WIN_API BOOL VerQueryValueA(const void* block, LPCSTR subBlock, void** buffer, UINT* length);

#ifdef __cplusplus
}
#endif

#endif
