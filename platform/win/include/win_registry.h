/* Registry reads and the Windows directory, answered from the host
 * information file (see win_host_info.h for its format). Only text values
 * of HKEY_LOCAL_MACHINE are modelled, read-only. */
#ifndef WIN_REGISTRY_H
#define WIN_REGISTRY_H

#include "win_host_info.h"

typedef struct win_registry_key* HKEY;
typedef DWORD REGSAM;

#define HKEY_LOCAL_MACHINE ((HKEY)(uintptr_t)0x80000002u)

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_MORE_DATA 234L

#define KEY_QUERY_VALUE 0x0001u
#define KEY_READ 0x20019u

#define REG_SZ 1u

#ifdef __cplusplus
extern "C" {
#endif

/* Opens key\subKey (a null or empty subKey opens key itself again) into
 * *result, which must be closed with RegCloseKey. ERROR_FILE_NOT_FOUND (and
 * *result null) when the key does not exist; options and access are
 * accepted as given. */
WIN_API LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, HKEY* result);
/* Reads a value (a null or empty name is the default value). *type, when
 * asked for, is REG_SZ. With data null, *dataSize receives the size needed,
 * NUL included. Otherwise *dataSize holds the capacity of data on entry and
 * the size needed on return; the text in data is always NUL-terminated
 * within the capacity: when it does not fit, data holds as much as fits
 * plus the NUL and the call gives ERROR_MORE_DATA. ERROR_FILE_NOT_FOUND for
 * a missing value, ERROR_INVALID_HANDLE for a key that is not open. */
WIN_API LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                              LPDWORD dataSize);
/* Closes an opened key (closing HKEY_LOCAL_MACHINE does nothing). A key that
 * is not open gives ERROR_INVALID_HANDLE. */
WIN_API LONG RegCloseKey(HKEY key);

/* Writes the Windows directory into buffer and gives its length without the
 * NUL. When buffer is null or too small, gives the size needed with the NUL,
 * and a too-small buffer holds as much as fits plus the NUL. */
WIN_API UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);

#ifdef __cplusplus
}

namespace win_test {
/* Registry keys opened and not closed yet (to check that every path closes
 * what it opened). */
WIN_API int open_registry_keys();
} // namespace win_test
#endif

#endif
