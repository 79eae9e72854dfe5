#include "export_check.h"

#include <gtest/gtest.h>

#include <cctype>

TEST(CviExports, TheLibraryExportsTheRunTimeCallsAndItsSeamsOnly) {
    std::set<std::string> names = testsupport::exported_symbols(CVI_LIBRARY_PATH);
    for (const char* call : {"InitCVIRTEEx", "SetStdioWindowOptions", "LoadPanel", "DisplayPanel", "DiscardPanel",
                             "GetCtrlVal", "SetCtrlVal", "RunUserInterface", "QuitUserInterface", "PromptPopup",
                             "MessagePopup"})
        EXPECT_TRUE(names.count(call)) << call;
    for (const std::string& n : names) {
        bool c_call = std::isupper(static_cast<unsigned char>(n[0]));
        bool seam = n.rfind("_ZN3cvi", 0) == 0 || n.rfind("_ZN8cvi_test", 0) == 0;
        EXPECT_TRUE(c_call || seam) << n;
    }
}
