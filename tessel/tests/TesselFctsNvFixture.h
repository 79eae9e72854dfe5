// A connected session for the NV item operations and the NV accesses that
// reached the phone, in order.
#pragma once

#include "TesselFctsFixture.h"

#include <ostream>

using Bytes = std::vector<std::uint8_t>;

// One NV access as the phone saw it.
struct NvAccess {
    char op;  // 'R' or 'W'
    int item;
    int length;
    bool operator==(const NvAccess&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const NvAccess& a) {
    return os << a.op << a.item << "/" << a.length;
}
using Accesses = std::vector<NvAccess>;

class TesselNv : public TesselFcts {
protected:
    void SetUp() override {
        TesselFcts::SetUp();
        s_ = connected();
    }
    static Accesses accesses() {
        Accesses a;
        for (const auto& e : phone().journal) {
            if (e.fn == "QLIB_DIAG_NV_READ_F") a.push_back({'R', int(e.args.at(0)), int(e.args.at(1))});
            if (e.fn == "QLIB_DIAG_NV_WRITE_F") a.push_back({'W', int(e.args.at(0)), int(e.args.at(1))});
        }
        return a;
    }
    // The bytes of the n-th write (0 = first) of an item.
    static Bytes written(int item, std::size_t n = 0) {
        std::vector<Bytes> all;
        for (const auto& e : phone().calls("QLIB_DIAG_NV_WRITE_F"))
            if (e.args.at(0) == item) all.push_back(e.bytes);
        return n < all.size() ? all[n] : Bytes{};
    }
    // Reads of an item answer these bytes instead of the stored ones; every
    // other read is left to what the phone did before (its own handler, with
    // the locked phone's refusal, or an earlier readAnswers).
    static void readAnswers(int item, Bytes bytes) {
        const qmsl_sim::Handler before = *phone().handler("QLIB_DIAG_NV_READ_F");
        phone().set_handler("QLIB_DIAG_NV_READ_F",
                            [item, bytes, before](qmsl_sim::Phone& p, const qmsl_sim::Call& c) {
                                if (c.in[0].value != item) return before(p, c);
                                c.set_bytes(0, bytes);
                                c.set(1, 0);
                                return true;
                            });
    }
    int s_ = 0;
};
