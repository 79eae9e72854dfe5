// ADC averages: the channels of the phone-model groups, single readings
// against sums on the phone, and the counts of 0.
#include "AdcGroups.h"
#include "procedure_calls_support.h"
#include "qmsl_ext_ftm.h"

#include <algorithm>
#include <deque>
#include <map>

namespace {

using callstest::Bytes;
using callstest::SequenceTest;

// How a phone identifies as a phone-model code: its MSM hardware version
// and the hardware id it answers.
struct ModelIdentity {
    unsigned code;
    std::uint32_t msmVersion;
    std::uint8_t hwId;
};
constexpr ModelIdentity kIdentities[] = {
    {52, 1029, 0}, {13, 64, 8}, {62, 96, 12}, {75, 192, 5}, {54, 1029, 9}, {1, 96, 0}, {78, 192, 8}, {0, 1029, 4},
    {55, 1029, 12}, {77, 192, 7}, {24, 64, 2},
};

class AdcTest : public SequenceTest {
protected:
    void usePhoneModel(unsigned code) {
        for (const ModelIdentity& m : kIdentities) {
            if (m.code != code) continue;
            phone().profile.msm_version = m.msmVersion;
            qmsl_sim::ext_ftm(phone()).bodies[{qmsl_sim::kExtFtmGroup, 29}] = {0, 0, m.hwId, 0};
            return;
        }
        FAIL() << "no identity for phone-model code " << code;
    }
    // Single readings give the channel's values in turn; a sum on the phone
    // is the channel's first value times the count.
    void channelValues(std::map<unsigned, std::deque<std::uint16_t>> values) {
        auto shared = std::make_shared<std::map<unsigned, std::deque<std::uint16_t>>>(std::move(values));
        phone().set_handler("QLIB_FTM_GET_ADC_VAL", [shared](qmsl_sim::Phone&, const qmsl_sim::Call& c) {
            auto& q = (*shared)[static_cast<unsigned>(c.in[0].value)];
            c.set(0, q.empty() ? 0 : q.front());
            if (!q.empty()) q.pop_front();
            return true;
        });
        phone().add_responder(qmsl_sim::Channel::Sync,
                              [shared](qmsl_sim::Phone&, const Bytes& req) -> std::optional<Bytes> {
                                  if (req.size() < 14 || req[4] != 16 || req[5] != 0) return std::nullopt;
                                  const unsigned channel = req[10] | (req[11] << 8), count = req[12] | (req[13] << 8);
                                  const auto& q = (*shared)[channel];
                                  const std::uint32_t sum = (q.empty() ? 0u : q.front()) * count;
                                  Bytes reply(req.begin(), req.begin() + 10);
                                  reply.insert(reply.end(), {0, 0, static_cast<std::uint8_t>(sum),
                                                             static_cast<std::uint8_t>(sum >> 8),
                                                             static_cast<std::uint8_t>(sum >> 16),
                                                             static_cast<std::uint8_t>(sum >> 24)});
                                  return reply;
                              });
    }
    // The ADC reads as "single <channel>" or "sum <channel> x <count>".
    std::vector<std::string> reads() {
        std::vector<std::string> r;
        for (const auto& e : phone().journal) {
            if (e.fn == "QLIB_FTM_GET_ADC_VAL") r.push_back("single " + std::to_string(e.args[0]));
            if (e.fn == "QLIB_SendSync" && e.bytes.size() >= 14 && e.bytes[4] == 16)
                r.push_back("sum " + std::to_string(e.bytes[10] | (e.bytes[11] << 8)) + " x " +
                            std::to_string(e.bytes[12] | (e.bytes[13] << 8)));
        }
        return r;
    }

