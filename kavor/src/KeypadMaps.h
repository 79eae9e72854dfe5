// The key maps of the keypad layouts, selected by mapping id 1-11: pairs of
// (hardware key code, software key id) in the order they are sent.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kavor {

struct KeyPair {
    std::uint16_t iHwId;
    std::uint8_t iSwId;
};

struct KeypadMap {
    bool bCommonHead;       // the common twenty pairs come first
    const KeyPair* pPairs;  // then these
    std::size_t count;
    std::uint16_t iSsid;    // subsystem id of the key-detect messages
};

inline constexpr const char* kKeyUpText = "AEEKey_RemovePressed: ";
inline constexpr const char* kKeyDownText = "AEEKey_AddPressed: ";
inline constexpr unsigned int kKeyDetectMask = 8;

// The map of a mapping id, or null for an id outside 1-11.
const KeypadMap* keypadMap(unsigned int iMappingId);
// The common head of the maps that have it.
extern const KeyPair kCommonKeys[20];

template <typename F>
void forEachKey(const KeypadMap& map, F f) {
    if (map.bCommonHead)
        for (const KeyPair& k : kCommonKeys) f(k);
    for (std::size_t i = 0; i < map.count; ++i) f(map.pPairs[i]);
}

} // namespace kavor
