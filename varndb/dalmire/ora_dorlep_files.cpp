// Files kept per IMEI and file type in the database, moved in chunks of
// 32000 bytes between a local file and the database's file store.
//
// An upload is one transaction: committed when every chunk is stored, rolled
// back otherwise. The transaction ends before the auto-disconnect, so the
// switch never decides what is kept.
#include "dalmire_internal.h"

#include "errtext.h"
#include "fetched_file.h"
#include "varndb.h"

#include <cstdio>
#include <memory>
#include <optional>

namespace dalmire {
namespace {

constexpr const char* kNewFileBlock =
    "begin :n_returnValue := mero . ImeiFiles . newFile ( :v_imei , :v_fileType , :v_fileName , :v_errorMessage ) "
    "; END ;";
constexpr const char* kAppendBlock =
    "begin :n_returnValue := mero . ImeiFiles . writeAppend ( :r_fileData , :n_length , :v_errorMessage ) ; END ;";
constexpr const char* kDeleteBlock =
    "begin :n_returnValue := mero . ImeiFiles . deleteFile ( :v_imei , :v_fileType , :v_errorMessage ) ; END ;";

constexpr std::int32_t kChunk = 32000;
constexpr std::size_t kImeiCapacity = 17, kTypeCapacity = 21, kNameCapacity = 129;

using Chunk = sql::Raw<kChunk>;

// The outcome of the file-store blocks run so far.
struct StoreStep {
    sql::Sqlca ca;
    std::int32_t ret = 0;
    sql::Varchar<255> message;
    bool ok() const { return ca.ok() && ret == 0; }
    sql::Bind retBind() { return sql::bind_int(sql::Dir::out, ret); }
    sql::Bind messageBind() { return sql::bind_varchar(sql::Dir::out, message); }
};

struct FileKey {
    const char* imei;
    const char* fileType;
    std::uint16_t imeiLen = 0, typeLen = 0;
    sql::Bind imeiBind() { return inText(imei, imeiLen, kImeiCapacity); }
    sql::Bind typeBind() { return inText(fileType, typeLen, kTypeCapacity); }
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

void runClose(StoreStep& s) {
    const sql::Bind binds[] = {s.retBind(), s.messageBind()};
    s.ca = sql::execute(kCloseBlock, binds);
}

// The close block on a failure path: its own outcome does not replace the
// failure being reported.
void closeAfterFailure() {
    StoreStep ignored;
    runClose(ignored);
}

// The message and result of a failed step; 0 when the steps succeeded.
int failure(const StoreStep& s, char* errText) {
    if (!s.ca.ok()) {
        putOracleError(errText, s.ca);
        return VARNDB_E_ORACLE;
    }
    if (s.ret != 0) {
        std::string text(s.message.view());
        varndb::put_text(errText, "%.200s", text.c_str());
        return s.ret;
    }
    return 0;
}

int endTransaction(int result, char* errText) {
    if (result != 0) {
        sql::execute("ROLLBACK");
        return result;
    }
    sql::Sqlca ca = sql::execute("COMMIT");
    if (!ca.ok()) {
        varndb::put_text(errText, "Oracle error [commit]: %d (%.200s)!", ca.sqlcode, ca.sqlerrm.c_str());
        return VARNDB_E_ORACLE;
    }
    return 0;
}

int keyTextsCheck(char* errText, const char* imei, const char* fileType) {
    return checkTexts(errText, {{"IMEI number", imei, kImeiCapacity}, {"File type", fileType, kTypeCapacity}});
}

// Steps of putFile between the connection check and the end of the
// transaction; the close block and the ROLLBACK of a failure included.
int upload(FileKey key, const char* fileName, const std::string& path, char* errText) {
    File local(std::fopen(path.c_str(), "rb"));
    if (!local) {
        varndb::put_text(errText, "Can't open file <%.128s>!", path.c_str());
        return VARNDB_E_LOCAL;
    }
    StoreStep s;
    std::uint16_t nameLen = 0;
    {
        const sql::Bind binds[] = {s.retBind(), key.imeiBind(), key.typeBind(),
                                   inText(fileName, nameLen, kNameCapacity), s.messageBind()};
        s.ca = runWithRerun(kNewFileBlock, binds);
    }
    bool readFailed = false;
    if (s.ok()) {
        long size = -1;
        if (std::fseek(local.get(), 0, SEEK_END) == 0) size = std::ftell(local.get());
        readFailed = size < 0 || std::fseek(local.get(), 0, SEEK_SET) != 0;
        auto chunk = std::make_unique<Chunk>();
        std::int32_t length = 0;
        const sql::Bind binds[] = {s.retBind(), sql::bind_raw(sql::Dir::in, *chunk), sql::bind_int(sql::Dir::in, length),
                                   s.messageBind()};
        // size / 32000 full chunks and one last chunk of the rest, even
        // when that is empty.
        const long rounds = readFailed ? 0 : size / kChunk + 1;
        for (long i = 0; i < rounds && s.ok(); ++i) {
            length = i + 1 < rounds ? kChunk : static_cast<std::int32_t>(size % kChunk);
            if (std::fread(chunk->arr, 1, static_cast<std::size_t>(length), local.get()) !=
                static_cast<std::size_t>(length)) {
                readFailed = true;
                break;
            }
            chunk->len = static_cast<std::uint16_t>(length);
            s.ca = sql::execute(kAppendBlock, binds);
        }
    }
    local.reset();
    if (readFailed) {
        varndb::put_text(errText, "Can't read file <%.128s>!", path.c_str());
        closeAfterFailure();
        return endTransaction(VARNDB_E_LOCAL, errText);
    }
    if (s.ok()) runClose(s);
    if (int r = failure(s, errText)) {
        closeAfterFailure();
        return endTransaction(r, errText);
    }
    return endTransaction(0, errText);
}

// Steps of getFile between the connection check and the auto-disconnect.
int download(FileKey key, const char* directory, char* errText) {
    StoreStep s;
    sql::Varchar<kNameCapacity> storedName;
    {
        const sql::Bind binds[] = {s.retBind(), key.imeiBind(), key.typeBind(),
                                   sql::bind_varchar(sql::Dir::out, storedName), s.messageBind()};
        s.ca = runWithRerun(kOpenBlock, binds);
    }
    if (s.ok()) {
        std::string name(storedName.view());
        std::string path = joinPath(directory, name.c_str());
        // The name comes from the database: it never leads out of the directory.
        // Written beside the target, renamed over it once whole.
        std::optional<varndb::FetchedFile> local;
        if (isPlainFileName(name)) local.emplace(path);
        if (!local || !local->ok()) {
            varndb::put_text(errText, "Can't open file <%.128s> for writing!", path.c_str());
            closeAfterFailure();
            return VARNDB_E_LOCAL;
        }
        auto chunk = std::make_unique<Chunk>();
        std::int32_t length = 0;
        const sql::Bind binds[] = {s.retBind(), sql::bind_raw(sql::Dir::inout, *chunk),
                                   sql::bind_int(sql::Dir::inout, length), s.messageBind()};
        bool badLength = false, writeFailed = false;
        for (;;) {
            chunk->len = 0;  // nothing of the last chunk goes back in
            length = kChunk;
            s.ca = sql::execute(kReadBlock, binds);
            if (!s.ok()) break;
            // A length is a write length only inside the chunk that came back.
            if (length < 0 || length > kChunk || length > chunk->len) {
                badLength = true;
                break;
            }
            if (!local->write(chunk->arr, static_cast<std::size_t>(length))) {
                writeFailed = true;
                break;
            }
            if (length != kChunk) break;
        }
        if (badLength) {
            varndb::put_text(errText, "ImeiFiles.read() returns a chunk length of %d for %d bytes [0..32000]!",
                             length, static_cast<int>(chunk->len));
            closeAfterFailure();
            return VARNDB_E_ORACLE;
        }
        if (writeFailed && s.ok()) {
            varndb::put_text(errText, "Can't write file <%.128s>!", path.c_str());
            closeAfterFailure();
            return VARNDB_E_LOCAL;
        }
        if (s.ok()) runClose(s);
        // The whole file arrived: only now does it take the target's place.
        if (s.ok() && !local->finish()) {
            varndb::put_text(errText, "Can't write file <%.128s>!", path.c_str());
            return VARNDB_E_LOCAL;
        }
    }
    if (int r = failure(s, errText)) {
        closeAfterFailure();
        return r;
    }
    return 0;
}

int removeStored(FileKey key, char* errText) {
    StoreStep s;
    const sql::Bind binds[] = {s.retBind(), key.imeiBind(), key.typeBind(), s.messageBind()};
    s.ca = runWithRerun(kDeleteBlock, binds);
    return endTransaction(failure(s, errText), errText);
}

int putFile(const char* imei, const char* fileType, const char* directory, const char* fileName, char* errText) {
    std::string path = joinPath(directory, fileName);
    varndb::clear_text(errText);
    if (int c = keyTextsCheck(errText, imei, fileType)) return c;
    if (int c = checkTexts(errText, {{"File name", fileName, kNameCapacity}})) return c;
    if (int c = connectionCheck(errText, VARNDB_E_NOT_CONNECTED)) return c;
    int r = upload({imei, fileType}, fileName, path, errText);
    autoDisconnect();
    return r;
}

int getFile(const char* imei, const char* fileType, const char* directory, char* errText) {
    varndb::clear_text(errText);
    if (int c = keyTextsCheck(errText, imei, fileType)) return c;
    if (int c = connectionCheck(errText, VARNDB_E_NOT_CONNECTED)) return c;
    int r = download({imei, fileType}, directory, errText);
    autoDisconnect();
    return r;
}

int deleteFile(const char* imei, const char* fileType, char* errText) {
    varndb::clear_text(errText);
    if (int c = keyTextsCheck(errText, imei, fileType)) return c;
    if (int c = connectionCheck(errText, VARNDB_E_NOT_CONNECTED)) return c;
    int r = removeStored({imei, fileType}, errText);
    autoDisconnect();
    return r;
}

} // namespace
} // namespace dalmire

extern "C" int varndb_putFile(const char* imei, const char* fileType, const char* directory, const char* fileName,
                              char* errText) {
    return dalmire::guarded(errText, [&] { return dalmire::putFile(imei, fileType, directory, fileName, errText); });
}

extern "C" int varndb_getFile(const char* imei, const char* fileType, const char* directory, char* errText) {
    return dalmire::guarded(errText, [&] { return dalmire::getFile(imei, fileType, directory, errText); });
}

extern "C" int varndb_deleteFile(const char* imei, const char* fileType, char* errText) {
    return dalmire::guarded(errText, [&] { return dalmire::deleteFile(imei, fileType, errText); });
}
