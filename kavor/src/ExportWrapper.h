// The one wrapper behind every handle-keyed export: look the family's object
// up by the handle, return false when there is none, else run the operation
// and hand its result back. No exception leaves an export.
#pragma once

#include "LibraryContext.h"

namespace kavor {

struct Ftm {
    static FtmChannel* lookup(LibraryContext& c, QmslHandle h) { return c.ftmChannelFor(h); }
};
struct At {
    static AtChannel* lookup(LibraryContext& c, QmslHandle h) { return c.atChannelFor(h); }
};
struct Obex {
    static ObexChannel* lookup(LibraryContext& c, QmslHandle h) { return c.obexChannelFor(h); }
};
struct Proc {
    static TestProcedures* lookup(LibraryContext& c, QmslHandle h) { return c.testProceduresFor(h); }
};

template <typename Family, typename Op>
unsigned char forward(QmslHandle handle, Op op) noexcept {
    try {
        auto* object = Family::lookup(context(), handle);
        if (!object) return 0;
        return op(*object) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

} // namespace kavor

// Defines one wrapper from a row of the export tables. The handle parameter
// of every row is named hResourceContext.
#define KAVOR_DEFINE_WRAPPER(visibility, family, name, member, params, args)                     \
    extern "C" visibility unsigned char name params {                                           \
        return ::kavor::forward<::kavor::family>(hResourceContext,                              \
                                                 [&](auto& object) { return object.member args; }); \
    }
