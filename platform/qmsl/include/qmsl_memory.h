/* Typed memory access: peek and poke of the phone's memory in items of 8,
 * 16 or 32 bits. Each call moves `count` consecutive items starting at
 * `address`. A peek writes the caller's items only when it succeeds. */
#ifndef QMSL_MEMORY_H
#define QMSL_MEMORY_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* 8-bit items. */
QMSL_API unsigned char QLIB_DIAG_MEMORY_PEEK_F(QmslHandle handle, unsigned int address, unsigned char count,
                                               unsigned char* values);
QMSL_API unsigned char QLIB_DIAG_MEMORY_POKE_F(QmslHandle handle, unsigned int address, unsigned char count,
                                               const unsigned char* values);
/* 16-bit items. */
QMSL_API unsigned char QLIB_DIAG_MEMORY_PEEK_WORD_F(QmslHandle handle, unsigned int address, unsigned char count,
                                                    unsigned short* values);
QMSL_API unsigned char QLIB_DIAG_MEMORY_POKE_WORD_F(QmslHandle handle, unsigned int address, unsigned char count,
                                                    const unsigned short* values);
/* 32-bit items. */
QMSL_API unsigned char QLIB_DIAG_MEMORY_PEEK_DWORD_F(QmslHandle handle, unsigned int address, unsigned char count,
                                                     unsigned int* values);
QMSL_API unsigned char QLIB_DIAG_MEMORY_POKE_DWORD_F(QmslHandle handle, unsigned int address, unsigned char count,
                                                     const unsigned int* values);

#ifdef __cplusplus
}
#endif

#endif
