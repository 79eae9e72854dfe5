// Software download, phone logging and keypad: the plain rows with their own
// trace forms, and the operations with steps of their own.
#include "TesselEnum.h"
#include "TesselFctsFixture.h"
#include "qmsl_download_sim.h"
#include "qmsl_keypress_sim.h"
#include "qmsl_logging_sim.h"

#include <cstring>
#include <functional>
#include <map>

namespace {

using Bytes = std::vector<std::uint8_t>;
const char* const F = "dl.c";
constexpr int L = 7;

// Log files the tests name go to the test's temporary folder.
const std::string kRunLog = ::testing::TempDir() + "tessel_dl_run.txt";
const std::string kExtLog = ::testing::TempDir() + "tessel_dl_ext.txt";

// Storage for the outputs of one case.
struct Outs {
    unsigned short w1 = 0xEEEE;
    unsigned char b1 = 0xEE;
    int i1 = -5;
    unsigned char log[TESSEL_PHONE_LOG_MAX] = {};
};

struct RowCase {
    std::string name;
    std::function<int(int, Outs&)> invoke;
    std::string fn;                  // the vendor function that must be called
    std::vector<std::string> args;   // a download call's arguments, else the journaled integer arguments
    std::string callArgs;            // the call line between "Handle=<h>" and "Sess=1"
    std::string result;              // the result line between the export's name and " = 0"
    std::function<void(qmsl_sim::Phone&)> answer = {};
};
void PrintTo(const RowCase& c, std::ostream* os) { *os << c.name; }

bool isDownload(const std::string& fn) {
    return fn.find("Upload") != std::string::npos || fn.find("Qcn") != std::string::npos ||
           fn == "QLIB_DIAG_NV_CNV_DIAG_BACKUP_F";
}

class Rows : public TesselFcts, public ::testing::WithParamInterface<RowCase> {};

TEST_P(Rows, ReachThePhoneAndTraceTheirForms) {
    const RowCase& c = GetParam();
    const int s = connected();
    if (c.answer) c.answer(phone());
    Outs o;
    EXPECT_EQ(c.invoke(s, o), 0);
    const auto calls = phone().calls(c.fn);
    ASSERT_EQ(calls.size(), 1u);
    if (isDownload(c.fn)) {
        EXPECT_EQ(qmsl_sim::downloads(phone()).calls.at(0).args, c.args);
    } else {
        std::vector<std::string> args;
        for (long long a : calls[0].args) args.push_back(std::to_string(a));
        EXPECT_EQ(args, c.args);
    }
    const std::string name = "_Tessel_" + c.name;
    const Lines l = lines();
    ASSERT_GE(l.size(), 2u);
    EXPECT_EQ(l.front(), "(3C)    " + name + "( Handle=" + std::to_string(handleOf(s)) + c.callArgs + ") Sess=1 in File \"dl.c\" Line 7");
    EXPECT_EQ(l.back(), "(3A)    " + name + c.result + " = 0 (SUCCESS) ");
}

TEST_P(Rows, FalseAnswerIsALibraryError) {
    const int s = connected();
    phone().inject(GetParam().fn, qmsl_sim::Fault{});
    Outs o;
    EXPECT_EQ(GetParam().invoke(s, o), kLib);
    EXPECT_NE(lines().back().find(" = 0xbffc19f7 (ERROR)"), std::string::npos) << lines().back();
}

TEST_P(Rows, UnconnectedSessionMakesNoCall) {
    const int s = openSession();
    tracer_test::clear_lines();
    Outs o;
    EXPECT_EQ(GetParam().invoke(s, o), kLib);
    EXPECT_EQ(phone().count(GetParam().fn), 0u);
    EXPECT_TRUE(hasLine("_Tessel_" + GetParam().name + "( Handle=-1"));
}

std::vector<std::string> numbered(std::initializer_list<const char*> texts) { return {texts.begin(), texts.end()}; }

INSTANTIATE_TEST_SUITE_P(
    Table, Rows,
    ::testing::Values(
        RowCase{"DownloadQcnFile", [](int s, Outs&) { return _Tessel_DownloadQcnFile(s, "cal.qcn", 77, F, L); },
                "QLIB_DownloadQcnFile", numbered({"cal.qcn", "77"}), ", sFileName=\"cal.qcn\" ", "( )"},
        RowCase{"UploadQcnFile", [](int s, Outs&) { return _Tessel_UploadQcnFile(s, "cal.qcn", -3, 1, 0x100, 0, 1, F, L); },
                "QLIB_UploadQcnFile", numbered({"cal.qcn", "-3", "1", "0", "0", "1"}),
                ", sFileName=\"cal.qcn\", bAutoRestore=1, bSkipReset=0, bAllowEsnMismatch=0, bIgnorePhoneModel=1 ", "( )"},
        RowCase{"UploadCEFS_File", [](int s, Outs&) { return _Tessel_UploadCEFS_File(s, "fs.cefs", "part.mbn", F, L); },
                "QLIB_UploadCEFS_File", numbered({"fs.cefs", "part.mbn"}),
                ", sFileName='fs.cefs', sPartitionFileName='part.mbn' ", "( )"},
        RowCase{"DiagNvCnvDiagBackupF", [](int s, Outs&) { return _Tessel_DiagNvCnvDiagBackupF(s, F, L); },
                "QLIB_DIAG_NV_CNV_DIAG_BACKUP_F", {}, "", "()"},
        RowCase{"DiagSetPhoneLoggingState", [](int s, Outs&) { return _Tessel_DiagSetPhoneLoggingState(s, 1, F, L); },
                "QLIB_DIAG_SetPhoneLoggingState", numbered({"1"}), ", bEnableLogging=1 ", "( )"},
        RowCase{"DiagClearPhoneLogQueue", [](int s, Outs&) { return _Tessel_DiagClearPhoneLogQueue(s, F, L); },
                "QLIB_DIAG_ClearPhoneLogQueue", {}, " ", "( )"},
        RowCase{"DiagGetNextPhoneLog",
                [](int s, Outs& o) { return _Tessel_DiagGetNextPhoneLog(s, &o.w1, o.log, 500, F, L); },
                "QLIB_DIAG_GetNextPhoneLog", numbered({"500"}), ", iTimeOut=500 ", "( *piLogSize=3 )",
                [](qmsl_sim::Phone& p) { qmsl_sim::logging(p).logs.push_back({1, 2, 3}); }},
        RowCase{"DiagSetExtendedLogCode",
                [](int s, Outs&) { return _Tessel_DiagSetExtendedLogCode(s, 0x10B, 0x1234, 0x0A, F, L); },
                "QLIB_DIAG_SetExtendedLogCode", numbered({"11", "4660", "10"}),
                ", iEquipmentID=0x0B, iLogCode=0x1234, iLastItem=0x000A ", "( )"},
        RowCase{"StartLogging", [](int s, Outs&) { return _Tessel_StartLogging(s, kRunLog.c_str(), F, L); },
                "QLIB_StartLogging", {}, ", sLogFile=" + kRunLog + " ", "( )"},
        RowCase{"SetLogFlags", [](int s, Outs&) { return _Tessel_SetLogFlags(s, 0x2A, F, L); }, "QLIB_SetLogFlags", numbered({"42"}),
                ", uiLogFlags=0x002A ", "( )"},
        RowCase{"DiagKeyPressStartCapture", [](int s, Outs&) { return _Tessel_DiagKeyPressStartCapture(s, F, L); },
                "QLIB_DIAG_KeyPress_StartCapture", {}, " ", "()"},
        RowCase{"DiagKeyPressClearQueue", [](int s, Outs&) { return _Tessel_DiagKeyPressClearQueue(s, F, L); },
                "QLIB_DIAG_KeyPress_ClearQueue", {}, " ", "()"},
        RowCase{"DiagKeyPressGetQueueSize", [](int s, Outs& o) { return _Tessel_DiagKeyPressGetQueueSize(s, &o.i1, F, L); },
                "QLIB_DIAG_KeyPress_GetQueueSize", {}, " ", "( *piKeypressQueueSize=2 )",
                [](qmsl_sim::Phone& p) { qmsl_sim::keypad(p).queue = {{48, 1}, {48, 0}}; }},
        RowCase{"DiagKeyPressGetNextKeyEvent",
                [](int s, Outs& o) { return _Tessel_DiagKeyPressGetNextKeyEvent(s, &o.w1, &o.b1, F, L); },
                "QLIB_DIAG_KeyPress_GetNextKeyEvent", {}, " ",
                std::string("( *piKeyPressID=48(") + Get_cKeyPress(48) + "), *piKeyPressEvent=1(" + Get_cKeyEvent(1) + ") )",
                [](qmsl_sim::Phone& p) { qmsl_sim::keypad(p).queue = {{48, 1}}; }},
        RowCase{"DiagKeyPressStopCapture", [](int s, Outs&) { return _Tessel_DiagKeyPressStopCapture(s, F, L); },
                "QLIB_DIAG_KeyPress_StopCapture", {}, " ", "( )"}),
    [](const auto& info) { return info.param.name; });

class DownloadLogKey : public TesselFcts {};

TEST_F(DownloadLogKey, RowsPassTheirBuffersAndTexts) {
    const int s = connected();
    qmsl_sim::logging(phone()).logs.push_back({9, 8, 7});
    Outs o;
    ASSERT_EQ(_Tessel_DiagGetNextPhoneLog(s, &o.w1, o.log, 100, F, L), 0);
    EXPECT_EQ(o.w1, 3);
    EXPECT_EQ(Bytes(o.log, o.log + 4), (Bytes{9, 8, 7, 0}));
    // No log within the time-out: a library error after the wait.
    const long long before = pclock::now_ms();
    EXPECT_EQ(_Tessel_DiagGetNextPhoneLog(s, &o.w1, o.log, 250, F, L), kLib);
    EXPECT_EQ(pclock::now_ms() - before, 250);
    EXPECT_EQ(_Tessel_DiagGetNextPhoneLog(s, &o.w1, nullptr, 250, F, L), TESSEL_ERROR_PARAMETER2);

    ASSERT_EQ(_Tessel_StartLogging(s, kRunLog.c_str(), F, L), 0);
    EXPECT_EQ(phone().calls("QLIB_StartLogging").at(0).bytes, Bytes(kRunLog.begin(), kRunLog.end()));
    ASSERT_EQ(_Tessel_StartLoggingExt(s, kExtLog.c_str(), F, L), 0);
    EXPECT_EQ(phone().count("QLIB_StartLogging"), 2u);
    EXPECT_TRUE(hasLine("_Tessel_StartLoggingExt( Handle=" + std::to_string(handleOf(s)) + ", sLogFile=" + kExtLog + " ) Sess=1"));
    EXPECT_EQ(_Tessel_StartLogging(s, nullptr, F, L), TESSEL_ERROR_PARAMETER2);

    // The key id is cleared before the call: a failed call leaves 0.
    o.w1 = 0xEEEE;
    EXPECT_EQ(_Tessel_DiagKeyPressGetNextKeyEvent(s, &o.w1, &o.b1, F, L), kLib);  // empty queue
    EXPECT_EQ(o.w1, 0);
}

TEST_F(DownloadLogKey, MultiImagePassesItsTwentyThreeValuesInOrder) {
    const int s = connected();
    ASSERT_EQ(_Tessel_UploadMultiImage(s, "a1", "a2", "a3", "a4", "a5", "a6", "a7", "a8", "a9", "a10", "a11", "a12", "a13",
                                       0x10E, 15, "a16", 17, "a18", 0x213, "a20", F, L),
              0);
    const auto& calls = qmsl_sim::downloads(phone()).calls;
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].fn, "QLIB_UploadMultiImage");
    EXPECT_EQ(calls[0].args, (std::vector<std::string>{"a1", "a2", "a3", "a4", "a5", "a6", "a7", "a8", "a9", "a10", "a11",
                                                       "a12", "a13", "14", "15", "a16", "17", "a18", "0", "19", "0", "0",
                                                       "a20"}));
    EXPECT_EQ(lines().front(),
              "(3C)    _Tessel_UploadMultiImage( Handle=" + std::to_string(handleOf(s)) + ", ) Sess=1 in File \"dl.c\" Line 7");
    EXPECT_EQ(lines().back(), "(3A)    _Tessel_UploadMultiImage( ) = 0 (SUCCESS) ");
}

