// The freeze and the public root keys on a simulated phone: the serial
// number from the database, the stored or the caller's key, the secure
// device info, the reset into FTM mode and the key types.
#include "NorbeckGsdiFixture.h"

#include <cstring>

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint16_t kNvDsn = 2824;
const char* const kImei = "350000000000011";
const Bytes kFsn = {'F', 'S', 'N', '0', '0', '0', '0', '0', '0', '0', '0', '0', '0', '0', '4', '2'};
const Bytes kOldDsn(16, 0x77);
const char* const kPhoneFailure = "ERROR: Library Error.(Instr: sesMobile)";

Bytes otherKey() {
    Bytes k(NORBECK_LEN_ROOTKEY);
    for (std::size_t i = 0; i < k.size(); ++i) k[i] = static_cast<std::uint8_t>(i * 3);
    return k;
}

enum class Op { Freeze, FreezePuK };
enum class KeyArg { None, FieldTest, Official, Other, Short, BadChecksum };
// What the phone holds before the freeze: nothing, a serial number, or a
// serial number and a root key.
enum class Before { Fresh, Dsn, DsnAndOfficialKey, DsnAndOtherKey };

struct FreezeCase {
    const char* name;
    Op op;
    int typeOfRootKey;  // the stored key the plain freeze writes
    KeyArg keyArg;      // the caller's key of the freeze with a key
    Before before;
    bool dbHasFsn;
    int keyWriteFails, deviceInfoFails;
    int result;
    const char* errText;
    Bytes nv2824;   // afterwards
    KeyArg keyOnPhone;
    bool reset;     // the phone went through the reset into FTM
    long long waitedMs;  // the waits after refused tries (the reset adds its own)
};
void PrintTo(const FreezeCase& c, std::ostream* os) { *os << c.name; }

class NorbeckFreeze : public NorbeckGsdiTest, public ::testing::WithParamInterface<FreezeCase> {
protected:
    static Bytes keyBytes(KeyArg k) {
        switch (k) {
        case KeyArg::None: return {};
        case KeyArg::FieldTest: return key(norbeck_FIELDTEST_ROOTKEY);
        case KeyArg::Official: return key(norbeck_OFFICIAL_ROOTKEY);
        case KeyArg::Other: return otherKey();
        case KeyArg::Short: {
            Bytes k = otherKey();
            k.pop_back();
            return k;
        }
        case KeyArg::BadChecksum: return otherKey();
        }
        return {};
    }
};

TEST_P(NorbeckFreeze, EdgeCase) {
    const FreezeCase& c = GetParam();
    writeImei(kImei);
    if (c.before != Before::Fresh) phone().set_nv(kNvDsn, kOldDsn);
    if (c.before == Before::DsnAndOfficialKey) gsdi.rootKey = keyBytes(KeyArg::Official);
    if (c.before == Before::DsnAndOtherKey) gsdi.rootKey = keyBytes(KeyArg::Other);
    if (c.dbHasFsn) pellin_test::script("pellin_GetFlashSerialNumber", {0, "", "", kFsn, -1});
    else answer("pellin_GetFlashSerialNumber", -1, "no flash serial number");
    gsdi.keyWriteFails = c.keyWriteFails;
    gsdi.deviceInfoFails = c.deviceInfoFails;
    gl_iTypeOfRootKey = c.typeOfRootKey;
    const Bytes k = keyBytes(c.keyArg);
    const unsigned int sum = checksum(k) ^ (c.keyArg == KeyArg::BadChecksum ? 1u : 0u);
    phone().clear_journal();
    const long long start = pclock::now_ms();
    const int r = c.op == Op::Freeze
                      ? norbeck_WriteFSN_Freeze(ses, err)
                      : norbeck_WriteFSN_Freeze_PuK(ses, k.data(), static_cast<int>(k.size()), sum, err);
    const long long took = pclock::now_ms() - start;
    EXPECT_EQ(r, c.result) << err;
    if (c.result != 0) {
        EXPECT_STREQ(err, c.errText);
        EXPECT_TRUE(traced(std::string("cErrMsg: ") + c.errText));
    }
    EXPECT_EQ(nv(kNvDsn), c.nv2824);
    EXPECT_EQ(gsdi.rootKey, keyBytes(c.keyOnPhone)) << "root key";
    const bool reset = phone().count("QLIB_DIAG_CONTROL_F") > 0;
    EXPECT_EQ(reset, c.reset);
    if (reset) {
        EXPECT_EQ(phone().power(), qmsl_sim::Power::Ftm);
        EXPECT_GE(took, c.waitedMs + 1000);  // a second before the reset
    } else {
        EXPECT_EQ(took, c.waitedMs);
    }
    // A phone with a serial number keeps it, whatever else the freeze does.
    if (c.before != Before::Fresh) {
        EXPECT_TRUE(pellin_test::calls("pellin_GetFlashSerialNumber").empty());
    }
}

