// The plain operations: the rows of tessel_plain.inc, each run by
// Mob_RunPlain_m.
#include "TesselEnum.h"
#include "TesselFcts.h"
#include "TesselFctsPeriphOps.h"
#include "TesselPlainWrapper.h"
#include "kavor.h"
#include "qmsl_ber.h"
#include "qmsl_build.h"
#include "qmsl_diag.h"
#include "qmsl_diag_misc.h"
#include "qmsl_download.h"
#include "qmsl_ftm.h"
#include "qmsl_keypress.h"
#include "qmsl_logging.h"
#include "qmsl_port.h"
#include "qmsl_agps.h"
#include "qmsl_audio_extra.h"
#include "qmsl_audio.h"
#include "qmsl_bt.h"
#include "qmsl_camera.h"
#include "qmsl_camera_picture.h"
#include "qmsl_polar_tx.h"

#include <cstdarg>
#include <cstring>
#include <vector>

std::string plain::format(const char* cFormat, ...) {
    char cText[512];
    std::va_list args;
    va_start(args, cFormat);
    std::vsnprintf(cText, sizeof cText, cFormat, args);
    va_end(args);
    return cText;
}

void Tessel_TracePlain_m(int iSession, const char* cFormat, ...) {
    if (!Mob_TraceOn_m()) return;
    char cText[512];
    std::va_list args;
    va_start(args, cFormat);
    std::vsnprintf(cText, sizeof cText, cFormat, args);
    va_end(args);
    Mob_TRACE(iSession, 0, TRACE_PLAIN, cText, "", 0);
}

int Mob_RunPlain_m(int iSession, const char* cName, const char* cFile, int iLine,
                   std::initializer_list<PlainItem> items, const std::function<unsigned char(QmslHandle)>& call) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    for (const PlainItem& item : items)
        if (item.bPointer && !item.pRequired) return TESSEL_ERROR_PARAMETER2;
    bool bHandleNotTested = false;
    const char* cCallClose = " ";
    const char* cEmptyResult = "()";
    for (const PlainItem& item : items) {
        if (item.fnPrepare) item.fnPrepare();
        if (item.bHandleNotTested) bHandleNotTested = true;
        if (item.cCallClose) cCallClose = item.cCallClose;
        if (item.cEmptyResult) cEmptyResult = item.cEmptyResult;
    }

    if (Mob_TraceOn_m()) {
        std::string line = plain::format("%s( Handle=%d", cName, rec.hHandle);
        std::string afterSession;
        bool bFresh = false;           // nothing on the line yet since a break
        bool bSessionWritten = false;  // the first of two lines closed with the session
        for (const PlainItem& item : items) {
            if (item.eKind == PlainItem::Break) {
                if (item.bSessionFirst) {
                    Mob_TraceCall(iSession, cFile, iLine, "%s ) Sess=%d", line.c_str(), iSession);
                    line = std::string(cName) + "( ";
                    bSessionWritten = true;
                } else {
                    Mob_TraceCall(iSession, cFile, iLine, "%s... ", line.c_str());
                    line = "...";
                }
                bFresh = true;
            } else if (item.eKind == PlainItem::Input && item.bAfterSession) {
                afterSession += ", " + item.fnText();
            } else if (item.eKind == PlainItem::Input) {
                line += (bFresh ? "" : item.cSeparator) + item.fnText();
                bFresh = false;
            }
        }
        if (bSessionWritten)
            Mob_TraceCall(iSession, cFile, iLine, "%s%s)", line.c_str(), cCallClose);
        else
            Mob_TraceCall(iSession, cFile, iLine, "%s%s) Sess=%d%s", line.c_str(), cCallClose, iSession,
                          afterSession.c_str());
        for (const PlainItem& item : items)
            if (item.fnAfterCallLine) item.fnAfterCallLine(iSession);
    }

    int iStatus = 0;
    if ((rec.hHandle == -1 && !bHandleNotTested) || !call(rec.hHandle)) iStatus = TESSEL_ERROR_LIBRARY;
    for (const PlainItem& item : items)
        if (iStatus == 0 && item.fnAccept && !item.fnAccept()) iStatus = TESSEL_ERROR_LIBRARY;

    if (Mob_TraceOn_m()) {
        // One result line, or one numbered line per group of outputs.
        std::vector<std::string> outs(1);
        const PlainItem* pResult = nullptr;
        for (const PlainItem& item : items) {
            if (item.eKind == PlainItem::Result) pResult = &item;
            if (item.eKind == PlainItem::ResultBreak) outs.emplace_back();
            if (item.eKind != PlainItem::Output) continue;
            outs.back() += (outs.back().empty() ? "" : ", ") + item.fnText();
        }
        for (std::size_t i = 0; i < outs.size(); ++i) {
            const std::string number = outs.size() > 1 ? plain::format("%zu. ", i + 1) : "";
            if (pResult)
                Mob_TraceResult(iSession, iStatus, "%s%s%s%s%s = %#x", number.c_str(), cName, pResult->cOpen,
                                outs[i].c_str(), pResult->cClose, static_cast<unsigned>(iStatus));
            else if (outs[i].empty())
                Mob_TraceResult(iSession, iStatus, "%s%s%s = %#x", number.c_str(), cName, cEmptyResult,
                                static_cast<unsigned>(iStatus));
            else
                Mob_TraceResult(iSession, iStatus, "%s%s( %s ) = %#x", number.c_str(), cName, outs[i].c_str(),
                                static_cast<unsigned>(iStatus));
        }
    }
    return iStatus;
}

