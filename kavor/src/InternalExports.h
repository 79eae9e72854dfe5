// Declarations of the procedure entry points that have the export shape but
// are not exported; procedures call them by handle.
#pragma once

#include "kavor.h"

extern "C" {
#define KAVOR_EXPORT(family, name, member, params, args) unsigned char name params;
#include "internal_exports.inc"
#undef KAVOR_EXPORT
}
