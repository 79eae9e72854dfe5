// File transfer through the direct-SQL back-end against the database itself.
//
// Times varndb_putFile and varndb_getFile of a 1, 5 and 50 MB file through
// libdalmire.so, and on the same server, in the same run, a plain libpq
// client doing the same work by hand: it reads the file with fread in
// 32000-byte chunks into one reused buffer and stores each chunk with one
// INSERT as a bytea row, all in one transaction; it fetches the file with
// one SELECT per chunk by its key with a binary result and writes each chunk
// with fwrite as it arrives. That is as much work outside the database as
// the back-end does.
//
// Each transfer is timed twice:
//   first  the first transfer of a new session: a process started for the
//          one sample (new process state, nothing prepared or cached) that
//          connects, untimed, and then runs the one timed put or get, as a
//          station's first file after it connected;
//   warm   a later transfer on a session that has already moved a file.
// Before each upload both sides' tables are vacuumed and the server
// checkpointed (untimed), and each fetch writes a file that is not there
// yet. The back-end and the plain client alternate (the order swaps every
// round); the medians of put, get and put + get and their ratios (ours /
// plain) are printed, beside the best times and their ratios, and, for
// information, a plain read of all chunks in one query.
//
// Run it through scripts/bench, which builds it without sanitizers and
// starts a private server loaded with the reference schema (the connection
// comes from PGHOST, PGPORT, PGDATABASE and PGUSER, the station login; the
// set-up, which a station may not do, logs in as PHONELINE_PG_ADMIN).
//
//   file_transfer [rounds]     rounds per size, default 15
//   file_transfer --first dalmire|plain put|get <folder> <name>
//                              one first-transfer sample (run by the
//                              benchmark itself): prints its seconds
#include "halden.h"
#include "support.h"
#include "varndb.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kChunk = 32000;
constexpr const char* kImei = "350000000000099";
constexpr const char* kType = "BENCH";

using namespace bench;  // timing, file content, whole-file reads

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File open(const fs::path& p, const char* mode) {
    File f(std::fopen(p.c_str(), mode));
    if (!f) throw std::runtime_error("cannot open " + p.string());
    return f;
}

