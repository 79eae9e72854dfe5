// The camera, key-press, drive-level and download families of the simulated
// phone.
#include "qmsl_camera.h"
#include "qmsl_camera_sim.h"
#include "qmsl_download.h"
#include "qmsl_download_sim.h"
#include "qmsl_ftm.h"
#include "qmsl_keypress.h"
#include "qmsl_keypress_sim.h"
#include "qmsl_pmic_sim.h"

#include "sim_test_support.h"

#include "pclock.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class Families : public qmsl_test::ConnectedTest<4> {};

TEST_F(Families, CameraKeepsSensorAndRunningState) {
    unsigned short status = 9;
    EXPECT_EQ(QLIB_FTM_CAMERA_SET_SENSOR_ID(h, 1, &status), 1);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(QLIB_FTM_CAMERA_START(h, &status), 1);
    EXPECT_TRUE(qmsl_sim::camera(phone()).running);
    qmsl_sim::camera(phone()).statuses["QLIB_FTM_CAMERA_STOP"] = 7;
    EXPECT_EQ(QLIB_FTM_CAMERA_STOP(h, &status), 1);
    EXPECT_EQ(status, 7);
    EXPECT_TRUE(qmsl_sim::camera(phone()).running);  // a refused stop changes nothing
    EXPECT_EQ(qmsl_sim::camera(phone()).sensor, 1);
}

TEST_F(Families, KeyMapAndQueue) {
    auto& keys = qmsl_sim::keypad(phone());
    keys.map = {{1, 1}};
    EXPECT_EQ(QLIB_DIAG_KeyPress_ClearMap(h), 1);
    EXPECT_EQ(QLIB_DIAG_KeyPress_AddMapEntry(h, 0xE030, 82), 1);
    EXPECT_EQ(keys.map, (std::vector<std::pair<std::uint16_t, std::uint8_t>>{{0xE030, 82}}));
    EXPECT_EQ(QLIB_DIAG_KeyPress_ConfigureKeyDetect(h, "up", "down", 6002, 8), 1);
    EXPECT_EQ(*keys.detect, (qmsl_sim::KeyDetect{"up", "down", 6002, 8}));

    EXPECT_EQ(QLIB_DIAG_KeyPress_StartCapture(h), 1);
    EXPECT_TRUE(keys.capturing);
    keys.queue = {{48, 1}, {49, 0}};
    int size = 0;
    EXPECT_EQ(QLIB_DIAG_KeyPress_GetQueueSize(h, &size), 1);
    EXPECT_EQ(size, 2);
    unsigned short id = 0;
    unsigned char event = 0;
    EXPECT_EQ(QLIB_DIAG_KeyPress_GetNextKeyEvent(h, &id, &event), 1);
    EXPECT_EQ(id, 48);
    EXPECT_EQ(event, 1);
    EXPECT_EQ(QLIB_DIAG_KeyPress_ClearQueue(h), 1);
    EXPECT_EQ(QLIB_DIAG_KeyPress_GetNextKeyEvent(h, &id, &event), 0);  // empty
    EXPECT_EQ(QLIB_DIAG_KeyPress_StopCapture(h), 1);
    EXPECT_FALSE(keys.capturing);
}

TEST_F(Families, DriveLevelPerSink) {
    EXPECT_EQ(QLIB_FTM_SET_PMIC_DRIVE_LEVEL(h, 1, 15), 1);
    EXPECT_EQ(QLIB_FTM_SET_PMIC_DRIVE_LEVEL(h, 2, 31), 1);
    EXPECT_EQ(QLIB_FTM_SET_PMIC_DRIVE_LEVEL(h, 1, 0), 1);
    EXPECT_EQ(qmsl_sim::pmic(phone()).drive_level, (std::map<int, int>{{1, 0}, {2, 31}}));
}

std::vector<std::pair<unsigned, unsigned>> g_events;
unsigned char recordEvent(const QmslDownloadEvent* e) {
    g_events.emplace_back(e->eventKind, e->value);
    return 1;
}

