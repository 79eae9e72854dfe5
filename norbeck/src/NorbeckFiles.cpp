// Files between a directory and the database: single files through the
// wrapper, and the upload of a directory's "<IMEI>.bin" files.
#include "NorbeckModule.h"

#include "pellin.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kMaxFiles = 100;         // names taken from one directory
constexpr std::size_t kMaxName = 127;  // characters kept of a name
constexpr std::size_t kCandidateLength = 19;
constexpr std::size_t kImeiLength = 15;
constexpr const char* kBinPattern = "*.bin";

// The names of the directory matching "*.bin", sorted, at most 100 and each
// cut to 127 characters; 0, or -1 with a text when the search cannot end.
int norbeck_FindFilesFromDir(const std::string& dir, const std::string& pattern, std::vector<std::string>& names,
                             int* piNrOfFilesFound, char* cErrMsg) {
    *piNrOfFilesFound = 0;
    names.clear();
    DIR* hSearch = opendir(dir.c_str());
    int uiWin32ErrorNr = errno;
    std::vector<std::string> found;
    if (hSearch) {
        while (dirent* e = readdir(hSearch)) {
            if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
            if (fnmatch(kBinPattern, e->d_name, 0) == 0) found.emplace_back(e->d_name);
        }
        uiWin32ErrorNr = ENOENT;  // no match: the "file not found" of an empty search
    }
    if (found.empty()) {
        norbeck_Trace("hSearch == INVALID_HANDLE_VALUE -> no files found '%s' [uiWin32ErrorNr: %d]", pattern.c_str(),
                      uiWin32ErrorNr);
        norbeck_Trace("*piNrOfFilesFound: %d", 0);
        if (hSearch) closedir(hSearch);
        return 0;
    }
    // The system hands the names out in no particular order.
    std::sort(found.begin(), found.end());
    for (std::string& name : found) {
        if (static_cast<int>(names.size()) == kMaxFiles) {
            norbeck_Trace("NrOfFilesFound >= %d -> break the search here", kMaxFiles);
            break;
        }
        if (name.size() > kMaxName) {
            norbeck_Trace("iStrlen > %d -> cut filename now", static_cast<int>(kMaxName + 1));
            name.resize(kMaxName);
        }
        names.push_back(name);
    }
    *piNrOfFilesFound = static_cast<int>(names.size());
    norbeck_Trace("*piNrOfFilesFound: %d", *piNrOfFilesFound);
    if (int retVal = closedir(hSearch)) {
        norbeck_SetErrMsg(cErrMsg, "FindClose() retVal : %d", retVal);
        return -1;
    }
    return 0;
}

// Whether a name is "<15 characters without a letter>.bin"; always 0.
int norbeck_IsFoundFileCandidateForDb(const std::string& name, int* piIsCandidateForDb, char* cErrMsg) {
    norbeck_Trace("norbeck_IsFoundFileCandidateForDb(%s)...", name.c_str());
    *piIsCandidateForDb = 1;
    if (name.find(".bin") == std::string::npos) {
        *piIsCandidateForDb = 0;
        norbeck_Trace("extension not matching [.bin] -> *piIsCandidateForDb: %d", *piIsCandidateForDb);
        return 0;
    }
    if (name.size() != kCandidateLength) {
        *piIsCandidateForDb = 0;
        norbeck_Trace("strlen not matching [%d] -> *piIsCandidateForDb: %d", static_cast<int>(kCandidateLength),
                      *piIsCandidateForDb);
        return 0;
    }
    if (std::any_of(name.begin(), name.begin() + kImeiLength,
                    [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; })) {
        *piIsCandidateForDb = 0;
        norbeck_Trace("found alpha-char in filename -> *piIsCandidateForDb: %d", *piIsCandidateForDb);
        return 0;
    }
    norbeck_Trace("*piIsCandidateForDb: %d", *piIsCandidateForDb);
    return 0;
}

const char* text(const char* s) { return s ? s : ""; }

} // namespace

int norbeck_PutFileToDb(const char* cImei, const char* cFileType, const char* cDirectory, const char* cFileName,
                        char* cErrMsg) {
    return norbeck_Guard(cErrMsg, [&] {
        norbeck_Trace("norbeck_PutFileToDb(%s,%s,%s,%s)...", text(cImei), text(cFileType), text(cDirectory),
                      text(cFileName));
        if (pellin_PutFile(cImei, cFileType, cDirectory, cFileName, cErrMsg) != 0) return norbeck_Failed(cErrMsg);
        return 0;
    });
}

int norbeck_GetFileFromDb(const char* cImei, const char* cFileType, const char* cDirectory, char* cErrMsg) {
    return norbeck_Guard(cErrMsg, [&] {
        norbeck_Trace("norbeck_GetFileFromDb(%s,%s,%s)...", text(cImei), text(cFileType), text(cDirectory));
        if (pellin_GetFile(cImei, cFileType, cDirectory, cErrMsg) != 0) return norbeck_Failed(cErrMsg);
        return 0;
    });
}

int norbeck_DeleteFileFromDb(const char* cImei, const char* cFileType, char* cErrMsg) {
    return norbeck_Guard(cErrMsg, [&] {
        norbeck_Trace("norbeck_DeleteFileFromDb(%s,%s)...", text(cImei), text(cFileType));
        if (pellin_DeleteFile(cImei, cFileType, cErrMsg) != 0) return norbeck_Failed(cErrMsg);
        return 0;
    });
}

int norbeck_PutBinFilesFromDirToDb(const char* cDirectory, char* cErrMsg) {
    return norbeck_Guard(cErrMsg, [&] {
        const std::string dir = text(cDirectory);
        norbeck_Trace("norbeck_PutBinFilesFromDirToDb(%s)...", dir.c_str());
        struct stat st;
        if (dir.empty() || stat(dir.c_str(), &st) != 0) return norbeck_Fail(cErrMsg, "%s not found", dir.c_str());
        std::vector<std::string> names;
        int iNrOfFilesFound = 0;
        if (norbeck_FindFilesFromDir(dir, norbeck_JoinPath(dir, kBinPattern), names, &iNrOfFilesFound, cErrMsg))
            return norbeck_Failed(cErrMsg);
        for (const std::string& name : names) {
            int iIsCandidateForDb = 0;
            norbeck_IsFoundFileCandidateForDb(name, &iIsCandidateForDb, cErrMsg);
            if (!iIsCandidateForDb) continue;
            const std::string imei = name.substr(0, kImeiLength);
            if (norbeck_PutFileToDb(imei.c_str(), "bin", dir.c_str(), name.c_str(), cErrMsg) != 0)
                return norbeck_Failed(cErrMsg);
            const std::string path = norbeck_JoinPath(dir, name);
            if (pellin_DeleteBinFileFromDisk(path.c_str(), cErrMsg) != 0) return norbeck_Failed(cErrMsg);
        }
        return 0;
    });
}
