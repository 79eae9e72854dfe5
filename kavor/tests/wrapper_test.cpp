#include "ExportWrapper.h"
#include "qmsl_sim.h"

#include "kavor_test_support.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class Wrapper : public ::testing::Test {
protected:
    void SetUp() override { kavortest::freshLibrary(); }
    void TearDown() override { KAVOR_DisconnectAllServers(); }
};

TEST_F(Wrapper, UnknownHandleGivesFalseWithoutRunningTheOperation) {
    bool ran = false;
    EXPECT_EQ(kavor::forward<kavor::Ftm>(99, [&](kavor::FtmChannel&) { return ran = true; }), 0);
    EXPECT_EQ(kavor::forward<kavor::Proc>(99, [&](kavor::TestProcedures&) { return ran = true; }), 0);
    EXPECT_FALSE(ran);
}

TEST_F(Wrapper, KnownHandleRunsTheFamilyObjectAndPassesItsResult) {
    QmslHandle h = KAVOR_ConnectServer(3);
    QmslHandle seen = 0;
    EXPECT_EQ(kavor::forward<kavor::Ftm>(h, [&](kavor::FtmChannel& c) { seen = c.handle(); return true; }), 1);
    EXPECT_EQ(seen, h);
    EXPECT_EQ(kavor::forward<kavor::At>(h, [](kavor::AtChannel&) { return false; }), 0);
}

TEST_F(Wrapper, AtAndObexAreRefusedInServerMode) {
    QmslHandle h = KAVOR_ConnectServer(3);
    KAVOR_SetLibraryMode(1);
    bool ran = false;
    EXPECT_EQ(kavor::forward<kavor::At>(h, [&](kavor::AtChannel&) { return ran = true; }), 0);
    EXPECT_EQ(kavor::forward<kavor::Obex>(h, [&](kavor::ObexChannel&) { return ran = true; }), 0);
    EXPECT_FALSE(ran);
    EXPECT_EQ(kavor::forward<kavor::Ftm>(h, [&](kavor::FtmChannel&) { return ran = true; }), 1);
}

TEST_F(Wrapper, AnExceptionBecomesFalse) {
    QmslHandle h = KAVOR_ConnectServer(3);
    EXPECT_EQ(kavor::forward<kavor::Ftm>(h, [](kavor::FtmChannel&) -> bool { throw std::runtime_error("x"); }), 0);
}

} // namespace