// Whole files, for setting up and checking only (never inside a timed step).
void writeWhole(const fs::path& p, const std::string& bytes) {
    File f = open(p, "wb");
    if (std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size())
        throw std::runtime_error("cannot write " + p.string());
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

// The plain client: the file's chunks as rows of one table (made by
// setUp, which a station may not do).
class PlainClient {
public:
    static void setUp(Pg& admin) {
        admin.exec("CREATE TABLE IF NOT EXISTS bench_chunk (name text, seq int, data bytea, PRIMARY KEY (name, seq));"
                   "GRANT SELECT, INSERT, DELETE ON bench_chunk TO mero_station");
    }

    // fread of 32000 bytes into one buffer, one INSERT per chunk.
    void put(const fs::path& file) {
        File in = open(file, "rb");
        const std::string name = file.filename().string();
        pg_.exec("BEGIN");
        const char* del[] = {name.c_str()};
        check(PQexecParams(pg_.conn(), "DELETE FROM bench_chunk WHERE name = $1", 1, nullptr, del, nullptr, nullptr, 0));
        char seqText[16];
        for (int seq = 0;; ++seq) {
            // A file of whole chunks ends with an empty row, so that a reader
            // stops at it.
            const std::size_t n = std::fread(buffer_.get(), 1, kChunk, in.get());
            std::snprintf(seqText, sizeof seqText, "%d", seq);
            const char* values[] = {name.c_str(), seqText, buffer_.get()};
            const int lengths[] = {0, 0, static_cast<int>(n)};
            const int formats[] = {0, 0, 1};
            check(PQexecParams(pg_.conn(), "INSERT INTO bench_chunk VALUES ($1, $2, $3)", 3, nullptr, values, lengths,
                               formats, 0));
            if (n < kChunk) break;
        }
        if (std::ferror(in.get())) throw std::runtime_error("cannot read " + file.string());
        pg_.exec("COMMIT");
    }

    // One SELECT per chunk by its key, until a chunk shorter than 32000
    // bytes (as a caller reading chunk after chunk stops); fwrite of each.
    void get(const std::string& name, const fs::path& file) {
        File out = open(file, "wb");
        char seqText[16];
        for (int seq = 0;; ++seq) {
            std::snprintf(seqText, sizeof seqText, "%d", seq);
            const char* values[] = {name.c_str(), seqText};
            PGresult* r = PQexecParams(pg_.conn(), "SELECT data FROM bench_chunk WHERE name = $1 AND seq = $2", 2,
                                       nullptr, values, nullptr, nullptr, 1);
            if (PQresultStatus(r) != PGRES_TUPLES_OK || PQntuples(r) != 1) {
                PQclear(r);
                throw std::runtime_error(std::string("chunk ") + seqText + ": " + PQerrorMessage(pg_.conn()));
            }
            const std::size_t n = static_cast<std::size_t>(PQgetlength(r, 0, 0));
            const bool written = std::fwrite(PQgetvalue(r, 0, 0), 1, n, out.get()) == n;
            PQclear(r);
            if (!written) throw std::runtime_error("cannot write " + file.string());
            if (n != kChunk) break;
        }
        if (std::fclose(out.release()) != 0) throw std::runtime_error("cannot write " + file.string());
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
        File out = open(file, "wb");
        for (int i = 0; i < PQntuples(r); ++i)
            std::fwrite(PQgetvalue(r, i, 0), 1, static_cast<std::size_t>(PQgetlength(r, i, 0)), out.get());
        PQclear(r);
        if (std::fclose(out.release()) != 0) throw std::runtime_error("cannot write " + file.string());
    }

private:
    void check(PGresult* r) {
        bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
        if (!ok) throw std::runtime_error(PQerrorMessage(pg_.conn()));
    }
    Pg pg_;
    std::unique_ptr<char[]> buffer_ = std::make_unique<char[]>(kChunk);
};

void dalmireConnect() {
    char err[VARNDB_ERRTEXT_SIZE] = {};
    if (int r = varndb_Connect(env("PGUSER").c_str(), "bench", env("PGDATABASE").c_str(), err))
        throw std::runtime_error("varndb_Connect: " + std::to_string(r) + " " + err);
}

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

// One first-transfer sample in this process: connect (untimed), the one
// timed transfer; put reads <folder>/<name>, get writes into <folder>.
int firstSample(const std::string& side, const std::string& op, const fs::path& folder, const std::string& name) {
    double t = 0;
    if (side == "dalmire") {
        dalmireConnect();
        t = op == "put" ? timed([&] { dalmirePut(folder / name); }) : timed([&] { dalmireGet(folder); });
        varndb_Disconnect();
    } else if (side == "plain") {
        PlainClient plain;
        t = op == "put" ? timed([&] { plain.put(folder / name); }) : timed([&] { plain.get(name, folder / name); });
    } else {
        throw std::runtime_error("unknown side " + side);
    }
    std::printf("%.9f\n", t);
    return 0;
}

// Runs one first-transfer sample in a process of its own; its seconds.
double firstInChild(const std::string& side, const std::string& op, const fs::path& folder,
                    const std::string& name) {
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const std::string command =
        "'" + self + "' --first " + side + " " + op + " '" + folder.string() + "' '" + name + "'";
    std::FILE* p = popen(command.c_str(), "r");
    if (!p) throw std::runtime_error("cannot start " + command);
    double t = -1;
    const bool read = std::fscanf(p, "%lf", &t) == 1;
    const int status = pclose(p);
    if (!read || status != 0) throw std::runtime_error("the sample " + command + " failed");
    return t;
}

struct Samples {
    std::vector<double> put, get, both;
    void add(double p, double g) {
        put.push_back(p);
        get.push_back(g);
        both.push_back(p + g);
    }
};

// Medians of one file size.
struct Result {
    std::size_t megabytes;
    Samples dWarm, pWarm, dFirst, pFirst;
    std::vector<double> pWhole;
};

// Both sides' tables vacuumed and the server checkpointed, untimed, before
// every upload: the test server runs without autovacuum, and the dead rows
// of earlier uploads would otherwise slow each later one down, the plain
// client's most (its keys come back with every upload of the file); after
// the checkpoint every upload starts from the same state of the server's
// log and buffers, whichever side went before it.
void vacuum(Pg& admin) {
    admin.exec("VACUUM bench_chunk, mero.imei_file_head, mero.imei_file_part, mero.imei_file_superseded");
    admin.exec("CHECKPOINT");
}

Result measure(std::size_t megabytes, int rounds, const fs::path& dir, Pg& admin, PlainClient& plain) {
    const fs::path in = dir / "in", outDalmire = dir / "out-dalmire", outPlain = dir / "out-plain",
                   outWhole = dir / "out-whole";
    for (const fs::path& d : {in, outDalmire, outPlain, outWhole}) fs::create_directories(d);
    const std::string name = "file" + std::to_string(megabytes) + "mb.bin";
    const std::string bytes = content(megabytes * 1000 * 1000);
    writeWhole(in / name, bytes);
    auto same = [&](const fs::path& out) {
        if (readWhole(out / name) != bytes) throw std::runtime_error("a file came back changed: " + out.string());
        fs::remove(out / name);
    };

    Result res{megabytes, {}, {}, {}, {}, {}};
    auto warmDalmire = [&] {
        vacuum(admin);
        double p = timed([&] { dalmirePut(in / name); });
        double g = timed([&] { dalmireGet(outDalmire); });
        res.dWarm.add(p, g);
        same(outDalmire);
    };
    auto warmPlain = [&] {
        vacuum(admin);
        double p = timed([&] { plain.put(in / name); });
        double g = timed([&] { plain.get(name, outPlain / name); });
        res.pWarm.add(p, g);
        same(outPlain);
        res.pWhole.push_back(timed([&] { plain.getWhole(name, outWhole / name); }));
        same(outWhole);
    };
    // The get of a first-transfer sample fetches what the put before it stored.
    auto first = [&](const char* side, const fs::path& out, Samples& samples) {
        vacuum(admin);
        double p = firstInChild(side, "put", in, name);
        double g = firstInChild(side, "get", out, name);
        samples.add(p, g);
        same(out);
    };
    auto firstDalmire = [&] { first("dalmire", outDalmire, res.dFirst); };
    auto firstPlain = [&] { first("plain", outPlain, res.pFirst); };
    for (int i = 0; i < rounds; ++i) {
        if (i % 2 == 0) {
            firstDalmire();
            firstPlain();
            warmDalmire();
            warmPlain();
        } else {
            firstPlain();
            firstDalmire();
            warmPlain();
            warmDalmire();
        }
    }
    fs::remove(in / name);
    return res;
}

// Medians and, beside them, the best (shortest) times of both sides: the
// machine's own disturbances only ever lengthen a sample.
void print(const char* what, const std::vector<double>& ours, const std::vector<double>& plain) {
    const double o = median(ours), p = median(plain);
    const double ob = *std::min_element(ours.begin(), ours.end()), pb = *std::min_element(plain.begin(), plain.end());
    std::printf("    %-16s ours %8.4f s   plain %8.4f s   ratio %.2f   (best %8.4f s / %8.4f s = %.2f)\n", what, o, p,
                o / p, ob, pb, ob / pb);
}

int run(int rounds) {
    Pg admin(env("PHONELINE_PG_ADMIN"));
    char mac[HALDEN_MAC_SIZE] = {};
    getMACId(mac);
    admin.exec("INSERT INTO mero.station VALUES ('" + std::string(mac) +
               "', 0) ON CONFLICT (macadr) DO UPDATE SET result = 0");
    PlainClient::setUp(admin);

    const TempDir temp("phoneline-bench");
    const fs::path& dir = temp.path();

    dalmireConnect();
    PlainClient plain;
    // Both sessions move a file once, untimed: every timed warm transfer is
    // a later one on its session.
    {
        const fs::path warm = dir / "warm";
        fs::create_directories(warm);
        writeWhole(warm / "warmup.bin", content(100 * 1000));
        dalmirePut(warm / "warmup.bin");
        dalmireGet(warm);
        plain.put(warm / "warmup.bin");
        plain.get("warmup.bin", warm / "warmup.bin");
    }
    std::vector<Result> results;
    for (std::size_t mb : {1, 5, 50}) results.push_back(measure(mb, rounds, dir, admin, plain));
    varndb_Disconnect();

    std::printf("libdalmire.so (ours) against plain libpq, %d rounds each, alternating, medians:\n", rounds);
    std::printf("  plain put: fread of 32000 bytes into one buffer, one INSERT of a bytea row per chunk, one transaction\n"
                "  plain get: one SELECT per chunk by its key (binary result), fwrite of each chunk as it arrives\n"
                "  first: a process and session of its own per sample (connect untimed, then the one transfer);\n"
                "  warm: a later transfer on a session that has already moved a file\n"
                "  before each upload both sides' tables are vacuumed and the server checkpointed (untimed);\n"
                "  each fetch writes a new file\n");
    for (const Result& r : results) {
        std::printf("  %2zu MB:\n", r.megabytes);
        print("warm put", r.dWarm.put, r.pWarm.put);
        print("warm get", r.dWarm.get, r.pWarm.get);
        print("warm put + get", r.dWarm.both, r.pWarm.both);
        print("first put", r.dFirst.put, r.pFirst.put);
        print("first get", r.dFirst.get, r.pFirst.get);
        print("first put + get", r.dFirst.both, r.pFirst.both);
        std::printf("    (plain get of all chunks in one query, warm: %.4f s; ours warm get / it: %.2f)\n",
                    median(r.pWhole), median(r.dWarm.get) / median(r.pWhole));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 6 && std::strcmp(argv[1], "--first") == 0) return firstSample(argv[2], argv[3], argv[4], argv[5]);
        const int rounds = argc > 1 ? std::atoi(argv[1]) : 15;
        if (argc > 2 || rounds < 1) {
            std::fprintf(stderr, "usage: file_transfer [rounds]\n");
            return 2;
        }
        return run(rounds);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "file_transfer: %s\n", e.what());
        return 1;
    }
}
