// The command interpreter: a table of command words, applied in table order.
#include "quorl_state.h"

#include "cvi_popup.h"
#include "cvi_string.h"

#include <cstring>

namespace {

enum class Action { SetMode, ShowMessage, SendAddress };

struct Command {
    const char* cWord;
    Action action;
    int32_t iMode;  // for SetMode and SendAddress
};

// Every word that occurs in the text is applied, in this order.
constexpr Command kCommands[] = {
    {"trace on:", Action::SetMode, kModeTrace},
    {"trace off:", Action::SetMode, kModeOff},
    {"show msg:", Action::ShowMessage, 0},
    {"rslt on:", Action::SetMode, kModeResult},
    {"rslt off:", Action::SetMode, kModeOff},
    {"get ipadr:", Action::SendAddress, kModeAddress},
};

void Apply(const Command& c, const char* cText) {
    switch (c.action) {
    case Action::SetMode:
        gMode = c.iMode;
        break;
    case Action::ShowMessage:
        // The message is everything after the first ':' of the whole text.
        MessagePopup("Infomeldung", std::strchr(cText, ':') + 1);
        break;
    case Action::SendAddress:
        gMode = c.iMode;
        // quorl_write builds the reply itself; the text passed is not used.
        quorl_write(kSession, QUORL_KIND_ADDRESS, "");
        break;
    }
}

} // namespace

void ServerDoCommand(char* cText) {
    StringLowerCase(cText);
    for (const Command& c : kCommands) {
        if (std::strstr(cText, c.cWord) != nullptr) Apply(c, cText);
    }
}
