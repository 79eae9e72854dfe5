// The plain operations: the rows of tessel_plain.inc, each run by
// Mob_RunPlain_m.
#include "TesselEnum.h"
#include "TesselFcts.h"
#include "TesselFctsPeriphOps.h"
#include "TesselPlainWrapper.h"
#include "kavor.h"
#include "qmsl_build.h"
#include "qmsl_diag.h"
#include "qmsl_diag_misc.h"
#include "qmsl_ftm.h"
#include "qmsl_port.h"
#include "qmsl_agps.h"
#include "qmsl_audio_extra.h"
#include "qmsl_bt_audio_calls.h"
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
        std::string args = plain::format("Handle=%d", rec.hHandle);
        for (const PlainItem& item : items)
            if (item.eKind == PlainItem::Input) args += item.cSeparator + item.fnText();
        Mob_TraceCall(iSession, cFile, iLine, "%s( %s%s) Sess=%d", cName, args.c_str(), cCallClose, iSession);
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
        for (const PlainItem& item : items) {
            if (item.eKind == PlainItem::Break) outs.emplace_back();
            if (item.eKind != PlainItem::Output) continue;
            outs.back() += (outs.back().empty() ? "" : ", ") + item.fnText();
        }
        for (std::size_t i = 0; i < outs.size(); ++i) {
            const std::string number = outs.size() > 1 ? plain::format("%zu. ", i + 1) : "";
            if (outs[i].empty())
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
static_assert(TESSEL_TX_SWEEP_HDET_MAX == QMSL_TX_SWEEP_HDET_MAX && TESSEL_BUILD_TEXT_MAX == QMSL_BUILD_TEXT_MAX,
              "buffer sizes");

QMSL_ErrorLog* asQmsl(TESSEL_ErrorLog* pLog) { return reinterpret_cast<QMSL_ErrorLog*>(pLog); }

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
