#include "fetched_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varndb {

namespace {
std::atomic<unsigned> g_counter{0};
}

FetchedFile::FetchedFile(const std::string& target) : target_(target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        file_ = std::fopen(target.c_str(), "wb");
        return;
    }
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    // A name of its own per attempt (process and counter); the mode is the
    // one a plainly created file gets, so the renamed file looks the same.
    for (int attempt = 0; attempt < 100; ++attempt) {
        char tag[48];
        std::snprintf(tag, sizeof tag, ".%ld.%u.part", static_cast<long>(::getpid()), g_counter++);
        temp_ = dir + "." + name + tag;
        const int fd = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            file_ = ::fdopen(fd, "wb");
            if (!file_) {
                ::close(fd);
                std::remove(temp_.c_str());
            }
            return;
        }
        if (errno != EEXIST) return;
    }
}

FetchedFile::~FetchedFile() {
    if (!file_) return;
    std::fclose(file_);
    if (!temp_.empty()) std::remove(temp_.c_str());
}

bool FetchedFile::write(const void* bytes, std::size_t n) {
    return n == 0 || (file_ && std::fwrite(bytes, 1, n, file_) == n);
}

bool FetchedFile::finish() {
    if (!file_) return false;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (temp_.empty()) return closed;
    if (closed && std::rename(temp_.c_str(), target_.c_str()) == 0) return true;
    std::remove(temp_.c_str());
    return false;
}

} // namespace varndb
