// The remote data operations: each copies its arguments into the
// interface's fixed blocks, makes one call and copies back only what fits
// the caller's buffer.
#include "VarndbCIclient.h"

#include "corvane.h"
#include "errtext.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace {

// Runs one remote call: its result, or VARNDB_E_REMOTE and raiseText (when
// given) when the call raised.
template <class Call>
int remote(char* errText, const char* raiseText, Call call) {
    try {
        return call();
    } catch (...) {
        if (raiseText) varndb::put_text(errText, "%s", raiseText);
        return VARNDB_E_REMOTE;
    }
}

void putMessage(char* errText, const CORBA::String_var& message) {
    varndb::put_text(errText, "%s", message.in() ? message.in() : "");
}

// The report struct of the interface is the 240-byte record, member for
// member, so it is copied as a whole.
using Report = VarndbCI::Varn_DorlepData;
#define SAME_OFFSET(m) static_assert(offsetof(Report, m) == offsetof(Varn_DorlepData, m), #m)
static_assert(sizeof(Report) == sizeof(Varn_DorlepData));
SAME_OFFSET(imei_nr);
SAME_OFFSET(pruefstatus);
SAME_OFFSET(linie_staort);
SAME_OFFSET(linie_typ);
SAME_OFFSET(linie_nr);
SAME_OFFSET(pruef_datum);
SAME_OFFSET(sach_nr);
SAME_OFFSET(sw_rel);
SAME_OFFSET(comp_datum);
SAME_OFFSET(simcard_nr);
SAME_OFFSET(flash_nr);
SAME_OFFSET(iZpos);
SAME_OFFSET(pcMacId);
SAME_OFFSET(iStdMapVer);
SAME_OFFSET(iProvider);
SAME_OFFSET(iDeltaMapVer);
SAME_OFFSET(iSimlock);
SAME_OFFSET(iBitmap);
SAME_OFFSET(iSound);
#undef SAME_OFFSET

constexpr int kInBlock = sizeof(VarndbCI::InDataType);

// getData and getApxData: only inSize bytes of the caller's input are read;
// the answer is copied only when its size fits both the block and *outSize.
template <std::size_t N, class Call>
int coderCall(const unsigned char* in, int inSize, unsigned char* out, int* outSize, char* errText,
              const char* raiseText, Call call) {
    if (inSize < 0 || inSize > kInBlock) {
        varndb::put_text(errText, "Input size %d out of range [0..%d]!", inSize, kInBlock);
        return VARNDB_E_LOCAL;
    }
    VarndbCI::InDataType input = {};
    std::memcpy(input, in, static_cast<std::size_t>(inSize));
    std::vector<CORBA::Octet> output(N);
    CORBA::Long size = 0;
    CORBA::String_var message;
    int r = remote(errText, raiseText, [&] { return call(input, output.data(), size, message); });
    if (r == VARNDB_E_REMOTE) return r;
    putMessage(errText, message);
    const int bound = std::min(*outSize, static_cast<int>(N));
    if (size < 0 || size > bound) {
        if (r != 0) return r;
        varndb::put_text(errText, "Output buffer to small! Should:%d, Is:%d!", size, bound);
        return VARNDB_E_LOCAL;
    }
    std::memcpy(out, output.data(), static_cast<std::size_t>(size));
    *outSize = size;
    return r;
}

constexpr int kMaxLength = sizeof(VarndbCI::OutImeiInfoType);  // 256

} // namespace

int VarndbCIclient::getData(const char* coder, const unsigned char* in, int inSize, unsigned char* out,
                            int* outSize, char* errText) {
    return coderCall<sizeof(VarndbCI::OutDataType)>(
        in, inSize, out, outSize, errText, "getData() returns (-330) (Can't execute command on server!)",
        [&](VarndbCI::InDataType input, CORBA::Octet* output, CORBA::Long& size, CORBA::String_var& message) {
            return server->getData(clientId.c_str(), coder, input, inSize, output, size, message.out());
        });
}

int VarndbCIclient::getApxData(const char* coder, const unsigned char* in, int inSize, unsigned char* out,
                               int* outSize, char* errText) {
    return coderCall<sizeof(VarndbCI::ApxOutDataType)>(
        in, inSize, out, outSize, errText, "getApxData() returns (-330) (Can't execute command on server!)",
        [&](VarndbCI::InDataType input, CORBA::Octet* output, CORBA::Long& size, CORBA::String_var& message) {
            return server->getApxData(clientId.c_str(), coder, input, inSize, output, size, message.out());
        });
}

int VarndbCIclient::writeReport(const Varn_DorlepData* rec, char* errText) {
    Report report;
    std::memcpy(static_cast<void*>(&report), rec, sizeof report);
    CORBA::String_var message;
    int r = remote(errText, "writeReport() returns (-99) (Can't execute command on server!)", [&] {
        return corvane::low32(server->writeReport(clientId.c_str(), report, message.out()));
    });
    if (r != VARNDB_E_REMOTE) putMessage(errText, message);
    return r;
}

