// Connection to the database wrapper and the revision query.
#include "NorbeckModule.h"

#include "pellin.h"

#include <cstring>

int norbeck_Connect(const char* cConnect, int iPrm1, int iPrm2, int iPrm3, char* cErrMsg) {
    return norbeck_Guard(cErrMsg, [&] {
        norbeck_Trace("norbeck_Connect()...");
        // Decided on every call, before and whatever the wrapper answers.
        gl_sNorbeck.iDebugBlocks = cConnect && std::strstr(cConnect, "debugblocks") ? 1 : 0;
        if (pellin_Connect(cConnect, iPrm1, iPrm2, iPrm3, cErrMsg) != 0) return norbeck_Failed(cErrMsg);
        return 0;
    });
}

int norbeck_Disconnect(int iPrm) {
    return norbeck_Guard(nullptr, [&] {
        norbeck_Trace("norbeck_Disconnect()...");
        return pellin_Disconnect(iPrm) != 0 ? -1 : 0;
    });
}

int norbeck_RevisionQuery(char* cVersion, int iPrm) {
    return norbeck_Guard(nullptr, [&] {
        norbeck_Trace("norbeck_RevisionQuery()...");
        char cPellin_DllVersion[PELLIN_REVISION_SIZE] = "";
        if (pellin_RevisionQuery(cPellin_DllVersion, iPrm) != 0 || !cVersion) return -1;
        std::strcpy(cVersion, NORBECK_DLL_VERSION);
        norbeck_Trace("cPellin_DllVersion: %s norbeck_DLL_VERSION: %s", cPellin_DllVersion, NORBECK_DLL_VERSION);
        return 0;
    });
}