// --- call-backs and uploads -------------------------------------------------------------

std::vector<std::pair<unsigned, unsigned>> g_events;
unsigned char onProgress(const TESSEL_DownloadEvent* e) {
    g_events.emplace_back(e->eventKind, e->value);
    return 1;
}
int onEntry(const char*, const char*, unsigned char) { return 0; }

TEST_F(DownloadLogKey, ProgressEventsReachTheCallersCallBack) {
    g_events.clear();
    const int s = connected();
    ASSERT_EQ(_Tessel_ConfigureCallBacks(s, &onEntry, &onProgress, F, L), 0);
    EXPECT_EQ(phone().calls("QLIB_ConfigureCallBacks").at(0).args, (std::vector<long long>{1, 1}));
    qmsl_sim::downloads(phone()).events = {{0, 1}, {11, 9000}, {12, 4500}};
    ASSERT_EQ(_Tessel_UploadCEFS_File(s, "fs.cefs", "part.mbn", F, L), 0);
    EXPECT_EQ(g_events, (std::vector<std::pair<unsigned, unsigned>>{{0, 1}, {11, 9000}, {12, 4500}}));
    EXPECT_EQ(qmsl_sim::callbacks(handleOf(s)).first, reinterpret_cast<void*>(&onEntry));
    EXPECT_TRUE(hasLine("_Tessel_ConfigureCallBacks( Handle=" + std::to_string(handleOf(s)) + ", pEfsDirectory=0x"));
    EXPECT_EQ(lines().size(), 4u);
}

