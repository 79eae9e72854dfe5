// Control bytes of outside text are shown, never executed; plain text and
// well-formed UTF-8 pass unchanged.
#include "cvi_popup.h"
#include "cvi_shown_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ShownCase {
    const char* name;
    std::string text;
    std::string shown;
};
void PrintTo(const ShownCase& c, std::ostream* os) { *os << c.name; }

const ShownCase kShownCases[] = {
    {"PlainText", "BT Address already in", "BT Address already in"},
    {"EscapeSequence", "\x1b[2J\x1b[H", "\\x1b[2J\\x1b[H"},
    {"TitleSequenceWithBell", "\x1b]0;x\x07", "\\x1b]0;x\\x07"},
    {"NewlineAndTabStay", "a\tb\nc", "a\tb\nc"},
    {"CarriageReturnAndBackspace", "ok\r\bX", "ok\\x0d\\x08X"},
    {"NulAndDel", std::string("a\0b\x7f", 4), "a\\x00b\\x7f"},
    {"RawC1Control", "\x9b" "2J", "\\x9b2J"},
    {"Utf8EncodedC1Control", "\xc2\x9b" "2J", "\\xc2\\x9b2J"},
    {"Utf8TextStays", "Gr\xc3\xbc\xc3\x9f" "e \xe2\x82\xac \xf0\x9f\x93\xb1", "Gr\xc3\xbc\xc3\x9f" "e \xe2\x82\xac \xf0\x9f\x93\xb1"},
    {"CutUtf8AtTheEnd", "ab\xe2\x82", "ab\\xe2\\x82"},
    {"OverlongForm", "\xc0\xaf", "\\xc0\\xaf"},
    {"SurrogateForm", "\xed\xa0\x80", "\\xed\\xa0\\x80"},
    {"RawBluetoothAddress", "\xab\x89\x67\x45\x23\x01", "\\xab\\x89gE#\\x01"},
    {"BackslashStays", "C:\\temp", "C:\\temp"},
};

class CviShownText : public ::testing::TestWithParam<ShownCase> {};

TEST_P(CviShownText, ShowsControlBytes) { EXPECT_EQ(cvi::shown_text(GetParam().text), GetParam().shown); }

// A stream read in pieces gives the same text, whatever the cut.
TEST_P(CviShownText, InPiecesGivesTheSame) {
    const std::string& text = GetParam().text;
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        std::string out(4 * text.size() + 4, '\0');
        std::size_t used = 0;
        std::size_t len = cvi::shown_bytes(text.data(), cut, false, out.data(), &used);
        std::string shown = out.substr(0, len);
        const std::string rest = text.substr(used);
        len = cvi::shown_bytes(rest.data(), rest.size(), true, out.data(), &used);
        EXPECT_EQ(used, rest.size());
        shown += out.substr(0, len);
        EXPECT_EQ(shown, GetParam().shown) << "cut at " << cut;
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, CviShownText, ::testing::ValuesIn(kShownCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CviPopupEcho, ShowsTheControlBytesOfTitleAndText) {
    cvi_test::set_popup_echo(true);
    ::testing::internal::CaptureStderr();
    MessagePopup("Info\x1b[1m", "show msg:\x1b[2Jhello");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "[Info\\x1b[1m] show msg:\\x1b[2Jhello\n");
    cvi_test::set_popup_echo(false);
    cvi_test::clear_popups();
}

} // namespace
