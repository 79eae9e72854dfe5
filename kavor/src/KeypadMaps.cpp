// Key map data of the keypad layouts.
#include "KeypadMaps.h"

#include <iterator>

namespace kavor {

const KeyPair kCommonKeys[20] = {
    {0xE030, 82}, {0xE035, 83}, {0xE031, 84}, {0xE032, 85}, {0xE033, 132}, {0xE034, 133}, {0xE02F, 80},
    {0xE02E, 81}, {0xE021, 48}, {0xE022, 49}, {0xE023, 50}, {0xE024, 51},  {0xE025, 52},  {0xE026, 53},
    {0xE027, 54}, {0xE028, 55}, {0xE029, 56}, {0xE02A, 57}, {0xE02B, 42},  {0xE02C, 35},
};

namespace {

// clang-format off
constexpr KeyPair kMap1[] = {{0x04BA, 9}, {0xE048, 8}, {0xE047, 6}, {0xE06D, 134}, {0xE037, 135}, {0xE036, 136},
                             {0xE06C, 138}, {0xE04D, 140}};
constexpr KeyPair kMap2[] = {{0x04BA, 9}, {0xE048, 8}, {0xE047, 6}, {0xE06D, 134}, {0xE037, 135}, {0xE036, 136},
                             {0xE049, 137}, {0xE06C, 138}, {0xE06B, 139}, {0xE04D, 140}};
constexpr KeyPair kMap4[] = {{0x04BA, 9}, {0xE048, 8}, {0xE047, 6}, {0xE06D, 134}, {0xE037, 135}, {0xE036, 136},
                             {0xE049, 137}, {0xE06C, 138}, {0xE06B, 139}, {0xE038, 140}};
constexpr KeyPair kMap5[] = {{0xE03E, 8}, {0xE03D, 6}, {0xE03F, 9}, {0xE040, 10}, {0xE06D, 134}, {0xE037, 135},
                             {0xE036, 136}, {0xE06C, 139}, {0xE049, 137}};
constexpr KeyPair kMap6[] = {{0xE03E, 8}, {0xE03D, 6}, {0xE070, 9}, {0xE071, 10}, {0xE06D, 134}, {0xE06F, 135},
                             {0xE06E, 136}, {0xE06C, 139}, {0xE049, 137}};
constexpr KeyPair kMap7[] = {{0xE06E, 8}, {0xE06F, 6}, {0xE070, 9}, {0xE071, 10}, {0xE06D, 134}, {0xE037, 135},
                             {0xE036, 136}, {0xE06C, 139}, {0xE049, 137}};
// Maps 8 and 9 are whole maps with their own order.
constexpr KeyPair kMap8[] = {
    {0xE031, 84}, {0xE032, 85}, {0xE034, 132}, {0xE033, 133}, {0xE035, 83}, {0xE02E, 81}, {0xE02F, 80},
    {0xE021, 48}, {0xE022, 49}, {0xE023, 50}, {0xE024, 51}, {0xE025, 52}, {0xE026, 53}, {0xE027, 54},
    {0xE028, 55}, {0xE029, 56}, {0xE02A, 57}, {0xE02B, 42}, {0xE02C, 35}, {0xE030, 82}, {0xE06D, 134},
    {0xE037, 135}, {0xE036, 136}, {0xE071, 139}, {0xE010, 163}, {0xE06C, 161}};
constexpr KeyPair kMap9[] = {
    {0xE031, 84}, {0xE032, 85}, {0xE033, 132}, {0xE034, 133}, {0xE035, 83}, {0xE02E, 81}, {0xE02F, 80},
    {0xE021, 48}, {0xE022, 49}, {0xE023, 50}, {0xE024, 51}, {0xE025, 52}, {0xE026, 53}, {0xE027, 54},
    {0xE028, 55}, {0xE029, 56}, {0xE02A, 57}, {0xE02B, 42}, {0xE02C, 35}, {0xE030, 82}, {0xE06D, 134},
    {0xE037, 135}, {0xE036, 136}, {0xE06B, 139}, {0xE06E, 163}, {0xE06C, 161}};
constexpr KeyPair kMap10[] = {{0xE048, 8}, {0xE047, 6}, {0xE038, 134}, {0xE037, 135}, {0xE036, 136}, {0xE06B, 139}};
constexpr KeyPair kMap11[] = {{0xE048, 8}, {0xE047, 6}, {0xE06B, 139}, {0xE037, 135}, {0xE036, 136}, {0xE06C, 138},
                              {0xE06D, 134}, {0xE06E, 192}, {0xE06F, 193}, {0xE070, 194}};
// clang-format on

constexpr std::uint16_t kSsid = 6002;

const KeypadMap kMaps[11] = {
    {true, kMap1, std::size(kMap1), 0},        {true, kMap2, std::size(kMap2), kSsid},
    {true, kMap1, std::size(kMap1), kSsid},    {true, kMap4, std::size(kMap4), kSsid},
    {true, kMap5, std::size(kMap5), kSsid},    {true, kMap6, std::size(kMap6), kSsid},
    {true, kMap7, std::size(kMap7), kSsid},    {false, kMap8, std::size(kMap8), kSsid},
    {false, kMap9, std::size(kMap9), kSsid},   {true, kMap10, std::size(kMap10), kSsid},
    {true, kMap11, std::size(kMap11), kSsid},
};

} // namespace

const KeypadMap* keypadMap(unsigned int iMappingId) {
    return iMappingId >= 1 && iMappingId <= std::size(kMaps) ? &kMaps[iMappingId - 1] : nullptr;
}

} // namespace kavor
