#include "qmsl_bt.h"
#include "qmsl_bt_sim.h"

#include "sim_test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr unsigned kPort = 9;

// A test on the phone of kPort; Base ::testing::TestWithParam<Row> for a table.
template <class Base>
class BluetoothTest : public qmsl_test::ConnectedTest<kPort, Base> {
protected:
    qmsl_sim::Bluetooth& module() { return qmsl_sim::bluetooth(this->phone()); }
};

const unsigned char kAddress[QMSL_BT_ADDRESS_SIZE] = {1, 2, 3, 4, 5, 6};
const unsigned char kReset[3] = {0x01, 0x03, 0x0C};

// One row per command: how to call it once, the journal's record of it, and
// whether the module shows it.
struct CommandCase {
    const char* label;
    const char* fn;
    std::function<unsigned char(QmslHandle)> call;
    std::vector<long long> args;
    std::vector<std::uint8_t> bytes;
    std::function<bool(const qmsl_sim::Bluetooth&)> changed;
};
void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.label; }

const CommandCase kCommands[] = {
    {"Enable", "QLIB_FTM_BT_Enable_Bluetooth", [](QmslHandle h) { return QLIB_FTM_BT_Enable_Bluetooth(h); }, {}, {},
     [](const qmsl_sim::Bluetooth& b) { return b.enabled; }},
    {"SetCW", "QLIB_FTM_BT_SetCW", [](QmslHandle h) { return QLIB_FTM_BT_SetCW(h, 39); }, {39}, {},
     [](const qmsl_sim::Bluetooth& b) { return b.cw_channel == 39; }},
    {"SetAddr", "QLIB_FTM_BT_SetAddr", [](QmslHandle h) { return QLIB_FTM_BT_SetAddr(h, kAddress); }, {6},
     {1, 2, 3, 4, 5, 6},
     [](const qmsl_sim::Bluetooth& b) { return b.address == std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6}; }},
    {"HciCommand", "QLIB_FTM_BT_HCI_USER_CMD", [](QmslHandle h) { return QLIB_FTM_BT_HCI_USER_CMD(h, kReset, 3); },
     {3}, {0x01, 0x03, 0x0C},
     [](const qmsl_sim::Bluetooth& b) {
         return b.hci_commands == std::vector<std::vector<std::uint8_t>>{{0x01, 0x03, 0x0C}};
     }},
};

using BluetoothCommand = BluetoothTest<::testing::TestWithParam<CommandCase>>;

TEST_P(BluetoothCommand, IsJournalledAndKeptByTheModule) {
    const CommandCase& c = GetParam();
    EXPECT_EQ(c.call(h), 1);
    auto calls = phone().calls(c.fn);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args, c.args);
    EXPECT_EQ(calls[0].bytes, c.bytes);
    EXPECT_TRUE(c.changed(module()));
}

TEST_P(BluetoothCommand, InjectedFalseResultFailsWithoutEffect) {
    const CommandCase& c = GetParam();
    phone().inject(c.fn, {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(c.call(h), 0);
    EXPECT_FALSE(c.changed(module()));
    EXPECT_EQ(c.call(h), 1);
}

TEST_P(BluetoothCommand, FailsOnASilentPhoneAndAnUnknownHandle) {
    EXPECT_EQ(GetParam().call(-1), 0);
    phone().set_power(qmsl_sim::Power::Off);
    EXPECT_EQ(GetParam().call(h), 0);
}

INSTANTIATE_TEST_SUITE_P(Commands, BluetoothCommand, ::testing::ValuesIn(kCommands),
                         [](const auto& info) { return std::string(info.param.label); });

using Bluetooth = BluetoothTest<::testing::Test>;

TEST_F(Bluetooth, ModuleVersionIsWhatTheTestSet) {
    module().module_version = 0x0412;
    unsigned int version = 0;
    EXPECT_EQ(QLIB_BT_GetModuleVersion(h, &version), 1);
    EXPECT_EQ(version, 0x0412u);
}

TEST_F(Bluetooth, NullAddressOrCommandBytesFailWithoutACall) {
    EXPECT_EQ(QLIB_FTM_BT_SetAddr(h, nullptr), 0);
    EXPECT_EQ(QLIB_FTM_BT_HCI_USER_CMD(h, nullptr, 3), 0);
    EXPECT_EQ(phone().count("QLIB_FTM_BT_SetAddr"), 0u);
    EXPECT_EQ(phone().count("QLIB_FTM_BT_HCI_USER_CMD"), 0u);
}

} // namespace