TEST_F(DownloadLogKey, ConfigureCallBacksIgnoresTheVendorsAnswer) {
    const int s = connected();
    phone().inject("QLIB_ConfigureCallBacks", qmsl_sim::Fault{});
    // A handle the vendor library does not know also answers false.
    EXPECT_EQ(_Tessel_ConfigureCallBacks(s, nullptr, &onProgress, F, L), 0);
    EXPECT_EQ(lines().back(), "(3A)    _Tessel_ConfigureCallBacks( ) = 0 (SUCCESS) ");
    const int u = openSession();
    EXPECT_EQ(_Tessel_ConfigureCallBacks(u, nullptr, &onProgress, F, L), kLib);
}

TEST_F(DownloadLogKey, HexFileHasTwoCallLines) {
    const int s = connected();
    ASSERT_EQ(_Tessel_UploadHexFile(s, "sw.hex", "000000", 1, 0, 1, 0, 1, 0x101, "backup.qcn", F, L), 0);
    EXPECT_EQ(qmsl_sim::downloads(phone()).calls.at(0).args,
              (std::vector<std::string>{"sw.hex", "000000", "1", "0", "1", "0", "1", "1", "backup.qcn"}));
    const std::string h = std::to_string(handleOf(s));
    const Lines l = lines();
    ASSERT_EQ(l.size(), 3u);
    EXPECT_EQ(l[0], "(3C)    1. _Tessel_UploadHexFile( Handle=" + h +
                        ", sFileName=sw.hex, sSPC=000000, bClearErrorLog=1, bOverrideModelCheck=0 ) Sess=1 in File \"dl.c\" Line 7");
    EXPECT_EQ(l[1], "(3C)    2. _Tessel_UploadHexFile( Handle=" + h +
                        ", bSkipReset=1, bUseCustomArmProg=0, bUploadArmProg=1, bDoAutoRestoreBackup=257, "
                        "sAutoRestoreBackupName=backup.qcn ) Sess=1 in File \"dl.c\" Line 7");
    EXPECT_EQ(l[2], "(3A)    _Tessel_UploadHexFile( ) = 0 (SUCCESS) ");
    qmsl_sim::downloads(phone()).results["QLIB_UploadHexFile"] = false;
    EXPECT_EQ(_Tessel_UploadHexFile(s, "sw.hex", "000000", 1, 0, 1, 0, 1, 0, "b", F, L), kLib);
    EXPECT_EQ(_Tessel_UploadHexFile(s, nullptr, "000000", 1, 0, 1, 0, 1, 0, "b", F, L), TESSEL_ERROR_PARAMETER2);
}

