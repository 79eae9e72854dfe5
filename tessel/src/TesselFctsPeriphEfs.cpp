// The state of the application unpacking in the phone's file system: the
// unpacking is complete when the application and game folders are empty.
// The folders are listed through the vendor library's directory call-back,
// which counts the entries of each listing.
#include "TesselFctsPeriph.h"
#include "pclock.h"
#include "qmsl_efs.h"

using periph::hex;

namespace {

constexpr const char* kAppsFolder = "brew/mod/java_ams/config/apps";
constexpr const char* kGamesFolder = "brew/mod/java_ams/config/games";
constexpr unsigned short kDefaultTimeoutS = 300;
constexpr pclock::Millis kPollPauseMs = 2000;

// Entries of the listing in progress; reset before each listing.
int iEfsEntries_m = 0;

int EfsDirectoryCallBack(const char* /*folder*/, const char* /*name*/, unsigned char /*isDirectory*/) {
    return ++iEfsEntries_m;
}

// Lists a folder; false when the listing failed, else its entry count in iEntries.
bool countEntries(QmslHandle h, const char* cFolder, int& iEntries) {
    iEfsEntries_m = 0;
    const bool bListed = QLIB_EfsDirectory(h, cFolder) != 0;
    iEntries = iEfsEntries_m;
    return bListed;
}

enum class Poll { Completed, TimedOut, Failed };

Poll poll(int iSession, QmslHandle h, pclock::Millis deadline, periph::Status& status) {
    for (;;) {
        if (pclock::now_ms() > deadline) {
            Tessel_TracePlain_m(iSession, "[TIMEOUT.]");
            return Poll::TimedOut;
        }
        if (!QLIB_IsPhoneConnected(h)) {
            Tessel_TracePlain_m(iSession, "[No response from phone. Bailing out.]");
            status.fail();
            return Poll::Failed;
        }
        int iEntries = 0;
        if (!status.ok(countEntries(h, kAppsFolder, iEntries))) return Poll::Failed;
        if (iEntries > 0) {
            Tessel_TracePlain_m(iSession, "[%s -> %d entries]", kAppsFolder, iEntries);
            pclock::sleep_ms(kPollPauseMs);
            continue;
        }
        if (!status.ok(countEntries(h, kGamesFolder, iEntries))) return Poll::Failed;
        if (iEntries == 0) return Poll::Completed;
        Tessel_TracePlain_m(iSession, "[%s -> %d entries]", kGamesFolder, iEntries);
        pclock::sleep_ms(kPollPauseMs);
    }
}

const char* yesNo(short s) { return s ? "YES" : "NO"; }

} // namespace

int _Tessel_SpecialGetEfsUnpackStatus(int iSession, short* bCompleted, short* bTimeout, unsigned short iTimoSec,
                                      const char* cFile, int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    if (!bCompleted || !bTimeout) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iTimoSec=%d[s] ) Sess=%d", __func__, rec.hHandle, iTimoSec,
                  iSession);
    *bCompleted = 0;
    *bTimeout = 0;
    const pclock::Millis timeoutMs = static_cast<pclock::Millis>(iTimoSec ? iTimoSec : kDefaultTimeoutS) * 1000;
    periph::Status status;
    if (rec.hHandle == -1) {
        status.fail();
    } else {
        unsigned char ucDiag = 0, ucEfs = 0, ucDownload = 0;
        if (!QLIB_GetLibraryCapabilities(&ucDiag, &ucEfs, &ucDownload) || ucEfs == 0) {
            status.fail();
            Tessel_TracePlain_m(iSession, "[Library does not support EFS functions.]");
        }
        QLIB_ConfigureCallBacks(rec.hHandle, reinterpret_cast<void*>(&EfsDirectoryCallBack), nullptr, nullptr);
        switch (poll(iSession, rec.hHandle, pclock::now_ms() + timeoutMs, status)) {
        case Poll::Completed: *bCompleted = 1; break;
        case Poll::TimedOut: *bTimeout = 1; break;
        case Poll::Failed: break;
        }
        QLIB_ConfigureCallBacks(rec.hHandle, nullptr, nullptr, nullptr);
    }
    Mob_TraceResult(iSession, status.get(), "%s( *bCompleted=%d(%s), *bTimeout=%d(%s) ) = %#x", __func__,
                    *bCompleted, yesNo(*bCompleted), *bTimeout, yesNo(*bTimeout), hex(status.get()));
    return status.get();
}