TEST_F(Families, DownloadsPlayTheEventsThroughTheProgressSlot) {
    g_events.clear();
    auto& d = qmsl_sim::downloads(phone());
    d.events = {{11, 5000}, {12, 2500}};
    // Without a progress call-back nothing is played.
    EXPECT_EQ(QLIB_UploadCEFS_File(h, "a.cefs", "p.mbn"), 1);
    EXPECT_TRUE(g_events.empty());
    // The EFS slot is not the progress slot.
    ASSERT_EQ(QLIB_ConfigureCallBacks(h, reinterpret_cast<void*>(&recordEvent), nullptr, nullptr), 1);
    EXPECT_EQ(QLIB_UploadCEFS_File2(h, "a.cefs", nullptr), 1);
    EXPECT_TRUE(g_events.empty());
    ASSERT_EQ(QLIB_ConfigureCallBacks(h, nullptr, reinterpret_cast<void*>(&recordEvent), nullptr), 1);
    d.results["QLIB_UploadCEFS_File2"] = false;
    EXPECT_EQ(QLIB_UploadCEFS_File2(h, "b.cefs", "q.mbn"), 0);
    EXPECT_EQ(g_events, (std::vector<std::pair<unsigned, unsigned>>{{11, 5000}, {12, 2500}}));
    EXPECT_EQ(d.answers, (std::vector<unsigned char>{1, 1}));
    ASSERT_EQ(d.calls.size(), 3u);
    EXPECT_EQ(d.calls[0].args, (std::vector<std::string>{"a.cefs", "p.mbn"}));
    EXPECT_EQ(d.calls[1].args, (std::vector<std::string>{"a.cefs", "(null)"}));
    EXPECT_EQ(d.calls[2].fn, "QLIB_UploadCEFS_File2");
}

TEST_F(Families, MultiImageRecordsItsValuesInOrder) {
    EXPECT_EQ(QLIB_UploadMultiImage(h, "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", 14, 15, "16",
                                    17, "18", 19, 20, 21, 22, "23"),
              1);
    std::vector<std::string> expected;
    for (int i = 1; i <= 23; ++i) expected.push_back(std::to_string(i));
    EXPECT_EQ(qmsl_sim::downloads(phone()).calls.at(0).args, expected);
}

} // namespace

#include "qmsl_gsdi_sim.h"
#include "qmsl_memory.h"
#include "qmsl_memory_sim.h"

namespace {

TEST_F(Families, RootKeyIsKeptAndReadBack) {
    const unsigned char key[4] = {1, 2, 3, 4};
    unsigned int cmd = 9, st = 9;
    EXPECT_EQ(QLIB_GSDIDIAG_ROOT_KEY_WRITE_CMD(h, 0, 0, nullptr, 4, key, &cmd, &st), 1);
    EXPECT_EQ(cmd, 0u);
    unsigned char read[QMSL_ROOT_KEY_MAX];
    unsigned short len = 0;
    EXPECT_EQ(QLIB_GSDIDIAG_ROOT_KEY_READ_CMD(h, 0, 0, nullptr, &len, read, &cmd, &st), 1);
    EXPECT_EQ(len, 4);
    EXPECT_EQ(std::vector<unsigned char>(read, read + 5), (std::vector<unsigned char>{1, 2, 3, 4, 0}));

    auto& store = qmsl_sim::root_key(phone());
    store.write_status = 3;
    const unsigned char other[2] = {7, 7};
    EXPECT_EQ(QLIB_GSDIDIAG_ROOT_KEY_WRITE_CMD(h, 0, 0, nullptr, 2, other, &cmd, &st), 1);
    EXPECT_EQ(cmd, 3u);
    EXPECT_EQ(store.key.size(), 4u);  // a refused write changes nothing
    store.device_info_status = 6;
    EXPECT_EQ(QLIB_GSDIDIAG_SECURE_DEVICE_INFO_CMD(h, 0, 0, nullptr, &cmd, &st), 1);
    EXPECT_EQ(cmd, 6u);
    // Outputs a test sets take precedence over the store.
    phone().set_outputs("QLIB_GSDIDIAG_ROOT_KEY_READ_CMD", {2LL, std::vector<std::uint8_t>{9, 8}, 0LL, 0LL});
    EXPECT_EQ(QLIB_GSDIDIAG_ROOT_KEY_READ_CMD(h, 0, 0, nullptr, &len, read, &cmd, &st), 1);
    EXPECT_EQ(len, 2);
    EXPECT_EQ(read[0], 9);
}

TEST_F(Families, DiagPokePacketWritesTheTypedMemory) {
    qmsl_sim::memory(phone()).preset(0x84001308, 0x12345601);
    const unsigned char req[10] = {5, 0x08, 0x13, 0x00, 0x84, 1, 0x0E, 0x56, 0x34, 0x12};
    unsigned char reply[10] = {};
    unsigned short len = sizeof reply;
    EXPECT_EQ(QLIB_SendSync(h, sizeof req, req, &len, reply, 2000), 1);
    EXPECT_EQ(len, 10);
    EXPECT_EQ(reply[0], 5);
    unsigned int v = 0;
    EXPECT_EQ(QLIB_DIAG_MEMORY_PEEK_DWORD_F(h, 0x84001308, 1, &v), 1);
    EXPECT_EQ(v, 0x1234560Eu);
    // Only `count` bytes are written.
    const unsigned char two[8] = {5, 0x00, 0x10, 0x00, 0x00, 2, 0xAA, 0xBB};
    len = sizeof reply;
    EXPECT_EQ(QLIB_SendSync(h, sizeof two, two, &len, reply, 2000), 1);
    EXPECT_EQ(qmsl_sim::memory(phone()).read(0x1000), 0xBBAAu);
}

} // namespace