using K = KeyArg;
using B = Before;
const Bytes kNone;
const char* const kShortKey = "iLenPublicKey [259] != norbeck_LEN_ROOTKEY [260]";

INSTANTIATE_TEST_SUITE_P(
    Cases, NorbeckFreeze,
    ::testing::Values(
        FreezeCase{"FreezeWritesTheFieldTestKey", Op::Freeze, 1, K::Other, B::Fresh, true, 0, 0, 0, "", kFsn,
                   K::FieldTest, true, 0},
        FreezeCase{"FreezeWritesTheOfficialKey", Op::Freeze, 2, K::Other, B::Fresh, true, 0, 0, 0, "", kFsn,
                   K::Official, true, 0},
        FreezeCase{"FreezeWithAKeyTypeOutOfRange", Op::Freeze, 3, K::Other, B::Fresh, true, 0, 0, -1,
                   "gl_iTypeOfRootKey = 3 not in range", kFsn, K::None, false, 0},
        FreezeCase{"FreezeOfAFrozenPhone", Op::Freeze, 1, K::Other, B::DsnAndOfficialKey, true, 0, 0, 0, "", kOldDsn,
                   K::Official, false, 0},
        FreezeCase{"FreezeOfAPhoneWithASerialNumberButNoKey", Op::Freeze, 1, K::Other, B::Dsn, true, 0, 0, 0, "",
                   kOldDsn, K::FieldTest, true, 0},
        FreezeCase{"FreezeOfAPhoneWithAKeyOfNeitherType", Op::Freeze, 1, K::Other, B::DsnAndOtherKey, true, 0, 0, 0,
                   "", kOldDsn, K::FieldTest, true, 0},
        FreezeCase{"FreezeOfAPhoneWithASerialNumberKeyRefused", Op::Freeze, 1, K::Other, B::Dsn, true, 1, 0, -1,
                   kPhoneFailure, kOldDsn, K::None, false, 0},
        FreezeCase{"FreezeWithoutAFlashSerialNumber", Op::Freeze, 1, K::Other, B::Fresh, false, 0, 0, -1,
                   "no flash serial number", kNone, K::None, false, 0},
        FreezeCase{"FreezeRootKeyRefusedOnce", Op::Freeze, 1, K::Other, B::Fresh, true, 1, 0, -1, kPhoneFailure, kFsn,
                   K::None, false, 0},
        FreezeCase{"FreezeDeviceInfoRefusedOnce", Op::Freeze, 1, K::Other, B::Fresh, true, 0, 1, -1, kPhoneFailure,
                   kFsn, K::FieldTest, false, 0},
        FreezeCase{"PuKGoodKey", Op::FreezePuK, 1, K::Other, B::Fresh, true, 0, 0, 0, "", kFsn, K::Other, true, 0},
        FreezeCase{"PuKFrozenPhone", Op::FreezePuK, 1, K::Other, B::DsnAndOfficialKey, true, 0, 0, 0, "", kOldDsn,
                   K::Official, false, 0},
        FreezeCase{"PuKPhoneWithASerialNumberButNoKey", Op::FreezePuK, 1, K::Other, B::Dsn, true, 0, 0, 0, "",
                   kOldDsn, K::Other, true, 0},
        FreezeCase{"PuKKeyOf259Bytes", Op::FreezePuK, 1, K::Short, B::Fresh, true, 0, 0, -1, kShortKey, kNone,
                   K::None, false, 0},
        FreezeCase{"PuKWrongChecksum", Op::FreezePuK, 1, K::BadChecksum, B::Fresh, true, 0, 0, -1,
                   "uiCheckSumPublicKey [0xd] != uiCheckSumPublicKeyActual [0xc]", kNone, K::None, false, 0},
        FreezeCase{"PuKRootKeyRefusedTwice", Op::FreezePuK, 1, K::Official, B::Fresh, true, 2, 0, 0, "", kFsn,
                   K::Official, true, 2000},
        FreezeCase{"PuKRootKeyRefusedThreeTimes", Op::FreezePuK, 1, K::Official, B::Fresh, true, 3, 0, -1,
                   "Tessel_GsdidiagRootKeyWriteCmd() failed", kFsn, K::None, false, 3000},
        FreezeCase{"PuKDeviceInfoRefusedTwice", Op::FreezePuK, 1, K::Other, B::Fresh, true, 0, 2, 0, "", kFsn,
                   K::Other, true, 2000},
        FreezeCase{"PuKDeviceInfoRefusedThreeTimes", Op::FreezePuK, 1, K::Other, B::Fresh, true, 0, 3, -1,
                   "Tessel_GsdidiagSecureDeviceInfoCmd() failed", kFsn, K::Other, false, 3000}),
    [](const auto& info) { return std::string(info.param.name); });

