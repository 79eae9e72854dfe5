// The keypad maps loaded into the phone and the look at its key queue.
#include "procedures_fixture.h"
#include "qmsl_keypress_sim.h"

namespace {

using Pairs = std::vector<std::pair<std::uint16_t, std::uint8_t>>;

Pairs cat(Pairs a, const Pairs& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The common head of maps 1-7, 10 and 11.
const Pairs kHead{{0xE030, 82},  {0xE035, 83},  {0xE031, 84},  {0xE032, 85}, {0xE033, 132}, {0xE034, 133}, {0xE02F, 80},
                  {0xE02E, 81},  {0xE021, 48},  {0xE022, 49},  {0xE023, 50}, {0xE024, 51},  {0xE025, 52},  {0xE026, 53},
                  {0xE027, 54},  {0xE028, 55},  {0xE029, 56},  {0xE02A, 57}, {0xE02B, 42},  {0xE02C, 35}};
const Pairs kDigits{{0xE021, 48}, {0xE022, 49}, {0xE023, 50}, {0xE024, 51}, {0xE025, 52},
                    {0xE026, 53}, {0xE027, 54}, {0xE028, 55}, {0xE029, 56}, {0xE02A, 57}};

struct MapCase {
    const char* name;
    unsigned char id;
    std::uint16_t ssid;
    Pairs pairs;
};
void PrintTo(const MapCase& c, std::ostream* os) { *os << c.name; }

const Pairs kMap1 = cat(kHead, {{0x04BA, 9}, {0xE048, 8}, {0xE047, 6}, {0xE06D, 134}, {0xE037, 135}, {0xE036, 136},
                                {0xE06C, 138}, {0xE04D, 140}});
const Pairs kMap8 = cat(cat({{0xE031, 84}, {0xE032, 85}, {0xE034, 132}, {0xE033, 133}, {0xE035, 83}, {0xE02E, 81},
                             {0xE02F, 80}},
                            kDigits),
                        {{0xE02B, 42}, {0xE02C, 35}, {0xE030, 82}, {0xE06D, 134}, {0xE037, 135}, {0xE036, 136},
                         {0xE071, 139}, {0xE010, 163}, {0xE06C, 161}});
const Pairs kMap9 = cat(cat({{0xE031, 84}, {0xE032, 85}, {0xE033, 132}, {0xE034, 133}, {0xE035, 83}, {0xE02E, 81},
                             {0xE02F, 80}},
                            kDigits),
                        {{0xE02B, 42}, {0xE02C, 35}, {0xE030, 82}, {0xE06D, 134}, {0xE037, 135}, {0xE036, 136},
                         {0xE06B, 139}, {0xE06E, 163}, {0xE06C, 161}});

const MapCase kMaps[] = {
    {"Map1", 1, 0, kMap1},
    {"Map2", 2, 6002,
     cat(kHead, {{0x04BA, 9}, {0xE048, 8}, {0xE047, 6}, {0xE06D, 134}, {0xE037, 135}, {0xE036, 136}, {0xE049, 137},
                 {0xE06C, 138}, {0xE06B, 139}, {0xE04D, 140}})},
    {"Map3", 3, 6002, kMap1},
    {"Map4", 4, 6002,
     cat(kHead, {{0x04BA, 9}, {0xE048, 8}, {0xE047, 6}, {0xE06D, 134}, {0xE037, 135}, {0xE036, 136}, {0xE049, 137},
                 {0xE06C, 138}, {0xE06B, 139}, {0xE038, 140}})},
    {"Map5", 5, 6002,
     cat(kHead, {{0xE03E, 8}, {0xE03D, 6}, {0xE03F, 9}, {0xE040, 10}, {0xE06D, 134}, {0xE037, 135}, {0xE036, 136},
                 {0xE06C, 139}, {0xE049, 137}})},
    {"Map6", 6, 6002,
     cat(kHead, {{0xE03E, 8}, {0xE03D, 6}, {0xE070, 9}, {0xE071, 10}, {0xE06D, 134}, {0xE06F, 135}, {0xE06E, 136},
                 {0xE06C, 139}, {0xE049, 137}})},
    {"Map7", 7, 6002,
     cat(kHead, {{0xE06E, 8}, {0xE06F, 6}, {0xE070, 9}, {0xE071, 10}, {0xE06D, 134}, {0xE037, 135}, {0xE036, 136},
                 {0xE06C, 139}, {0xE049, 137}})},
    {"Map8", 8, 6002, kMap8},
    {"Map9", 9, 6002, kMap9},
    {"Map10", 10, 6002,
     cat(kHead, {{0xE048, 8}, {0xE047, 6}, {0xE038, 134}, {0xE037, 135}, {0xE036, 136}, {0xE06B, 139}})},
    {"Map11", 11, 6002,
     cat(kHead, {{0xE048, 8}, {0xE047, 6}, {0xE06B, 139}, {0xE037, 135}, {0xE036, 136}, {0xE06C, 138}, {0xE06D, 134},
                 {0xE06E, 192}, {0xE06F, 193}, {0xE070, 194}})},
};

class Keypad : public ProcedureTest {
protected:
    qmsl_sim::Keypad& keys() { return qmsl_sim::keypad(phone()); }
};

class KeypadMaps : public Keypad, public ::testing::WithParamInterface<MapCase> {};

TEST_P(KeypadMaps, LoadEveryEntryInOrder) {
    const MapCase& c = GetParam();
    keys().map = {{1, 2}};  // what the phone had before
    EXPECT_EQ(KAVOR_SpecialSetKeypadMapping(h, c.id), 1);
    EXPECT_EQ(keys().map, c.pairs);
    ASSERT_TRUE(keys().detect.has_value());
    EXPECT_EQ(*keys().detect, (qmsl_sim::KeyDetect{"AEEKey_RemovePressed: ", "AEEKey_AddPressed: ", c.ssid, 8}));
    EXPECT_EQ(log().back(), "\tQLIB_DIAG_KeyPress_ConfigureKeyDetect(sKeyUpString = AEEKey_RemovePressed: , "
                            "sKeyDownString = AEEKey_AddPressed: , iSSID = " +
                                std::to_string(c.ssid) + ", iRT_MASK = 8) - Completed successfully\n");
}

INSTANTIATE_TEST_SUITE_P(Ids, KeypadMaps, ::testing::ValuesIn(kMaps),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(KeypadMapSizes, AsTheLayoutsList) {
    const std::size_t sizes[] = {28, 30, 28, 30, 29, 29, 29, 26, 26, 26, 30};
    for (std::size_t i = 0; i < std::size(kMaps); ++i) EXPECT_EQ(kMaps[i].pairs.size(), sizes[i]) << kMaps[i].name;
}

class KeypadWrongId : public Keypad, public ::testing::WithParamInterface<int> {};

TEST_P(KeypadWrongId, LeavesThePhonesMapAsItWas) {
    keys().map = {{0xE030, 82}};
    EXPECT_EQ(KAVOR_SpecialSetKeypadMapping(h, static_cast<unsigned char>(GetParam())), 0);
    EXPECT_EQ(keys().map, (Pairs{{0xE030, 82}}));
    EXPECT_FALSE(keys().detect.has_value());
    EXPECT_EQ(phone().count("QLIB_DIAG_KeyPress_ClearMap"), 0u);
    EXPECT_EQ(log().back(), "\tWrong mapping ID specified - Failure\n");
}

INSTANTIATE_TEST_SUITE_P(Ids, KeypadWrongId, ::testing::Values(0, 12, 255),
                         [](const auto& info) { return "Id" + std::to_string(info.param); });

TEST_F(Keypad, EntryLinesShowTheSoftwareIdAsACharacter) {
    EXPECT_EQ(KAVOR_SpecialSetKeypadMapping(h, 1), 1);
    EXPECT_TRUE(logged("\t\tQLIB_DIAG_KeyPress_ClearMap() start"));
    EXPECT_TRUE(logged("\tQLIB_DIAG_KeyPress_ClearMap() - Completed successfully\n"));
    EXPECT_TRUE(logged("\tQLIB_DIAG_KeyPress_AddMapEntry(iHW_ID = 57392, iKeyPressSW_ID = R) - Completed successfully\n"));
    EXPECT_EQ(countLogged("\t\tQLIB_DIAG_KeyPress_AddMapEntry() start"), 28u);
}

TEST_F(Keypad, AFailedEntryEndsTheLoad) {
    int entries = 0;
    phone().set_handler("QLIB_DIAG_KeyPress_AddMapEntry", [&](qmsl_sim::Phone&, const qmsl_sim::Call&) { return ++entries != 3; });
    EXPECT_EQ(KAVOR_SpecialSetKeypadMapping(h, 2), 0);
    EXPECT_EQ(entries, 3);
    EXPECT_EQ(log().back(), "\tQLIB_DIAG_KeyPress_AddMapEntry(iHW_ID = 57393, iKeyPressSW_ID = T) - Failure\n");
    EXPECT_EQ(phone().count("QLIB_DIAG_KeyPress_ConfigureKeyDetect"), 0u);
}

TEST_F(Keypad, AFailedClearOrDetectFails) {
    phone().inject("QLIB_DIAG_KeyPress_ClearMap", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(KAVOR_SpecialSetKeypadMapping(h, 1), 0);
    EXPECT_EQ(log().back(), "\tQLIB_DIAG_KeyPress_ClearMap() - Failure\n");
    EXPECT_EQ(phone().count("QLIB_DIAG_KeyPress_AddMapEntry"), 0u);
    phone().inject("QLIB_DIAG_KeyPress_ConfigureKeyDetect", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(KAVOR_SpecialSetKeypadMapping(h, 1), 0);
    EXPECT_EQ(keys().map.size(), 28u);
}

TEST_F(Keypad, MappingChecksTheHandleFirst) {
    phone().set_power(qmsl_sim::Power::Off);
    EXPECT_EQ(KAVOR_SpecialSetKeypadMapping(h, 1), 0);
    EXPECT_EQ(log(), std::vector<std::string>{"\tInvalid handle - Failure\n"});
}

// --- key queue ---------------------------------------------------------------------------

TEST_F(Keypad, TestKeypadTakesTheOldestEvent) {
    keys().queue = {{48, 1}, {48, 0}};
    int size = -1;
    unsigned short id = 0;
    unsigned char event = 9;
    EXPECT_EQ(KAVOR_TestKeypad(h, &size, &id, &event), 1);
    EXPECT_EQ(size, 2);
    EXPECT_EQ(id, 48);
    EXPECT_EQ(event, 1);
    EXPECT_EQ(keys().queue.size(), 1u);
    EXPECT_EQ(log(), (std::vector<std::string>{
                         "\t\tQLIB_DIAG_KeyPress_GetQueueSize() start",
                         "\tQLIB_DIAG_KeyPress_GetQueueSize(piKeypressQueueSize = 2) - Completed successfully\n",
                         "\t\tQLIB_DIAG_KeyPress_GetNextKeyEvent() start",
                         "\tQLIB_DIAG_KeyPress_GetNextKeyEvent(piKeyPressID = 48, piKeyPressEvent = 1) - Completed successfully\n"}));
}

TEST_F(Keypad, TestKeypadOnAnEmptyQueue) {
    int size = -1;
    unsigned short id = 7;
    unsigned char event = 9;
    EXPECT_EQ(KAVOR_TestKeypad(h, &size, &id, &event), 1);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(event, 0);
    EXPECT_EQ(phone().count("QLIB_DIAG_KeyPress_GetNextKeyEvent"), 0u);
}

struct QueueFault {
    const char* name;
    const char* fn;
    const char* line;
};
void PrintTo(const QueueFault& c, std::ostream* os) { *os << c.name; }

class TestKeypadFault : public Keypad, public ::testing::WithParamInterface<QueueFault> {};

TEST_P(TestKeypadFault, EndsAtTheFailedCall) {
    keys().queue = {{50, 1}};
    phone().inject(GetParam().fn, {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    int size = 0;
    unsigned short id = 0;
    unsigned char event = 0;
    EXPECT_EQ(KAVOR_TestKeypad(h, &size, &id, &event), 0);
    EXPECT_EQ(log().back(), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, TestKeypadFault,
    ::testing::Values(QueueFault{"QueueSize", "QLIB_DIAG_KeyPress_GetQueueSize",
                                 "\tQLIB_DIAG_KeyPress_GetQueueSize(piKeypressQueueSize = 0) - Failure\n"},
                      QueueFault{"NextEvent", "QLIB_DIAG_KeyPress_GetNextKeyEvent",
                                 "\tQLIB_DIAG_KeyPress_GetNextKeyEvent(piKeyPressID = 0, piKeyPressEvent = 0) - Failure\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Keypad, TestKeypadChecksTheHandleFirst) {
    phone().set_power(qmsl_sim::Power::Off);
    int size = 0;
    unsigned short id = 0;
    unsigned char event = 0;
    EXPECT_EQ(KAVOR_TestKeypad(h, &size, &id, &event), 0);
    EXPECT_EQ(log(), std::vector<std::string>{"\tInvalid handle - Failure\n"});
}

} // namespace
