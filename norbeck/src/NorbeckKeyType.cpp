// Which of the two stored public root keys a key, or the phone's key, is.
#include "NorbeckRootKeys.h"

#include "tessel.h"

int norbeck_CompareByteArrays(const unsigned char* pucA, const unsigned char* pucB, int iLen, int* piEqual,
                              char* /*cErrMsg*/) {
    norbeck_Trace("norbeck_CompareByteArrays() ...");
    *piEqual = 0;
    for (int i = 0; i < iLen; ++i)
        if (pucA[i] != pucB[i]) return 0;
    *piEqual = 1;
    return 0;
}

namespace {

struct StoredKey {
    int iType;
    const unsigned char* pucKey;
    const char* cLabel;
};
const StoredKey kStoredKeys[] = {{norbeck_ROOTKEY_FIELDTEST, norbeck_FIELDTEST_ROOTKEY, "B5_FIELDTEST"},
                                 {norbeck_ROOTKEY_OFFICIAL, norbeck_OFFICIAL_ROOTKEY, "B5_OFFICAL"}};

// The stored key that the NORBECK_LEN_ROOTKEY bytes are, or null.
const StoredKey* findStoredKey(const unsigned char* pucKey) {
    for (const StoredKey& key : kStoredKeys) {
        int iEqual = 0;
        norbeck_CompareByteArrays(pucKey, key.pucKey, NORBECK_LEN_ROOTKEY, &iEqual, nullptr);
        if (iEqual) return &key;
    }
    return nullptr;
}

// Reads the phone's root key; the phone-access status.
int readRootKey(int sesMobile, unsigned short* pusiKeyLen, unsigned char* pucKey) {
    return _Tessel_GsdidiagRootKeyReadCmd(sesMobile, pusiKeyLen, pucKey, NORBECK_POS);
}

} // namespace

int norbeck_GetTypeOfPublicKey(const unsigned char* pucPublicKey, int iLenPublicKey, int* piTypeOfPublicKey,
                               char* cErrMsg) {
    return norbeck_Guard(cErrMsg, [&] {
        norbeck_Trace("norbeck_GetTypeOfPublicKey(iLenPublicKey:%d)...", iLenPublicKey);
        if (!piTypeOfPublicKey) return norbeck_Fail(cErrMsg, "piTypeOfPublicKey NULL");
        *piTypeOfPublicKey = norbeck_ROOTKEY_OTHER;
        if (iLenPublicKey != NORBECK_LEN_ROOTKEY || !pucPublicKey)
            return norbeck_FailTraced(cErrMsg, "iLenPublicKey: %d not expected Len [%d]", iLenPublicKey,
                                      NORBECK_LEN_ROOTKEY);
        if (const StoredKey* key = findStoredKey(pucPublicKey)) {
            *piTypeOfPublicKey = key->iType;
            norbeck_Trace("(*piTypeOfPublicKey) = %d [%s]", *piTypeOfPublicKey, key->cLabel);
        }
        return 0;
    });
}

int norbeck_GetTypeOfPublicKeyFromMobile(int sesMobile, int* piTypeOfPublicKey, char* cErrMsg) {
    return norbeck_Guard(cErrMsg, [&] {
        norbeck_Trace("norbeck_GetTypeOfPublicKeyFromMobile(sesMobile:%d)...", sesMobile);
        if (!piTypeOfPublicKey) return norbeck_Fail(cErrMsg, "piTypeOfPublicKey NULL");
        *piTypeOfPublicKey = norbeck_ROOTKEY_OTHER;
        unsigned short usiKeyLen = 0;
        unsigned char ucKey[TESSEL_ROOT_KEY_MAX] = {};
        if (int iStatus = readRootKey(sesMobile, &usiKeyLen, ucKey))
            return norbeck_PhoneFailure(sesMobile, iStatus, cErrMsg);
        return norbeck_GetTypeOfPublicKey(ucKey, usiKeyLen, piTypeOfPublicKey, cErrMsg);
    });
}

int norbeck_TypeOfRootKeyInPhone(int sesMobile) {
    unsigned short usiKeyLen = 0;
    unsigned char ucKey[TESSEL_ROOT_KEY_MAX] = {};
    if (readRootKey(sesMobile, &usiKeyLen, ucKey) != 0) {
        norbeck_Trace("Tessel_GsdidiagRootKeyReadCmd() returns with error -> no root key known");
        return norbeck_ROOTKEY_OTHER;
    }
    const StoredKey* key = usiKeyLen == NORBECK_LEN_ROOTKEY ? findStoredKey(ucKey) : nullptr;
    const int iType = key ? key->iType : norbeck_ROOTKEY_OTHER;
    norbeck_Trace("root key in the phone: iLenPublicKey %d -> iTypeOfPublicKey %d [%s]", usiKeyLen, iType,
                  key ? key->cLabel : "no known key");
    return iType;
}