class NorbeckFreezePhone : public NorbeckGsdiTest {
protected:
    void SetUp() override {
        NorbeckGsdiTest::SetUp();
        writeImei(kImei);
        pellin_test::script("pellin_GetFlashSerialNumber", {0, "", "", kFsn, -1});
    }
};

TEST_F(NorbeckFreezePhone, ARefusedKeyLeavesThePhoneToBeFrozenByTheNextCall) {
    Bytes k = otherKey();
    EXPECT_EQ(norbeck_WriteFSN_Freeze_PuK(ses, k.data(), 259, checksum(k), err), -1);
    EXPECT_EQ(norbeck_WriteFSN_Freeze_PuK(ses, k.data(), 260, checksum(k) ^ 0x10, err), -1);
    EXPECT_TRUE(pellin_test::calls("pellin_GetFlashSerialNumber").empty());
    EXPECT_TRUE(nv(kNvDsn).empty());
    ASSERT_EQ(norbeck_WriteFSN_Freeze_PuK(ses, k.data(), 260, checksum(k), err), 0) << err;
    EXPECT_EQ(nv(kNvDsn), kFsn);
    EXPECT_EQ(gsdi.rootKey, k);
    EXPECT_EQ(gsdi.deviceInfos, 1);
    EXPECT_TRUE(traced("check LenPublicKey ..."));
    EXPECT_TRUE(traced("check CheckSum(PuK) ..."));
}

TEST_F(NorbeckFreezePhone, APhoneThatDroppedOutAfterItsSerialNumberIsFrozenByTheRetry) {
    // The phone goes silent as the root key is written, after its serial
    // number: it answers nothing more until it is switched on again.
    const qmsl_sim::Handler keyWrite = *phone().handler("QLIB_GSDIDIAG_ROOT_KEY_WRITE_CMD");
    bool dropped = false;
    phone().set_handler("QLIB_GSDIDIAG_ROOT_KEY_WRITE_CMD",
                        [keyWrite, &dropped](qmsl_sim::Phone& p, const qmsl_sim::Call& c) {
                            if (dropped) return keyWrite(p, c);
                            dropped = true;
                            p.set_power(qmsl_sim::Power::Off);
                            return false;
                        });
    EXPECT_EQ(norbeck_WriteFSN_Freeze(ses, err), -1);
    EXPECT_STREQ(err, kPhoneFailure);
    EXPECT_EQ(nv(kNvDsn), kFsn);
    EXPECT_TRUE(gsdi.rootKey.empty());
    EXPECT_EQ(gsdi.deviceInfos, 0);

    // Switched on again, the phone reads its serial number but has no root key.
    phone().set_power(qmsl_sim::Power::Online);
    int type = 9;
    EXPECT_EQ(norbeck_GetTypeOfPublicKeyFromMobile(ses, &type, err), -1);
    EXPECT_STREQ(err, "iLenPublicKey: 0 not expected Len [260]");
    tracer_test::clear_lines();
    phone().clear_journal();
    ASSERT_EQ(norbeck_WriteFSN_Freeze(ses, err), 0) << err;
    EXPECT_TRUE(traced("Tessel_NvReadDSN() was ok, but no known root key -> finish the freeze with this DSN"));
    EXPECT_FALSE(traced("Tessel_NvReadDSN() was ok -> DSN already freezed -> nothing to do, just return"));
    EXPECT_EQ(pellin_test::calls("pellin_GetFlashSerialNumber").size(), 1u);
    EXPECT_EQ(nv(kNvDsn), kFsn);
    EXPECT_EQ(gsdi.rootKey, key(norbeck_FIELDTEST_ROOTKEY));
    EXPECT_EQ(gsdi.deviceInfos, 1);
    EXPECT_EQ(phone().power(), qmsl_sim::Power::Ftm);
    EXPECT_EQ(norbeck_GetTypeOfPublicKeyFromMobile(ses, &type, err), 0) << err;
    EXPECT_EQ(type, norbeck_ROOTKEY_FIELDTEST);

    // Frozen now: a third freeze reads the serial number and the key and
    // leaves the phone alone.
    tracer_test::clear_lines();
    phone().clear_journal();
    ASSERT_EQ(norbeck_WriteFSN_Freeze(ses, err), 0) << err;
    EXPECT_TRUE(traced("Tessel_NvReadDSN() was ok -> DSN already freezed -> nothing to do, just return"));
    EXPECT_TRUE(traced("root key in the phone: iLenPublicKey 260 -> iTypeOfPublicKey 1 [B5_FIELDTEST]"));
    EXPECT_EQ(phone().count("QLIB_GSDIDIAG_ROOT_KEY_READ_CMD"), 1u);
    EXPECT_EQ(phone().count("QLIB_GSDIDIAG_ROOT_KEY_WRITE_CMD"), 0u);
    EXPECT_EQ(phone().count("QLIB_GSDIDIAG_SECURE_DEVICE_INFO_CMD"), 0u);
    EXPECT_EQ(phone().count("QLIB_DIAG_CONTROL_F"), 0u);
    EXPECT_EQ(pellin_test::calls("pellin_GetFlashSerialNumber").size(), 1u);
}

