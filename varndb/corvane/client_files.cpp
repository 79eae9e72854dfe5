// File transfer: a local file goes to the server whole, a stored file comes
// back into a directory under the name the server keeps for it.
#include "VarndbCIclient.h"

#include "corvane.h"
#include "errtext.h"
#include "fetched_file.h"

#include <cstdio>
#include <filesystem>

namespace {

const char* text(const CORBA::String_var& s) { return s.in() ? s.in() : ""; }

// A name the server hands out must stay inside the caller's directory.
bool safeName(const char* name) {
    std::string n = name;
    return n.find('/') == std::string::npos && n.find('\\') == std::string::npos && n.find("..") == std::string::npos;
}

// Reads the whole file straight into the sequence that carries it, sized
// from the file's size: the bytes are read once, into their place. A file
// that grew while it was read is read on in steps of 64 KiB (only then is
// the sequence grown and copied); one that shrank is cut to what was read.
bool readInto(const std::string& path, std::uintmax_t size, VarndbCI::DataSeq& data) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    data.length(static_cast<CORBA::ULong>(size));
    CORBA::ULong have = static_cast<CORBA::ULong>(std::fread(data.get_buffer(), 1, data.length(), f));
    while (have == data.length()) {
        const int next = std::fgetc(f);
        if (next == EOF) break;
        data.length(have + 65536);
        CORBA::Octet* buffer = data.get_buffer();
        buffer[have++] = static_cast<CORBA::Octet>(next);
        have += static_cast<CORBA::ULong>(std::fread(buffer + have, 1, data.length() - have, f));
    }
    const bool ok = !std::ferror(f);
    std::fclose(f);
    data.length(have);
    return ok;
}

} // namespace

int VarndbCIclient::putFile(const char* imei, const char* fileType, const char* directory, const char* fileName,
                            char* errText) {
    varndb::clear_text(errText);
    const std::string path = corvane::joinPath(directory, fileName);
    // A file that cannot fit one remote message is refused here: the call
    // would fail whatever the reconnect loop did.
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size > CORVANE_MAX_FILE_SIZE) {
        varndb::put_text(errText, "File <%s> has %ju bytes, more than the %u a remote call carries!", fileName, size,
                         CORVANE_MAX_FILE_SIZE);
        return VARNDB_E_FILE_TOO_LARGE;
    }
    VarndbCI::DataSeq data;
    if (!readInto(path, ec ? 0 : size, data)) {
        varndb::put_text(errText, "Can't open file <%s>!", fileName);
        return VARNDB_E_LOCAL;
    }
    CORBA::String_var message;
    try {
        int r = corvane::low32(server->putFile(clientId.c_str(), imei, fileType, fileName, data, message.out()));
        varndb::put_text(errText, "%s", text(message));
        return r;
    } catch (...) {
        varndb::put_text(errText, "putFile() returns (-99) (Can't execute command on server!");
        return VARNDB_E_REMOTE;
    }
}

int VarndbCIclient::getFile(const char* imei, const char* fileType, const char* directory, char* errText) {
    varndb::clear_text(errText);
    CORBA::String_var name, message;
    VarndbCI::DataSeq_var data;
    int r;
    try {
        r = corvane::low32(server->getFile(clientId.c_str(), imei, fileType, name.out(), data.out(), message.out()));
    } catch (...) {
        varndb::put_text(errText, "getFile() returns (-99) (Can't execute command on server!");
        return VARNDB_E_REMOTE;
    }
    varndb::put_text(errText, "%s", text(message));
    if (r != 0) return r;
    std::string path = corvane::joinPath(directory, text(name));
    // Written beside the target, renamed over it once whole: a failed write
    // leaves an earlier copy as it was.
    bool written = false;
    if (safeName(text(name))) {
        varndb::FetchedFile local(path);
        written = local.ok() && local.write(data->get_buffer(), data->length()) && local.finish();
    }
    if (!written) {
        varndb::put_text(errText, "Can't open file <%s> for writing!", path.c_str());
        return VARNDB_E_LOCAL;
    }
    return r;
}

int VarndbCIclient::deleteFile(const char* imei, const char* fileType, char* errText) {
    varndb::clear_text(errText);
    CORBA::String_var message;
    try {
        int r = corvane::low32(server->deleteFile(clientId.c_str(), imei, fileType, message.out()));
        varndb::put_text(errText, "%s", text(message));
        return r;
    } catch (...) {
        varndb::put_text(errText, "deleteFile() returns (-99) (Can't execute command on server!");
        return VARNDB_E_REMOTE;
    }
}