    double avg1 = -1, avg2 = -1, avg3 = -1;
};

struct GroupCase {
    const char* name;
    unsigned code;
    std::vector<std::string> reads;
    double avg1, avg2, avg3;
};
void PrintTo(const GroupCase& c, std::ostream* os) { *os << c.name; }

// Channel 0 reads 100, 110, 120, 130; channel 1 reads 200, 220; channel 3 reads 7, 8.
const GroupCase kGroupCases[] = {
    {"GroupA52SumsChannels013", 52, {"sum 0 x 4", "sum 1 x 2", "sum 3 x 2"}, 100, 200, 7},
    {"GroupA13SumsChannels013", 13, {"sum 0 x 4", "sum 1 x 2", "sum 3 x 2"}, 100, 200, 7},
    {"GroupA24SumsChannels013", 24, {"sum 0 x 4", "sum 1 x 2", "sum 3 x 2"}, 100, 200, 7},
    {"GroupB62ReadsChannels03Singly", 62,
     {"single 0", "single 0", "single 0", "single 0", "single 3", "single 3"}, 115, 7.5, -1},
    {"GroupB75ReadsChannels03Singly", 75,
     {"single 0", "single 0", "single 0", "single 0", "single 3", "single 3"}, 115, 7.5, -1},
    {"GroupA55LastCodeSumsChannels013", 55, {"sum 0 x 4", "sum 1 x 2", "sum 3 x 2"}, 100, 200, 7},
    {"GroupB77LastCodeReadsSingly", 77,
     {"single 0", "single 0", "single 0", "single 0", "single 3", "single 3"}, 115, 7.5, -1},
};

class AdcGroups : public AdcTest, public ::testing::WithParamInterface<GroupCase> {};

TEST_P(AdcGroups, AverageTheirChannels) {
    const GroupCase& c = GetParam();
    usePhoneModel(c.code);
    channelValues({{0, {100, 110, 120, 130}}, {1, {200, 220}}, {3, {7, 8}}});
    phone().clear_journal();
    EXPECT_EQ(KAVOR_CheckDACValues(h, 4, &avg1, 2, &avg2, &avg3), 1);
    EXPECT_EQ(reads(), c.reads);
    EXPECT_DOUBLE_EQ(avg1, c.avg1);
    EXPECT_DOUBLE_EQ(avg2, c.avg2);
    EXPECT_DOUBLE_EQ(avg3, c.avg3);
}

INSTANTIATE_TEST_SUITE_P(Models, AdcGroups, ::testing::ValuesIn(kGroupCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AdcTest, SumLinesShowTheSumReturned) {
    usePhoneModel(52);
    channelValues({{0, {100}}, {1, {200}}, {3, {7}}});
    EXPECT_EQ(KAVOR_CheckDACValues(h, 4, &avg1, 2, &avg2, &avg3), 1);
    EXPECT_TRUE(logged("\tKAVOR_Phone_Model(piVerNumber = 0, piMSMModel = 2, piPhoneModel = 52) - Completed successfully\n"));
    EXPECT_TRUE(logged("\tKAVOR_FTM_MGET_ADC_VAL(iADC_type = 0, iReadCount = 4, piADC_value = 400) - Completed successfully\n"));
    EXPECT_TRUE(logged("\tKAVOR_FTM_MGET_ADC_VAL(iADC_type = 3, iReadCount = 2, piADC_value = 14) - Completed successfully\n"));
    EXPECT_EQ(countLogged("\t\tQLIB_FTM_GET_ADC_VAL() loop start"), 0u);
}

TEST_F(AdcTest, SingleReadingLinesCountFromOneAndMarkTheSecondSeries) {
    usePhoneModel(62);
    channelValues({{0, {10, 20}}, {3, {30, 40}}});
    EXPECT_EQ(KAVOR_CheckDACValues(h, 2, &avg1, 2, &avg2, &avg3), 1);
    const std::vector<std::string> want = {
        "\t\tQLIB_FTM_GET_ADC_VAL() start",
        "\tQLIB_FTM_GET_ADC_VAL[Count = 1](iADC_type = 0, piADC_value = 10) - Completed successfully\n",
        "\t\tQLIB_FTM_GET_ADC_VAL() start",
        "\tQLIB_FTM_GET_ADC_VAL[Count = 2](iADC_type = 0, piADC_value = 20) - Completed successfully\n",
        "\t\tQLIB_FTM_GET_ADC_VAL() loop start",
        "\t\tQLIB_FTM_GET_ADC_VAL() start",
        "\tQLIB_FTM_GET_ADC_VAL[Count = 1](iADC_type = 3, piADC_value = 30) - Completed successfully\n",
        "\t\tQLIB_FTM_GET_ADC_VAL() start",
        "\tQLIB_FTM_GET_ADC_VAL[Count = 2](iADC_type = 3, piADC_value = 40) - Completed successfully\n",
    };
    const auto lines = log();
    ASSERT_GE(lines.size(), want.size());
    EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<std::ptrdiff_t>(want.size()), lines.end()), want);
    EXPECT_DOUBLE_EQ(avg1, 15);
    EXPECT_DOUBLE_EQ(avg2, 35);
}

TEST_F(AdcTest, FailedSingleReadingEndsTheSeries) {
    usePhoneModel(62);
    channelValues({{0, {10, 20, 30}}});
    failCall("QLIB_FTM_GET_ADC_VAL", 1);
    EXPECT_EQ(KAVOR_CheckDACValues(h, 3, &avg1, 2, &avg2, &avg3), 0);
    EXPECT_EQ(reads(), (std::vector<std::string>{"single 0", "single 0"}));
    EXPECT_EQ(log().back(), "\tQLIB_FTM_GET_ADC_VAL[Count = 2](iADC_type = 0, piADC_value = 0) - Failure\n");
    EXPECT_DOUBLE_EQ(avg1, -1);
    EXPECT_DOUBLE_EQ(avg2, 255.0);
}

class AdcOutsideGroups : public AdcTest, public ::testing::WithParamInterface<unsigned> {};

