// The station as the host of its remote-control server (TamselSimRemote.h).
#include "TamselSimRemote.h"

#include "gorvid.h"
#include "quorl.h"

#include <cstdio>
#include <cstdlib>

std::string TamselOpenSimulatedRemote() {
    const char* cResource = std::getenv(TAMSEL_REMOTE_VARIABLE);
    if (cResource == nullptr || *cResource == '\0') return "";
    uint32_t session = 0;
    char cLine[256];
    if (int32_t status = quorl_init(cResource, &session); status != QUORL_SUCCESS) {
        char cText[64] = "";
        quorl_errorMessage(session, status, cText);
        std::snprintf(cLine, sizeof cLine, "Remote-control server not opened: %s", cText);
        return cLine;
    }
    quorl_setmode(session);
    GorvidPut_SesQuorl(static_cast<int>(session));
    int32_t registered = 0;
    quorl_getstatus(session, QUORL_STATUS_REGISTERED, &registered);
    const char* cDir = std::getenv("TMPDIR");
    if (cDir == nullptr || *cDir == '\0') cDir = "/tmp";
    if (registered)
        std::snprintf(cLine, sizeof cLine, "Remote-control server: listening (%s)", cResource);
    else
        std::snprintf(cLine, sizeof cLine,
                      "Remote-control server: not listening (no marker file %s/activate_quorl, or the port is in use)",
                      cDir);
    return cLine;
}
