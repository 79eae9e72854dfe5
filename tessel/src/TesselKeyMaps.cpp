// Key map data of the phone models' keypads, by mapping id 1-11.
#include "TesselKeyMaps.h"

#include <iterator>

namespace {

// The twenty entries maps 1-6, 8, 9 and 11 start with.
constexpr TesselKeyEntry kCommonHead[] = {
    {0xE030, 82}, {0xE035, 83}, {0xE031, 84}, {0xE032, 85}, {0xE033, 132}, {0xE034, 133}, {0xE02F, 80},
    {0xE02E, 81}, {0xE021, 48}, {0xE022, 49}, {0xE023, 50}, {0xE024, 51},  {0xE025, 52},  {0xE026, 53},
    {0xE027, 54}, {0xE028, 55}, {0xE029, 56}, {0xE02A, 57}, {0xE02B, 42},  {0xE02C, 35},
};

// clang-format off
constexpr TesselKeyEntry kMap1[] = {{0x04BA, 9}, {0xE048, 8}, {0xE047, 6}, {0xE06D, 134}, {0xE037, 135}, {0xE036, 136},
                                    {0xE06C, 138}, {0xE04D, 140}};
constexpr TesselKeyEntry kMap2[] = {{0x04BA, 9}, {0xE048, 8}, {0xE047, 6}, {0xE06D, 134}, {0xE037, 135}, {0xE036, 136},
                                    {0xE049, 137}, {0xE06C, 138}, {0xE06B, 139}, {0xE04D, 140}};
constexpr TesselKeyEntry kMap4[] = {{0x04BA, 9}, {0xE048, 8}, {0xE047, 6}, {0xE06D, 134}, {0xE037, 135}, {0xE036, 136},
                                    {0xE049, 137}, {0xE06C, 138}, {0xE06B, 139}, {0xE038, 140}};
constexpr TesselKeyEntry kMap5[] = {{0xE03E, 8}, {0xE03D, 6}, {0xE03F, 9}, {0xE040, 10}, {0xE06D, 134}, {0xE037, 135},
                                    {0xE036, 136}, {0xE06C, 139}, {0xE049, 137}};
constexpr TesselKeyEntry kMap6[] = {{0xE03E, 8}, {0xE03D, 6}, {0xE070, 9}, {0xE071, 10}, {0xE06D, 134}, {0xE06F, 135},
                                    {0xE06E, 136}, {0xE06C, 139}, {0xE049, 137}};
// Maps 7 and 10 are whole maps with their own order.
constexpr TesselKeyEntry kMap7[] = {
    {0xE031, 84}, {0xE032, 85}, {0xE034, 132}, {0xE033, 133}, {0xE035, 83}, {0xE02E, 81}, {0xE02F, 80},
    {0xE021, 48}, {0xE022, 49}, {0xE023, 50}, {0xE024, 51}, {0xE025, 52}, {0xE026, 53}, {0xE027, 54},
    {0xE028, 55}, {0xE029, 56}, {0xE02A, 57}, {0xE02B, 42}, {0xE02C, 35}, {0xE030, 82}, {0xE06D, 134},
    {0xE037, 135}, {0xE036, 136}, {0xE071, 139}, {0xE010, 163}, {0xE06C, 161}};
constexpr TesselKeyEntry kMap8[] = {{0xE06E, 8}, {0xE06F, 6}, {0xE070, 9}, {0xE071, 10}, {0xE06D, 134}, {0xE037, 135},
                                    {0xE036, 136}, {0xE06C, 139}, {0xE049, 137}};
constexpr TesselKeyEntry kMap9[] = {{0xE048, 8}, {0xE047, 6}, {0xE038, 134}, {0xE037, 135}, {0xE036, 136}, {0xE06B, 139}};
constexpr TesselKeyEntry kMap10[] = {
    {0xE031, 84}, {0xE032, 85}, {0xE033, 132}, {0xE034, 133}, {0xE035, 83}, {0xE02E, 81}, {0xE02F, 80},
    {0xE021, 48}, {0xE022, 49}, {0xE023, 50}, {0xE024, 51}, {0xE025, 52}, {0xE026, 53}, {0xE027, 54},
    {0xE028, 55}, {0xE029, 56}, {0xE02A, 57}, {0xE02B, 42}, {0xE02C, 35}, {0xE030, 82}, {0xE06D, 134},
    {0xE037, 135}, {0xE036, 136}, {0xE06B, 139}, {0xE06E, 163}, {0xE06C, 161}};
constexpr TesselKeyEntry kMap11[] = {{0xE048, 8}, {0xE047, 6}, {0xE06B, 139}, {0xE037, 135}, {0xE036, 136}, {0xE06C, 138},
                                     {0xE06D, 134}, {0xE06E, 192}, {0xE06F, 193}, {0xE070, 194}};
// clang-format on

constexpr std::uint16_t kSsid = 6002;

#define TESSEL_KEY_MAP(head, entries, ssid) {head, entries, std::size(entries), ssid}
const TesselKeyMap kMaps[11] = {
    TESSEL_KEY_MAP(true, kMap1, 0),      TESSEL_KEY_MAP(true, kMap2, kSsid),   TESSEL_KEY_MAP(true, kMap1, kSsid),
    TESSEL_KEY_MAP(true, kMap4, kSsid),  TESSEL_KEY_MAP(true, kMap5, kSsid),   TESSEL_KEY_MAP(true, kMap6, kSsid),
    TESSEL_KEY_MAP(false, kMap7, kSsid), TESSEL_KEY_MAP(true, kMap8, kSsid),   TESSEL_KEY_MAP(true, kMap9, kSsid),
    TESSEL_KEY_MAP(false, kMap10, kSsid), TESSEL_KEY_MAP(true, kMap11, kSsid),
};
#undef TESSEL_KEY_MAP

} // namespace

const TesselKeyMap* TesselKeyMapOf(int eKeyMapping) {
    return eKeyMapping >= 1 && eKeyMapping <= static_cast<int>(std::size(kMaps)) ? &kMaps[eKeyMapping - 1] : nullptr;
}

std::size_t TesselKeyMapEntries(const TesselKeyMap& map, TesselKeyEntry* pEntries, std::size_t room) {
    std::size_t n = 0;
    auto add = [&](const TesselKeyEntry& e) {
        if (n < room) pEntries[n] = e;
        ++n;
    };
    if (map.bCommonHead)
        for (const TesselKeyEntry& e : kCommonHead) add(e);
    for (std::size_t i = 0; i < map.count; ++i) add(map.pTail[i]);
    return n;
}
