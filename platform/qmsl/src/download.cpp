// Software download calls: each is recorded, plays the progress events a
// test set through the handle's progress call-back and answers its result.
#include "qmsl_download.h"
#include "qmsl_download_sim.h"

#include "library.h"

#include <algorithm>
#include <cstring>
#include <string>

using namespace qmsl_sim;

namespace {

// One argument as the journal of downloads shows it.
struct Text {
    std::string s;
    Text(const char* p) : s(p ? p : "(null)") {}
    Text(unsigned int v) : s(std::to_string(v)) {}
    Text(unsigned char v) : s(std::to_string(v)) {}
    Text(int v) : s(std::to_string(v)) {}
};

unsigned char download(QmslHandle h, const char* fn, std::vector<Text> args) {
    std::vector<In> in;
    for (const Text& a : args) in.emplace_back(a.s.data(), a.s.size());
    return typed_call(h, fn, std::move(in), {});
}

} // namespace

unsigned char QLIB_UploadCEFS_File(QmslHandle h, const char* sFileName, const char* sPartitionFileName) {
    return download(h, __func__, {sFileName, sPartitionFileName});
}
unsigned char QLIB_UploadCEFS_File2(QmslHandle h, const char* sFileName, const char* sPartitionFileName) {
    return download(h, __func__, {sFileName, sPartitionFileName});
}
unsigned char QLIB_UploadMultiImage(QmslHandle h, QMSL_MULTI_IMAGE_PARAMS) {
    return download(h, __func__,
                    {sFile1, sFile2, sFile3, sFile4, sFile5, sFile6, sFile7, sFile8, sFile9, sFile10, sFile11, sFile12,
                     sFile13, ucFlag14, ucFlag15, sFile16, ucFlag17, sFile18, ucFlag19, ucFlag20, ucFlag21, iValue22,
                     sFile23});
}

unsigned char QLIB_UploadHexFile(QmslHandle h, const char* sFileName, const char* sSPC, unsigned char bClearErrorLog,
                                 unsigned char bOverrideModelCheck, unsigned char bSkipReset,
                                 unsigned char bUseCustomArmProg, unsigned char bUploadArmProg,
                                 unsigned char bDoAutoRestoreBackup, const char* sAutoRestoreBackupName) {
    return download(h, __func__,
                    {sFileName, sSPC, bClearErrorLog, bOverrideModelCheck, bSkipReset, bUseCustomArmProg, bUploadArmProg,
                     bDoAutoRestoreBackup, sAutoRestoreBackupName});
}
unsigned char QLIB_DownloadQcnFile(QmslHandle h, const char* sFileName, int iVendorArg) {
    return download(h, __func__, {sFileName, iVendorArg});
}
unsigned char QLIB_UploadQcnFile(QmslHandle h, const char* sFileName, int iVendorArg, unsigned char bAutoRestore,
                                 unsigned char bSkipReset, unsigned char bAllowEsnMismatch,
                                 unsigned char bIgnorePhoneModel) {
    return download(h, __func__, {sFileName, iVendorArg, bAutoRestore, bSkipReset, bAllowEsnMismatch, bIgnorePhoneModel});
}
unsigned char QLIB_DIAG_NV_CNV_DIAG_BACKUP_F(QmslHandle h) { return download(h, __func__, {}); }

unsigned char QLIB_GetLastSoftwareDownloadErrorInfo(QmslHandle h, unsigned short* pbErrorOccurred, char* sErrorMessage,
                                                    int iMaxStringLength) {
    const std::size_t room = sErrorMessage && iMaxStringLength > 0 ? static_cast<std::size_t>(iMaxStringLength) : 0;
    return typed_call(h, __func__, {iMaxStringLength}, {out(pbErrorOccurred), out_bytes(sErrorMessage, room)});
}

namespace qmsl_sim {

Downloads& downloads(Phone& phone) {
    return family_state_of<Downloads>(phone, "downloads");
}

} // namespace qmsl_sim

namespace {

// The default behaviour of every download call: record, play the events,
// answer the result.
bool run_download(Phone& p, const Call& c) {
    Downloads& d = downloads(p);
    DownloadCall call{c.name, {}};
    for (const Arg& a : c.in) call.args.emplace_back(a.bytes.begin(), a.bytes.end());
    d.calls.push_back(std::move(call));
    const Connection* conn = connection(c.handle);
    if (conn && conn->download_cb) {
        auto cb = reinterpret_cast<QmslDownloadProgressCallback>(conn->download_cb);
        for (const DownloadEvent& e : d.events) {
            const QmslDownloadEvent record{e.kind, 0, e.value};
            d.answers.push_back(cb(&record));
        }
    }
    auto it = d.results.find(c.name);
    return it == d.results.end() || it->second;
}

// The error text as the library writes it: cut to the caller's room, with
// no terminator when it does not fit.
bool errorInfo(Phone& p, const Call& c) {
    const Downloads& d = downloads(p);
    c.set(0, d.error_occurred ? 1 : 0);
    if (c.out.size() > 1 && c.out[1].ptr && c.out[1].capacity) {
        const std::size_t n = std::min(d.error_text.size() + 1, c.out[1].capacity);
        std::memcpy(c.out[1].ptr, d.error_text.c_str(), n);
    }
    return true;
}

const bool registered = [] {
    for (const char* fn : {"QLIB_UploadCEFS_File", "QLIB_UploadCEFS_File2", "QLIB_UploadMultiImage", "QLIB_UploadHexFile",
                           "QLIB_DownloadQcnFile", "QLIB_UploadQcnFile", "QLIB_DIAG_NV_CNV_DIAG_BACKUP_F"})
        set_default_handler(fn, run_download);
    set_default_handler("QLIB_GetLastSoftwareDownloadErrorInfo", errorInfo);
    return true;
}();
} // namespace