#include "qmsl_logging.h"
#include "qmsl_logging_sim.h"

namespace {

TEST_F(Families, PhoneLogQueueFiltersAndSearch) {
    auto& lg = qmsl_sim::logging(phone());
    lg.logs = {{1, 2}, std::vector<std::uint8_t>(QMSL_PHONE_LOG_MAX + 10, 7)};
    unsigned short size = 0;
    std::vector<unsigned char> buffer(QMSL_PHONE_LOG_MAX);
    EXPECT_EQ(QLIB_DIAG_GetNextPhoneLog(h, &size, buffer.data(), 100), 1);
    EXPECT_EQ(size, 2);
    EXPECT_EQ(QLIB_DIAG_GetNextPhoneLog(h, &size, buffer.data(), 100), 1);
    EXPECT_EQ(size, QMSL_PHONE_LOG_MAX);  // never more than the buffer holds
    const long long before = pclock::now_ms();
    EXPECT_EQ(QLIB_DIAG_GetNextPhoneLog(h, &size, buffer.data(), 300), 0);
    EXPECT_EQ(pclock::now_ms() - before, 300);
    EXPECT_EQ(size, 0);

    EXPECT_EQ(QLIB_DIAG_SetPhoneLoggingState(h, 1), 1);
    EXPECT_TRUE(lg.enabled);
    EXPECT_EQ(QLIB_DIAG_SetExtendedLogCode(h, 0x0B, 0x1234, 9), 1);
    EXPECT_EQ(lg.log_codes, (std::vector<qmsl_sim::LogCode>{{0x0B, 0x1234, 9}}));
    EXPECT_EQ(QLIB_DIAG_SetMessageFilter(h, 6002, 8), 1);
    EXPECT_EQ(lg.filters, (std::map<std::uint16_t, std::uint16_t>{{6002, 8}}));

    lg.debug_messages = {{"alpha %d", {1, 2, 3}}};
    unsigned char found = 9;
    int a = 9, b = 9, c = 9;
    EXPECT_EQ(QLIB_DIAG_FindDebugMessage(h, "alpha", &found, &a, &b, &c), 1);
    EXPECT_EQ(std::vector<int>({found, a, b, c}), std::vector<int>({1, 1, 2, 3}));
    EXPECT_EQ(QLIB_DIAG_FindDebugMessage(h, "beta", &found, &a, &b, &c), 1);
    EXPECT_EQ(std::vector<int>({found, a, b, c}), std::vector<int>({0, 0, 0, 0}));

    lg.async_messages = {"m1"};
    EXPECT_EQ(QLIB_DumpAsyncMessageToTextLog(h, 1, 0, 1, 0), 1);
    EXPECT_EQ(phone().log_texts(h), std::vector<std::string>{"m1"});
    EXPECT_TRUE(lg.async_messages.empty());
}

TEST_F(Families, DownloadErrorTextIsCutToTheRoom) {
    auto& d = qmsl_sim::downloads(phone());
    d.error_occurred = true;
    d.error_text = "abcdef";
    unsigned short flag = 0;
    char text[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(QLIB_GetLastSoftwareDownloadErrorInfo(h, &flag, text, sizeof text), 1);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(std::string(text, 4), "abcd");  // no room for the terminator
    char room[16];
    EXPECT_EQ(QLIB_GetLastSoftwareDownloadErrorInfo(h, &flag, room, sizeof room), 1);
    EXPECT_STREQ(room, "abcdef");
}

TEST_F(Families, LogFileCallsTakeFaults) {
    phone().inject("QLIB_StartLogging", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(QLIB_StartLogging(h, "a.txt"), 0);
    EXPECT_EQ(QLIB_StartLogging(h, "a.txt"), 1);
    phone().inject("QLIB_SetLogFlags", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(QLIB_SetLogFlags(h, 1), 0);
}

} // namespace
