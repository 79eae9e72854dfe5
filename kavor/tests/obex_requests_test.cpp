// The exact bytes and time-outs of the OBEX requests each export sends.
#include "obex_test_support.h"

#include <functional>

namespace {

using namespace obextest;

const Bytes kConnect = Bytes{0x80, 0x00, 0x1A, 0x10, 0x00, 0x0F, 0xFD, 0x46, 0x00, 0x13} + kTarget;
const Bytes kDisconnect = Bytes{0x81, 0x00, 0x08} + kIdBytes;
const Bytes kContinuation = Bytes{0x83, 0x00, 0x08} + kIdBytes;
// Set path into one folder, and to the root.
Bytes setPath(const std::string& folder) {
    return Bytes{0x85} + be16(15 + 2 * folder.size()) + Bytes{0x02, 0x00} + kIdBytes + nameHeader(folder);
}
const Bytes kSetPathRoot = Bytes{0x85, 0x00, 0x0A, 0x02, 0x00} + kIdBytes;

struct RequestCase {
    const char* name;
    std::function<void(obextest::ObexFixture&)> setUp;
    std::function<unsigned char(obextest::ObexFixture&)> call;
    std::vector<Bytes> requests;
    std::vector<long long> timeouts;
};

void PrintTo(const RequestCase& c, std::ostream* os) { *os << c.name; }

class ObexRequests : public ObexFixture, public ::testing::WithParamInterface<RequestCase> {};

TEST_P(ObexRequests, SendsExactlyTheseRequests) {
    const RequestCase& c = GetParam();
    if (c.setUp) c.setUp(*this);
    c.call(*this);
    const auto sent = requests();
    ASSERT_EQ(sent.size(), c.requests.size());
    for (std::size_t i = 0; i < sent.size(); ++i) EXPECT_EQ(sent[i], c.requests[i]) << "request " << i;
    EXPECT_EQ(timeouts(), c.timeouts);
}

unsigned short g_bits;
char g_listing[4096];

const Bytes kPutData = filled(5000);

INSTANTIATE_TEST_SUITE_P(
    Obex, ObexRequests,
    ::testing::Values(
        RequestCase{"ListDirOfTheCurrentFolder", nullptr,
                    [](ObexFixture& f) {
                        unsigned int size = sizeof g_listing;
                        return KAVOR_OBEX_ListDir(f.h, "", g_listing, &size, &g_bits);
                    },
                    {kConnect,
                     Bytes{0x83, 0x00, 0x21} + kIdBytes + Bytes{0x42, 0x00, 0x19} + ascii("x-obex/folder-listing") +
                         Bytes{0},
                     kContinuation, kDisconnect},
                    {3000, 5000, 5000, 3000}},
        RequestCase{"SetPathSplitsAtEveryBackslash",
                    [](ObexFixture& f) { f.server().add_folder("a/b"); },
                    [](ObexFixture& f) { return KAVOR_OBEX_CreateFolder(f.h, "a\\b\\", "", &g_bits); },
                    {kConnect, setPath("a"), setPath("b"), kDisconnect},
                    {3000, 3000, 3000, 3000}},
        RequestCase{"LeadingBackslashGoesToTheRootWithoutName",
                    [](ObexFixture& f) { f.server().add_folder("a"); },
                    [](ObexFixture& f) { return KAVOR_OBEX_CreateFolder(f.h, "\\a\\", "", &g_bits); },
                    {kConnect, kSetPathRoot, setPath("a"), kDisconnect},
                    {3000, 3000, 3000, 3000}},
        RequestCase{"LoneBackslashIsOneSetPathWithoutName", nullptr,
                    [](ObexFixture& f) { return KAVOR_OBEX_CreateFolder(f.h, "\\", "", &g_bits); },
                    {kConnect, kSetPathRoot, kDisconnect},
                    {3000, 3000, 3000}},
        RequestCase{"PathWithoutTrailingBackslashSendsNoSetPath", nullptr,
                    [](ObexFixture& f) { return KAVOR_OBEX_CreateFolder(f.h, "a\\b", "n", &g_bits); },
                    {kConnect, kDisconnect},
                    {3000, 3000}},
        RequestCase{"GetFileWithContinuations",
                    [](ObexFixture& f) {
                        f.server().add_file("x.txt", filled(10));
                        f.server().body_chunk = 6;
                    },
                    [](ObexFixture& f) { return KAVOR_OBEX_GetFile(f.h, "", "x.txt", f.local.c_str(), &g_bits); },
                    {kConnect, Bytes{0x83, 0x00, 0x17} + kIdBytes + nameHeader("x.txt"), kContinuation, kContinuation,
                     kDisconnect},
                    {3000, 5000, 5000, 5000, 3000}},
        RequestCase{"SendFileFirstAndLaterPacket",
                    [](ObexFixture& f) { f.writeLocal("f.bin", kPutData); },
                    [](ObexFixture& f) {
                        return KAVOR_OBEX_SendFile(f.h, f.local.c_str(), "f.bin", "", &g_bits);
                    },
                    {kConnect,
                     Bytes{0x02, 0x0F, 0xFD} + kIdBytes + nameHeader("f.bin") + Bytes{0xC3, 0x00, 0x00, 0x13, 0x88} +
                         Bytes{0x44, 0x00, 0x12} + ascii("20050701T134500") + Bytes{0x48} + be16(3 + 4044) +
                         Bytes(kPutData.begin(), kPutData.begin() + 4044),
                     Bytes{0x82} + be16(11 + 956) + kIdBytes + Bytes{0x49} + be16(3 + 956) +
                         Bytes(kPutData.begin() + 4044, kPutData.end()),
                     kDisconnect},
                    {3000, 9000, 9000, 3000}},
        RequestCase{"DeleteFile", [](ObexFixture& f) { f.server().add_file("old.txt", {1}); },
                    [](ObexFixture& f) { return KAVOR_OBEX_DeleteFile(f.h, "", "old.txt", &g_bits); },
                    {kConnect, Bytes{0x82, 0x00, 0x1B} + kIdBytes + nameHeader("old.txt"), kDisconnect},
                    {3000, 5000, 3000}},
        RequestCase{"CreateFolderMayCreate", nullptr,
                    [](ObexFixture& f) { return KAVOR_OBEX_CreateFolder(f.h, "", "new", &g_bits); },
                    {kConnect, Bytes{0x85, 0x00, 0x15, 0x00, 0x00} + kIdBytes + nameHeader("new"), kDisconnect},
                    {3000, 3000, 3000}},
        RequestCase{"CopyNamesBothFilesWithSlashes", nullptr,
                    [](ObexFixture& f) { return KAVOR_OBEX_CopyFile(f.h, "a\\b\\", "x.txt", "c\\", &g_bits); },
                    {kConnect,
                     Bytes{0x82, 0x00, 0x35} + kIdBytes + Bytes{0x4C, 0x00, 0x2D, 0x34, 0x04} + ascii("copy") +
                         Bytes{0x35, 0x12} + wide("a/b/x.txt") + Bytes{0x36, 0x0E} + wide("c/x.txt"),
                     kDisconnect},
                    {3000, 6000, 3000}},
        RequestCase{"MoveSaysMove", nullptr,
                    [](ObexFixture& f) { return KAVOR_OBEX_MoveFile(f.h, "d\\", "y", "\\", &g_bits); },
                    {kConnect,
                     Bytes{0x82, 0x00, 0x1F} + kIdBytes + Bytes{0x4C, 0x00, 0x17, 0x34, 0x04} + ascii("move") +
                         Bytes{0x35, 0x06} + wide("d/y") + Bytes{0x36, 0x04} + wide("/y"),
                     kDisconnect},
                    {3000, 6000, 3000}},
        RequestCase{"SetAttrThreeAndFourAreRwAndD", [](ObexFixture& f) { f.server().add_file("f", {}); },
                    [](ObexFixture& f) { return KAVOR_OBEX_SetAttr(f.h, "", "f", 3, 4, &g_bits); },
                    {kConnect,
                     Bytes{0x82, 0x00, 0x1B} + kIdBytes + nameHeader("f") + Bytes{0x4C, 0x00, 0x0C, 0x38, 0x07} +
                         ascii("\"RW\"\"D\""),
                     kDisconnect},
                    {3000, 3000, 3000}},
        RequestCase{"SetAttrOutOfRangeIsEmptyQuotes", [](ObexFixture& f) { f.server().add_file("f", {}); },
                    [](ObexFixture& f) { return KAVOR_OBEX_SetAttr(f.h, "", "f", 0, 7, &g_bits); },
                    {kConnect,
                     Bytes{0x82, 0x00, 0x1B} + kIdBytes + nameHeader("f") + Bytes{0x4C, 0x00, 0x0C, 0x38, 0x07} +
                         ascii("\"\"\"RWD\""),
                     kDisconnect},
                    {3000, 3000, 3000}},
        RequestCase{"FreeSpaceWithoutSetPath", nullptr,
                    [](ObexFixture& f) {
                        unsigned int free = 0;
                        return KAVOR_OBEX_FreeSpaceCheck(f.h, &free, &g_bits);
                    },
                    {kConnect, Bytes{0x83, 0x00, 0x0E} + kIdBytes + Bytes{0x4C, 0x00, 0x06, 0x32, 0x01, 0x02},
                     kDisconnect},
                    {3000, 5000, 3000}},
        RequestCase{"BackToAt", nullptr,
                    [](ObexFixture& f) {
                        unsigned short code = 0;
                        return KAVOR_OBEX_2_AT(f.h, &code);
                    },
                    {ascii("+++") + Bytes{0}},
                    {3000}}),
    [](const ::testing::TestParamInfo<RequestCase>& info) { return std::string(info.param.name); });

} // namespace
