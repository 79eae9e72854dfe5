/* The Windows base types that the serial, tick and sleep calls use. */
#ifndef WIN_TYPES_H
#define WIN_TYPES_H

#include <stdint.h>

#define WIN_API __attribute__((visibility("default")))

typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef int BOOL;
typedef void* HANDLE;
typedef const char* LPCSTR;

#ifndef FALSE
#define FALSE 0
#endif
#ifndef TRUE
#define TRUE 1
#endif

#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)

#endif
