// The shared library exports exactly the functions of its public tables.
#include "export_check.h"

#include <gtest/gtest.h>

namespace {

std::set<std::string> expected() {
    std::set<std::string> names = {
        "KAVOR_ConnectServer",      "KAVOR_ConnectServerWithWait",   "KAVOR_ConnectServer_LogicalPort",
        "KAVOR_DisconnectServer",   "KAVOR_DisconnectAllServers",    "KAVOR_SetLibraryMode",
        "KAVOR_GetLibraryMode",     "KAVOR_GetExtensionVersion",     "KAVOR_GetSupportedQLibVersion",
        "KAVOR_SetCallback",
    };
#define KAVOR_EXPORT(family, name, member, params, args) names.insert(#name);
#include "kavor_exports.inc"
#undef KAVOR_EXPORT
    return names;
}

TEST(KavorExports, AreExactlyThePublicTables) {
    EXPECT_EQ(testsupport::exported_symbols(KAVOR_LIBRARY_PATH), expected());
}

} // namespace
