// What the benchmarks share: timing, the content of the files they move,
// and reading a whole file back to check it.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The seconds one call of f takes.
template <class F>
double timed(F&& f) {
    auto t0 = Clock::now();
    f();
    return seconds(Clock::now() - t0);
}

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

inline std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// Bytes that do not compress, so that neither side gains by compression.
inline std::string content(std::size_t size) {
    std::string s(size, '\0');
    std::uint64_t x = 0x9e3779b97f4a7c15ull;
    for (char& c : s) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        c = static_cast<char>(x);
    }
    return s;
}

// A whole file, for setting up and checking only (never inside a timed step).
inline std::string readWhole(const std::filesystem::path& p) {
    std::FILE* f = std::fopen(p.c_str(), "rb");
    if (!f) throw std::runtime_error("cannot open " + p.string());
    std::string s(std::filesystem::file_size(p), '\0');
    const bool ok = std::fread(s.data(), 1, s.size(), f) == s.size();
    std::fclose(f);
    if (!ok) throw std::runtime_error("cannot read " + p.string());
    return s;
}

// A fresh folder under /tmp, removed with all it holds when this goes.
class TempDir {
public:
    explicit TempDir(const std::string& prefix) {
        std::string tmpl = "/tmp/" + prefix + ".XXXXXX";
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("no temporary folder");
        path_ = tmpl;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace bench
