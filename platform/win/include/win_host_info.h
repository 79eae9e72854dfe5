/* Host information behind the registry, Windows-directory and file-version
 * look-ups (win_registry.h, win_version.h).
 *
 * On Linux there is no registry and no version resource: the look-ups read
 * a small text file named by the environment variable PHONELINE_HOST_INFO,
 * afresh at every call. When the variable is unset or the file cannot be
 * read, the station looks like one where nothing is installed: every
 * registry key is missing and every version look-up fails (the Windows
 * directory is then "C:\WINDOWS").
 *
 * The file has one entry per line; blank lines and lines starting with '#'
 * are skipped, and so are lines that do not parse. Each entry is
 * "<kind> <name> = <value>", split at the first '=' (names never hold '=');
 * names and values are trimmed of surrounding blanks.
 *
 *   registry <key path> | <value name> = <text>
 *       A text value (REG_SZ). The key path starts with HKEY_LOCAL_MACHINE
 *       (or HKLM); it is the only hive. "@" or an empty value name is the
 *       key's default value. Key paths and value names match without regard
 *       to case, as on Windows; a key exists when a value is filed under it
 *       or under one of its sub-keys.
 *   windows-directory = <path>
 *   file-version <file path> = <a.b.c.d> [<a.b.c.d>]
 *       The file and product versions of a file (parts 0..65535; the
 *       product version is the file version when left out). File paths
 *       match without regard to case. Whether the file exists on disk is
 *       not looked at.
 *
 * Example:
 *   registry HKLM\SOFTWARE\Maker\Phone Server\2.0\Server | @ = /opt/maker/server
 *   windows-directory = /srv/station/windows
 *   file-version /opt/maker/server = 2.7.0.355 2.7.0.355
 */
#ifndef WIN_HOST_INFO_H
#define WIN_HOST_INFO_H

#include "win_types.h"

#define WIN_HOST_INFO_ENV "PHONELINE_HOST_INFO"

typedef int32_t LONG;
typedef unsigned int UINT;
typedef char* LPSTR;
typedef BYTE* LPBYTE;
typedef DWORD* LPDWORD;

#endif
