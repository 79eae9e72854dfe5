// One member per AT export row, generated from kavor_at.inc: each hands its
// arguments to the engine with the row of the same name (At*Rows.cpp).
#include "AtChannel.h"
#include "AtCommands.h"

#define KAVOR_AT_ARGS(...) __VA_ARGS__

namespace kavor {

#define KAVOR_EXPORT(family, name, member, params, args)          \
    bool AtChannel::member KAVOR_AT_DROP_HANDLE params {          \
        const at::Arg list[] = {KAVOR_AT_ARGS args};              \
        return run(at::rows::member, list);                        \
    }
#include "kavor_at.inc"
#undef KAVOR_EXPORT

} // namespace kavor