int VarndbCIclient::getServiceCode(const char* imei, int* code, char* errText) {
    varndb::clear_text(errText);
    CORBA::LongLong value = 0;
    CORBA::String_var message;
    int r = remote(errText, "getServiceCode() returns (-99) (Can't execute command on server!", [&] {
        return corvane::low32(server->getServiceCode(clientId.c_str(), imei, value, message.out()));
    });
    if (r == VARNDB_E_REMOTE) return r;
    putMessage(errText, message);
    *code = corvane::low32(value);
    return r;
}

int VarndbCIclient::getServiceCodeEx(const char* value, unsigned char out[33], char* errText) {
    varndb::clear_text(errText);
    VarndbCI::OutBootPinType output = {};
    CORBA::String_var message;
    int r = remote(errText, "getServiceCodeEx() returns (-99) (Can't execute command on server!", [&] {
        return corvane::low32(server->getServiceCodeEx(clientId.c_str(), value, output, message.out()));
    });
    if (r == VARNDB_E_REMOTE) return r;
    putMessage(errText, message);
    std::memcpy(out, output, sizeof output);
    return r;
}

int VarndbCIclient::getSADBlock(const char* value, const unsigned char* flashSerialNumber, char flag,
                                unsigned char out[50], char* errText) {
    varndb::clear_text(errText);
    // The serial number up to its terminator and at most the 16 bytes a
    // serial number holds (it may come without a terminator), zeros after it.
    VarndbCI::FlashSerialNumberType serial = {};
    std::memcpy(serial, flashSerialNumber,
                strnlen(reinterpret_cast<const char*>(flashSerialNumber), CORVANE_FLASH_SERIAL_SIZE));
    VarndbCI::OutSADBlock49Type output = {};
    CORBA::String_var message;
    int r = remote(errText, nullptr, [&] {
        return corvane::low32(server->getSADBlock(clientId.c_str(), value, serial, flag, output, message.out()));
    });
    if (r == VARNDB_E_REMOTE) return r;
    putMessage(errText, message);
    std::memcpy(out, output, 49);
    out[49] = 0;
    return r;
}

int VarndbCIclient::getImeiInfo(const char* imei, unsigned char* buf, int* len, char* errText) {
    if (*len > kMaxLength) {
        varndb::put_text(errText, "Input buffer > 256!");
        return VARNDB_E_LOCAL;
    }
    VarndbCI::OutImeiInfoType output = {};
    CORBA::Long n = 0;
    CORBA::String_var message;
    int r = remote(errText, nullptr,
                   [&] { return server->getImeiInfo(clientId.c_str(), imei, output, n, message.out()); });
    if (r == VARNDB_E_REMOTE) return r;
    putMessage(errText, message);
    if (n < 0 || n > *len) {
        if (r != 0) return r;  // the server's own failure, nothing to copy
        varndb::put_text(errText, "Output buffer to small! Should:%d, Is:%d!", n, *len);
        return VARNDB_E_LOCAL;
    }
    std::memcpy(buf, output, static_cast<std::size_t>(n));
    *len = n;
    return r;
}

int VarndbCIclient::getFlashSerialNumber(unsigned char* buf, int* len, char* errText) {
    if (*len > kMaxLength) {
        varndb::put_text(errText, "Input buffer > 256!");
        return VARNDB_E_LOCAL;
    }
    VarndbCI::FlashSerialNumberType output = {};
    CORBA::Long n = *len;
    CORBA::String_var message;
    int r = remote(errText, nullptr,
                   [&] { return server->getFlashSerialNumber(clientId.c_str(), output, n, message.out()); });
    if (r == VARNDB_E_REMOTE) return r;
    putMessage(errText, message);
    if (n > *len) {
        varndb::put_text(errText, "Output buffer to small!");
        return VARNDB_E_LOCAL;
    }
    if (n < 0) {
        varndb::put_text(errText, "Output buffer to small! Should:%d, Is:%d!", n, *len);
        return VARNDB_E_LOCAL;
    }
    std::memcpy(buf, output, static_cast<std::size_t>(n));
    *len = n;
    return r;
}

int VarndbCIclient::fbgSetIMEI(const char* laserId, const char* fbgId, const char* imei) {
    return remote(nullptr, nullptr,
                  [&] { return corvane::low32(server->fbgSetIMEI(clientId.c_str(), laserId, fbgId, imei)); });
}

int VarndbCIclient::fbgSetStatusNResult(const char* laserId, const char* fbgId, const char* result) {
    return remote(nullptr, nullptr, [&] {
        return corvane::low32(server->fbgSetStatusNResult(clientId.c_str(), laserId, fbgId, result));
    });
}

int VarndbCIclient::getVersion(std::string& version) {
    return remote(nullptr, nullptr, [&] {
        CORBA::String_var text = server->getVersion();
        version = text.in() ? text.in() : "";
        return 0;
    });
}

int VarndbCIclient::shutdown() {
    return remote(nullptr, nullptr, [&] {
        server->shutdown();
        return 0;
    });
}
