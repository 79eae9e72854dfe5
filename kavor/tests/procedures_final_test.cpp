// The identity freeze check, the uploads with their progress, the factory
// tracking byte and the 48 kHz patch.
#include "procedures_fixture.h"
#include "qmsl_download_sim.h"
#include "qmsl_ext_ftm.h"
#include "qmsl_gsdi_sim.h"
#include "qmsl_memory_sim.h"

#include <functional>

namespace {

using Bytes = std::vector<std::uint8_t>;

// --- freeze check ----------------------------------------------------------------------

const Bytes kImei{0x08, 0x3A, 0x25, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
const Bytes kBt{0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
const Bytes kSerial{'S', 'N', '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D'};
Bytes rootKey() {
    Bytes k(260);
    for (std::size_t i = 0; i < k.size(); ++i) k[i] = static_cast<std::uint8_t>(i * 7 + 1);
    return k;
}

class Freeze : public ProcedureTest {
protected:
    void SetUp() override {
        ProcedureTest::SetUp();
        phone().set_nv(550, kImei);
        phone().set_nv(447, kBt);
        phone().set_nv(2824, kSerial);
    }
    unsigned char run() {
        const Bytes key = rootKey();
        return KAVOR_DIAG_FREEZE_PHONE(h, kImei.data(), kBt.data(), kSerial.data(), key.data());
    }
    // The check's own lines (the nested NV reads left out).
    std::vector<std::string> freezeLines() {
        std::vector<std::string> r;
        for (const auto& l : log())
            if (l.find("QLIB_DIAG_NV_READ_F") == std::string::npos) r.push_back(l);
        return r;
    }
    qmsl_sim::RootKeyStore& store() { return qmsl_sim::root_key(phone()); }
};

TEST_F(Freeze, AllMatchingWritesAndVerifiesTheKey) {
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(store().key, rootKey());
    EXPECT_EQ(freezeLines(), (std::vector<std::string>{
                                 "\t\nKAVOR_DIAG_FREEZE_PHONE() - Started\n",
                                 "\t\tKAVOR_DIAG_NV_READ_F() - read IMEI Completed successfully\n",
                                 "\t\tIMEI Correct\n",
                                 "\t\tKAVOR_DIAG_NV_READ_F() - read BT Address Completed successfully\n",
                                 "\t\tBT Address Correct\n",
                                 "\t\tKAVOR_DIAG_NV_READ_F() - read Device Serial Number Completed successfully\n",
                                 "\t\tDevice Serial Number Correct\n",
                                 "\t\tRoot Key Write PASS, status: 0\n",
                                 "\t\tRoot Key Read PASS, status: 0\n",
                                 "\t\tPublic Key Correct\n",
                                 "\t\tSecure Device Info PASS, status: 0\n",
                                 "\t\nKAVOR_DIAG_FREEZE_PHONE() - Finished, Result = 1\n",
                             }));
    // Slot 0, no application id, the whole key.
    auto writes = phone().calls("QLIB_GSDIDIAG_ROOT_KEY_WRITE_CMD");
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].args, (std::vector<long long>{0, 0, 260}));
    EXPECT_EQ(writes[0].bytes, rootKey());
}

struct StopCase {
    const char* name;
    std::function<void(qmsl_sim::Phone&)> arrange;
    const char* lastLine;
    std::size_t writes, reads, infos;
};
void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }

class FreezeStops : public Freeze, public ::testing::WithParamInterface<StopCase> {};

TEST_P(FreezeStops, AtTheFirstFailureOrMismatch) {
    const StopCase& c = GetParam();
    c.arrange(phone());
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(freezeLines().back(), c.lastLine);
    EXPECT_EQ(phone().count("QLIB_GSDIDIAG_ROOT_KEY_WRITE_CMD"), c.writes);
    EXPECT_EQ(phone().count("QLIB_GSDIDIAG_ROOT_KEY_READ_CMD"), c.reads);
    EXPECT_EQ(phone().count("QLIB_GSDIDIAG_SECURE_DEVICE_INFO_CMD"), c.infos);
    if (c.writes == 0) {
        EXPECT_TRUE(qmsl_sim::root_key(phone()).key.empty());
    }
}

Bytes otherKey() {
    Bytes k = rootKey();
    k[259] ^= 0xFF;
    return k;
}

