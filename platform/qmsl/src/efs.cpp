// The phone's file system listing and the library's capabilities.
#include "qmsl_efs.h"
#include "qmsl_efs_sim.h"

#include "library.h"

#include <cstring>

using namespace qmsl_sim;

unsigned char QLIB_GetLibraryCapabilities(unsigned char* supportsDiag, unsigned char* supportsEfs,
                                          unsigned char* supportsSwDownload) {
    LibraryCapabilities& caps = library().capabilities;
    ++caps.calls;
    if (caps.fail_calls != 0) {
        if (caps.fail_calls > 0) --caps.fail_calls;
        return 0;
    }
    if (supportsDiag) *supportsDiag = caps.diag ? 1 : 0;
    if (supportsEfs) *supportsEfs = caps.efs ? 1 : 0;
    if (supportsSwDownload) *supportsSwDownload = caps.sw_download ? 1 : 0;
    return 1;
}

unsigned char QLIB_EfsDirectory(QmslHandle h, const char* path) {
    if (!path) return 0;
    return typed_call(h, __func__, {In(path, std::strlen(path))}, {});
}

namespace qmsl_sim {

std::string efs_path(const std::string& path) {
    const auto first = path.find_first_not_of('/');
    if (first == std::string::npos) return "";
    return path.substr(first, path.find_last_not_of('/') - first + 1);
}

void Efs::make_folder(const std::string& path) { folders[efs_path(path)]; }

void Efs::add_entry(const std::string& path, const std::string& name, bool directory) {
    std::vector<EfsEntry>& entries = folders[efs_path(path)];
    if (name != "." && name != "..") entries.push_back({name, directory});
}

void Efs::script_counts(const std::string& path, std::vector<int> counts) {
    make_folder(path);
    scripted_counts[efs_path(path)].assign(counts.begin(), counts.end());
}

Efs& efs(Phone& phone) {
    return family_state_of<Efs>(phone, "efs");
}

LibraryCapabilities& library_capabilities() { return library().capabilities; }

} // namespace qmsl_sim

namespace {

bool listHandler(Phone& p, const Call& c) {
    const std::string given(c.in[0].bytes.begin(), c.in[0].bytes.end());
    const std::string path = efs_path(given);
    Efs& fs = efs(p);
    auto folder = fs.folders.find(path);
    if (folder == fs.folders.end()) return false;

    auto script = fs.scripted_counts.find(path);
    if (script != fs.scripted_counts.end() && !script->second.empty()) {
        const int n = script->second.front();
        script->second.pop_front();
        folder->second.clear();
        for (int i = 1; i <= n; ++i) folder->second.push_back({"file" + std::to_string(i), false});
    }

    Connection* conn = connection(c.handle);
    if (!conn || !conn->efs_cb) return true;
    auto cb = reinterpret_cast<QmslEfsDirectoryCallback>(conn->efs_cb);
    // A copy: the call-back may call the library again.
    const std::vector<EfsEntry> entries = folder->second;
    for (const EfsEntry& e : entries) cb(given.c_str(), e.name.c_str(), e.directory ? 1 : 0);
    return true;
}

const bool registered = [] {
    set_default_handler("QLIB_EfsDirectory", listHandler);
    return true;
}();

} // namespace