TEST_F(DownloadLogKey, ErrorTextIsAlwaysTerminatedWithinItsLength) {
    const int s = connected();
    auto& d = qmsl_sim::downloads(phone());
    d.error_occurred = true;
    d.error_text = "Flash write failed at block 12";
    unsigned short flag = 9;
    char text[8];
    std::memset(text, 'X', sizeof text);
    ASSERT_EQ(_Tessel_GetLastSoftwareDownloadErrorInfo(s, &flag, text, sizeof text, F, L), 0);
    EXPECT_EQ(flag, 1);
    EXPECT_STREQ(text, "Flash w");
    EXPECT_EQ(lines().back(), "(3A)    _Tessel_GetLastSoftwareDownloadErrorInfo( *pbErrorOccurred=1, sErrorMessage=Flash w ) = 0 (SUCCESS) ");
    // The vendor's answer is not tested.
    phone().inject("QLIB_GetLastSoftwareDownloadErrorInfo", qmsl_sim::Fault{});
    std::memset(text, 'X', sizeof text);
    EXPECT_EQ(_Tessel_GetLastSoftwareDownloadErrorInfo(s, &flag, text, sizeof text, F, L), 0);
    EXPECT_STREQ(text, "");
    // Unconnected: emptied, no call.
    const int u = openSession();
    std::memset(text, 'X', sizeof text);
    EXPECT_EQ(_Tessel_GetLastSoftwareDownloadErrorInfo(u, &flag, text, sizeof text, F, L), kLib);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(_Tessel_GetLastSoftwareDownloadErrorInfo(s, &flag, text, 0, F, L), TESSEL_ERROR_PARAMETER2);
}

