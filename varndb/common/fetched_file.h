// A fetched file written beside its target under a temporary name and put
// in the target's place only once it arrived whole: a fetch that fails
// part-way leaves whatever file stood under the target name as it was, and
// leaves no temporary file behind. A target that exists and is not a plain
// file (a device, a pipe) is written in place, as it must be.
#pragma once

#include <cstdio>
#include <string>

namespace varndb {

class FetchedFile {
public:
    // Opens the temporary file (or the target itself, see above); check ok().
    explicit FetchedFile(const std::string& target);
    ~FetchedFile();  // an unfinished temporary file is removed
    FetchedFile(const FetchedFile&) = delete;
    FetchedFile& operator=(const FetchedFile&) = delete;

    bool ok() const { return file_ != nullptr; }
    bool write(const void* bytes, std::size_t n);
    // Closes the file and renames it over the target; false when either
    // failed (the temporary file is then removed).
    bool finish();

private:
    std::string target_, temp_;  // temp_ empty: written in place
    std::FILE* file_ = nullptr;
};

} // namespace varndb
