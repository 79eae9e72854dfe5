// The key maps that _Tessel_SpecialSetKeypadMapping loads, by mapping id.
#pragma once

#include <cstddef>
#include <cstdint>

struct TesselKeyEntry {
    std::uint16_t iHwId;  // hardware key id
    std::uint8_t iSwId;   // software key id
};

struct TesselKeyMap {
    bool bCommonHead;             // the twenty common entries come first
    const TesselKeyEntry* pTail;  // then these
    std::size_t count;
    std::uint16_t iSsid;          // subsystem id of the key-detect messages
};

constexpr std::size_t kTesselKeyMapMax = 30;  // entries of the longest map

// The map of eKeyMapping (1-11), or null.
const TesselKeyMap* TesselKeyMapOf(int eKeyMapping);
// Writes the map's entries in order (at most room) and gives their number.
std::size_t TesselKeyMapEntries(const TesselKeyMap& map, TesselKeyEntry* pEntries, std::size_t room);
