// The IMEI as the phone stores it: NV item 550, 9 bytes of packed decimal.
#pragma once

namespace kavor {

constexpr unsigned short kNvImei = 550;
constexpr int kImeiDigits = 15;
constexpr int kImeiPackedLength = 9;

// Whether the text starts with 15 decimal digits (at most 15 bytes are read;
// a NUL before the 15th ends it and refuses it).
bool isImeiText(const char* pcImei);
// Packs 15 digit characters: byte 0 = 8, byte 1 = first digit in the high
// nibble over 0x0A, then two digits per byte, the earlier in the low nibble.
void packImei(const char* pcDigits, unsigned char* pucPacked);
// The 15 digits of a packed IMEI and a terminating zero (16 bytes).
void unpackImei(const unsigned char* pucPacked, char* pcDigits);

} // namespace kavor