TEST_P(AdcOutsideGroups, AreRefusedWithoutAReading) {
    usePhoneModel(GetParam());
    phone().clear_journal();
    EXPECT_EQ(KAVOR_CheckDACValues(h, 4, &avg1, 2, &avg2, &avg3), 0);
    EXPECT_TRUE(reads().empty());
    EXPECT_EQ(log().back(), "\tERROR: Mobile not supported - Failure\n");
    EXPECT_DOUBLE_EQ(avg1, -1);
    EXPECT_DOUBLE_EQ(avg2, 255.0);
    EXPECT_DOUBLE_EQ(avg3, -1);
}

INSTANTIATE_TEST_SUITE_P(Models, AdcOutsideGroups, ::testing::Values(54u, 1u, 78u, 0u),
                         [](const auto& info) { return "Code" + std::to_string(info.param); });

TEST_F(AdcTest, FirstCountZeroIsRefusedBeforeThePhoneIsAsked) {
    phone().clear_journal();
    EXPECT_EQ(KAVOR_CheckDACValues(h, 0, &avg1, 2, &avg2, &avg3), 0);
    EXPECT_TRUE(phone().journal.empty());
    EXPECT_EQ(log(), std::vector<std::string>{"\tiAverageCount = 0"});
    EXPECT_DOUBLE_EQ(avg1, 0);
    EXPECT_DOUBLE_EQ(avg2, -1);
    EXPECT_DOUBLE_EQ(avg3, -1);
}

TEST_F(AdcTest, SecondCountZeroStoresTheFirstAverageThenFails) {
    usePhoneModel(52);
    channelValues({{0, {50}}});
    phone().clear_journal();
    EXPECT_EQ(KAVOR_CheckDACValues(h, 3, &avg1, 0, &avg2, &avg3), 0);
    EXPECT_EQ(reads(), std::vector<std::string>{"sum 0 x 3"});
    EXPECT_DOUBLE_EQ(avg1, 50);
    EXPECT_DOUBLE_EQ(avg2, 255.0);
    EXPECT_DOUBLE_EQ(avg3, 255.0);
}

TEST_F(AdcTest, FailedPhoneIdentificationEndsBeforeAnyReading) {
    usePhoneModel(52);
    qmsl_sim::ext_ftm(phone()).statuses[{qmsl_sim::kExtFtmGroup, 29}] = 1;
    EXPECT_EQ(KAVOR_CheckDACValues(h, 3, &avg1, 2, &avg2, &avg3), 0);
    EXPECT_TRUE(reads().empty());
    EXPECT_EQ(log().back(),
              "\tKAVOR_Phone_Model(piVerNumber = 0, piMSMModel = 2, piPhoneModel = 0) - Failure\n");
    EXPECT_DOUBLE_EQ(avg2, 255.0);
}

// --- the whole group table ----------------------------------------------------------

struct GroupTableCase {
    const char* name;
    std::vector<unsigned> codes;
    std::vector<int> channels;  // empty: no group, refused
};
void PrintTo(const GroupTableCase& c, std::ostream* os) { *os << c.name; }
class AdcGroupTable : public ::testing::TestWithParam<GroupTableCase> {};

TEST_P(AdcGroupTable, GivesEachCodeItsChannels) {
    const GroupTableCase& c = GetParam();
    for (unsigned code : c.codes) {
        const kavor::AdcGroup* group = kavor::adcGroupOf(code);
        if (c.channels.empty()) {
            EXPECT_EQ(group, nullptr) << "code " << code;
            continue;
        }
        ASSERT_NE(group, nullptr) << "code " << code;
        EXPECT_EQ(std::vector<int>(std::begin(group->channels), std::end(group->channels)), c.channels)
            << "code " << code;
    }
}

const std::vector<unsigned> kGroupA = {13, 14, 15, 23, 24, 25, 33, 34, 35, 36, 40, 52, 53, 55};
const std::vector<unsigned> kGroupB = {61, 62, 63, 64, 65, 74, 75, 76, 77};

// Every code up to 255 that is in neither group.
std::vector<unsigned> otherCodes() {
    std::vector<unsigned> r;
    for (unsigned code = 0; code < 256; ++code)
        if (std::find(kGroupA.begin(), kGroupA.end(), code) == kGroupA.end() &&
            std::find(kGroupB.begin(), kGroupB.end(), code) == kGroupB.end())
            r.push_back(code);
    return r;
}

INSTANTIATE_TEST_SUITE_P(
    Codes, AdcGroupTable,
    ::testing::Values(GroupTableCase{"GroupAChannels013", kGroupA, {0, 1, 3}},
                      GroupTableCase{"GroupBChannels03", kGroupB, {0, 3, kavor::kNoAdcChannel}},
                      GroupTableCase{"JustOutsideBothGroups", {12, 16, 22, 26, 32, 37, 39, 41, 51, 54, 56, 60, 66, 73, 78}, {}},
                      GroupTableCase{"EveryOtherCode", otherCodes(), {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