TEST_F(NorbeckFreezePhone, APhoneWhoseKeyCannotBeReadIsNotCountedAsFrozen) {
    phone().set_nv(kNvDsn, kOldDsn);
    gsdi.rootKey = key(norbeck_FIELDTEST_ROOTKEY);
    gsdi.keyReadFails = 1;
    ASSERT_EQ(norbeck_WriteFSN_Freeze(ses, err), 0) << err;
    EXPECT_TRUE(traced("Tessel_GsdidiagRootKeyReadCmd() returns with error -> no root key known"));
    EXPECT_EQ(phone().count("QLIB_GSDIDIAG_ROOT_KEY_WRITE_CMD"), 1u);
    EXPECT_EQ(gsdi.deviceInfos, 1);
    EXPECT_EQ(nv(kNvDsn), kOldDsn);
    EXPECT_TRUE(pellin_test::calls("pellin_GetFlashSerialNumber").empty());
}

TEST_F(NorbeckFreezePhone, TheFreezeTracesItsRoad) {
    ASSERT_EQ(norbeck_WriteFSN_Freeze(ses, err), 0) << err;
    EXPECT_TRUE(traced("norbeck_WriteFSN_Freeze(" + std::to_string(ses) + ")..."));
    EXPECT_TRUE(traced("Tessel_NvReadDSN() returns with error -> DSN not freezed"));
    EXPECT_TRUE(traced("gl_iTypeOfRootKey: 1 -> FieldTestKey"));
    EXPECT_EQ(gsdi.deviceInfos, 1);
    // Slot 1 and the zero application id before the key; the same id alone
    // for the device info.
    auto writes = phone().calls("QLIB_GSDIDIAG_ROOT_KEY_WRITE_CMD");
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].args.at(0), 1);
    Bytes want(16, 0);
    const Bytes k = key(norbeck_FIELDTEST_ROOTKEY);
    want.insert(want.end(), k.begin(), k.end());
    EXPECT_EQ(writes[0].bytes, want);
    auto infos = phone().calls("QLIB_GSDIDIAG_SECURE_DEVICE_INFO_CMD");
    ASSERT_EQ(infos.size(), 1u);
    EXPECT_EQ(infos[0].bytes, Bytes(16, 0));
    auto calls = pellin_test::calls("pellin_GetFlashSerialNumber");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].numbers, (std::vector<long long>{16}));
}

TEST_F(NorbeckFreezePhone, APuKFreezeTracesTheKeysLengthAndChecksum) {
    const Bytes k = key(norbeck_FIELDTEST_ROOTKEY);
    ASSERT_EQ(norbeck_WriteFSN_Freeze_PuK(ses, k.data(), 260, checksum(k), err), 0) << err;
    char line[128];
    std::snprintf(line, sizeof line, "norbeck_WriteFSN_Freeze_PuK(%d,iLenPublicKey:260,uiCheckSumPublicKey: 0x%x)...",
                  ses, checksum(k));
    EXPECT_TRUE(traced(line));
}

TEST_F(NorbeckFreezePhone, AFlashSerialNumberOfAnotherWidthNeverReachesThePhone) {
    pellin_test::reset();
    pellin_test::script("pellin_GetFlashSerialNumber", {0, "", "", Bytes(kFsn.begin(), kFsn.end() - 1), 1});
    EXPECT_EQ(norbeck_WriteFSN_Freeze(ses, err), -1);
    EXPECT_STREQ(err, "pellin_GetFlashSerialNumber: 15 bytes instead of 16");
    EXPECT_TRUE(nv(kNvDsn).empty());
    EXPECT_TRUE(gsdi.rootKey.empty());
}

