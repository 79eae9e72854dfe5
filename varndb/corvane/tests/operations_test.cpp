// The data operations: argument tests, copy rules, the server's results and
// messages, the texts of a call that raises.
#include "corvane_fixture.h"

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace {

std::string hex(const void* p, std::size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    const auto* b = static_cast<const unsigned char*>(p);
    for (std::size_t i = 0; i < n; ++i) {
        out += digits[b[i] >> 4];
        out += digits[b[i] & 15];
    }
    return out;
}
std::string hex(const std::string& s) { return hex(s.data(), s.size()); }
std::string zeros(std::size_t n) { return std::string(2 * n, '0'); }

// Valid arguments for every operation.
struct Args {
    unsigned char in[400] = {1, 2, 3};
    unsigned char out[10000] = {};
    int n = 16;
    int code = 0;
    Varn_DorlepData rec{};
    unsigned char fsn[21] = "FSN";
    char err[256] = "junk";
};

using Call = std::function<int(Args&)>;

// ---- NULL arguments: refused before anything reaches the server ----

struct NullRow {
    const char* name;
    Call call;
    bool text;  // "One parameter is NULL!" written
};
void PrintTo(const NullRow& r, std::ostream* os) { *os << r.name; }

class CorvaneNullArgument : public CorvaneDb, public ::testing::WithParamInterface<NullRow> {};

TEST_P(CorvaneNullArgument, RefusedWithoutACall) {
    connectOk();
    Args a;
    EXPECT_EQ(GetParam().call(a), VARNDB_E_NULL);
    EXPECT_STREQ(a.err, GetParam().text ? "One parameter is NULL!" : "junk");
    EXPECT_TRUE(server.journal().empty());
}

#define ROW(name, text, expr) NullRow{name, [](Args& a) { return expr; }, text}
INSTANTIATE_TEST_SUITE_P(
    Operations, CorvaneNullArgument,
    ::testing::Values(
        ROW("GetData_coder", true, varndb_GetData(nullptr, a.in, 3, a.out, &a.n, a.err)),
        ROW("GetData_in", true, varndb_GetData("C", nullptr, 3, a.out, &a.n, a.err)),
        ROW("GetData_out", true, varndb_GetData("C", a.in, 3, nullptr, &a.n, a.err)),
        ROW("GetData_outSize", true, varndb_GetData("C", a.in, 3, a.out, nullptr, a.err)),
        ROW("GetData_errText", false, varndb_GetData("C", a.in, 3, a.out, &a.n, nullptr)),
        ROW("GetApxData_coder", true, varndb_GetApxData(nullptr, a.in, 3, a.out, &a.n, a.err)),
        ROW("GetApxData_in", true, varndb_GetApxData("C", nullptr, 3, a.out, &a.n, a.err)),
        ROW("GetApxData_out", true, varndb_GetApxData("C", a.in, 3, nullptr, &a.n, a.err)),
        ROW("GetApxData_outSize", true, varndb_GetApxData("C", a.in, 3, a.out, nullptr, a.err)),
        ROW("GetApxData_errText", false, varndb_GetApxData("C", a.in, 3, a.out, &a.n, nullptr)),
        ROW("WriteReport_rec", true, varndb_WriteReport(nullptr, a.err)),
        ROW("WriteReport_errText", false, varndb_WriteReport(&a.rec, nullptr)),
        ROW("getServiceCode_imei", true, varndb_getServiceCode(nullptr, &a.code, a.err)),
        ROW("getServiceCode_code", true, varndb_getServiceCode("1", nullptr, a.err)),
        ROW("getServiceCode_errText", false, varndb_getServiceCode("1", &a.code, nullptr)),
        ROW("getServiceCodeEx_value", true, varndb_getServiceCodeEx(nullptr, a.out, a.err)),
        ROW("getServiceCodeEx_out", true, varndb_getServiceCodeEx("v", nullptr, a.err)),
        ROW("getServiceCodeEx_errText", false, varndb_getServiceCodeEx("v", a.out, nullptr)),
        ROW("getSADBlock_value", true, varndb_getSADBlock(nullptr, a.fsn, 'f', a.out, a.err)),
        ROW("getSADBlock_flashSerialNumber", true, varndb_getSADBlock("v", nullptr, 'f', a.out, a.err)),
        ROW("getSADBlock_out", true, varndb_getSADBlock("v", a.fsn, 'f', nullptr, a.err)),
        ROW("getSADBlock_errText", false, varndb_getSADBlock("v", a.fsn, 'f', a.out, nullptr)),
        ROW("getImeiInfo_imei", true, varndb_getImeiInfo(nullptr, a.out, &a.n, a.err)),
        ROW("getImeiInfo_buf", true, varndb_getImeiInfo("1", nullptr, &a.n, a.err)),
        ROW("getImeiInfo_len", true, varndb_getImeiInfo("1", a.out, nullptr, a.err)),
        ROW("getImeiInfo_errText", false, varndb_getImeiInfo("1", a.out, &a.n, nullptr)),
        ROW("getFlashSerialNumber_buf", true, varndb_getFlashSerialNumber(nullptr, &a.n, a.err)),
        ROW("getFlashSerialNumber_len", true, varndb_getFlashSerialNumber(a.out, nullptr, a.err)),
        ROW("getFlashSerialNumber_errText", false, varndb_getFlashSerialNumber(a.out, &a.n, nullptr)),
        ROW("putFile_imei", true, varndb_putFile(nullptr, "t", "/tmp", "f", a.err)),
        ROW("putFile_fileType", true, varndb_putFile("1", nullptr, "/tmp", "f", a.err)),
        ROW("putFile_directory", true, varndb_putFile("1", "t", nullptr, "f", a.err)),
        ROW("putFile_fileName", true, varndb_putFile("1", "t", "/tmp", nullptr, a.err)),
        ROW("putFile_errText", false, varndb_putFile("1", "t", "/tmp", "f", nullptr)),
        ROW("getFile_imei", true, varndb_getFile(nullptr, "t", "/tmp", a.err)),
        ROW("getFile_fileType", true, varndb_getFile("1", nullptr, "/tmp", a.err)),
        ROW("getFile_directory", true, varndb_getFile("1", "t", nullptr, a.err)),
        ROW("getFile_errText", false, varndb_getFile("1", "t", "/tmp", nullptr)),
        ROW("deleteFile_imei", true, varndb_deleteFile(nullptr, "t", a.err)),
        ROW("deleteFile_fileType", true, varndb_deleteFile("1", nullptr, a.err)),
        ROW("deleteFile_errText", false, varndb_deleteFile("1", "t", nullptr)),
        ROW("fbg_setimei_laserId", false, varndb_fbg_setimei(nullptr, "f", "1")),
        ROW("fbg_setimei_fbgId", false, varndb_fbg_setimei("l", nullptr, "1")),
        ROW("fbg_setimei_imei", false, varndb_fbg_setimei("l", "f", nullptr)),
        ROW("fbg_setstatusNresult_laserId", false, varndb_fbg_setstatusNresult(nullptr, "f", "r")),
        ROW("fbg_setstatusNresult_fbgId", false, varndb_fbg_setstatusNresult("l", nullptr, "r")),
        ROW("fbg_setstatusNresult_result", false, varndb_fbg_setstatusNresult("l", "f", nullptr))),
    [](const auto& info) { return std::string(info.param.name); });
#undef ROW

// ---- every operation, without a client and with a call that raises ----

struct OpRow {
    const char* name;
    const char* op;  // the remote operation
    Call call;
    const char* notConnectedText;  // nullptr: no text
    const char* raiseText;         // errText after a call that raised twice
};
void PrintTo(const OpRow& r, std::ostream* os) { *os << r.name; }

const char* const kNotConnected = "Not connected to database!";

#define OP(name, op, noText, raise, expr) OpRow{name, op, [](Args& a) { return expr; }, noText, raise}
const auto kOperations = ::testing::Values(
    OP("GetData", "getData", kNotConnected, "getData() returns (-330) (Can't execute command on server!)",
       varndb_GetData("C", a.in, 3, a.out, &a.n, a.err)),
    OP("GetApxData", "getApxData", kNotConnected, "getApxData() returns (-330) (Can't execute command on server!)",
       varndb_GetApxData("C", a.in, 3, a.out, &a.n, a.err)),
    OP("WriteReport", "writeReport", kNotConnected, "writeReport() returns (-99) (Can't execute command on server!)",
       varndb_WriteReport(&a.rec, a.err)),
    OP("getServiceCode", "getServiceCode", kNotConnected,
       "getServiceCode() returns (-99) (Can't execute command on server!", varndb_getServiceCode("1", &a.code, a.err)),
    OP("getServiceCodeEx", "getServiceCodeEx", kNotConnected,
       "getServiceCodeEx() returns (-99) (Can't execute command on server!", varndb_getServiceCodeEx("v", a.out, a.err)),
    OP("getSADBlock", "getSADBlock", kNotConnected, "", varndb_getSADBlock("v", a.fsn, 'f', a.out, a.err)),
    OP("getImeiInfo", "getImeiInfo", kNotConnected, "junk", varndb_getImeiInfo("1", a.out, &a.n, a.err)),
    OP("getFlashSerialNumber", "getFlashSerialNumber", kNotConnected, "junk",
       varndb_getFlashSerialNumber(a.out, &a.n, a.err)),
    OP("putFile", "putFile", kNotConnected, "putFile() returns (-99) (Can't execute command on server!",
       varndb_putFile("1", "t", "/dev", "null", a.err)),
    OP("getFile", "getFile", kNotConnected, "getFile() returns (-99) (Can't execute command on server!",
       varndb_getFile("1", "t", "/tmp", a.err)),
    OP("deleteFile", "deleteFile", kNotConnected, "deleteFile() returns (-99) (Can't execute command on server!",
       varndb_deleteFile("1", "t", a.err)),
    OP("fbg_setimei", "fbgSetIMEI", nullptr, "junk", varndb_fbg_setimei("l", "f", "1")),
    OP("fbg_setstatusNresult", "fbgSetStatusNResult", nullptr, "junk", varndb_fbg_setstatusNresult("l", "f", "r")));
#undef OP

class CorvaneOperation : public CorvaneDb, public ::testing::WithParamInterface<OpRow> {};

TEST_P(CorvaneOperation, WithoutAClientIsNotConnected) {
    Args a;
    EXPECT_EQ(GetParam().call(a), VARNDB_E_NOT_CONNECTED);
    EXPECT_STREQ(a.err, GetParam().notConnectedText ? GetParam().notConnectedText : "junk");
    EXPECT_TRUE(server.journal().empty());
}

// A call that keeps raising: one reconnect, one more call, and its text.
TEST_P(CorvaneOperation, ACallThatRaisesReconnectsOnceAndCallsAgain) {
    connectOk();
    ASSERT_EQ(ok(std::string("fault ") + GetParam().op + " raise -1"), "ok");
    Args a;
    EXPECT_EQ(GetParam().call(a), VARNDB_E_REMOTE);
    EXPECT_STREQ(a.err, GetParam().raiseText);
    EXPECT_EQ(server.calls(GetParam().op).size(), 2u);
    EXPECT_EQ(server.calls("registration").size(), 1u);
    EXPECT_EQ(pclock::now_ms(), CORVANE_RETRY_WAIT_MS);
    EXPECT_NE(varndb_getInstance(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Operations, CorvaneOperation, kOperations,
                         [](const auto& info) { return std::string(info.param.name); });

// ---- GetData and GetApxData: what is read, what is copied back ----

struct CoderRow {
    const char* name;
    bool apx;
    int inSize;
    int capacity;      // *outSize on input, and the size of the caller's buffer
    int serverSize;    // the size the server reports
    int serverResult;
    int result;
    const char* text;  // nullptr: the server's message
};
void PrintTo(const CoderRow& r, std::ostream* os) { *os << r.name; }

class CorvaneCoder : public CorvaneDb, public ::testing::WithParamInterface<CoderRow> {};

TEST_P(CorvaneCoder, CopyRules) {
    const CoderRow& row = GetParam();
    connectOk();
    const char* op = row.apx ? "getApxData" : "getData";
    const std::size_t block = row.apx ? 10000 : 1000;
    std::string answer(block, '\0');
    for (std::size_t i = 0; i < block; ++i) answer[i] = static_cast<char>(i * 7 + 1);
    ok(std::string("reply ") + op + " data " + hex(answer));
    ok(std::string("reply ") + op + " number " + std::to_string(row.serverSize));
    ok(std::string("reply ") + op + " result " + std::to_string(row.serverResult));
    ok(std::string("reply ") + op + " message from the server");

    // Buffers of exactly the sizes given, so that reading or writing past
    // them is caught.
    std::vector<unsigned char> in(static_cast<std::size_t>(std::max(row.inSize, 1)));
    for (std::size_t i = 0; i < in.size(); ++i) in[i] = static_cast<unsigned char>(0xa0 + i);
    std::vector<unsigned char> out(static_cast<std::size_t>(row.capacity), 0xee);
    int n = row.capacity;
    char err[256] = "junk";
    int r = row.apx ? varndb_GetApxData("CODER", in.data(), row.inSize, out.data(), &n, err)
                    : varndb_GetData("CODER", in.data(), row.inSize, out.data(), &n, err);
    EXPECT_EQ(r, row.result);
    EXPECT_STREQ(err, row.text ? row.text : "from the server");

    auto calls = server.calls(op);
    bool copied = r == row.serverResult && row.serverSize >= 0 && row.serverSize <= row.capacity;
    if (row.inSize < 0 || row.inSize > 400) {
        EXPECT_TRUE(calls.empty());
    } else {
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0][2], "CODER");
        EXPECT_EQ(calls[0][3], std::to_string(row.inSize));
        EXPECT_EQ(calls[0][4], hex(in.data(), static_cast<std::size_t>(row.inSize)) + zeros(400 - row.inSize));
    }
    if (copied) {
        EXPECT_EQ(n, row.serverSize);
        EXPECT_EQ(hex(out.data(), static_cast<std::size_t>(n)), hex(answer.substr(0, static_cast<std::size_t>(n))));
        for (std::size_t i = static_cast<std::size_t>(n); i < out.size(); ++i) ASSERT_EQ(out[i], 0xee) << i;
    } else {
        EXPECT_EQ(n, row.capacity);
        for (unsigned char b : out) ASSERT_EQ(b, 0xee);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Operations, CorvaneCoder,
    ::testing::Values(
        CoderRow{"Fits", false, 3, 16, 5, 0, 0, nullptr},
        CoderRow{"FullBlocks", false, 400, 1000, 1000, 0, 0, nullptr},
        CoderRow{"ServerResultPassesWithTheAnswer", false, 3, 16, 5, 7, 7, nullptr},
        CoderRow{"InputSizeNegative", false, -1, 16, 5, 0, VARNDB_E_LOCAL, "Input size -1 out of range [0..400]!"},
        CoderRow{"InputSizeAboveTheBlock", false, 401, 16, 5, 0, VARNDB_E_LOCAL,
                 "Input size 401 out of range [0..400]!"},
        CoderRow{"AnswerLargerThanTheBuffer", false, 3, 16, 17, 0, VARNDB_E_LOCAL,
                 "Output buffer to small! Should:17, Is:16!"},
        CoderRow{"AnswerLargerThanTheBlock", false, 3, 2000, 1001, 0, VARNDB_E_LOCAL,
                 "Output buffer to small! Should:1001, Is:1000!"},
        CoderRow{"NegativeAnswerSize", false, 3, 16, -5, 0, VARNDB_E_LOCAL, "Output buffer to small! Should:-5, Is:16!"},
        CoderRow{"ServerFailureWithABadSize", false, 3, 16, 17, 9, 9, nullptr},
        CoderRow{"ApxFullBlock", true, 400, 10000, 10000, 0, 0, nullptr},
        CoderRow{"ApxAnswerLargerThanTheBlock", true, 3, 12000, 10001, 0, VARNDB_E_LOCAL,
                 "Output buffer to small! Should:10001, Is:10000!"},
        CoderRow{"ApxInputSizeAboveTheBlock", true, 401, 16, 5, 0, VARNDB_E_LOCAL,
                 "Input size 401 out of range [0..400]!"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- getImeiInfo and getFlashSerialNumber: lengths ----

struct LengthRow {
    const char* name;
    bool flash;        // getFlashSerialNumber, else getImeiInfo
    int len;           // *len on input
    int serverLength;
    int serverResult;
    int result;
    const char* text;  // nullptr: the server's message
};
void PrintTo(const LengthRow& r, std::ostream* os) { *os << r.name; }

class CorvaneLength : public CorvaneDb, public ::testing::WithParamInterface<LengthRow> {};

TEST_P(CorvaneLength, CopyRules) {
    const LengthRow& row = GetParam();
    connectOk();
    const char* op = row.flash ? "getFlashSerialNumber" : "getImeiInfo";
    std::string answer(257, '\0');
    for (std::size_t i = 0; i < answer.size(); ++i) answer[i] = static_cast<char>(i + 1);
    ok(std::string("reply ") + op + " data " + hex(answer));
    ok(std::string("reply ") + op + " number " + std::to_string(row.serverLength));
    ok(std::string("reply ") + op + " result " + std::to_string(row.serverResult));
    ok(std::string("reply ") + op + " message server says");

    std::vector<unsigned char> buf(static_cast<std::size_t>(std::max(row.len, 1)), 0xee);
    int len = row.len;
    char err[256] = "junk";
    int r = row.flash ? varndb_getFlashSerialNumber(buf.data(), &len, err)
                      : varndb_getImeiInfo("490154203237518", buf.data(), &len, err);
    EXPECT_EQ(r, row.result);
    EXPECT_STREQ(err, row.text ? row.text : "server says");
    auto calls = server.calls(op);
    if (row.len > 256) {
        EXPECT_TRUE(calls.empty());
    } else {
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0][2], row.flash ? std::to_string(row.len) : "490154203237518");  // inout length / imei
    }
    bool copied = r == row.serverResult && row.serverLength >= 0 && row.serverLength <= row.len && row.len <= 256;
    if (copied) {
        EXPECT_EQ(len, row.serverLength);
        EXPECT_EQ(hex(buf.data(), static_cast<std::size_t>(len)), hex(answer.substr(0, static_cast<std::size_t>(len))));
    } else {
        EXPECT_EQ(len, row.len);
        for (unsigned char b : buf) ASSERT_EQ(b, 0xee);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Operations, CorvaneLength,
    ::testing::Values(
        LengthRow{"ImeiInfoFits", false, 256, 10, 0, 0, nullptr},
        LengthRow{"ImeiInfoWholeBlock", false, 256, 256, 0, 0, nullptr},
        LengthRow{"ImeiInfoCapacityAbove256", false, 257, 10, 0, VARNDB_E_LOCAL, "Input buffer > 256!"},
        LengthRow{"ImeiInfoLongerThanTheBuffer", false, 8, 10, 0, VARNDB_E_LOCAL,
                  "Output buffer to small! Should:10, Is:8!"},
        LengthRow{"ImeiInfoLongerWithAServerResult", false, 8, 10, 3, 3, nullptr},
        LengthRow{"ImeiInfoNegativeLength", false, 8, -1, 0, VARNDB_E_LOCAL, "Output buffer to small! Should:-1, Is:8!"},
        LengthRow{"FlashSerialNumberFits", true, 16, 16, 0, 0, nullptr},
        LengthRow{"FlashSerialNumberResultPasses", true, 16, 12, 4, 4, nullptr},
        LengthRow{"FlashSerialNumberCapacityAbove256", true, 257, 16, 0, VARNDB_E_LOCAL, "Input buffer > 256!"},
        LengthRow{"FlashSerialNumberLongerThanTheBuffer", true, 16, 17, 0, VARNDB_E_LOCAL, "Output buffer to small!"},
        LengthRow{"FlashSerialNumberNegativeLength", true, 16, -1, 0, VARNDB_E_LOCAL,
                  "Output buffer to small! Should:-1, Is:16!"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the fixed blocks and 64-bit results ----

TEST_F(CorvaneDb, SADBlockSendsTheSerialNumberUpToItsEndOr16BytesAndCuts49Bytes) {
    connectOk();
    ok("reply getSADBlock data " + hex(std::string(50, '\xab')));
    ok("reply getSADBlock message sad");
    unsigned char serial[300];
    std::memset(serial, 'x', sizeof serial);
    std::memcpy(serial, "FSN123", 7);  // with its terminator
    unsigned char out[50];
    std::memset(out, 0x11, sizeof out);
    char err[256] = "junk";
    EXPECT_EQ(varndb_getSADBlock("VALUE", serial, 'Y', out, err), 0);
    EXPECT_STREQ(err, "sad");
    EXPECT_EQ(hex(out, 50), hex(std::string(49, '\xab')) + "00");

    // A serial number as getFlashSerialNumber hands it out: 16 bytes without
    // a terminator, alone in its buffer, so that a read past it is caught.
    auto fsn = std::make_unique<unsigned char[]>(CORVANE_FLASH_SERIAL_SIZE);
    std::memset(fsn.get(), 'A', CORVANE_FLASH_SERIAL_SIZE);
    EXPECT_EQ(varndb_getSADBlock("VALUE", fsn.get(), 'N', out, err), 0);
    std::memset(serial, 'B', sizeof serial);  // no terminator in a longer buffer: 16 bytes go
    EXPECT_EQ(varndb_getSADBlock("VALUE", serial, 'N', out, err), 0);
    auto calls = server.calls("getSADBlock");
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0][2], "VALUE");
    EXPECT_EQ(calls[0][3], hex(std::string("FSN123")) + zeros(257 - 6));
    EXPECT_EQ(calls[0][4], "Y");
    EXPECT_EQ(calls[1][3], hex(std::string(16, 'A')) + zeros(257 - 16));
    EXPECT_EQ(calls[1][4], "N");
    EXPECT_EQ(calls[2][3], hex(std::string(16, 'B')) + zeros(257 - 16));
}

TEST_F(CorvaneDb, ServiceCodesKeepTheLow32Bits) {
    connectOk();
    ok("reply getServiceCode number 4294967303");  // 2^32 + 7
    ok("reply getServiceCode result 4294967298");  // 2^32 + 2
    ok("reply getServiceCode message code");
    int code = 0;
    char err[256] = "junk";
    EXPECT_EQ(varndb_getServiceCode("490154203237518", &code, err), 2);
    EXPECT_EQ(code, 7);
    EXPECT_STREQ(err, "code");

    std::string pin(33, '\0');
    for (int i = 0; i < 33; ++i) pin[static_cast<std::size_t>(i)] = static_cast<char>('a' + i % 26);
    ok("reply getServiceCodeEx data " + hex(pin));
    ok("reply getServiceCodeEx result -3");
    unsigned char out[33] = {};
    EXPECT_EQ(varndb_getServiceCodeEx("VAL", out, err), -3);
    EXPECT_EQ(hex(out, 33), hex(pin));
    EXPECT_EQ(server.calls("getServiceCodeEx")[0][2], "VAL");
}

TEST_F(CorvaneDb, WriteReportSendsTheWholeRecord) {
    connectOk();
    ok("reply writeReport result 4294967301");  // 2^32 + 5
    ok("reply writeReport message stored");
    Varn_DorlepData rec{};
    std::strcpy(rec.imei_nr, "490154203237518");
    rec.pruefstatus = -7;
    std::strcpy(rec.linie_staort, "ABC");
    std::strcpy(rec.linie_typ, "T");
    rec.linie_nr = 12;
    std::strcpy(rec.pruef_datum, "2026-12-10 10:00:00");
    std::strcpy(rec.sach_nr, "S123");
    std::strcpy(rec.sw_rel, "R1");
    std::strcpy(rec.comp_datum, "2026-11-01 09:00:00");
    std::strcpy(rec.simcard_nr, "8949");
    std::strcpy(rec.flash_nr, "F1");
    rec.iZpos = 3;
    std::strcpy(rec.pcMacId, "001122334455");
    rec.iStdMapVer = 4;
    rec.iProvider = 5;
    rec.iDeltaMapVer = 6;
    rec.iSimlock = 7;
    rec.iBitmap = 8;
    rec.iSound = 0x7fffffff;
    char err[256] = "junk";
    EXPECT_EQ(varndb_WriteReport(&rec, err), 5);
    EXPECT_STREQ(err, "stored");
    auto calls = server.calls("writeReport");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0][1], varndb_getInstance()->ClientId());
    EXPECT_EQ(calls[0][2], hex(&rec, sizeof rec));
}

TEST_F(CorvaneDb, FbgOperationsPassTheirTextsAndResults) {
    connectOk();
    ok("reply fbgSetIMEI result -42");
    ok("reply fbgSetStatusNResult result 3");
    EXPECT_EQ(varndb_fbg_setimei("LASER", "FBG", "490154203237518"), -42);
    EXPECT_EQ(varndb_fbg_setstatusNresult("LASER", "FBG", "PASS"), 3);
    const std::string id = varndb_getInstance()->ClientId();
    EXPECT_EQ(server.journal(), (std::vector<std::string>{"fbgSetIMEI\t" + id + "\tLASER\tFBG\t490154203237518",
                                                          "fbgSetStatusNResult\t" + id + "\tLASER\tFBG\tPASS"}));
}

TEST_F(CorvaneDb, ServerMessagesAreCutTo255Characters) {
    connectOk();
    const std::string message(300, 'm');
    ok("reply deleteFile message " + message);
    char err[300];
    std::memset(err, 'x', sizeof err);
    EXPECT_EQ(varndb_deleteFile("1", "t", err), 0);
    EXPECT_EQ(std::string(err), message.substr(0, 255));
    EXPECT_EQ(err[256], 'x');  // nothing beyond the 256 bytes
}

} // namespace
