// The port lists and aliases of the vendor library. They need no session and
// are traced on the process's standard output, not through the trace library.
#include "TesselInternal.h"
#include "qmsl_port.h"

#include <cstdio>
#include <string>

namespace {

unsigned hex(int iStatus) { return static_cast<unsigned>(iStatus); }

std::string portText(const unsigned short* pPorts, unsigned short usCount) {
    std::string s;
    for (unsigned short i = 0; i < usCount; ++i) {
        char cPort[8];
        std::snprintf(cPort, sizeof cPort, "%d ", pPorts[i]);
        s += cPort;
    }
    return s;
}

} // namespace

int _Tessel_GetAllPortList(unsigned short* piNumPorts, unsigned short* pPortList, const char* cFile, int iLine) {
    if (!piNumPorts || (*piNumPorts > 0 && !pPortList)) return TESSEL_ERROR_PARAMETER2;
    std::printf("%s( *piNumPorts=%d ) %s,%d\n", __func__, *piNumPorts, cFile ? cFile : "", iLine);
    const int iStatus = QLIB_GetAllPortList(piNumPorts, pPortList) ? 0 : TESSEL_ERROR_LIBRARY;
    if (iStatus) *piNumPorts = 0;
    std::printf("%s( *piNumPorts=%d -> %s ) = %#x\n", __func__, *piNumPorts, portText(pPortList, *piNumPorts).c_str(),
                hex(iStatus));
    std::fflush(stdout);
    return iStatus;
}

int _Tessel_GetAvailablePhonesPortList(unsigned short* piNumPorts, unsigned short* pPortList,
                                       unsigned short iNumIgnorePorts, unsigned short* pIgnorePortList,
                                       const char* cFile, int iLine) {
    if (!piNumPorts || (*piNumPorts > 0 && !pPortList) || (iNumIgnorePorts > 0 && !pIgnorePortList))
        return TESSEL_ERROR_PARAMETER2;
    std::printf("%s( *piNumPorts=%d, *pIgnorePortList=%d ) %s,%d\n", __func__, *piNumPorts, iNumIgnorePorts,
                cFile ? cFile : "", iLine);
    const int iStatus =
        QLIB_GetAvailablePhonesPortList(piNumPorts, pPortList, iNumIgnorePorts, pIgnorePortList) ? 0
                                                                                                 : TESSEL_ERROR_LIBRARY;
    if (iStatus) *piNumPorts = 0;
    std::printf("%s( *piNumPorts=%d -> %s ) = %#x\n", __func__, *piNumPorts, portText(pPortList, *piNumPorts).c_str(),
                hex(iStatus));
    std::fflush(stdout);
    return iStatus;
}

int _Tessel_AddPortAliasEntry(unsigned short iLogicalPort, unsigned short iPhysicalPort, const char* cFile,
                              int iLine) {
    std::printf("%s( iLogicalPort=%d, iPhysicalPort=%d ) %s,%d\n", __func__, iLogicalPort, iPhysicalPort,
                cFile ? cFile : "", iLine);
    const int iStatus = QLIB_AddPortAliasEntry(iLogicalPort, iPhysicalPort) ? 0 : TESSEL_ERROR_LIBRARY;
    std::printf("%s( ) = %#x\n", __func__, hex(iStatus));
    std::fflush(stdout);
    return iStatus;
}

int _Tessel_ClearPortAliasList(const char* cFile, int iLine) {
    std::printf("%s( ) %s,%d\n", __func__, cFile ? cFile : "", iLine);
    const int iStatus = QLIB_ClearPortAliasList() ? 0 : TESSEL_ERROR_LIBRARY;
    std::printf("%s( ) = %#x\n", __func__, hex(iStatus));
    std::fflush(stdout);
    return iStatus;
}
