#include "cvi_files.h"

#include <sys/stat.h>

#include <cerrno>

int GetFileInfo(const char* path, long* size) {
    if (path == nullptr) return -1;
    struct stat st {};
    if (::stat(path, &st) != 0) return (errno == ENOENT || errno == ENOTDIR) ? 0 : -1;
    if (size != nullptr) *size = static_cast<long>(st.st_size);
    return 1;
}
