// Coder data: the argument gate, the answer, its size checks and the
// database's refusals, for both buffer sizes.
#include "data_fixture.h"

#include <cstring>
#include <functional>

namespace {

using GetDataFn = int (*)(const char*, const unsigned char*, int, unsigned char*, int*, char*);

struct Variant {
    const char* name;
    GetDataFn fn;
    int inCapacity, outCapacity;
};
const Variant kGetData{"GetData", varndb_GetData, 800, 2000};
const Variant kGetApxData{"GetApxData", varndb_GetApxData, 400, 10000};

constexpr const char* kParamText = "VaRndb.dll: varndb_GetData() - parameter null or to big [>=32000]!";
constexpr const char* kCoderText = "VaRndb.dll: varndb_GetData() - pvCoder is to big [>=255]!";

// The call's arguments; a row changes what it needs.
struct Call {
    std::string coder = "ECHO";
    bool nullCoder = false, nullIn = false, nullOut = false, nullOutSize = false;
    int inSize = 10;
    int outSize = 100;
};

struct RefusalRow {
    const char* name;
    std::function<void(Call&, const Variant&)> change;
    int result;
    const char* text;
};
void PrintTo(const RefusalRow& r, std::ostream* os) { *os << r.name; }

class GetDataRefusal : public DalmireData,
                       public ::testing::WithParamInterface<std::tuple<Variant, RefusalRow>> {};

std::vector<unsigned char> input(std::size_t n) {
    std::vector<unsigned char> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<unsigned char>(i * 7);
    return v;
}

int run(const Variant& v, const Call& c, std::vector<unsigned char>& out, int& outSize, char* err) {
    auto in = input(static_cast<std::size_t>(std::max(c.inSize, 0)) + 1);
    out.assign(static_cast<std::size_t>(std::max(c.outSize, 0)) + 1, 0xEE);
    outSize = c.outSize;
    return v.fn(c.nullCoder ? nullptr : c.coder.c_str(), c.nullIn ? nullptr : in.data(), c.inSize,
                c.nullOut ? nullptr : out.data(), c.nullOutSize ? nullptr : &outSize, err);
}

TEST_P(GetDataRefusal, RefusedBeforeTheBlock) {
    const auto& [v, row] = GetParam();
    Call c;
    row.change(c, v);
    std::vector<unsigned char> out;
    int outSize = 0;
    char err[256] = "junk";
    EXPECT_EQ(run(v, c, out, outSize, err), row.result);
    EXPECT_STREQ(err, row.text);
    EXPECT_EQ(calls("getdata"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GetDataRefusal,
    ::testing::Combine(
        ::testing::Values(kGetData, kGetApxData),
        ::testing::Values(
            RefusalRow{"NullInput", [](Call& c, const Variant&) { c.nullIn = true; }, -2, kParamText},
            RefusalRow{"NullOutput", [](Call& c, const Variant&) { c.nullOut = true; }, -2, kParamText},
            RefusalRow{"NullOutSize", [](Call& c, const Variant&) { c.nullOutSize = true; }, -2, kParamText},
            RefusalRow{"NegativeInSize", [](Call& c, const Variant&) { c.inSize = -1; }, -2, kParamText},
            RefusalRow{"InSizeAboveHostBuffer", [](Call& c, const Variant& v) { c.inSize = v.inCapacity + 1; }, -2,
                       kParamText},
            RefusalRow{"InSize32000", [](Call& c, const Variant&) { c.inSize = 32000; }, -2, kParamText},
            RefusalRow{"NegativeOutSize", [](Call& c, const Variant&) { c.outSize = -1; }, -2, kParamText},
            RefusalRow{"OutSize32000", [](Call& c, const Variant&) { c.outSize = 32000; }, -2, kParamText},
            RefusalRow{"Coder255", [](Call& c, const Variant&) { c.coder = text(255); }, -3, kCoderText})),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
    });

class GetDataVariants : public DalmireData, public ::testing::WithParamInterface<Variant> {};

TEST_P(GetDataVariants, EchoAtTheLargestInput) {
    const Variant& v = GetParam();
    Call c;
    c.inSize = v.inCapacity;
    c.outSize = v.outCapacity;
    std::vector<unsigned char> out;
    int outSize = 0;
    char err[256] = "junk";
    ASSERT_EQ(run(v, c, out, outSize, err), 0) << err;
    EXPECT_EQ(outSize, v.inCapacity);
    auto in = input(static_cast<std::size_t>(v.inCapacity));
    EXPECT_EQ(std::memcmp(out.data(), in.data(), in.size()), 0);
    EXPECT_EQ(out[in.size()], 0xEE);  // nothing past the answer
    EXPECT_EQ(admin.value("SELECT insize || ' ' || length(input) || ' ' || outsize_in || ' ' || length(output_in) "
                          "FROM mero.coder_call"),
              std::to_string(v.inCapacity) + " " + std::to_string(v.inCapacity) + " " +
                  std::to_string(v.outCapacity) + " " + std::to_string(v.outCapacity));
}

TEST_P(GetDataVariants, OutSizeAboveTheHostBufferBindsOnlyTheHostBuffer) {
    const Variant& v = GetParam();
    Call c;
    c.outSize = 31999;
    std::vector<unsigned char> out;
    int outSize = 0;
    char err[256] = "junk";
    ASSERT_EQ(run(v, c, out, outSize, err), 0) << err;
    EXPECT_EQ(outSize, 10);
    EXPECT_EQ(admin.value("SELECT outsize_in || ' ' || length(output_in) FROM mero.coder_call"),
              "31999 " + std::to_string(v.outCapacity));
}

TEST_P(GetDataVariants, Coder254IsAccepted) {
    admin.exec("INSERT INTO mero.coder (coder) VALUES ('" + text(254) + "')");
    Call c;
    c.coder = text(254);
    std::vector<unsigned char> out;
    int outSize = 0;
    char err[256] = "";
    EXPECT_EQ(run(GetParam(), c, out, outSize, err), 0) << err;
    EXPECT_EQ(calls("getdata"), 1);
}

TEST_P(GetDataVariants, NullCoderIsSentAsEmpty) {
    Call c;
    c.nullCoder = true;
    std::vector<unsigned char> out;
    int outSize = 0;
    char err[256] = "";
    EXPECT_EQ(run(GetParam(), c, out, outSize, err), -1);
    EXPECT_EQ(admin.value("SELECT coalesce(coder, 'NULL') FROM mero.coder_call"), "NULL");
}

INSTANTIATE_TEST_SUITE_P(Both, GetDataVariants, ::testing::Values(kGetData, kGetApxData),
                         [](const auto& info) { return std::string(info.param.name); });

// Answers whose size may not be copied: -5 and the caller's buffer untouched.
struct SizeRow {
    const char* name;
    int outSize;      // the caller's capacity
    const char* dbOutsize;  // what the database reports
    int shown;        // the buffer size in the message
};
void PrintTo(const SizeRow& r, std::ostream* os) { *os << r.name; }

class GetDataSize : public DalmireData, public ::testing::WithParamInterface<SizeRow> {};

TEST_P(GetDataSize, IsRefused) {
    const SizeRow& row = GetParam();
    admin.exec(std::string("INSERT INTO mero.coder VALUES ('SIZE', 0, 'abc', ") + row.dbOutsize + ")");
    Call c;
    c.coder = "SIZE";
    c.outSize = row.outSize;
    std::vector<unsigned char> out;
    int outSize = 0;
    char err[256] = "";
    varndb_AutoDisconnect(0);
    EXPECT_EQ(run(kGetData, c, out, outSize, err), VARNDB_E_RESULT_SIZE);
    EXPECT_EQ(std::string(err), std::string("Result size (") + row.dbOutsize + " byte) is greater as your output buffer (" +
                                    std::to_string(row.shown) + " byte)!");
    EXPECT_EQ(outSize, row.outSize);
    EXPECT_EQ(out[0], 0xEE);
}

INSTANTIATE_TEST_SUITE_P(Rows, GetDataSize,
                         ::testing::Values(SizeRow{"AboveTheCallersBuffer", 2, "3", 2},
                                           SizeRow{"Negative", 100, "-1", 100},
                                           SizeRow{"AboveTheHostBuffer", 31999, "2001", 2000}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DalmireData, GetDataNonzeroResultShowsTheFirst150Characters) {
    std::string data = text(150, 'a') + "TAIL";
    admin.exec("INSERT INTO mero.coder VALUES ('FAIL', -5, convert_to('" + data + "', 'SQL_ASCII'), NULL)");
    Call c;
    c.coder = "FAIL";
    c.outSize = 1000;
    std::vector<unsigned char> out;
    int outSize = 0;
    char err[256] = "";
    EXPECT_EQ(run(kGetData, c, out, outSize, err), -5);
    EXPECT_EQ(std::string(err), "Station not released for this line (-5)\n" + text(150, 'a'));
    EXPECT_EQ(outSize, 1000);
    EXPECT_EQ(out[0], 0xEE);
}

TEST_F(DalmireData, GetDataNonzeroResultMessageStaysInsideErrText) {
    admin.exec("UPDATE mero.bas_meltex_row SET text = repeat('m', 255) WHERE nr = 200005");
    admin.exec("INSERT INTO mero.coder VALUES ('FAIL', -5, convert_to(repeat('d', 200), 'SQL_ASCII'), NULL)");
    Call c;
    c.coder = "FAIL";
    std::vector<unsigned char> out;
    int outSize = 0;
    char err[300];
    std::memset(err, '#', sizeof err);
    EXPECT_EQ(run(kGetData, c, out, outSize, err), -5);
    admin.exec("UPDATE mero.bas_meltex_row SET text = 'Station not released for this line' WHERE nr = 200005");
    EXPECT_EQ(std::strlen(err), 255u);
    EXPECT_EQ(err[256], '#');
}

TEST_F(DalmireData, GetDataOracleError) {
    inject("getdata", -1400);
    Call c;
    std::vector<unsigned char> out;
    int outSize = 0;
    char err[256] = "";
    EXPECT_EQ(run(kGetData, c, out, outSize, err), VARNDB_E_LOCAL);
    EXPECT_STREQ(err, "Oracle error: -1400 (ORA-01400: injected fault in getdata)!");
    EXPECT_EQ(outSize, 100);
}

TEST_F(DalmireData, GetDataRerunsAnInvalidatedPackage) {
    inject("getdata", -4068, 2);
    Call c;
    std::vector<unsigned char> out;
    int outSize = 0;
    char err[256] = "";
    EXPECT_EQ(run(kGetData, c, out, outSize, err), 0) << err;
    EXPECT_EQ(outSize, 10);
    EXPECT_EQ(calls("getdata"), 3);
}

TEST_F(DalmireData, GetDataCommitsInsideTheBlock) {
    Call c;
    std::vector<unsigned char> out;
    int outSize = 0;
    char err[256] = "";
    ASSERT_EQ(run(kGetData, c, out, outSize, err), 0) << err;
    // The admin session sees the call while the station is still connected.
    EXPECT_EQ(admin.value("SELECT count(*) FROM mero.coder_call"), "1");
}

TEST_F(DalmireData, GetDataNotConnected) {
    varndb_Disconnect();
    Call c;
    std::vector<unsigned char> out;
    int outSize = 0;
    char err[256] = "";
    EXPECT_EQ(run(kGetData, c, out, outSize, err), VARNDB_E_NOT_CONNECTED);
    EXPECT_STREQ(err, "Not connected to database!");
}

} // namespace
