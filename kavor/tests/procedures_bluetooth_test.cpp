// Bluetooth procedures: the device address from NV to its text and back to
// the module, the address text's reading, and the module's identity.
#include "procedure_calls_support.h"
#include "qmsl_bt_sim.h"
#include "qmsl_ext_ftm.h"

namespace {

using callstest::Bytes;
using callstest::SequenceTest;

TEST_F(SequenceTest, TestConnectTurnsTheNvAddressIntoItsTextAndBack) {
    phone().set_nv(447, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06});
    char text[KAVOR_BT_ADDRESS_TEXT_MAX];
    std::fill(std::begin(text), std::end(text), 'Z');
    EXPECT_EQ(KAVOR_BluetoothTestConnect(h, text), 1);
    EXPECT_EQ(std::string(text), "060504030201");
    const qmsl_sim::Bluetooth& bt = qmsl_sim::bluetooth(phone());
    EXPECT_EQ(bt.address, (Bytes{0x01, 0x02, 0x03, 0x04, 0x05, 0x06}));
    EXPECT_TRUE(bt.enabled);
    EXPECT_EQ(bt.hci_commands, (std::vector<Bytes>{{0x01, 0x1A, 0x0C, 0x01, 0x00}}));
    EXPECT_TRUE(logged("\tKAVOR_FtmBtSetAddr(szAddr = 060504030201) - Completed successfully\n"));
}

TEST_F(SequenceTest, TestConnectWritesUpperCaseDigitsHighNibbleFirst) {
    phone().set_nv(447, {0xAB, 0xCD, 0xEF, 0x10, 0x0F, 0xF0});
    char text[KAVOR_BT_ADDRESS_TEXT_MAX] = {};
    EXPECT_EQ(KAVOR_BluetoothTestConnect(h, text), 1);
    EXPECT_EQ(std::string(text), "F00F10EFCDAB");
    EXPECT_EQ(qmsl_sim::bluetooth(phone()).address, (Bytes{0xAB, 0xCD, 0xEF, 0x10, 0x0F, 0xF0}));
}

TEST_F(SequenceTest, TestConnectLeavesTheTextWhenTheNvReadFails) {
    char text[KAVOR_BT_ADDRESS_TEXT_MAX] = "unchanged";
    EXPECT_EQ(KAVOR_BluetoothTestConnect(h, text), 0);  // NV 447 never written
    EXPECT_EQ(std::string(text), "unchanged");
    EXPECT_FALSE(qmsl_sim::bluetooth(phone()).address.has_value());
}

struct AddressCase {
    const char* name;
    const char* text;
    Bytes bytes;                  // empty: refused
    const char* refusal = nullptr;  // the line of a refused text
};
void PrintTo(const AddressCase& c, std::ostream* os) { *os << c.name; }

const AddressCase kAddressCases[] = {
    {"LastPairIsByteZero", "060504030201", {0x01, 0x02, 0x03, 0x04, 0x05, 0x06}},
    {"LowerCaseDigits", "a1b2c3d4e5f6", {0xF6, 0xE5, 0xD4, 0xC3, 0xB2, 0xA1}},
    {"OnlyTheFirstTwelveCount", "0605040302017788", {0x01, 0x02, 0x03, 0x04, 0x05, 0x06}},
    {"ScannedWithLineEnd", "060504030201\n", {0x01, 0x02, 0x03, 0x04, 0x05, 0x06}},
    {"NoHexDigitAfterTwelveIgnored", "060504030201-Z", {0x01, 0x02, 0x03, 0x04, 0x05, 0x06}},
    {"NoHexDigitRefused", "0G0504030201", {}, "QLIB_FTM_BT_SetAddr(!isxdigit(szAddr[1]))"},
    {"BlankAmongTwelveRefused", "0605040302 1", {}, "QLIB_FTM_BT_SetAddr(!isxdigit(szAddr[10]))"},
    {"ElevenCharactersRefused", "06050403020", {}, "QLIB_FTM_BT_SetAddr(strlen(szAddr) < 12)"},
    {"EmptyRefused", "", {}, "QLIB_FTM_BT_SetAddr(strlen(szAddr) < 12)"},
};

class AddressText : public SequenceTest, public ::testing::WithParamInterface<AddressCase> {};

TEST_P(AddressText, GivesTheModuleItsBytes) {
    const AddressCase& c = GetParam();
    phone().clear_journal();
    const unsigned char expected = c.bytes.empty() ? 0 : 1;
    EXPECT_EQ(KAVOR_FtmBtSetAddr(h, c.text), expected);
    if (c.bytes.empty()) {
        // Refused before the phone is asked anything.
        EXPECT_TRUE(phone().journal.empty());
        EXPECT_EQ(log(), std::vector<std::string>{"\t" + std::string(c.refusal) + " - Failure\n"});
        return;
    }
    EXPECT_EQ(qmsl_sim::bluetooth(phone()).address, c.bytes);
    EXPECT_EQ(log().back(), "\tQLIB_FTM_BT_SetAddr(iAddr=" + std::string(c.text) + ") - Completed successfully\n");
}

INSTANTIATE_TEST_SUITE_P(Texts, AddressText, ::testing::ValuesIn(kAddressCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SequenceTest, NullAddressTextIsRefused) {
    EXPECT_EQ(KAVOR_FtmBtSetAddr(h, nullptr), 0);
    EXPECT_EQ(log(), std::vector<std::string>{"\tQLIB_FTM_BT_SetAddr(strlen(szAddr) < 12) - Failure\n"});
}

TEST_F(SequenceTest, HardwareIdGivesTheModuleVersionAndTheExtensionParameters) {
    qmsl_sim::bluetooth(phone()).module_version = 0x2041;
    qmsl_sim::ext_ftm(phone()).bodies[{qmsl_sim::kExtFtmGroup, 36}] = {0, 0, 7, 8, 9};
    unsigned int version = 0;
    unsigned short status = 0xFFFF;
    unsigned char p1 = 0, p2 = 0, p3 = 0;
    EXPECT_EQ(KAVOR_Bluetooth_HW_ID(h, &version, &status, &p1, &p2, &p3), 1);
    EXPECT_EQ(version, 0x2041u);
    EXPECT_EQ(status, 0);
    EXPECT_EQ((std::vector<int>{p1, p2, p3}), (std::vector<int>{7, 8, 9}));
}

TEST_F(SequenceTest, CarrierTestSendsTheResetCommandOnItsChannel) {
    EXPECT_EQ(KAVOR_SetCWPowerBluetooth(h, 78), 1);
    EXPECT_EQ(qmsl_sim::bluetooth(phone()).cw_channel, 78);
    EXPECT_EQ(qmsl_sim::bluetooth(phone()).hci_commands, (std::vector<Bytes>{{0x01, 0x03, 0x0C}}));
}

} // namespace