// --- the key types -------------------------------------------------------

TEST(NorbeckStoredKeys, TheFreezeWritesTheFieldTestKeyUnlessATestSaysOtherwise) {
    EXPECT_EQ(gl_iTypeOfRootKey, norbeck_ROOTKEY_FIELDTEST);
}

TEST(NorbeckStoredKeys, FollowTheTestPatternUnlessADeploymentGaveItsOwn) {
    // The default build's test keys: byte i is i mod 256 (field test) and
    // 255 - (i mod 256) (official).
    for (int i = 0; i < NORBECK_LEN_ROOTKEY; ++i) {
        EXPECT_EQ(norbeck_FIELDTEST_ROOTKEY[i], i % 256) << i;
        EXPECT_EQ(norbeck_OFFICIAL_ROOTKEY[i], 255 - i % 256) << i;
    }
}

struct KeyTypeCase {
    const char* name;
    Bytes key;
    int result;
    int type;
    const char* line;  // traced
};
void PrintTo(const KeyTypeCase& c, std::ostream* os) { *os << c.name; }

class NorbeckKeyType : public NorbeckGsdiTest, public ::testing::WithParamInterface<KeyTypeCase> {};

TEST_P(NorbeckKeyType, OfAKey) {
    const KeyTypeCase& c = GetParam();
    int type = 9;
    EXPECT_EQ(norbeck_GetTypeOfPublicKey(c.key.data(), static_cast<int>(c.key.size()), &type, err), c.result);
    EXPECT_EQ(type, c.type);
    EXPECT_TRUE(traced(c.line));
    if (c.result != 0) {
        EXPECT_STREQ(err, c.line);
        EXPECT_TRUE(traced(std::string("cErrMsg: ") + c.line));
    }
}

TEST_P(NorbeckKeyType, OfThePhonesKey) {
    const KeyTypeCase& c = GetParam();
    gsdi.rootKey = c.key;
    int type = 9;
    EXPECT_EQ(norbeck_GetTypeOfPublicKeyFromMobile(ses, &type, err), c.result);
    EXPECT_EQ(type, c.type);
    EXPECT_TRUE(traced(c.line));
    EXPECT_TRUE(traced("norbeck_GetTypeOfPublicKeyFromMobile(sesMobile:" + std::to_string(ses) + ")..."));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NorbeckKeyType,
    ::testing::Values(
        KeyTypeCase{"Other", otherKey(), 0, 0, "norbeck_GetTypeOfPublicKey(iLenPublicKey:260)..."},
        KeyTypeCase{"FieldTest", Bytes(norbeck_FIELDTEST_ROOTKEY, norbeck_FIELDTEST_ROOTKEY + 260), 0, 1,
                    "(*piTypeOfPublicKey) = 1 [B5_FIELDTEST]"},
        KeyTypeCase{"Official", Bytes(norbeck_OFFICIAL_ROOTKEY, norbeck_OFFICIAL_ROOTKEY + 260), 0, 2,
                    "(*piTypeOfPublicKey) = 2 [B5_OFFICAL]"},
        KeyTypeCase{"FieldTestButOneByteShort", Bytes(norbeck_FIELDTEST_ROOTKEY, norbeck_FIELDTEST_ROOTKEY + 259), -1,
                    0, "iLenPublicKey: 259 not expected Len [260]"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NorbeckGsdiTest, AFailedKeyReadIsAPhoneFailure) {
    gsdi.rootKey = key(norbeck_FIELDTEST_ROOTKEY);
    gsdi.keyReadFails = 1;
    int type = 9;
    EXPECT_EQ(norbeck_GetTypeOfPublicKeyFromMobile(ses, &type, err), -1);
    EXPECT_EQ(type, 0);
    EXPECT_STREQ(err, kPhoneFailure);
}

TEST_F(NorbeckGsdiTest, TheKeyReadAsksSlotOneWithTheZeroApplicationId) {
    gsdi.rootKey = key(norbeck_OFFICIAL_ROOTKEY);
    phone().clear_journal();
    int type = 0;
    ASSERT_EQ(norbeck_GetTypeOfPublicKeyFromMobile(ses, &type, err), 0) << err;
    EXPECT_EQ(type, 2);
    EXPECT_EQ(phone().count("QLIB_GSDIDIAG_ROOT_KEY_READ_CMD"), 1u);
}

} // namespace
