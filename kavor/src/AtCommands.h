// The command rows of the AT exports, one per row of kavor_at.inc, named
// after the row's member and defined in At*Rows.cpp.
#pragma once

#include "AtRows.h"

namespace kavor::at::rows {

#define KAVOR_EXPORT(family, name, member, params, args) extern const Command member;
#include "kavor_at.inc"
#undef KAVOR_EXPORT

} // namespace kavor::at::rows