Bytes shortKey() {
    Bytes k = rootKey();
    k.pop_back();
    return k;
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FreezeStops,
    ::testing::Values(
        StopCase{"ImeiMismatch", [](qmsl_sim::Phone& p) { p.set_nv(550, Bytes(9, 0)); }, "\t\tIMEI Mismatch\n", 0, 0, 0},
        StopCase{"ImeiReadFails", [](qmsl_sim::Phone& p) { p.nv[550].status = 5; },
                 "\t\tKAVOR_DIAG_NV_READ_F() - read IMEI Failure\n", 0, 0, 0},
        StopCase{"MatchingImeiWrongBtAddress", [](qmsl_sim::Phone& p) { p.set_nv(447, {1, 2, 3, 4, 5, 7}); },
                 "\t\tBT Address Mismatch\n", 0, 0, 0},
        StopCase{"SerialNumberMissing", [](qmsl_sim::Phone& p) { p.nv.erase(2824); },
                 "\t\tKAVOR_DIAG_NV_READ_F() - read Device Serial Number Failure\n", 0, 0, 0},
        StopCase{"SerialNumberMismatch", [](qmsl_sim::Phone& p) { p.set_nv(2824, Bytes(16, 'S')); },
                 "\t\tDevice Serial Number Mismatch\n", 0, 0, 0},
        StopCase{"WriteStatus", [](qmsl_sim::Phone& p) { qmsl_sim::root_key(p).write_status = 3; },
                 "\t\tRoot Key Write FAILED status: 3\n", 1, 0, 0},
        StopCase{"WriteCallFails",
                 [](qmsl_sim::Phone& p) { p.inject("QLIB_GSDIDIAG_ROOT_KEY_WRITE_CMD", qmsl_sim::Fault{}); },
                 "\t\tRoot Key Write FAILED status: 0\n", 1, 0, 0},
        StopCase{"ReadStatus", [](qmsl_sim::Phone& p) { qmsl_sim::root_key(p).read_status = 2; },
                 "\t\tRoot Key Read FAILED, status: 2\n", 1, 1, 0},
        StopCase{"KeyReadBackDifferent", [](qmsl_sim::Phone& p) { qmsl_sim::root_key(p).read_back = otherKey(); },
                 "\t\tPublic Key Mismatch\n", 1, 1, 0},
        StopCase{"KeyReadBackShort", [](qmsl_sim::Phone& p) { qmsl_sim::root_key(p).read_back = shortKey(); },
                 "\t\tPublic Key Mismatch\n", 1, 1, 0},
        StopCase{"DeviceInfoStatus", [](qmsl_sim::Phone& p) { qmsl_sim::root_key(p).device_info_status = 6; },
                 "\t\t\tSecure Device Info FAILED, status: 6\n", 1, 1, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// --- uploads and progress -----------------------------------------------------------------

std::vector<std::pair<int, int>> g_reports;
void collect(int iStage, int iPercent) { g_reports.emplace_back(iStage, iPercent); }

class Upload : public ProcedureTest {
protected:
    void SetUp() override {
        ProcedureTest::SetUp();
        g_reports.clear();
        KAVOR_SetLibraryMode(1);
        KAVOR_SetCallback(h, &collect);
    }
    void TearDown() override {
        KAVOR_SetCallback(h, nullptr);
        ProcedureTest::TearDown();
    }
    qmsl_sim::Downloads& downloads() { return qmsl_sim::downloads(phone()); }
};

using Events = std::vector<qmsl_sim::DownloadEvent>;
using Reports = std::vector<std::pair<int, int>>;

struct ProgressCase {
    const char* name;
    Events events;
    Reports reports;
};
void PrintTo(const ProgressCase& c, std::ostream* os) { *os << c.name; }

class Progress : public Upload, public ::testing::WithParamInterface<ProgressCase> {};

TEST_P(Progress, ReachesTheCallerAsStageAndPercentage) {
    downloads().events = GetParam().events;
    EXPECT_EQ(KAVOR_UploadCEFS_File(h, "fs.cefs", "partition.mbn"), 1);
    EXPECT_EQ(g_reports, GetParam().reports);
    // The handler answers every event with true.
    EXPECT_EQ(downloads().answers, std::vector<unsigned char>(GetParam().events.size(), 1));
}

INSTANTIATE_TEST_SUITE_P(
    Events, Progress,
    ::testing::Values(
        ProgressCase{"StageThenProgress", {{0, 1}, {11, 4000}, {12, 1000}, {12, 2000}}, {{1, 0}, {1, 25}, {1, 50}}},
        ProgressCase{"SameStageTwiceReportedOnce", {{14, 2}, {14, 2}, {0, 2}}, {{2, 0}}},
        ProgressCase{"StageCarriesTheLastPercentage", {{11, 10000}, {12, 5000}, {0, 3}}, {{0, 50}, {3, 50}}},
        ProgressCase{"Total1000ReportsNoPercentage", {{11, 1000}, {12, 500}}, {}},
        ProgressCase{"Total2000ReportsNoPercentage", {{11, 2000}, {12, 1000}}, {}},
        ProgressCase{"Total2001Reports", {{11, 2001}, {12, 2001}}, {{0, 100}}},
        ProgressCase{"PastTheTotalIs100", {{11, 4000}, {12, 6000}}, {{0, 100}}},
        ProgressCase{"ProgressBeforeAnyTotal", {{12, 6000}}, {}},
        ProgressCase{"LargeImageIn64Bits", {{11, 4000000000u}, {12, 3000000000u}}, {{0, 75}}},
        ProgressCase{"OtherKindsIgnored", {{1, 5}, {13, 7}, {15, 9}, {0xFFFFFFFF, 1}}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Upload, EachUploadStartsFromAFreshProgressState) {
    downloads().events = {{0, 3}, {11, 10000}, {12, 5000}};
    EXPECT_EQ(KAVOR_UploadCEFS_File2(h, "a", "b"), 1);
    downloads().events = {{12, 5000}, {0, 3}};
    EXPECT_EQ(KAVOR_UploadCEFS_File2(h, "a", "b"), 1);
    // The second upload has no total yet and starts at stage 0 and 0 %.
    EXPECT_EQ(g_reports, (Reports{{3, 0}, {3, 50}, {3, 0}}));
}

TEST_F(Upload, WithoutACallBackTheStateIsStillKept) {
    KAVOR_SetCallback(h, nullptr);
    downloads().events = {{0, 4}, {11, 8000}, {12, 2000}};
    EXPECT_EQ(KAVOR_UploadCEFS_File(h, "a", "b"), 1);
    KAVOR_SetCallback(h, &collect);
    downloads().events = {};
    EXPECT_TRUE(g_reports.empty());
    EXPECT_EQ(downloads().answers, (std::vector<unsigned char>{1, 1, 1}));
}

TEST_F(Upload, TheCallBackIsOnePerProcess) {
    KAVOR_SetCallback(0x7FFF, &collect);  // any handle sets it
    downloads().events = {{0, 9}};
    EXPECT_EQ(KAVOR_UploadCEFS_File(h, "a", "b"), 1);
    EXPECT_EQ(g_reports, (Reports{{9, 0}}));
}

struct UploadCase {
    const char* name;
    const char* fn;
    std::function<unsigned char(QmslHandle)> upload;
    std::vector<std::string> args;
};
void PrintTo(const UploadCase& c, std::ostream* os) { *os << c.name; }

std::vector<std::string> numbered(int n) {
    std::vector<std::string> r;
    for (int i = 1; i <= n; ++i) r.push_back(std::to_string(i));
    return r;
}

class Uploads : public Upload, public ::testing::WithParamInterface<UploadCase> {};

TEST_P(Uploads, RegisterTheHandlerAndPassTheArguments) {
    const UploadCase& c = GetParam();
    EXPECT_EQ(c.upload(h), 1);
    ASSERT_EQ(downloads().calls.size(), 1u);
    EXPECT_EQ(downloads().calls[0].fn, c.fn);
    EXPECT_EQ(downloads().calls[0].args, c.args);
    // The EFS-directory slot empty, the progress slot set.
    EXPECT_EQ(phone().calls("QLIB_ConfigureCallBacks").at(0).args, (std::vector<long long>{0, 1}));
    EXPECT_EQ(log(), (std::vector<std::string>{"\t\t" + std::string(c.fn) + "() start",
                                               "\t" + std::string(c.fn) + "() - Completed successfully\n"}));
    // No handle check.
    EXPECT_EQ(phone().count("QLIB_IsPhoneConnected"), 0u);

    downloads().results[c.fn] = false;
    EXPECT_EQ(c.upload(h), 0);
    EXPECT_EQ(log().back(), "\t" + std::string(c.fn) + "() - Failure\n");
}

TEST_P(Uploads, OnlyInServerMode) {
    KAVOR_SetLibraryMode(0);
    EXPECT_EQ(GetParam().upload(h), 0);
    EXPECT_EQ(log(), std::vector<std::string>{"\tTemporary not supported - SLIB removed"});
    EXPECT_EQ(phone().count("QLIB_ConfigureCallBacks"), 0u);
    EXPECT_TRUE(downloads().calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Calls, Uploads,
    ::testing::Values(
        UploadCase{"CefsFile2", "QLIB_UploadCEFS_File2",
                   [](QmslHandle h) { return KAVOR_UploadCEFS_File2(h, "fs.cefs", "partition.mbn"); },
                   {"fs.cefs", "partition.mbn"}},
        UploadCase{"CefsFile", "QLIB_UploadCEFS_File",
                   [](QmslHandle h) { return KAVOR_UploadCEFS_File(h, "fs.cefs", "partition.mbn"); },
                   {"fs.cefs", "partition.mbn"}},
        UploadCase{"MultiImage", "QLIB_UploadMultiImage",
                   [](QmslHandle h) {
                       return KAVOR_UploadMultiImage(h, "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12",
                                                     "13", 14, 15, "16", 17, "18", 19, 20, 21, 22, "23");
                   },
                   numbered(23)}),
    [](const auto& info) { return std::string(info.param.name); });

// --- factory tracking byte --------------------------------------------------------------

class FactoryByte : public ProcedureTest {};

TEST_F(FactoryByte, LastAddressIsAccepted) {
    unsigned char data = 0x5A;
    EXPECT_EQ(KAVOR_SetFactoryTrackingByte(h, 1, 127, &data), 1);
    EXPECT_EQ(qmsl_sim::ext_ftm(phone()).factory_data[127], 0x5A);
    EXPECT_EQ(log().back(),
              "\tKAVOR_FTM_READ_WRITE_FACTORY_DATA(iOperationType = \x01, iDataAddress = 127) - Completed successfully\n");
    qmsl_sim::ext_ftm(phone()).factory_data[3] = 0x21;
    EXPECT_EQ(KAVOR_SetFactoryTrackingByte(h, 0, 3, &data), 1);
    EXPECT_EQ(data, 0x21);
}

TEST_F(FactoryByte, AddressPastTheAreaIsRefusedBeforeAnyCommand) {
    unsigned char data = 0x5A;
    EXPECT_EQ(KAVOR_SetFactoryTrackingByte(h, 1, 128, &data), 0);
    EXPECT_EQ(log(), std::vector<std::string>{"\tKAVOR_SetFactoryTrackingByte - iDataAddress >= 128 - Failure\n"});
    EXPECT_EQ(phone().count("QLIB_SendSync"), 0u);
    EXPECT_EQ(KAVOR_SetFactoryTrackingByte(h, 1, 0xFFFF, &data), 0);
    EXPECT_TRUE(qmsl_sim::ext_ftm(phone()).factory_data.empty());
}

TEST_F(FactoryByte, ChecksTheHandleFirst) {
    phone().set_power(qmsl_sim::Power::Off);
    unsigned char data = 0;
    EXPECT_EQ(KAVOR_SetFactoryTrackingByte(h, 1, 5, &data), 0);
    EXPECT_EQ(log(), std::vector<std::string>{"\tInvalid handle - Failure\n"});
}

// --- 48 kHz patch --------------------------------------------------------------------------

constexpr std::uint32_t kAudio = 0x84001308;

struct PatchCase {
    const char* name;
    std::uint32_t before, after;
};
void PrintTo(const PatchCase& c, std::ostream* os) { *os << c.name; }

class Patch48kHz : public ProcedureTest, public ::testing::WithParamInterface<PatchCase> {};

TEST_P(Patch48kHz, LowByteReadBackFromThePhone) {
    qmsl_sim::memory(phone()).preset(kAudio, GetParam().before);
    EXPECT_EQ(KAVOR_DIAG_DISABLE_48KHz(h), 1);
    EXPECT_EQ(qmsl_sim::memory(phone()).read(kAudio), GetParam().after);
    const auto sends = phone().calls("QLIB_SendSync");
    ASSERT_EQ(sends.size(), 1u);
    const std::uint32_t v = GetParam().after;
    EXPECT_EQ(sends[0].bytes, (Bytes{5, 0x08, 0x13, 0x00, 0x84, 1, std::uint8_t(v), std::uint8_t(v >> 8),
                                     std::uint8_t(v >> 16), std::uint8_t(v >> 24)}));
    EXPECT_EQ(sends[0].args, (std::vector<long long>{10, 2000}));
    // No handle check and no step lines.
    EXPECT_EQ(phone().count("QLIB_IsPhoneConnected"), 0u);
    EXPECT_TRUE(log().empty());
}

INSTANTIATE_TEST_SUITE_P(Values, Patch48kHz,
                         ::testing::Values(PatchCase{"LowBit0Set", 0x12345601, 0x1234560E},
                                           PatchCase{"AllLowBitsSet", 0xFF, 0xFE}, PatchCase{"Zero", 0, 0x0E},
                                           PatchCase{"AlreadyPatched", 0xAB00000E, 0xAB00000E}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProcedureTest, Patch48kHzReportsAFailedPoke) {
    qmsl_sim::memory(phone()).preset(kAudio, 0x12345601);
    phone().inject("QLIB_SendSync", {qmsl_sim::Fault::NoReply, 0, {}, 0, 1});
    EXPECT_EQ(KAVOR_DIAG_DISABLE_48KHz(h), 0);
    EXPECT_EQ(qmsl_sim::memory(phone()).read(kAudio), 0x12345601u);
}

TEST_F(ProcedureTest, Patch48kHzStopsAtAFailedPeek) {
    phone().inject("QLIB_DIAG_MEMORY_PEEK_DWORD_F", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(KAVOR_DIAG_DISABLE_48KHz(h), 0);
    EXPECT_EQ(phone().count("QLIB_SendSync"), 0u);
}

} // namespace
