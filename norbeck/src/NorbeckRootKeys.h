// The two public root keys the driver knows. Their bytes are the
// deployment's: the build takes them from two files named at configure time
// (see norbeck/CMakeLists.txt and README), else from the test pattern.
#pragma once

#include "NorbeckModule.h"

// Type 1: the field-test key; type 2: the official key; 0: any other key.
constexpr int norbeck_ROOTKEY_OTHER = 0;
constexpr int norbeck_ROOTKEY_FIELDTEST = 1;
constexpr int norbeck_ROOTKEY_OFFICIAL = 2;

extern const unsigned char norbeck_FIELDTEST_ROOTKEY[NORBECK_LEN_ROOTKEY];
extern const unsigned char norbeck_OFFICIAL_ROOTKEY[NORBECK_LEN_ROOTKEY];

// *piEqual = 1 when the iLen bytes match, else 0. Always 0.
int norbeck_CompareByteArrays(const unsigned char* pucA, const unsigned char* pucB, int iLen, int* piEqual,
                              char* cErrMsg);
// The type of the root key the phone holds: norbeck_ROOTKEY_FIELDTEST or
// norbeck_ROOTKEY_OFFICIAL, else norbeck_ROOTKEY_OTHER (any other key, no
// key, or a failed read). Traced; writes no error text.
int norbeck_TypeOfRootKeyInPhone(int sesMobile);
