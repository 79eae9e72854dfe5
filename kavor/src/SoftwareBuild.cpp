// Software build check: the phone's version record and its extended build
// id, read for the station to compare.
#include "ProcedureSteps.h"

#include "InternalExports.h"
#include "qmsl_build.h"
#include "qmsl_diag_misc.h"

#include <cstring>

namespace kavor {

namespace {

// Where each of the five version texts is cut (dates 11, times and the
// version folder 8 characters).
constexpr std::size_t kVersionTextCut[5] = {11, 8, 11, 8, 8};

// Copies a build-id text into the caller's buffer, cut to fit.
void copyOut(char* pcTo, const char* pcFrom) {
    if (!pcTo) return;
    const std::size_t n = strnlen(pcFrom, KAVOR_BUILD_ID_TEXT_MAX - 1);
    std::memcpy(pcTo, pcFrom, n);
    pcTo[n] = 0;
}

} // namespace

bool TestProcedures::checkSwBuild(char* comp_date, char* comp_time, char* rel_date, char* rel_time, char* ver_dir,
                                  unsigned char* scm, unsigned char* mob_cai_rev, unsigned char* mob_model,
                                  unsigned short* mob_firm_rev, unsigned char* slot_cycle_index,
                                  unsigned char* voc_maj, unsigned char* voc_min, unsigned int* msmHwVersion,
                                  unsigned int* mobileModel, char* softwareRevision, char* modelText) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    char* const texts[5] = {comp_date, comp_time, rel_date, rel_time, ver_dir};
    for (char* t : texts)
        if (t) std::memset(t, 0, KAVOR_VERNO_TEXT_MAX);
    if (!runStep(*this, step("QLIB_DIAG_VERNO_F",
                             [=] {
                                 return QLIB_DIAG_VERNO_F(h, comp_date, comp_time, rel_date, rel_time, ver_dir, scm,
                                                          mob_cai_rev, mob_model, mob_firm_rev, slot_cycle_index,
                                                          voc_maj, voc_min) != 0;
                             },
                             "QLIB_DIAG_VERNO_F()")))
        return false;
    for (std::size_t i = 0; i < 5; ++i)
        if (texts[i]) texts[i][kVersionTextCut[i]] = 0;

    // The vendor writes its full-size texts into buffers of this library's own.
    char szRevision[QMSL_BUILD_TEXT_MAX] = {};
    char szModelText[QMSL_BUILD_TEXT_MAX] = {};
    const bool bOk = runStep(*this, step("QLIB_DIAG_EXT_BUILD_ID_F",
                                         [&] {
                                             return QLIB_DIAG_EXT_BUILD_ID_F(h, msmHwVersion, mobileModel, szRevision,
                                                                             szModelText) != 0;
                                         },
                                         "QLIB_DIAG_EXT_BUILD_ID_F()"));
    copyOut(softwareRevision, szRevision);
    copyOut(modelText, szModelText);
    return bOk;
}

} // namespace kavor
