// Software download calls: each is recorded, plays the progress events a
// test set through the handle's progress call-back and answers its result.
#include "qmsl_download.h"
#include "qmsl_download_sim.h"

#include "library.h"

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

namespace qmsl_sim {

Downloads& downloads(Phone& phone) {
    std::shared_ptr<void>& slot = phone.family_state["downloads"];
    if (!slot) slot = std::make_shared<Downloads>();
    return *static_cast<Downloads*>(slot.get());
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

const bool registered = [] {
    for (const char* fn : {"QLIB_UploadCEFS_File", "QLIB_UploadCEFS_File2", "QLIB_UploadMultiImage"})
        set_default_handler(fn, run_download);
    return true;
}();
} // namespace
