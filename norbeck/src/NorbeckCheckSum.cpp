// The exclusive-or checksum of a byte array (public keys are checked by it).
#include "NorbeckModule.h"

int norbeck_ComputeCheckSum(const unsigned char* pucData, int iLen, unsigned int* puiCheckSum, char* cErrMsg) {
    return norbeck_Guard(nullptr, [&] {
        norbeck_Trace("norbeck_ComputeCheckSum(%d)...", iLen);
        if (!puiCheckSum) return -1;
        unsigned int uiCheckSum = 0;
        for (int i = 0; pucData && i < iLen; ++i) uiCheckSum ^= pucData[i];
        *puiCheckSum = uiCheckSum;
        norbeck_Trace("(*puiCheckSum) = 0x%x", *puiCheckSum);
        return 0;
    });
}
