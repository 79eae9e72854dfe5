// Connection and revision: the connect text is "user/password@database"
// with optional ";option" words.
#include "pellin_internal.h"

#include "varndb.h"

#include <cstring>
#include <string>

using pellin_test::Call;

namespace {

struct Login {
    std::string user, password, database;
};

// Splits "user/password@database[;options]"; false when a part is missing.
bool parseConnectText(const std::string& text, Login& login) {
    std::string main = text.substr(0, text.find(';'));
    auto slash = main.find('/');
    auto at = main.rfind('@');
    if (slash == std::string::npos || at == std::string::npos || at < slash) return false;
    login.user = main.substr(0, slash);
    login.password = main.substr(slash + 1, at - slash - 1);
    login.database = main.substr(at + 1);
    return !login.user.empty() && !login.database.empty();
}

} // namespace

int pellin_Connect(const char* connectText, int a, int b, int c, char* errText) {
    return pellin::guarded(errText, [&] {
        const std::string text = connectText ? connectText : "";
        if (auto s = pellin::enter(Call{"pellin_Connect", {text}, {a, b, c}, {}})) return pellin::scripted(*s, errText);
        Login login;
        if (!parseConnectText(text, login)) {
            pellin::put_text(errText, "pellin_Connect: connect text is not user/password@database");
            return -1;
        }
        return varndb_Connect(login.user.c_str(), login.password.c_str(), login.database.c_str(), errText);
    });
}

int pellin_Disconnect(int a) {
    return pellin::guarded(nullptr, [&] {
        if (auto s = pellin::enter(Call{"pellin_Disconnect", {}, {a}, {}})) return s->result;
        return varndb_Disconnect();
    });
}

int pellin_RevisionQuery(char* version, int a) {
    return pellin::guarded(nullptr, [&] {
        if (!version) return -1;
        std::string text;
        if (auto s = pellin::enter(Call{"pellin_RevisionQuery", {}, {a}, {}})) {
            if (s->result != 0) return s->result;
            text = s->output;
        } else {
            char backEnd[VARNDB_ERRTEXT_SIZE] = "";
            varndb_GetDllVersion(backEnd, sizeof backEnd);
            text = std::string("pellin 1.0 (") + backEnd + ")";
        }
        text.resize(std::min<std::size_t>(text.size(), PELLIN_REVISION_SIZE - 1));
        std::memcpy(version, text.c_str(), text.size() + 1);
        return 0;
    });
}
