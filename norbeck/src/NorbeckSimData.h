// The SIM-data request the driver sends to the database's coder, the answer
// it gets back, and the 512-byte SIM secure-data block assembled from it.
#pragma once

#include "NorbeckModule.h"
#include "cvi_util.h"
#include "pellin.h"

#include <cstddef>
#include <cstdint>

// Request: built by the driver, read by pellin_GetSimDataFromCoder.
struct sSimDataRequest {
    std::int32_t iVersion;          // 1
    char cText1[45];                // the caller's first text (at most 44 characters)
    char cText2[45];                // the caller's second text (at most 44 characters)
    char cText3[32];                // the caller's third text (at most 31 characters)
    char cImei[32];                 // the phone's IMEI as read from it
    unsigned char ucDsn[4];         // bytes 0..3 of the phone's device serial number
    std::uint16_t usiField1;        // 1
    std::uint16_t usiField2;        // 1
    std::uint8_t ucField3;          // 3
    std::uint8_t ucUnused;
};
static_assert(sizeof(sSimDataRequest) == PELLIN_SIMDATA_REQUEST_SIZE);
static_assert(offsetof(sSimDataRequest, iVersion) == 0);
static_assert(offsetof(sSimDataRequest, cText1) == 4);
static_assert(offsetof(sSimDataRequest, cText2) == 49);
static_assert(offsetof(sSimDataRequest, cText3) == 94);
static_assert(offsetof(sSimDataRequest, cImei) == 126);
static_assert(offsetof(sSimDataRequest, ucDsn) == 158);
static_assert(offsetof(sSimDataRequest, usiField1) == 162);
static_assert(offsetof(sSimDataRequest, usiField2) == 164);
static_assert(offsetof(sSimDataRequest, ucField3) == 166);
static_assert(offsetof(sSimDataRequest, ucUnused) == 167);

constexpr int norbeck_LEN_ENC_BL1 = 224;
constexpr int norbeck_LEN_ENC_BL2 = 232;
constexpr int norbeck_LEN_ACCESS_BL1 = 56;
constexpr int norbeck_LEN_BTID = 6;
constexpr int norbeck_LEN_SIM_SECURE_DATA = norbeck_LEN_ENC_BL1 + norbeck_LEN_ENC_BL2 + norbeck_LEN_ACCESS_BL1;

// Answer: filled by pellin_GetSimDataFromCoder; the driver reads only the
// blocks and the Bluetooth id, the other bytes are the coder's.
struct sSimDataAnswer {
    std::int32_t iVersion;  // 1, set before the call
    unsigned char ucCoder1[20];
    unsigned char ucEncBl1[norbeck_LEN_ENC_BL1];
    unsigned char ucEncBl2[norbeck_LEN_ENC_BL2];
    unsigned char ucCoder2[46];
    unsigned char ucAccessBl1[norbeck_LEN_ACCESS_BL1];
    unsigned char ucCoder3[10];
    unsigned char ucBtId[norbeck_LEN_BTID];  // in the order of the phone's Bluetooth address item
    unsigned char ucCoder4[2];
};
static_assert(sizeof(sSimDataAnswer) == PELLIN_SIMDATA_ANSWER_SIZE);
static_assert(offsetof(sSimDataAnswer, ucEncBl1) == 24);
static_assert(offsetof(sSimDataAnswer, ucEncBl2) == 248);
static_assert(offsetof(sSimDataAnswer, ucAccessBl1) == 526);
static_assert(offsetof(sSimDataAnswer, ucBtId) == 592);
static_assert(norbeck_LEN_SIM_SECURE_DATA == 512);

// Application id of the SIM secure data and the secure device info: 16 zero bytes.
constexpr int norbeck_LEN_APP_ID = 16;
extern const unsigned char norbeck_APP_ID[norbeck_LEN_APP_ID];

// Writes a Bluetooth id (NV order) unless it is all zeros or the phone
// already has an address. 0 or -1 (with the failure trace).
int norbeck_WriteBID(int sesMobile, const unsigned char* pucBluetoothIdFromMero, int iLen, char* cErrMsg);
// Assembles the SIM secure-data block from the answer: encrypted block 1,
// encrypted block 2, access block 1. 0, or -1 when the block is too small.
int norbeck_SetSimSecureData(const sSimDataAnswer* psAnswer, unsigned char* pucSIM_SecureData,
                             int iLenSIM_SecureDataArray, char* cErrMsg);
// Up to iTries calls of a phone command; a failed one is followed by a
// one-second wait (also the last). The last call's status.
template <class F>
int norbeck_Tries(int iTries, F call) {
    int iStatus = -1;
    for (int i = 0; i < iTries; ++i) {
        iStatus = call();
        if (iStatus == 0) break;
        Delay(1.0);
    }
    return iStatus;
}
