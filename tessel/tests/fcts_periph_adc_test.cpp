// Averaged ADC reads: the channel and way of reading per phone type, and the
// mean that comes back.
#include "TesselFctsFixture.h"

#include <functional>

namespace {

using Reads = std::vector<std::string>;
using Values = std::vector<double>;

class PeriphAdc : public TesselFcts {
protected:
    // A phone whose single reads answer 100, 200, 300, ... and whose
    // multiple read answers the sum 1000.
    int adcPhone(int iPhoneType) {
        const int s = connected();
        EXPECT_EQ(_Tessel_SetMobModel(s, iPhoneType, "t.c", 1), 0);
        auto next = std::make_shared<int>(0);
        phone().set_handler("QLIB_FTM_GET_ADC_VAL", [next](qmsl_sim::Phone&, const qmsl_sim::Call& c) {
            c.set(0, 100 * ++*next);
            return true;
        });
        qmsl_sim::ext_ftm(phone()).bodies[{qmsl_sim::kExtFtmGroup, 16}] = {0, 0, 0xE8, 0x03, 0, 0};
        phone().clear_journal();
        return s;
    }
    // The reads that reached the phone: "single <channel>" and "multiple <channel>,<count>".
    static Reads reads() {
        Reads r;
        for (const auto& j : phone().journal) {
            if (j.fn == "QLIB_FTM_GET_ADC_VAL") r.push_back("single " + std::to_string(j.args.at(0)));
            if (j.fn == "QLIB_SendSync" && j.bytes.size() >= 14 && j.bytes[0] == 0x4B && j.bytes[4] == 16)
                r.push_back("multiple " + std::to_string(j.bytes[10] | j.bytes[11] << 8) + "," +
                            std::to_string(j.bytes[12] | j.bytes[13] << 8));
        }
        return r;
    }
};

using AdcRun = std::function<int(int session, unsigned short count, Values& out)>;

const AdcRun kBattery = [](int s, unsigned short n, Values& out) {
    double d = -1;
    const int st = _Tessel_SpecialReadBattVoltage(s, n, &d, "t.c", 1);
    out = {d};
    return st;
};
const AdcRun kThermistors = [](int s, unsigned short n, Values& out) {
    double a = -1, b = -1;
    const int st = _Tessel_SpecialReadThermistors(s, n, &a, &b, "t.c", 1);
    out = {a, b};
    return st;
};
const AdcRun kHdet = [](int s, unsigned short n, Values& out) {
    double d = -1;
    const int st = _Tessel_SpecialReadHdet(s, n, &d, "t.c", 1);
    out = {d};
    return st;
};

const Reads kFourSingle(int ch) {
    const std::string r = "single " + std::to_string(ch);
    return {r, r, r, r};
}

struct AdcCase {
    const char* name;
    AdcRun run;
    int iPhoneType;
    Reads reads;
    Values values;
};

const AdcCase kAdc[] = {
    {"BatterySingleOnType5", kBattery, 5, kFourSingle(0), {250.0}},
    {"BatterySingleOnType7", kBattery, 7, kFourSingle(0), {250.0}},
    {"BatteryMultipleOnType0", kBattery, 0, {"multiple 0,4"}, {250.0}},
    {"ThermistorsBothOnType0", kThermistors, 0, {"multiple 3,4", "multiple 1,4"}, {250.0, 250.0}},
    {"ThermistorsSecondSingleOnType5", kThermistors, 5, kFourSingle(1), {255.0, 250.0}},
    {"ThermistorsSecondOnlyOnType9", kThermistors, 9, {"multiple 1,4"}, {255.0, 250.0}},
    {"HdetChannel4OnType2", kHdet, 2, {"multiple 4,4"}, {250.0}},
    {"HdetChannel4OnType3", kHdet, 3, {"multiple 4,4"}, {250.0}},
    {"HdetSingleOnType7", kHdet, 7, kFourSingle(4), {250.0}},
    {"HdetChannel2OnType9", kHdet, 9, {"multiple 2,4"}, {250.0}},
};

class AdcRead : public PeriphAdc, public ::testing::WithParamInterface<AdcCase> {};

TEST_P(AdcRead, ReadsTheTypesChannelAndAverages) {
    const AdcCase& c = GetParam();
    const int s = adcPhone(c.iPhoneType);
    Values values;
    EXPECT_EQ(c.run(s, 4, values), 0);
    EXPECT_EQ(reads(), c.reads);
    EXPECT_EQ(values, c.values);
}

INSTANTIATE_TEST_SUITE_P(ByPhoneType, AdcRead, ::testing::ValuesIn(kAdc),
                         [](const auto& info) { return std::string(info.param.name); });

struct ZeroCase {
    const char* name;
    AdcRun run;
    Values values;
};

const ZeroCase kZero[] = {
    {"Battery", kBattery, {0.0}}, {"Thermistors", kThermistors, {255.0, 255.0}}, {"Hdet", kHdet, {0.0}}};

class AdcZeroCount : public PeriphAdc, public ::testing::WithParamInterface<ZeroCase> {};

TEST_P(AdcZeroCount, IsOutOfRangeWithoutARead) {
    const int s = adcPhone(0);
    Values values;
    EXPECT_EQ(GetParam().run(s, 0, values), TESSEL_ERROR_PARAMETER2);
    EXPECT_EQ(values, GetParam().values);
    EXPECT_TRUE(reads().empty());
}

INSTANTIATE_TEST_SUITE_P(Outputs, AdcZeroCount, ::testing::ValuesIn(kZero),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PeriphAdc, FailedSingleReadGoesOnAndFails) {
    const int s = adcPhone(5);
    phone().inject("QLIB_FTM_GET_ADC_VAL", qmsl_sim::Fault{.times = 1});
    double d = 0;
    EXPECT_EQ(_Tessel_SpecialReadBattVoltage(s, 4, &d, "t.c", 1), kLib);
    EXPECT_EQ(phone().count("QLIB_FTM_GET_ADC_VAL"), 4u);
    EXPECT_DOUBLE_EQ(d, (100 + 200 + 300) / 4.0);  // the failed read adds nothing
    EXPECT_TRUE(hasLine(" QLIB_FTM_GET_ADC_VAL[Count=3](0, 300 )"));
}

TEST_F(PeriphAdc, FailedMultipleReadFails) {
    const int s = adcPhone(9);
    phone().inject("QLIB_SendSync", {});
    double d = 0;
    EXPECT_EQ(_Tessel_SpecialReadHdet(s, 4, &d, "t.c", 1), kLib);
    EXPECT_TRUE(hasLine("_Tessel_SpecialReadHdet( *dHdet(ADC_2)="));
}

TEST_F(PeriphAdc, UnconnectedFailsWithoutARead) {
    const int s = openSession();
    double d = 0;
    EXPECT_EQ(_Tessel_SpecialReadBattVoltage(s, 4, &d, "t.c", 1), kLib);
    EXPECT_EQ(phone().count("QLIB_FTM_GET_ADC_VAL"), 0u);
}

} // namespace
