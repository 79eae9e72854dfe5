// The operator program's panel file loads and binds its 13 callbacks (here
// stand-ins that record which one ran).
#include "cvi_panel.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#define TAMSEL_CALLBACKS(X)                                                                                  \
    X(cmdquit) X(cmdwriteklfbyte) X(cmdwriteimei) X(cmdftmmode) X(cmdmoboff) X(cmdsetftmflag) X(cmdreadbtaddr) \
    X(cmdwritebtaddr) X(cmdled) X(cmdservicecode) X(cmdvariant) X(cmdreadvariant) X(cmdwriteservicecodetonv)

namespace {
std::vector<std::string>& ran() {
    static std::vector<std::string> r;
    return r;
}
} // namespace

#define DEFINE_STUB(name)                                                                                    \
    extern "C" int CVICALLBACK name(int, int, int event, void*, int, int) {                                 \
        if (event == EVENT_COMMIT) ran().push_back(#name);                                                   \
        return 0;                                                                                            \
    }
TAMSEL_CALLBACKS(DEFINE_STUB)

TEST(TamselPanelFile, BindsEveryCallbackToOneButton) {
    int panel = LoadPanel(0, TAMSEL_PANEL_FILE, 1);
    ASSERT_GT(panel, 0);
    std::set<std::string> expected;
#define ADD_NAME(name) expected.insert(#name);
    TAMSEL_CALLBACKS(ADD_NAME)
    std::set<std::string> bound;
    for (int id = 1; id <= 40; ++id) {
        std::string name = cvi_test::callback_name(panel, id);
        if (name.empty()) continue;
        ran().clear();
        EXPECT_EQ(cvi_test::press(panel, id), 0);
        ASSERT_EQ(ran().size(), 1u) << "button " << id;
        EXPECT_EQ(ran()[0], name) << "button " << id;
        EXPECT_TRUE(bound.insert(name).second) << name << " is on two buttons";
    }
    EXPECT_EQ(bound, expected);
}

TEST(TamselPanelFile, HasTheComPortTheKlfByteAndAStatusLine) {
    int panel = LoadPanel(0, TAMSEL_PANEL_FILE, 1);
    ASSERT_GT(panel, 0);
    int v = -1;
    EXPECT_EQ(GetCtrlVal(panel, 15, &v), 0);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(SetCtrlVal(panel, 15, 0), UI_ERR_OUT_OF_RANGE);
    EXPECT_EQ(SetCtrlVal(panel, 15, 255), 0);
    EXPECT_EQ(GetCtrlVal(panel, 16, &v), 0);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(SetCtrlVal(panel, 16, 255), 0);
    EXPECT_EQ(SetCtrlVal(panel, 16, 256), UI_ERR_OUT_OF_RANGE);  // a byte, never cut silently
    EXPECT_EQ(SetCtrlVal(panel, 17, "ready"), 0);
}
