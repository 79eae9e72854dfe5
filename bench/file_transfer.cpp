// File transfer through the direct-SQL back-end against the database itself.
//
// Times varndb_putFile and varndb_getFile of a 5 MB and a 50 MB file through
// libdalmire.so, and on the same server, in the same run, a plain libpq
// program doing the same work by hand: one INSERT per 32000-byte chunk as a
// bytea row in one transaction, then one SELECT per chunk by its key with a
// binary result. The two alternate (the order swaps every round); the
// medians of put, get and put + get and their ratios (Dalmire / plain) are
// printed, and, for information, a plain read of all chunks in one query.
//
// Run it through scripts/bench, which builds it without sanitizers and
// starts a private server loaded with the reference schema (the connection
// comes from PGHOST, PGPORT, PGDATABASE and PGUSER, the station login; the
// set-up, which a station may not do, logs in as PHONELINE_PG_ADMIN).
//
//   file_transfer [rounds]     rounds per size, default 7
#include "halden.h"
#include "varndb.h"

#include <libpq-fe.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kChunk = 32000;
constexpr const char* kImei = "350000000000099";
constexpr const char* kType = "BENCH";

using Clock = std::chrono::steady_clock;

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// Bytes that do not compress, so that neither side gains by compression.
std::string content(std::size_t size) {
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

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + p.string());
}

// A session of the station login, or of the login given.
class Pg {
public:
    explicit Pg(const std::string& login = "") : conn_(connect(login)) {
        if (PQstatus(conn_) != CONNECTION_OK) throw std::runtime_error(PQerrorMessage(conn_));
    }
    ~Pg() { PQfinish(conn_); }
    Pg(const Pg&) = delete;
    Pg& operator=(const Pg&) = delete;

    void exec(const std::string& sql) {
        PGresult* r = PQexec(conn_, sql.c_str());
        bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
        PQclear(r);
        if (!ok) throw std::runtime_error(sql + ": " + PQerrorMessage(conn_));
    }
    PGconn* conn() { return conn_; }

private:
    static PGconn* connect(const std::string& login) {
        const char* keys[] = {"user", "application_name", nullptr};
        const char* values[] = {login.empty() ? nullptr : login.c_str(), "phoneline-bench", nullptr};
        return PQconnectdbParams(keys, values, 0);
    }
    PGconn* conn_;
};

// The plain client: the file's chunks as rows of one table.
class PlainClient {
public:
    explicit PlainClient(Pg& admin) {
        admin.exec("CREATE TABLE IF NOT EXISTS bench_chunk (name text, seq int, data bytea, PRIMARY KEY (name, seq));"
                   "GRANT SELECT, INSERT, DELETE ON bench_chunk TO mero_station");
    }

    void put(const fs::path& file) {
        const std::string bytes = readFile(file);
        const std::string name = file.filename().string();
        pg_.exec("BEGIN");
        const char* del[] = {name.c_str()};
        check(PQexecParams(pg_.conn(), "DELETE FROM bench_chunk WHERE name = $1", 1, nullptr, del, nullptr, nullptr, 0));
        for (std::size_t off = 0, seq = 0; off < bytes.size() || seq == 0; off += kChunk, ++seq) {
            const std::string seqText = std::to_string(seq);
            const std::size_t n = std::min(kChunk, bytes.size() - off);
            const char* values[] = {name.c_str(), seqText.c_str(), bytes.data() + off};
            const int lengths[] = {0, 0, static_cast<int>(n)};
            const int formats[] = {0, 0, 1};
            check(PQexecParams(pg_.conn(), "INSERT INTO bench_chunk VALUES ($1, $2, $3)", 3, nullptr, values, lengths,
                               formats, 0));
        }
        pg_.exec("COMMIT");
    }

    // One SELECT per chunk by its key, until a chunk shorter than 32000
    // bytes (as a caller reading chunk after chunk stops).
    void get(const std::string& name, const fs::path& file) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        for (int seq = 0;; ++seq) {
            const std::string seqText = std::to_string(seq);
            const char* values[] = {name.c_str(), seqText.c_str()};
            PGresult* r = PQexecParams(pg_.conn(), "SELECT data FROM bench_chunk WHERE name = $1 AND seq = $2", 2,
                                       nullptr, values, nullptr, nullptr, 1);
            if (PQresultStatus(r) != PGRES_TUPLES_OK || PQntuples(r) != 1) {
                PQclear(r);
                throw std::runtime_error("chunk " + seqText + ": " + PQerrorMessage(pg_.conn()));
            }
            const int n = PQgetlength(r, 0, 0);
            out.write(PQgetvalue(r, 0, 0), n);
            PQclear(r);
            if (n != static_cast<int>(kChunk)) break;
        }
        if (!out) throw std::runtime_error("cannot write " + file.string());
    }

    // All chunks in one query (for information: no chunk-by-chunk caller
    // can read this way).
    void getWhole(const std::string& name, const fs::path& file) {
        const char* values[] = {name.c_str()};
        PGresult* r = PQexecParams(pg_.conn(), "SELECT data FROM bench_chunk WHERE name = $1 ORDER BY seq", 1,
                                   nullptr, values, nullptr, nullptr, 1);
        if (PQresultStatus(r) != PGRES_TUPLES_OK) {
            PQclear(r);
            throw std::runtime_error(PQerrorMessage(pg_.conn()));
        }
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        for (int i = 0; i < PQntuples(r); ++i) out.write(PQgetvalue(r, i, 0), PQgetlength(r, i, 0));
        PQclear(r);
        if (!out) throw std::runtime_error("cannot write " + file.string());
    }

