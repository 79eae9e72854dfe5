// Every handle-keyed export, generated from the family tables.
#include "ExportWrapper.h"
#include "InternalExports.h"

#define KAVOR_EXPORT(family, name, member, params, args) \
    KAVOR_DEFINE_WRAPPER(KAVOR_API, family, name, member, params, args)
#include "kavor_exports.inc"
#undef KAVOR_EXPORT

#define KAVOR_EXPORT(family, name, member, params, args) \
    KAVOR_DEFINE_WRAPPER(/* not exported */, family, name, member, params, args)
#include "internal_exports.inc"
#undef KAVOR_EXPORT