// --- logging with steps of their own ----------------------------------------------------

struct ExtLogCase {
    const char* name;
    const char* file;
    std::vector<unsigned short> ids;
    const char* failing;  // the vendor function that answers false, or null
    int status;
    std::map<std::uint16_t, std::uint16_t> filters;  // filters set afterwards
    std::vector<std::string> called;                  // which of the later steps ran
    const char* error;                                // the error line, or null
};
void PrintTo(const ExtLogCase& c, std::ostream* os) { *os << c.name; }

class ExtLogging : public TesselFcts, public ::testing::WithParamInterface<ExtLogCase> {};

const std::vector<unsigned short> kAllUnused(8, 0x8000);
const std::vector<unsigned short> kSome{1, 0xFFFF, 5, 0x8001, 0x7FFF, 0x8000, 0x8000, 0x8000};
const std::vector<std::string> kLater{"QLIB_DIAG_SetPhoneLoggingState", "QLIB_SetLogFlags", "QLIB_StartLogging"};

TEST_P(ExtLogging, RunsItsStepsInOrder) {
    const ExtLogCase& c = GetParam();
    const int s = connected();
    if (c.failing) phone().inject(c.failing, qmsl_sim::Fault{});
    const unsigned short masks[8] = {10, 11, 12, 13, 14, 15, 16, 17};
    EXPECT_EQ(_Tessel_StartExtLogging(s, c.file, c.ids.data(), masks, F, L), c.status);
    EXPECT_EQ(qmsl_sim::logging(phone()).filters, c.filters);
    std::vector<std::string> called;
    for (const std::string& fn : kLater)
        if (phone().count(fn)) called.push_back(fn);
    EXPECT_EQ(called, c.called);
    if (c.error) {
        EXPECT_TRUE(hasLine(std::string("(3I)    ") + c.error)) << c.error;
    }
    EXPECT_EQ(lines().back(), std::string("(3A)") + (c.status ? " E  " : "    ") + "_Tessel_StartExtLogging( ) = " +
                                  (c.status ? "0xbffc19f7 (ERROR)   " : "0 (SUCCESS) "));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtLogging,
    ::testing::Values(
        ExtLogCase{"AllIdsUnused", kRunLog.c_str(), kAllUnused, nullptr, 0, {}, kLater, nullptr},
        ExtLogCase{"SomeIdsUsed", kRunLog.c_str(), kSome, nullptr, 0, {{1, 10}, {5, 12}, {0x7FFF, 14}}, kLater, nullptr},
        ExtLogCase{"EmptyFileName", "", kSome, nullptr, TESSEL_ERROR_LIBRARY, {}, {},
                   "[ERROR: No logfile specified. Aborting sequence.]"},
        ExtLogCase{"FilterFails", kRunLog.c_str(), kSome, "QLIB_DIAG_SetMessageFilter", TESSEL_ERROR_LIBRARY, {}, {},
                   "[ERROR: QLIB_DIAG_SetMessageFilter() failed. Aborting sequence.]"},
        ExtLogCase{"LoggingStateFails", kRunLog.c_str(), kAllUnused, "QLIB_DIAG_SetPhoneLoggingState", TESSEL_ERROR_LIBRARY, {},
                   {"QLIB_DIAG_SetPhoneLoggingState"}, "[ERROR: QLIB_DIAG_SetPhoneLoggingState() failed. Aborting sequence.]"},
        ExtLogCase{"LogFlagsFail", kRunLog.c_str(), kAllUnused, "QLIB_SetLogFlags", TESSEL_ERROR_LIBRARY, {},
                   {"QLIB_DIAG_SetPhoneLoggingState", "QLIB_SetLogFlags"},
                   "[ERROR: QLIB_SetLogFlags() failed. Aborting sequence.]"},
        ExtLogCase{"StartLoggingFails", kRunLog.c_str(), kAllUnused, "QLIB_StartLogging", TESSEL_ERROR_LIBRARY, {}, kLater,
                   "[ERROR: QLIB_StartLogging() failed. Aborting sequence.]"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DownloadLogKey, ExtLoggingSetsLoggingAndFlags) {
    const int s = connected();
    const unsigned short masks[8] = {};
    ASSERT_EQ(_Tessel_StartExtLogging(s, kRunLog.c_str(), kAllUnused.data(), masks, F, L), 0);
    EXPECT_TRUE(qmsl_sim::logging(phone()).enabled);
    EXPECT_EQ(phone().calls("QLIB_SetLogFlags").at(0).args, std::vector<long long>{1});
    EXPECT_EQ(_Tessel_StartExtLogging(s, kRunLog.c_str(), nullptr, masks, F, L), TESSEL_ERROR_PARAMETER2);
    // An unconnected session is not refused up front: its first call fails.
    const int u = openSession();
    EXPECT_EQ(_Tessel_StartExtLogging(u, kRunLog.c_str(), kAllUnused.data(), masks, F, L), kLib);
}

TEST_F(DownloadLogKey, DumpWritesTheMessagesBetweenMarkers) {
    const int s = connected();
    qmsl_sim::logging(phone()).async_messages = {"msg one", "msg two"};
    EXPECT_EQ(_Tessel_DumpAsyncMsg(s, F, L), 0);
    EXPECT_EQ(phone().log_texts(handleOf(s)),
              (std::vector<std::string>{"\nASYNC START==============================\n", "msg one", "msg two",
                                        "\nASYNC END==============================\n"}));
    EXPECT_EQ(phone().calls("QLIB_DumpAsyncMessageToTextLog").at(0).args, (std::vector<long long>{1, 0, 1, 0}));
    EXPECT_EQ(lines().back(), "(3A)    _Tessel_DumpAsyncMsg( ) = 0 (SUCCESS) ");
    const int u = openSession();
    EXPECT_EQ(_Tessel_DumpAsyncMsg(u, F, L), 0);
}

TEST_F(DownloadLogKey, FindDebugMessage) {
    const int s = connected();
    qmsl_sim::logging(phone()).debug_messages = {{"boot done", {1, 2, 3}}, {"RF cal %d %d %d", {7, -8, 9}}};
    short found = -1;
    int a1 = 5, a2 = 5, a3 = 5;
    ASSERT_EQ(_Tessel_DiagFindDebugMessage(s, "RF cal", &found, &a1, &a2, &a3, F, L), 0);
    EXPECT_EQ(std::vector<int>({found, a1, a2, a3}), std::vector<int>({1, 7, -8, 9}));
    EXPECT_EQ(lines().back(),
              "(3A)    _Tessel_DiagFindDebugMessage( *pbFoundMessage=1, *piArg1=7, *piArg2=-8, *piArg3=9 ) = 0 (SUCCESS) ");
    EXPECT_TRUE(hasLine("sSearchString='RF cal' ) Sess=1"));
    ASSERT_EQ(_Tessel_DiagFindDebugMessage(s, "absent", &found, &a1, &a2, &a3, F, L), 0);
    EXPECT_EQ(std::vector<int>({found, a1, a2, a3}), std::vector<int>({0, 0, 0, 0}));
}

TEST_F(DownloadLogKey, FindDebugMessageUnconnectedGivesZeros) {
    const int u = openSession();
    short found = -1;
    int a1 = 5, a2 = 5, a3 = 5;
    EXPECT_EQ(_Tessel_DiagFindDebugMessage(u, "x", &found, &a1, &a2, &a3, F, L), kLib);
    EXPECT_EQ(std::vector<int>({found, a1, a2, a3}), std::vector<int>({0, 0, 0, 0}));
    EXPECT_EQ(phone().count("QLIB_DIAG_FindDebugMessage"), 0u);
}

// --- key maps ------------------------------------------------------------------------------

using Pairs = std::vector<std::pair<std::uint16_t, std::uint8_t>>;
Pairs cat(Pairs a, const Pairs& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
const Pairs kHead{{0xE030, 82}, {0xE035, 83}, {0xE031, 84}, {0xE032, 85}, {0xE033, 132}, {0xE034, 133}, {0xE02F, 80},
                  {0xE02E, 81}, {0xE021, 48}, {0xE022, 49}, {0xE023, 50}, {0xE024, 51},  {0xE025, 52},  {0xE026, 53},
                  {0xE027, 54}, {0xE028, 55}, {0xE029, 56}, {0xE02A, 57}, {0xE02B, 42},  {0xE02C, 35}};
const Pairs kMap1Tail{{0x04BA, 9}, {0xE048, 8}, {0xE047, 6}, {0xE06D, 134}, {0xE037, 135}, {0xE036, 136}, {0xE06C, 138},
                      {0xE04D, 140}};

struct MapCase {
    const char* name;
    int id;
    std::uint16_t ssid;
    Pairs entries;
};
void PrintTo(const MapCase& c, std::ostream* os) { *os << c.name; }

const MapCase kMaps[] = {
    {"Map1", 1, 0, cat(kHead, kMap1Tail)},
    {"Map2", 2, 6002,
     cat(kHead, {{0x04BA, 9}, {0xE048, 8}, {0xE047, 6}, {0xE06D, 134}, {0xE037, 135}, {0xE036, 136}, {0xE049, 137},
                 {0xE06C, 138}, {0xE06B, 139}, {0xE04D, 140}})},
    {"Map3", 3, 6002, cat(kHead, kMap1Tail)},
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
     {{0xE031, 84}, {0xE032, 85}, {0xE034, 132}, {0xE033, 133}, {0xE035, 83}, {0xE02E, 81}, {0xE02F, 80}, {0xE021, 48},
      {0xE022, 49}, {0xE023, 50}, {0xE024, 51}, {0xE025, 52}, {0xE026, 53}, {0xE027, 54}, {0xE028, 55}, {0xE029, 56},
      {0xE02A, 57}, {0xE02B, 42}, {0xE02C, 35}, {0xE030, 82}, {0xE06D, 134}, {0xE037, 135}, {0xE036, 136}, {0xE071, 139},
      {0xE010, 163}, {0xE06C, 161}}},
    {"Map8", 8, 6002,
     cat(kHead, {{0xE06E, 8}, {0xE06F, 6}, {0xE070, 9}, {0xE071, 10}, {0xE06D, 134}, {0xE037, 135}, {0xE036, 136},
                 {0xE06C, 139}, {0xE049, 137}})},
    {"Map9", 9, 6002,
     cat(kHead, {{0xE048, 8}, {0xE047, 6}, {0xE038, 134}, {0xE037, 135}, {0xE036, 136}, {0xE06B, 139}})},
    {"Map10", 10, 6002,
     {{0xE031, 84}, {0xE032, 85}, {0xE033, 132}, {0xE034, 133}, {0xE035, 83}, {0xE02E, 81}, {0xE02F, 80}, {0xE021, 48},
      {0xE022, 49}, {0xE023, 50}, {0xE024, 51}, {0xE025, 52}, {0xE026, 53}, {0xE027, 54}, {0xE028, 55}, {0xE029, 56},
      {0xE02A, 57}, {0xE02B, 42}, {0xE02C, 35}, {0xE030, 82}, {0xE06D, 134}, {0xE037, 135}, {0xE036, 136}, {0xE06B, 139},
      {0xE06E, 163}, {0xE06C, 161}}},
    {"Map11", 11, 6002,
     cat(kHead, {{0xE048, 8}, {0xE047, 6}, {0xE06B, 139}, {0xE037, 135}, {0xE036, 136}, {0xE06C, 138}, {0xE06D, 134},
                 {0xE06E, 192}, {0xE06F, 193}, {0xE070, 194}})},
};

class KeyMaps : public TesselFcts, public ::testing::WithParamInterface<MapCase> {};

TEST_P(KeyMaps, LoadEveryEntryInOrder) {
    const MapCase& c = GetParam();
    const int s = connected();
    qmsl_sim::keypad(phone()).map = {{1, 1}};
    ASSERT_EQ(_Tessel_SpecialSetKeypadMapping(s, c.id, F, L), 0);
    EXPECT_EQ(qmsl_sim::keypad(phone()).map, c.entries);
    ASSERT_TRUE(qmsl_sim::keypad(phone()).detect.has_value());
    EXPECT_EQ(*qmsl_sim::keypad(phone()).detect, (qmsl_sim::KeyDetect{"AEEKey_RemovePressed: ", "AEEKey_AddPressed: ", c.ssid, 8}));
    EXPECT_EQ(lines().back(), "(3A)    _Tessel_SpecialSetKeypadMapping( OK ) = 0 (SUCCESS) ");
}

INSTANTIATE_TEST_SUITE_P(Ids, KeyMaps, ::testing::ValuesIn(kMaps), [](const auto& info) { return std::string(info.param.name); });

TEST(TesselKeyMapSizes, AsThePhoneModelsList) {
    const std::size_t sizes[] = {28, 30, 28, 30, 29, 29, 26, 29, 26, 26, 30};
    for (std::size_t i = 0; i < std::size(kMaps); ++i) EXPECT_EQ(kMaps[i].entries.size(), sizes[i]) << kMaps[i].name;
}

class KeyMapWrongId : public TesselFcts, public ::testing::WithParamInterface<int> {};

TEST_P(KeyMapWrongId, LeavesThePhonesMapAsItWas) {
    const int s = connected();
    qmsl_sim::keypad(phone()).map = {{0xE030, 82}};
    EXPECT_EQ(_Tessel_SpecialSetKeypadMapping(s, GetParam(), F, L), kLib);
    EXPECT_EQ(qmsl_sim::keypad(phone()).map, (Pairs{{0xE030, 82}}));
    EXPECT_EQ(phone().count("QLIB_DIAG_KeyPress_ClearMap"), 0u);
    EXPECT_EQ(lines().back(), "(3A) E  _Tessel_SpecialSetKeypadMapping( Wrong mapping ID specified. ) = 0xbffc19f7 (ERROR)   ");
}

INSTANTIATE_TEST_SUITE_P(Ids, KeyMapWrongId, ::testing::Values(0, 12, -1),
                         [](const auto& info) { return "Id" + std::to_string(info.param + 1); });

TEST_F(DownloadLogKey, FailedEntryStillConfiguresKeyDetection) {
    const int s = connected();
    int n = 0;
    phone().set_handler("QLIB_DIAG_KeyPress_AddMapEntry", [&](qmsl_sim::Phone&, const qmsl_sim::Call&) { return ++n != 21; });
    EXPECT_EQ(_Tessel_SpecialSetKeypadMapping(s, 1, F, L), kLib);
    EXPECT_EQ(n, 21);
    EXPECT_TRUE(qmsl_sim::keypad(phone()).detect.has_value());
    EXPECT_EQ(lines().back(),
              "(3A) E  _Tessel_SpecialSetKeypadMapping( QLIB_DIAG_KeyPress_AddMapEntry(1210,9) failed. ) = 0xbffc19f7 (ERROR)   ");
    // A failed configuration names itself.
    n = 0;
    phone().inject("QLIB_DIAG_KeyPress_ConfigureKeyDetect", qmsl_sim::Fault{});
    EXPECT_EQ(_Tessel_SpecialSetKeypadMapping(s, 1, F, L), kLib);
    EXPECT_NE(lines().back().find("( DIAG_KeyPress_ConfigureKeyDetect() failed. )"), std::string::npos);
}

TEST_F(DownloadLogKey, KeyMapOnAnUnconnectedSessionFailsAtTheClear) {
    const int u = openSession();
    EXPECT_EQ(_Tessel_SpecialSetKeypadMapping(u, 1, F, L), kLib);
    EXPECT_NE(lines().back().find("( QLIB_DIAG_KeyPress_ClearMap() failed. )"), std::string::npos);
}

} // namespace
