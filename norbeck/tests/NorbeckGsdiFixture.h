// The driver on a simulated phone that keeps what the SIM-side commands
// give it: the SIM secure data, the root key and whether the secure device
// info was sent. Each command can answer a failing command status a number
// of times before it succeeds. Installed as the phone's handlers, so they
// take the place of any default behaviour of these commands.
#pragma once

#include "NorbeckPhoneFixture.h"
#include "NorbeckRootKeys.h"
#include "NorbeckSimData.h"
#include "qmsl_gsdi.h"

#include <cstdint>
#include <vector>

struct GsdiStore {
    std::vector<std::uint8_t> simData;  // as the last accepted store left it
    std::vector<std::uint8_t> rootKey;  // as the last accepted write left it
    int deviceInfos = 0;                // accepted secure device infos
    // Calls still to be refused with command status 1, per command.
    int storeFails = 0, keyWriteFails = 0, deviceInfoFails = 0, keyReadFails = 0;
};

class NorbeckGsdiTest : public NorbeckPhoneTest {
protected:
    void SetUp() override {
        NorbeckPhoneTest::SetUp();
        gl_iTypeOfRootKey = norbeck_ROOTKEY_FIELDTEST;
        // Inputs: slot, application id, then the data or key. Outputs:
        // command status and status; a read gives the length and key first.
        using qmsl_sim::Call;
        using qmsl_sim::Phone;
        auto refused = [](int& fails, const Call& c, std::size_t at) {
            const bool bRefuse = fails > 0;
            if (bRefuse) --fails;
            c.set(at, bRefuse ? 1 : 0);
            c.set(at + 1, 0);
            return bRefuse;
        };
        phone().set_handler("QLIB_GSDIDIAG_SIM_SECURE_STORE_CMD", [this, refused](Phone&, const Call& c) {
            if (!refused(gsdi.storeFails, c, 0)) gsdi.simData = c.in[2].bytes;
            return true;
        });
        phone().set_handler("QLIB_GSDIDIAG_ROOT_KEY_WRITE_CMD", [this, refused](Phone&, const Call& c) {
            if (!refused(gsdi.keyWriteFails, c, 0)) gsdi.rootKey = c.in[2].bytes;
            return true;
        });
        phone().set_handler("QLIB_GSDIDIAG_SECURE_DEVICE_INFO_CMD", [this, refused](Phone&, const Call& c) {
            if (!refused(gsdi.deviceInfoFails, c, 0)) ++gsdi.deviceInfos;
            return true;
        });
        phone().set_handler("QLIB_GSDIDIAG_ROOT_KEY_READ_CMD", [this, refused](Phone&, const Call& c) {
            if (refused(gsdi.keyReadFails, c, 2)) return true;
            c.set(0, static_cast<long long>(gsdi.rootKey.size()));
            c.set_bytes(1, gsdi.rootKey);
            return true;
        });
    }
    void TearDown() override {
        gl_iTypeOfRootKey = norbeck_ROOTKEY_FIELDTEST;
        gl_sNorbeck.iDebugBlocks = 0;
        NorbeckPhoneTest::TearDown();
    }

    static std::vector<std::uint8_t> nv(std::uint16_t item) {
        auto it = phone().nv.find(item);
        return it == phone().nv.end() ? std::vector<std::uint8_t>{} : it->second.data;
    }
    static std::vector<std::uint8_t> key(const unsigned char* k) { return {k, k + NORBECK_LEN_ROOTKEY}; }
    static unsigned int checksum(const std::vector<std::uint8_t>& k) {
        unsigned int x = 0;
        for (std::uint8_t b : k) x ^= b;
        return x;
    }

    GsdiStore gsdi;
};
