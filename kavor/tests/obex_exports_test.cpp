// Each export against each kind of phone behaviour: the error bits and the
// result it gives.
#include "obex_test_support.h"

#include <functional>

namespace {

using namespace obextest;

unsigned short g_bits;

struct ExportCase {
    const char* name;
    std::function<void(ObexFixture&)> phone;  // how the phone behaves
    std::function<unsigned char(ObexFixture&)> call;
    unsigned short bits;
    unsigned char result;
};
void PrintTo(const ExportCase& c, std::ostream* os) { *os << c.name; }

class ObexExports : public ObexFixture, public ::testing::WithParamInterface<ExportCase> {};

TEST_P(ObexExports, GiveTheseBitsAndResult) {
    const ExportCase& c = GetParam();
    server().add_file("dir/file.txt", ascii("hello"));
    server().add_folder("empty");
    writeLocal("up.txt", ascii("local data"));
    if (c.phone) c.phone(*this);
    g_bits = 0xFFFF;  // cleared by the export
    EXPECT_EQ(c.call(*this), c.result);
    EXPECT_EQ(g_bits, c.bits);
}

// Phone behaviours.
auto scripted(ObexOp op, std::vector<std::uint8_t> codes) {
    return [op, codes](ObexFixture& f) { f.server().script[op].assign(codes.begin(), codes.end()); };
}
auto answering(std::uint8_t opcode, Bytes reply) {
    return [opcode, reply](ObexFixture& f) { f.answerOpcode(opcode, reply); };
}

// The exports with typical arguments.
unsigned char listDir(ObexFixture& f, const char* path = "dir\\") {
    static char buffer[4096];
    unsigned int size = sizeof buffer;
    return KAVOR_OBEX_ListDir(f.h, path, buffer, &size, &g_bits);
}
unsigned char getFile(ObexFixture& f, const char* name = "file.txt") {
    return KAVOR_OBEX_GetFile(f.h, "dir\\", name, f.local.c_str(), &g_bits);
}
unsigned char sendFile(ObexFixture& f, const char* name = "up.txt") {
    return KAVOR_OBEX_SendFile(f.h, f.local.c_str(), name, "dir\\", &g_bits);
}
unsigned char deleteFile(ObexFixture& f, const char* name = "file.txt") {
    return KAVOR_OBEX_DeleteFile(f.h, "dir\\", name, &g_bits);
}
unsigned char createFolder(ObexFixture& f, const char* name = "new") {
    return KAVOR_OBEX_CreateFolder(f.h, "", name, &g_bits);
}
unsigned char copyFile(ObexFixture& f, const char* name = "file.txt", const char* to = "empty\\") {
    return KAVOR_OBEX_CopyFile(f.h, "dir\\", name, to, &g_bits);
}
unsigned char moveFile(ObexFixture& f, const char* name = "file.txt") {
    return KAVOR_OBEX_MoveFile(f.h, "dir\\", name, "empty\\", &g_bits);
}
unsigned char setAttr(ObexFixture& f, const char* name = "file.txt") {
    return KAVOR_OBEX_SetAttr(f.h, "dir\\", name, 1, 2, &g_bits);
}
unsigned char freeSpace(ObexFixture& f) {
    unsigned int free = 0;
    return KAVOR_OBEX_FreeSpaceCheck(f.h, &free, &g_bits);
}

const std::string kLongName(124, 'n');  // "dir/" + 124 characters: 128

INSTANTIATE_TEST_SUITE_P(
    Obex, ObexExports,
    ::testing::Values(
        // Every export: connect refused, set path refused, disconnect refused.
        ExportCase{"ListDirConnectRefused", scripted(ObexOp::Connect, {0xD0}), [](auto& f) { return listDir(f); }, 1, 0},
        ExportCase{"ListDirPathNotFound", nullptr, [](auto& f) { return listDir(f, "nope\\"); }, 4, 1},
        ExportCase{"ListDirDisconnectRefused", scripted(ObexOp::Disconnect, {0xC3}), [](auto& f) { return listDir(f); }, 2, 0},
        ExportCase{"ListDirPathAndDisconnectFail", scripted(ObexOp::Disconnect, {0xC3}),
                   [](auto& f) { return listDir(f, "nope\\"); }, 4 | 2, 0},
        ExportCase{"ListDirDone", nullptr, [](auto& f) { return listDir(f); }, 0, 1},
        ExportCase{"ListDirRefused", scripted(ObexOp::Get, {0xC3}), [](auto& f) { return listDir(f); }, 8, 1},
        ExportCase{"ListDirAnswerWithoutBody", answering(0x83, answer(0x90, {0xCB, 0, 0xC0, 0xFF, 0xEE})),
                   [](auto& f) { return listDir(f); }, 8, 1},
        ExportCase{"ListDirBodyRunsPastTheAnswer", answering(0x83, answer(0x90, {0x48, 0x00, 0x20, 'x'})),
                   [](auto& f) { return listDir(f); }, 16, 1},
        ExportCase{"ListDirEmptyAnswer", answering(0x83, {}), [](auto& f) { return listDir(f); }, 16, 1},

        ExportCase{"GetFileDone", nullptr, [](auto& f) { return getFile(f); }, 0, 1},
        ExportCase{"GetFileNotFound", nullptr, [](auto& f) { return getFile(f, "nope.txt"); }, 64, 1},
        ExportCase{"GetFileForbidden", scripted(ObexOp::Get, {0xC3}), [](auto& f) { return getFile(f); }, 32, 1},
        ExportCase{"GetFileEmptyNameSendsNothing", nullptr, [](auto& f) { return getFile(f, ""); }, 0, 1},
        ExportCase{"GetFileConnectRefused", scripted(ObexOp::Connect, {0xC3}), [](auto& f) { return getFile(f); }, 1, 0},

        ExportCase{"SendFileDone", nullptr, [](auto& f) { return sendFile(f); }, 0, 1},
        ExportCase{"SendFileRefused", scripted(ObexOp::Put, {0xC3}), [](auto& f) { return sendFile(f); }, 64, 0},
        ExportCase{"SendFileAnsweredContinueAtTheEnd", scripted(ObexOp::Put, {0x90}), [](auto& f) { return sendFile(f); }, 64, 0},
        ExportCase{"SendFileMissingLocalFile", nullptr, [](auto& f) { return sendFile(f, "absent.txt"); }, 64, 0},
        ExportCase{"SendFileEmptyNameSendsNothing", nullptr, [](auto& f) { return sendFile(f, ""); }, 0, 1},
        ExportCase{"SendFilePathNotFound",
                   nullptr, [](auto& f) { return KAVOR_OBEX_SendFile(f.h, f.local.c_str(), "up.txt", "nope\\", &g_bits); }, 4, 0},
        ExportCase{"SendFileDisconnectRefused", scripted(ObexOp::Disconnect, {0xC3}), [](auto& f) { return sendFile(f); }, 2, 0},

        ExportCase{"DeleteDone", nullptr, [](auto& f) { return deleteFile(f); }, 0, 1},
        ExportCase{"DeleteNotFound", nullptr, [](auto& f) { return deleteFile(f, "nope.txt"); }, 64, 1},
        ExportCase{"DeleteForbidden", scripted(ObexOp::Delete, {0xC3}), [](auto& f) { return deleteFile(f); }, 256, 1},
        ExportCase{"DeleteEmptyNameSendsNothing", nullptr, [](auto& f) { return deleteFile(f, ""); }, 0, 1},

        ExportCase{"CreateFolderDone", nullptr, [](auto& f) { return createFolder(f); }, 0, 1},
        ExportCase{"CreateFolderRefused", scripted(ObexOp::SetPath, {0xC3}), [](auto& f) { return createFolder(f); }, 512, 1},
        ExportCase{"CreateFolderEmptyNameSendsNothing", nullptr, [](auto& f) { return createFolder(f, ""); }, 0, 1},

        ExportCase{"CopyDone", nullptr, [](auto& f) { return copyFile(f); }, 0, 1},
        ExportCase{"CopyForbidden", scripted(ObexOp::Copy, {0xC3}), [](auto& f) { return copyFile(f); }, 4096, 1},
        ExportCase{"CopyNotFound", nullptr, [](auto& f) { return copyFile(f, "nope.txt"); }, 1024, 1},
        ExportCase{"CopyEmptyTextSendsNothing", nullptr, [](auto& f) { return copyFile(f, "file.txt", ""); }, 1024, 1},
        ExportCase{"CopyNameOver127Characters", nullptr, [](auto& f) { return copyFile(f, kLongName.c_str()); }, 1024, 1},
        ExportCase{"CopyConnectRefused", scripted(ObexOp::Connect, {0xC4}), [](auto& f) { return copyFile(f); }, 1, 0},

        ExportCase{"MoveDone", nullptr, [](auto& f) { return moveFile(f); }, 0, 1},
        ExportCase{"MoveForbidden", scripted(ObexOp::Move, {0xC3}), [](auto& f) { return moveFile(f); }, 4096, 1},
        ExportCase{"MoveNotFound", nullptr, [](auto& f) { return moveFile(f, "nope.txt"); }, 2048, 1},
        ExportCase{"MoveNameOver127Characters", nullptr, [](auto& f) { return moveFile(f, kLongName.c_str()); }, 2048, 1},

        ExportCase{"SetAttrDone", nullptr, [](auto& f) { return setAttr(f); }, 0, 1},
        ExportCase{"SetAttrForbidden", scripted(ObexOp::SetAttr, {0xC3}), [](auto& f) { return setAttr(f); }, 4096, 1},
        ExportCase{"SetAttrNotFound", nullptr, [](auto& f) { return setAttr(f, "nope.txt"); }, 8192, 1},
        ExportCase{"SetAttrEmptyNameSendsNothing", nullptr, [](auto& f) { return setAttr(f, ""); }, 8192, 1},

        ExportCase{"FreeSpaceDone", nullptr, freeSpace, 0, 1},
        ExportCase{"FreeSpaceNotFound", scripted(ObexOp::FreeSpace, {0xC4}), freeSpace, 32768, 1},
        ExportCase{"FreeSpaceForbidden", scripted(ObexOp::FreeSpace, {0xC3}), freeSpace, 16384, 1},
        ExportCase{"FreeSpaceWithoutParameters", answering(0x83, answer(0xA0)), freeSpace, 16384, 1},
        // The figure is the response's last four bytes, whichever header holds them.
        ExportCase{"FreeSpaceInACutHeaderStillEndsTheResponse",
                   answering(0x83, answer(0xA0, {0x4C, 0x00, 0x09, 0x32, 0x04, 0x00, 0x01})), freeSpace, 0, 1},
        ExportCase{"FreeSpaceThreeBytesAfterTheLength", answering(0x83, answer(0xA0, {0x01, 0x02, 0x03})), freeSpace,
                   16384, 1},
        ExportCase{"FreeSpaceFourBytesAfterTheLength", answering(0x83, answer(0xA0, {0x01, 0x02, 0x03, 0x04})), freeSpace,
                   0, 1},
        ExportCase{"FreeSpaceDisconnectRefused", scripted(ObexOp::Disconnect, {0xD0}), freeSpace, 2, 0}),
    [](const ::testing::TestParamInfo<ExportCase>& info) { return std::string(info.param.name); });

// A refused connect sends nothing more: no set path, no disconnect.
TEST_F(ObexFixture, RefusedConnectEndsTheOperation) {
    server().script[ObexOp::Connect] = {0xC3};
    EXPECT_EQ(KAVOR_OBEX_DeleteFile(h, "a\\b\\", "x", &g_bits), 0);
    EXPECT_EQ(g_bits, 1);
    EXPECT_EQ(requests().size(), 1u);
}

// A failed set path skips the operation but still closes the session.
TEST_F(ObexFixture, FailedSetPathSkipsTheOperation) {
    server().add_folder("a");
    EXPECT_EQ(KAVOR_OBEX_DeleteFile(h, "a\\b\\", "x", &g_bits), 1);
    EXPECT_EQ(g_bits, 4);
    EXPECT_EQ(server().requests, (std::vector<ObexOp>{ObexOp::Connect, ObexOp::SetPath, ObexOp::SetPath, ObexOp::Disconnect}));
}

// Copy and move over 127 characters send no request of their own.
TEST_F(ObexFixture, OverlongCopyNameSendsNoCopy) {
    EXPECT_EQ(KAVOR_OBEX_CopyFile(h, "dir\\", kLongName.c_str(), "x\\", &g_bits), 1);
    EXPECT_EQ(server().requests, (std::vector<ObexOp>{ObexOp::Connect, ObexOp::Disconnect}));
    const std::string fits(123, 'n');  // "dir/" + 123: 127 characters
    server().add_file("dir/" + fits, {1});
    server().add_folder("x");
    EXPECT_EQ(KAVOR_OBEX_CopyFile(h, "dir\\", fits.c_str(), "x\\", &g_bits), 1);
    EXPECT_EQ(g_bits, 0);
    EXPECT_EQ(server().files.count("x/" + fits), 1u);
}

TEST_F(ObexFixture, OverlongCopyDestinationSendsNoCopy) {
    const std::string folder = std::string(120, 'e') + "\\";  // "eee.../file.txt": 129 characters
    EXPECT_EQ(KAVOR_OBEX_CopyFile(h, "dir\\", "file.txt", folder.c_str(), &g_bits), 1);
    EXPECT_EQ(server().requests, (std::vector<ObexOp>{ObexOp::Connect, ObexOp::Disconnect}));
}

} // namespace
