// The resource-string parser of quorl_init.
#include "quorl.h"
#include "case_runner.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct ResourceCase {
    const char* name;
    std::string resource;
    int32_t status;
    int32_t filecheck;  // the file-check flag afterwards (0 set, -1 not set)
};
void PrintTo(const ResourceCase& c, std::ostream* os) { *os << c.name; }


std::string field(char c, size_t length) { return std::string(length, c); }

const std::string kGood = "server:portnr:11111:ipadr:10.0.0.1:mode:filecheck:txdelay:0.5:rxdelay:0.1";

class QuorlInit : public ::testing::TestWithParam<ResourceCase> {};

// The first successful init of a process gets session 1.
PHONELINE_CASES_APART(QuorlInit);

} // namespace

TEST_P(QuorlInit, GivesTheStatusAndSession) {
    const ResourceCase& c = GetParam();
    uint32_t session = 77;
    EXPECT_EQ(quorl_init(c.resource.c_str(), &session), c.status);
    EXPECT_EQ(session, c.status == QUORL_SUCCESS ? 1u : 0u);
    int32_t filecheck = 99;
    quorl_getstatus(1, QUORL_STATUS_FILECHECK, &filecheck);
    EXPECT_EQ(filecheck, c.filecheck);
}

INSTANTIATE_TEST_SUITE_P(
    Resources, QuorlInit,
    ::testing::Values(
        ResourceCase{"LowerCase", kGood, QUORL_SUCCESS, 0},
        ResourceCase{"MixedCaseWords",
                     "Server:PortNr:11111:IpAdr:10.0.0.1:Mode:FileCheck:TxDelay:0.5:RxDelay:0.1",
                     QUORL_SUCCESS, 0},
        ResourceCase{"ClientType", "CLIENT:portnr:22222:ipadr:x:mode:filecheck:txdelay:0:rxdelay:0",
                     QUORL_SUCCESS, 0},
        ResourceCase{"Port22222", "server:portnr:22222:ipadr:x:mode:filecheck:txdelay:0:rxdelay:0",
                     QUORL_SUCCESS, 0},
        ResourceCase{"FieldsBeyondTheEleventhIgnored", kGood + ":extra:fields", QUORL_SUCCESS, 0},
        ResourceCase{"EmptyDelayEndsTheScan", "server:portnr:11111:ipadr:x:mode:filecheck:txdelay::rxdelay",
                     QUORL_ERROR_RESOURCE, 0},
        ResourceCase{"FieldOf51Characters",
                     "server:portnr:11111:ipadr:" + field('a', 51) + ":mode:filecheck:txdelay:0:rxdelay:0",
                     QUORL_SUCCESS, 0},
        ResourceCase{"FieldOf52CharactersRefused",
                     "server:portnr:11111:ipadr:" + field('a', 52) + ":mode:filecheck:txdelay:0:rxdelay:0",
                     QUORL_ERROR_RESOURCE, -1},
        ResourceCase{"LongFirstFieldRefused", field('s', 300) + ":portnr:11111", QUORL_ERROR_RESOURCE, -1},
        ResourceCase{"UnknownType", "station:portnr:11111:ipadr:x:mode:filecheck:txdelay:0:rxdelay:0",
                     QUORL_ERROR_OBJECT_TYPE, -1},
        ResourceCase{"EmptyText", "", QUORL_ERROR_OBJECT_TYPE, -1},
        ResourceCase{"LeadingColon", ":server:portnr:11111", QUORL_ERROR_OBJECT_TYPE, -1},
        ResourceCase{"WrongPortKey", "server:port:11111:ipadr:x:mode:filecheck:txdelay:0:rxdelay:0",
                     QUORL_ERROR_RESOURCE, -1},
        ResourceCase{"Port11112", "server:portnr:11112:ipadr:x:mode:filecheck:txdelay:0:rxdelay:0",
                     QUORL_ERROR_PORT, -1},
        ResourceCase{"PortNotANumber", "server:portnr:abc:ipadr:x:mode:filecheck:txdelay:0:rxdelay:0",
                     QUORL_ERROR_PORT, -1},
        ResourceCase{"PortOutOfRange", "server:portnr:99999999999:ipadr:x:mode:filecheck:txdelay:0:rxdelay:0",
                     QUORL_ERROR_PORT, -1},
        ResourceCase{"EndsAfterThePort", "server:portnr:11111", QUORL_ERROR_RESOURCE, -1},
        ResourceCase{"EmptyAddressEndsTheScan", "server:portnr:11111:ipadr::mode:filecheck:txdelay:0:rxdelay:0",
                     QUORL_ERROR_RESOURCE, -1},
        ResourceCase{"WrongModeKey", "server:portnr:11111:ipadr:x:mod:filecheck:txdelay:0:rxdelay:0",
                     QUORL_ERROR_RESOURCE, -1},
        ResourceCase{"ModeValueOtherThanFilecheck", "server:portnr:11111:ipadr:x:mode:always:txdelay:0:rxdelay:0",
                     QUORL_ERROR_MODE, -1},
        ResourceCase{"WrongTxdelayKeyKeepsTheFileCheck",
                     "server:portnr:11111:ipadr:x:mode:filecheck:delay:0:rxdelay:0", QUORL_ERROR_RESOURCE, 0},
        ResourceCase{"MissingRxdelayKey", "server:portnr:11111:ipadr:x:mode:filecheck:txdelay:0",
                     QUORL_ERROR_RESOURCE, 0}),
    [](const ::testing::TestParamInfo<ResourceCase>& info) { return std::string(info.param.name); });

TEST(QuorlInitArguments, NullResourceFailsAndNullSessionIsNotWritten) {
    uint32_t session = 5;
    EXPECT_EQ(quorl_init(nullptr, &session), QUORL_ERROR_OBJECT_TYPE);
    EXPECT_EQ(session, 0u);
    EXPECT_EQ(quorl_init(kGood.c_str(), nullptr), QUORL_SUCCESS);
}

TEST(QuorlInitArguments, FailedInitLeavesAnInvalidObjectForSetmode) {
    uint32_t session = 0;
    ASSERT_EQ(quorl_init(kGood.c_str(), &session), QUORL_SUCCESS);
    EXPECT_EQ(quorl_init("nothing", &session), QUORL_ERROR_OBJECT_TYPE);
    EXPECT_EQ(quorl_setmode(1), QUORL_ERROR_OBJECT_TYPE);
}
