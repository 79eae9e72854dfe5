// NV items of the phone's identity and its flags: IMEI, Bluetooth address,
// device serial number, FTM, battery fake and air security flags, auto answer.
#include "TesselFctsNv.h"

#include <cctype>
#include <cstring>

namespace {

using namespace nv;

constexpr unsigned short kNvImei = 550;
constexpr int kImeiLength = 9;
constexpr int kImeiDigits = 15;
constexpr unsigned short kNvBdAddr = 447;
constexpr int kBdAddrDigits = 12;
constexpr unsigned short kNvFtmMode = 453;
constexpr unsigned short kNvDeviceSerial = 2824;
constexpr unsigned short kNvBatteryFake = 3323;
constexpr unsigned short kNvAirSecurity = 2985;
constexpr unsigned short kNvAutoAnswer = 74;

// True for exactly 15 decimal digits; reads no more than 16 characters.
bool isImeiText(const char* szImei) {
    if (strnlen(szImei, kImeiDigits + 1) != kImeiDigits) return false;
    for (int i = 0; i < kImeiDigits; ++i)
        if (szImei[i] < '0' || szImei[i] > '9') return false;
    return true;
}

// The 9-byte form: 0x08, then the first digit in the high nibble over 0xA,
// then two digits a byte with the earlier one in the low nibble.
std::vector<unsigned char> packImei(const char* szImei) {
    auto d = [&](int i) { return static_cast<unsigned char>((szImei[i] - '0') & 0x0F); };
    std::vector<unsigned char> v(kImeiLength);
    v[0] = 0x08;
    v[1] = static_cast<unsigned char>(d(0) << 4 | 0x0A);
    for (int i = 2; i < kImeiLength; ++i)
        v[i] = static_cast<unsigned char>(d(2 * i - 3) | d(2 * i - 2) << 4);
    return v;
}

void unpackImei(const unsigned char* p, char* szImei) {
    szImei[0] = static_cast<char>(p[1] >> 4 | 0x30);
    for (int i = 2; i < kImeiLength; ++i) {
        szImei[2 * i - 3] = static_cast<char>((p[i] & 0x0F) | 0x30);
        szImei[2 * i - 2] = static_cast<char>(p[i] >> 4 | 0x30);
    }
    szImei[kImeiDigits] = '\0';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    return std::toupper(static_cast<unsigned char>(c)) - 'A' + 10;
}

// A flag written and read back; any non-zero flag is stored as 1.
int setFlag(int iSession, const char* cName, const char* cArgName, unsigned short bFlag, unsigned short usItem,
            const char* cFile, int iLine) {
    const unsigned char ucValue = bFlag ? 1 : 0;
    return exportFrame(iSession, cName, cFile, iLine, true, format("%s=%d", cArgName, bFlag),
                       [&](const Call& call) {
                           return call.run({writeU8(usItem, ucValue), readBack(usItem, {ucValue})}, OnFailure::Stop);
                       });
}

// A flag read as 0 or 1; any other stored byte fails and leaves the output.
int getFlag(int iSession, const char* cName, const char* cArgName, unsigned short* pbFlag, unsigned short usItem,
            const char* cFile, int iLine) {
    return exportFrame(
        iSession, cName, cFile, iLine, pbFlag != nullptr, "",
        [&](const Call& call) {
            int iByte = -1;
            const int iStatus =
                call.run({read(usItem, 1, [&](const unsigned char* p) { iByte = p[0]; })}, OnFailure::Stop);
            if (iStatus != 0 || iByte > 1) return TESSEL_ERROR_LIBRARY;
            *pbFlag = static_cast<unsigned short>(iByte);
            return 0;
        },
        [&] { return format("*%s=%d", cArgName, *pbFlag); });
}

} // namespace

int _Tessel_NvReadImei(int iSession, char* szImei, const char* cFile, int iLine) {
    return exportFrame(
        iSession, __func__, cFile, iLine, szImei != nullptr, "",
        [&](const Call& call) {
            return call.run({read(kNvImei, kImeiLength, [&](const unsigned char* p) { unpackImei(p, szImei); })},
                            OnFailure::Stop);
        },
        [&] { return format("szImei=%s", szImei); }, [&] { std::memset(szImei, 0, TESSEL_IMEI_TEXT_MAX); });
}

int _Tessel_NvWriteImei(int iSession, const char* szImei, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, szImei != nullptr, format("szImei=%.16s", szImei ? szImei : ""),
                       [&](const Call& call) {
                           if (!isImeiText(szImei)) return TESSEL_ERROR_LIBRARY;
                           const std::vector<unsigned char> vImei = packImei(szImei);
                           return call.run({write(kNvImei, vImei), readBack(kNvImei, vImei)}, OnFailure::Stop);
                       });
}