private:
    void check(PGresult* r) {
        bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
        if (!ok) throw std::runtime_error(PQerrorMessage(pg_.conn()));
    }
    Pg pg_;
};

void dalmirePut(const fs::path& file) {
    char err[VARNDB_ERRTEXT_SIZE] = {};
    const std::string name = file.filename().string();
    if (int r = varndb_putFile(kImei, kType, file.parent_path().c_str(), name.c_str(), err))
        throw std::runtime_error("varndb_putFile: " + std::to_string(r) + " " + err);
}

void dalmireGet(const fs::path& outDir) {
    char err[VARNDB_ERRTEXT_SIZE] = {};
    if (int r = varndb_getFile(kImei, kType, outDir.c_str(), err))
        throw std::runtime_error("varndb_getFile: " + std::to_string(r) + " " + err);
}

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

template <class F>
double timed(F&& f) {
    auto t0 = Clock::now();
    f();
    return seconds(Clock::now() - t0);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Medians of one file size.
struct Result {
    std::size_t megabytes;
    double dalmirePut, dalmireGet, dalmireBoth;
    double plainPut, plainGet, plainBoth, plainWhole;
};

Result measure(std::size_t megabytes, int rounds, const fs::path& dir, PlainClient& plain) {
    const fs::path in = dir / "in", outDalmire = dir / "out-dalmire", outPlain = dir / "out-plain",
                   outWhole = dir / "out-whole";
    for (const fs::path& d : {in, outDalmire, outPlain, outWhole}) fs::create_directories(d);
    const std::string name = "file" + std::to_string(megabytes) + "mb.bin";
    const std::string bytes = content(megabytes * 1000 * 1000);
    writeFile(in / name, bytes);

    std::vector<double> dPut, dGet, dBoth, pPut, pGet, pBoth, pWhole;
    auto runDalmire = [&] {
        dPut.push_back(timed([&] { dalmirePut(in / name); }));
        dGet.push_back(timed([&] { dalmireGet(outDalmire); }));
        dBoth.push_back(dPut.back() + dGet.back());
    };
    auto runPlain = [&] {
        pPut.push_back(timed([&] { plain.put(in / name); }));
        pGet.push_back(timed([&] { plain.get(name, outPlain / name); }));
        pBoth.push_back(pPut.back() + pGet.back());
        pWhole.push_back(timed([&] { plain.getWhole(name, outWhole / name); }));
    };
    for (int i = 0; i < rounds; ++i) {
        if (i % 2 == 0) {
            runDalmire();
            runPlain();
        } else {
            runPlain();
            runDalmire();
        }
        for (const fs::path& out : {outDalmire, outPlain, outWhole})
            if (readFile(out / name) != bytes) throw std::runtime_error("a file came back changed");
    }
    return {megabytes,      median(dPut),  median(dGet),  median(dBoth), median(pPut),
            median(pGet),   median(pBoth), median(pWhole)};
}

void print(const char* what, double dalmire, double plain) {
    std::printf("    %-9s Dalmire %7.3f s   plain %7.3f s   ratio %.2f\n", what, dalmire, plain, dalmire / plain);
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 7;
    if (rounds < 1) {
        std::fprintf(stderr, "usage: file_transfer [rounds]\n");
        return 2;
    }
    fs::path dir;
    try {
        Pg admin(env("PHONELINE_PG_ADMIN"));
        char mac[HALDEN_MAC_SIZE] = {};
        getMACId(mac);
        admin.exec("INSERT INTO mero.station VALUES ('" + std::string(mac) +
                   "', 0) ON CONFLICT (macadr) DO UPDATE SET result = 0");
        char err[VARNDB_ERRTEXT_SIZE] = {};
        if (int r = varndb_Connect(env("PGUSER").c_str(), "bench", env("PGDATABASE").c_str(), err))
            throw std::runtime_error("varndb_Connect: " + std::to_string(r) + " " + err);

        char tmpl[] = "/tmp/phoneline-bench.XXXXXX";
        if (!mkdtemp(tmpl)) throw std::runtime_error("no temporary folder");
        dir = tmpl;
        PlainClient plain(admin);
        std::vector<Result> results;
        for (std::size_t mb : {5, 50}) results.push_back(measure(mb, rounds, dir, plain));
        varndb_Disconnect();

        std::printf("libdalmire.so against plain libpq (a statement per chunk), %d rounds each, medians:\n", rounds);
        for (const Result& r : results) {
            std::printf("  %2zu MB:\n", r.megabytes);
            print("put", r.dalmirePut, r.plainPut);
            print("get", r.dalmireGet, r.plainGet);
            print("put + get", r.dalmireBoth, r.plainBoth);
            std::printf("    (plain get of all chunks in one query: %.3f s; Dalmire get / it: %.2f)\n", r.plainWhole,
                        r.dalmireGet / r.plainWhole);
        }
        std::printf("  50 MB / 5 MB, put + get: Dalmire %.1f   plain %.1f\n",
                    results[1].dalmireBoth / results[0].dalmireBoth, results[1].plainBoth / results[0].plainBoth);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "file_transfer: %s\n", e.what());
        if (!dir.empty()) fs::remove_all(dir);
        return 1;
    }
    fs::remove_all(dir);
    return 0;
}
