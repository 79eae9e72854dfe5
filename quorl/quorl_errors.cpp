// quorl_errorMessage and quorl_revisionQuery: the status texts.
#include "quorl_state.h"

#include <cstdio>
#include <cstring>

namespace {

struct StatusText {
    uint32_t uCode;
    const char* cText;
};

// Searched from the top; the first row with the code wins.
constexpr StatusText kStatusTexts[] = {
    {0x3FFC0101, "WARNING: ID Query not supported"},
    {0x3FFC0102, "WARNING: Reset not supported"},
    {0x3FFC0103, "WARNING: Self-test not supported"},
    {0x3FFC0104, "WARNING: Error Query not supported"},
    {0x3FFC0105, "WARNING: Revision Query not supported"},
    {0xBFFC0001, "ERROR: Parameter 1 out of range"},
    {0xBFFC0002, "ERROR: Parameter 2 out of range"},
    {0xBFFC0003, "ERROR: Parameter 3 out of range"},
    {0xBFFC0004, "ERROR: Parameter 4 out of range"},
    {0xBFFC0005, "ERROR: Parameter 5 out of range"},
    {0xBFFC0006, "ERROR: Parameter 6 out of range"},
    {0xBFFC0007, "ERROR: Parameter 7 out of range"},
    {0xBFFC0008, "ERROR: Parameter 8 out of range"},
    {0xBFFC0011, "ERROR: Identification query failed"},
    {0xBFFC0012, "ERROR: Interpreting instrument response"},
    {0xBFFC0800, "ERROR: Opening the specified file"},
    {0xBFFC0801, "ERROR: Writing to the specified file"},
    {0xBFFC0803, "ERROR: Interpreting the instrument's response"},
    {0xBFFC09F0, "ERROR: Instrument configuration error"},
    {0xBFFC09F1, "ERROR: Objekt-Type nicht ok"},
    {0xBFFC09F2, "ERROR: PortNr nicht ok"},
    {0xBFFC09F3, "ERROR: Objekt nicht zu aktivieren"},
    {0xBFFC09F4, "ERROR: Quorl: schreibfehler"},
    {0xBFFC09F5, "ERROR: Quorl: Modefehler"},
    {0xBFFC09F6, "ERROR: Quorl: Fehler im Rsrcname"},
};

} // namespace

int32_t quorl_errorMessage(uint32_t, int32_t status, char* text) {
    const uint32_t uCode = static_cast<uint32_t>(status);
    for (const StatusText& row : kStatusTexts) {
        if (row.uCode == uCode) {
            if (text != nullptr) std::strcpy(text, row.cText);
            return QUORL_SUCCESS;
        }
    }
    if (text != nullptr) std::snprintf(text, sizeof "Unknown Error 0x00000000", "Unknown Error 0x%08X", uCode);
    return QUORL_WARN_UNKNOWN_STATUS;
}

int32_t quorl_revisionQuery(uint32_t, char* driverRevision, char* instrumentRevision) {
    if (driverRevision != nullptr) std::strcpy(driverRevision, "1.0");
    if (instrumentRevision != nullptr) std::strcpy(instrumentRevision, "InstrRev not supported");
    return QUORL_SUCCESS;
}
