// The procedure object's shared steps: step log, handle check, NV steps and
// the start of the text log.
#include "procedures_fixture.h"

#include <cstring>

namespace {

using kavor::TestProcedures;

struct StepCase {
    const char* name;
    int kind;
    const char* line;
};
void PrintTo(const StepCase& c, std::ostream* os) { *os << c.name; }

class StepLog : public ProcedureTest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(StepLog, WrapsTheMessageByKind) {
    EXPECT_TRUE(procedures().logStep(GetParam().kind, "step %d of %s", 3, "five"));
    EXPECT_EQ(log(), std::vector<std::string>{GetParam().line});
    EXPECT_EQ(phone().text_log.back().level, 2u);
}

INSTANTIATE_TEST_SUITE_P(Kinds, StepLog,
                         ::testing::Values(StepCase{"Done", 1, "\tstep 3 of five - Completed successfully\n"},
                                           StepCase{"Failed", 0, "\tstep 3 of five - Failure\n"},
                                           StepCase{"Info", 2, "\tstep 3 of five"},
                                           StepCase{"AnyOtherIsInfo", 7, "\tstep 3 of five"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProcedureTest, OverlongStepIsCutNotOverrun) {
    const std::string big(20000, 'x');
    procedures().logStep(1, "%s", big.c_str());
    ASSERT_EQ(log().size(), 1u);
    EXPECT_EQ(log()[0].size(), 12291u);
    EXPECT_EQ(log()[0].substr(0, 3), "\txx");
}

TEST_F(ProcedureTest, HandleCheckAsksThreeTimesAndTheThirdDecides) {
    EXPECT_EQ(KAVOR_CheckHandle(h), 1);
    EXPECT_EQ(phone().count("QLIB_IsPhoneConnected"), 3u);
    EXPECT_TRUE(log().empty());

    phone().clear_journal();
    phone().inject("QLIB_IsPhoneConnected", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 2});
    EXPECT_EQ(KAVOR_CheckHandle(h), 1); // two silent answers do not count

    phone().clear_journal();
    phone().set_power(qmsl_sim::Power::Off);
    EXPECT_EQ(KAVOR_CheckHandle(h), 0);
    EXPECT_EQ(log(), std::vector<std::string>{"\tInvalid handle - Failure\n"});
}

TEST_F(ProcedureTest, UnknownHandleGivesFalseWithoutALine) {
    unsigned char data[4] = {};
    unsigned int code = 9;
    EXPECT_EQ(KAVOR_CheckHandle(h + 100), 0);
    EXPECT_EQ(KAVOR_DIAG_NV_READ_F(h + 100, 453, data, 1), 0);
    EXPECT_EQ(KAVOR_ModeChangeResetMobile(h + 100, 1), 0);
    EXPECT_EQ(KAVOR_BootBox_SwitchMobileOn(h + 100, kBoxPort, 1), 0);
    EXPECT_EQ(KAVOR_GetPhoneModel(h + 100, 1, 1, &code), 0);
    EXPECT_EQ(code, 9u);
    EXPECT_EQ(KAVOR_Start_LOG(h + 100, "x.log"), 0);
    EXPECT_TRUE(phone().text_log.empty());
    EXPECT_EQ(phone().count("QLIB_IsPhoneConnected"), 0u);
    EXPECT_TRUE(rec.journal.empty());
}

TEST_F(ProcedureTest, NvWriteStoresTheItemAndLogsTheCall) {
    const unsigned char data[3] = {1, 2, 3};
    EXPECT_EQ(KAVOR_DIAG_NV_WRITE_F(h, 550, data, 3), 1);
    EXPECT_EQ(phone().nv[550].data, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(log(),
              (std::vector<std::string>{
                  "\t\tQLIB_DIAG_NV_WRITE_F() start",
                  "\tQLIB_DIAG_NV_WRITE_F(iItemID = 550, pItemData = <ptr>, iLength = 3) - Completed successfully\n"}));
}

TEST_F(ProcedureTest, NvWriteFailsOnAFailedCallOrAnNvStatus) {
    const unsigned char data[1] = {1};
    phone().inject("QLIB_DIAG_NV_WRITE_F", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(KAVOR_DIAG_NV_WRITE_F(h, 453, data, 1), 0);
    EXPECT_EQ(log().back(), "\tQLIB_DIAG_NV_WRITE_F(iItemID = 453, pItemData = <ptr>, iLength = 1) - Failure\n");

    phone().clear_journal();
    phone().set_nv(453, {0}, 7);
    EXPECT_EQ(KAVOR_DIAG_NV_WRITE_F(h, 453, data, 1), 0);
    EXPECT_EQ(log().back(), "\tQLIB_DIAG_NV_WRITE_F(iNvStatus = 7) - Failure\n");
}

TEST_F(ProcedureTest, NvReadGivesTheItemOrFails) {
    phone().set_nv(453, {1});
    unsigned char flag = 0;
    EXPECT_EQ(KAVOR_DIAG_NV_READ_F(h, 453, &flag, 1), 1);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(log(), (std::vector<std::string>{"\t\tQLIB_DIAG_NV_READ_F() start",
                                               "\tQLIB_DIAG_NV_READ_F - Completed successfully\n"}));

    phone().clear_journal();
    EXPECT_EQ(KAVOR_DIAG_NV_READ_F(h, 999, &flag, 1), 0); // never written: status 5
    EXPECT_EQ(log().back(), "\tQLIB_DIAG_NV_READ_F(iNvStatus = 5) - Failure\n");

    phone().clear_journal();
    phone().inject("QLIB_DIAG_NV_READ_F", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(KAVOR_DIAG_NV_READ_F(h, 453, &flag, 1), 0);
    EXPECT_EQ(log().back(), "\tQLIB_DIAG_NV_READ_F - Failure\n");

    phone().clear_journal();
    phone().set_power(qmsl_sim::Power::Off);
    EXPECT_EQ(KAVOR_DIAG_NV_READ_F(h, 453, &flag, 1), 0);
    EXPECT_EQ(log(), std::vector<std::string>{"\tInvalid handle - Failure\n"});
}

struct ShownCase {
    const char* name;
    std::vector<std::uint8_t> item;
    int length;
    const char* shown;
};
void PrintTo(const ShownCase& c, std::ostream* os) { *os << c.name; }

class LoggedNvRead : public ProcedureTest, public ::testing::WithParamInterface<ShownCase> {};

TEST_P(LoggedNvRead, ShowsTheItemBoundedByLengthAndZero) {
    const ShownCase& c = GetParam();
    phone().set_nv(1001, c.item);
    // The buffer has no terminator of its own: 0xAA beyond the item.
    std::vector<unsigned char> buffer(16, 0xAA);
    EXPECT_EQ(KAVOR_NV_READ_GSM_RX_REL_OFFSETS(h, 1001, buffer.data(), c.length), 1);
    EXPECT_EQ(log().back(), std::string("\tKAVOR_DIAG_NV_READ_F(iItemID = 1001, pItemData = ") + c.shown +
                                ", iLength = " + std::to_string(c.length) + ") - Completed successfully\n");
}

INSTANTIATE_TEST_SUITE_P(Items, LoggedNvRead,
                         ::testing::Values(ShownCase{"StopsAtTheFirstZero", {'a', 'b', 0, 'c'}, 4, "ab"},
                                           ShownCase{"StopsAtTheLengthWithoutAZero", {'a', 'b', 'c', 'd'}, 4, "abcd"},
                                           ShownCase{"EmptyItem", {0, 'x'}, 2, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProcedureTest, LoggedNvReadReportsAFailedRead) {
    unsigned char buffer[4] = {};
    EXPECT_EQ(KAVOR_NV_READ_GSM_RX_REL_OFFSETS(h, 1002, buffer, 4), 0);
    EXPECT_EQ(log().back(), "\tKAVOR_DIAG_NV_READ_F(iItemID = 1002, pItemData = , iLength = 4) - Failure\n");
}

TEST_F(ProcedureTest, StartLogStartsTheVendorLogAndNotesTheVersion) {
    phone().set_power(qmsl_sim::Power::Off); // no handle check: works with a silent phone
    EXPECT_EQ(KAVOR_Start_LOG(h, "station.log"), 1);
    auto start = phone().calls("QLIB_StartLogging");
    ASSERT_EQ(start.size(), 1u);
    EXPECT_EQ(std::string(start[0].bytes.begin(), start[0].bytes.end()), "station.log");
    auto flags = phone().calls("QLIB_SetLogFlags");
    ASSERT_EQ(flags.size(), 1u);
    EXPECT_EQ(flags[0].args, std::vector<long long>{2});
    EXPECT_EQ(log(), std::vector<std::string>{"\tKAVOR DLL Version: KAVOR V02.4.15,QPHONEMS"});
    EXPECT_EQ(phone().count("QLIB_IsPhoneConnected"), 0u);
    std::remove("station.log");
}

} // namespace