namespace {

using namespace plain;

static_assert(sizeof(TESSEL_ErrorLog) == sizeof(QMSL_ErrorLog) &&
                  offsetof(TESSEL_ErrorLog, aRecords) == offsetof(QMSL_ErrorLog, aRecords),
              "error log layout");
static_assert(TESSEL_PHONE_LOG_MAX == QMSL_PHONE_LOG_MAX, "phone log size");
static_assert(TESSEL_TX_SWEEP_HDET_MAX == QMSL_TX_SWEEP_HDET_MAX && TESSEL_BUILD_TEXT_MAX == QMSL_BUILD_TEXT_MAX,
              "buffer sizes");

QMSL_ErrorLog* asQmsl(TESSEL_ErrorLog* pLog) { return reinterpret_cast<QMSL_ErrorLog*>(pLog); }

// The BER records are the vendor's, byte for byte.
static_assert(sizeof(TESSEL_GSM_BER_Status) == sizeof(QMSL_GSM_BER_Status) &&
                  offsetof(TESSEL_GSM_BER_Status, bSCCH_Found) == 8 &&
                  offsetof(TESSEL_GSM_BER_Status, iCHANNEL_ASSIGN_CNF_status) == 13,
              "GSM BER status layout");
static_assert(sizeof(TESSEL_EGPRS_BER_Status) == sizeof(QMSL_EGPRS_BER_Status) &&
                  offsetof(TESSEL_EGPRS_BER_Status, bTBF_IND_type) == 3 &&
                  offsetof(TESSEL_EGPRS_BER_Status, iSERVING_MEAS_IND_RxLev_average) == 6,
              "EGPRS BER status layout");
static_assert(sizeof(TESSEL_WCDMA_AGC_Log) == sizeof(QMSL_WCDMA_AGC_Log), "WCDMA AGC log layout");
QMSL_GSM_BER_Status* asQmsl(TESSEL_GSM_BER_Status* p) { return reinterpret_cast<QMSL_GSM_BER_Status*>(p); }
QMSL_EGPRS_BER_Status* asQmsl(TESSEL_EGPRS_BER_Status* p) { return reinterpret_cast<QMSL_EGPRS_BER_Status*>(p); }
QMSL_WCDMA_AGC_Log* asQmsl(TESSEL_WCDMA_AGC_Log* p) { return reinterpret_cast<QMSL_WCDMA_AGC_Log*>(p); }

// A zero-filled copy of an image name: the extension library sends a fixed
// 128-byte field, which must never be read from the caller's shorter text.
struct ImageName {
    explicit ImageName(const char* cText) {
        if (cText) std::memcpy(cName, cText, strnlen(cText, TESSEL_IMAGE_NAME_MAX));
    }
    char cName[TESSEL_IMAGE_NAME_MAX + 1] = {};
};

} // namespace

#define TESSEL_UNPAREN(...) __VA_ARGS__
#define TESSEL_PLAIN(name, params, call, trace)                                                                  \
    int name params {                                                                                            \
        return Mob_RunPlain_m(iSession, #name, cFile, iLine, {TESSEL_UNPAREN trace},                             \
                              [&](QmslHandle h) -> unsigned char { return call; });                              \
    }
// A row whose call needs values of its own (locals: declarations, each
// ending with ';') made before the items.
#define TESSEL_PLAIN_LOCAL(name, params, locals, call, trace)                                                    \
    int name params {                                                                                            \
        TESSEL_UNPAREN locals                                                                                    \
        return Mob_RunPlain_m(iSession, #name, cFile, iLine, {TESSEL_UNPAREN trace},                             \
                              [&](QmslHandle h) -> unsigned char { return call; });                              \
    }
#include "tessel_plain.inc"
#undef TESSEL_PLAIN
#undef TESSEL_PLAIN_LOCAL