int _Tessel_NvReadBDAddr(int iSession, char* szBDAddr, const char* cFile, int iLine) {
    return exportFrame(
        iSession, __func__, cFile, iLine, szBDAddr != nullptr, "",
        [&](const Call& call) {
            return call.run({read(kNvBdAddr, TESSEL_BD_ADDR_LENGTH,
                                  [&](const unsigned char* p) {
                                      std::snprintf(szBDAddr, TESSEL_BD_ADDR_TEXT_MAX, "%02X%02X%02X%02X%02X%02X", p[5],
                                                    p[4], p[3], p[2], p[1], p[0]);
                                  })},
                            OnFailure::Stop);
        },
        [&] { return format("szBDAddr=%s", szBDAddr); }, [&] { szBDAddr[0] = '\0'; });
}

int _Tessel_NvWriteBDAddr(int iSession, char* szBDAddr, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, szBDAddr != nullptr,
                       format("szBDAddr=%.12s", szBDAddr ? szBDAddr : ""), [&](const Call& call) {
                           // Twelve hex digits, or nothing reaches the item.
                           if (strnlen(szBDAddr, kBdAddrDigits) < static_cast<std::size_t>(kBdAddrDigits))
                               return TESSEL_ERROR_LIBRARY;
                           for (int i = 0; i < kBdAddrDigits; ++i)
                               if (!std::isxdigit(static_cast<unsigned char>(szBDAddr[i]))) return TESSEL_ERROR_LIBRARY;
                           for (char* c = szBDAddr; *c; ++c) *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
                           std::vector<unsigned char> vAddr(TESSEL_BD_ADDR_LENGTH);
                           for (int i = 0; i < TESSEL_BD_ADDR_LENGTH; ++i) {
                               const int iPos = 10 - 2 * i;  // byte 0 holds the text's last pair
                               vAddr[i] = static_cast<unsigned char>(hexValue(szBDAddr[iPos]) << 4 |
                                                                     hexValue(szBDAddr[iPos + 1]));
                           }
                           return call.run({write(kNvBdAddr, vAddr)}, OnFailure::GoOn);
                       });
}

int _Tessel_NvWriteRawBDAddr(int iSession, const unsigned char* pBDAddr, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, pBDAddr != nullptr, "", [&](const Call& call) {
        return call.run({writeBytes(kNvBdAddr, pBDAddr, TESSEL_BD_ADDR_LENGTH)}, OnFailure::GoOn);
    });
}

int _Tessel_NvReadDSN(int iSession, unsigned char* pDSN, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, pDSN != nullptr, "", [&](const Call& call) {
        return call.run({readInto(kNvDeviceSerial, TESSEL_DSN_LENGTH, pDSN)}, OnFailure::GoOn);
    });
}

int _Tessel_NvWriteDSN(int iSession, const unsigned char* pDSN, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, pDSN != nullptr, "", [&](const Call& call) {
        return call.run({writeBytes(kNvDeviceSerial, pDSN, TESSEL_DSN_LENGTH)}, OnFailure::GoOn);
    });
}

int _Tessel_NvSetFtmFlag(int iSession, unsigned short bFtmFlag, const char* cFile, int iLine) {
    return setFlag(iSession, __func__, "bFtmFlag", bFtmFlag, kNvFtmMode, cFile, iLine);
}
int _Tessel_NvSetBatteryFakeFlag(int iSession, unsigned short bFakeFlag, const char* cFile, int iLine) {
    return setFlag(iSession, __func__, "bFakeFlag", bFakeFlag, kNvBatteryFake, cFile, iLine);
}
int _Tessel_NvGetBatteryFakeFlag(int iSession, unsigned short* bFakeFlag, const char* cFile, int iLine) {
    return getFlag(iSession, __func__, "bFakeFlag", bFakeFlag, kNvBatteryFake, cFile, iLine);
}
int _Tessel_NvSetAirSecurityFlag(int iSession, unsigned short bAirSecurityFlag, const char* cFile, int iLine) {
    return setFlag(iSession, __func__, "bAirSecurityFlag", bAirSecurityFlag, kNvAirSecurity, cFile, iLine);
}
int _Tessel_NvGetAirSecurityFlag(int iSession, unsigned short* bAirSecurityFlag, const char* cFile, int iLine) {
    return getFlag(iSession, __func__, "bAirSecurityFlag", bAirSecurityFlag, kNvAirSecurity, cFile, iLine);
}

int _Tessel_NvSetAutoAnswerStatus(int iSession, unsigned short bActivateAA, const char* cFile, int iLine) {
    return exportFrame(iSession, __func__, cFile, iLine, true, format("bActivateAA=%d", bActivateAA),
                       [&](const Call& call) {
                           return call.run({writeU8(kNvAutoAnswer, bActivateAA == 1 ? 1 : 0)}, OnFailure::GoOn);
                       });
}
