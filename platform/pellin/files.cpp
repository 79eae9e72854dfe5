// Files between a directory and the database, and the local delete.
#include "pellin_internal.h"

#include "varndb.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

using pellin_test::Call;

namespace {
std::string text(const char* s) { return s ? s : ""; }
} // namespace

int pellin_PutFile(const char* imei, const char* fileType, const char* directory, const char* fileName,
                   char* errText) {
    return pellin::guarded(errText, [&] {
        Call call{"pellin_PutFile", {text(imei), text(fileType), text(directory), text(fileName)}, {}, {}};
        if (auto s = pellin::enter(std::move(call))) return pellin::scripted(*s, errText);
        return varndb_putFile(imei, fileType, directory, fileName, errText);
    });
}

int pellin_GetFile(const char* imei, const char* fileType, const char* directory, char* errText) {
    return pellin::guarded(errText, [&] {
        if (auto s = pellin::enter(Call{"pellin_GetFile", {text(imei), text(fileType), text(directory)}, {}, {}}))
            return pellin::scripted(*s, errText);
        return varndb_getFile(imei, fileType, directory, errText);
    });
}

int pellin_DeleteFile(const char* imei, const char* fileType, char* errText) {
    return pellin::guarded(errText, [&] {
        if (auto s = pellin::enter(Call{"pellin_DeleteFile", {text(imei), text(fileType)}, {}, {}}))
            return pellin::scripted(*s, errText);
        return varndb_deleteFile(imei, fileType, errText);
    });
}

int pellin_DeleteBinFileFromDisk(const char* path, char* errText) {
    return pellin::guarded(errText, [&] {
        if (auto s = pellin::enter(Call{"pellin_DeleteBinFileFromDisk", {text(path)}, {}, {}})) return pellin::scripted(*s, errText);
        if (!path || std::remove(path) != 0) {
            pellin::put_text(errText, "remove(%s) failed: %s", text(path).c_str(),
                             path ? std::strerror(errno) : "no path");
            return -1;
        }
        return 0;
    });
}
