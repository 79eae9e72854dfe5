// A VarndbCI server for the tests, run as a program of its own (the ORB of
// the test process belongs to the client under test).
//
// It prints its object reference as the first line on standard output and
// then reads commands, one a line, from standard input; each is answered
// with "ok" (or "error <why>") on standard output. End of input ends the
// program, so it never outlives the test that started it.
//
//   reply <op> result <n>         result of op (default 0)
//   reply <op> number <n>         the number op hands out: outputSize,
//                                 length, code (default: the data's length)
//   reply <op> data <hex>         the bytes op hands out (output block or file)
//   reply <op> message <text>     the message text (getVersion: the version)
//   reply <op> name <text>        getFile: the file name handed out
//   fault <op> <kind> <times> [n] the next `times` calls (-1: all) of op
//                                 raise (kind raise), block until "release"
//                                 (block) or answer n with no data, size 0
//                                 and no message (result), as a server that
//                                 refuses a call may
//   release                       lets blocked calls go on
//   journal                       every call since "clear", one a line
//                                 (op and its arguments, tab-separated,
//                                 byte blocks in hex), then "end"
//   clear                         empties the journal
//   wait <op>                     answers once op has been called
//
// putFile, getFile and deleteFile keep files in memory by (imei, fileType).
#include "VarndbCI.hh"

#include <sys/prctl.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <iostream>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Reply {
    long long result = 0;
    std::optional<long long> number;
    std::string data;
    std::string message;
    std::optional<std::string> name;
};

struct Fault {
    std::string kind;
    int times = 0;
    long long value = 0;
};

struct StoredFile {
    std::string name, data;
};

std::mutex g_mutex;
std::condition_variable g_changed;
std::map<std::string, Reply> g_replies;
std::map<std::string, Fault> g_faults;
std::vector<std::string> g_journal;
std::map<std::pair<std::string, std::string>, StoredFile> g_files;
bool g_released = false;

std::string hex(const void* p, std::size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(2 * n);
    const auto* b = static_cast<const unsigned char*>(p);
    for (std::size_t i = 0; i < n; ++i) {
        out += digits[b[i] >> 4];
        out += digits[b[i] & 15];
    }
    return out;
}

std::string unhex(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i + 1 < s.size(); i += 2) out += static_cast<char>(std::stoi(s.substr(i, 2), nullptr, 16));
    return out;
}

// Records a call and applies its fault; the reply to give.
Reply enter(const std::string& op, const std::vector<std::string>& args) {
    std::unique_lock<std::mutex> lock(g_mutex);
    std::string line = op;
    for (const std::string& a : args) line += "\t" + a;
    g_journal.push_back(line);
    g_changed.notify_all();
    Reply reply = g_replies[op];
    auto f = g_faults.find(op);
    if (f == g_faults.end() || f->second.times == 0) return reply;
    Fault fault = f->second;
    if (f->second.times > 0) --f->second.times;
    if (fault.kind == "raise") throw CORBA::INTERNAL(0, CORBA::COMPLETED_NO);
    if (fault.kind == "block") g_changed.wait(lock, [] { return g_released; });
    if (fault.kind == "result") reply = Reply{fault.value, 0, {}, {}, {}};
    return reply;
}

void fill(CORBA::Octet* block, std::size_t size, const std::string& data) {
    std::memset(block, 0, size);
    std::memcpy(block, data.data(), std::min(size, data.size()));
}

CORBA::Long number(const Reply& r) {
    return static_cast<CORBA::Long>(r.number.value_or(static_cast<long long>(r.data.size())));
}

class Server : public POA_VarndbCI {
public:
    CORBA::Long registration(const char* clientId, const char* user, const char* passwordPart, const char* database,
                             const char* hostData, const char* ip, CORBA::String_out message) override {
        Reply r = enter("registration", {clientId, user, passwordPart, database, hostData, ip});
        message = CORBA::string_dup(r.message.c_str());
        return static_cast<CORBA::Long>(r.result);
    }
    void unregister(const char* clientId) override { enter("unregister", {clientId}); }

    CORBA::Long getData(const char* clientId, const char* coder, const VarndbCI::InDataType input,
                        CORBA::Long inputSize, VarndbCI::OutDataType output, CORBA::Long& outputSize,
                        CORBA::String_out message) override {
        return coderCall("getData", clientId, coder, input, inputSize, output, sizeof(VarndbCI::OutDataType),
                         outputSize, message);
    }
    CORBA::Long getApxData(const char* clientId, const char* coder, const VarndbCI::InDataType input,
                           CORBA::Long inputSize, VarndbCI::ApxOutDataType output, CORBA::Long& outputSize,
                           CORBA::String_out message) override {
        return coderCall("getApxData", clientId, coder, input, inputSize, output,
                         sizeof(VarndbCI::ApxOutDataType), outputSize, message);
    }

    CORBA::LongLong writeReport(const char* clientId, const VarndbCI::Varn_DorlepData& report,
                                CORBA::String_out message) override {
        Reply r = enter("writeReport", {clientId, hex(&report, sizeof report)});
        message = CORBA::string_dup(r.message.c_str());
        return r.result;
    }

    CORBA::LongLong getServiceCode(const char* clientId, const char* imei, CORBA::LongLong& code,
                                   CORBA::String_out message) override {
        Reply r = enter("getServiceCode", {clientId, imei});
        code = r.number.value_or(0);
        message = CORBA::string_dup(r.message.c_str());
        return r.result;
    }

    CORBA::LongLong getServiceCodeEx(const char* clientId, const char* value, VarndbCI::OutBootPinType output,
                                     CORBA::String_out message) override {
        Reply r = enter("getServiceCodeEx", {clientId, value});
        fill(output, sizeof(VarndbCI::OutBootPinType), r.data);
        message = CORBA::string_dup(r.message.c_str());
        return r.result;
    }

    CORBA::LongLong getSADBlock(const char* clientId, const char* value,
                                const VarndbCI::FlashSerialNumberType flashSerialNumber, CORBA::Char flag,
                                VarndbCI::OutSADBlock49Type output, CORBA::String_out message) override {
        Reply r = enter("getSADBlock", {clientId, value, hex(flashSerialNumber, sizeof(VarndbCI::FlashSerialNumberType)),
                                        std::string(1, static_cast<char>(flag))});
        fill(output, sizeof(VarndbCI::OutSADBlock49Type), r.data);
        message = CORBA::string_dup(r.message.c_str());
        return r.result;
    }

    CORBA::Long getImeiInfo(const char* clientId, const char* imei, VarndbCI::OutImeiInfoType output,
                            CORBA::Long& length, CORBA::String_out message) override {
        Reply r = enter("getImeiInfo", {clientId, imei});
        fill(output, sizeof(VarndbCI::OutImeiInfoType), r.data);
        length = number(r);
        message = CORBA::string_dup(r.message.c_str());
        return static_cast<CORBA::Long>(r.result);
    }

    CORBA::Long getFlashSerialNumber(const char* clientId, VarndbCI::FlashSerialNumberType output,
                                     CORBA::Long& length, CORBA::String_out message) override {
        Reply r = enter("getFlashSerialNumber", {clientId, std::to_string(length)});
        fill(output, sizeof(VarndbCI::FlashSerialNumberType), r.data);
        length = number(r);
        message = CORBA::string_dup(r.message.c_str());
        return static_cast<CORBA::Long>(r.result);
    }

    CORBA::LongLong putFile(const char* clientId, const char* imei, const char* fileType, const char* fileName,
                            const VarndbCI::DataSeq& data, CORBA::String_out message) override {
        std::string bytes(reinterpret_cast<const char*>(data.get_buffer()), data.length());
        Reply r = enter("putFile", {clientId, imei, fileType, fileName, std::to_string(data.length()), hex(bytes.data(), bytes.size())});
        {
            std::lock_guard<std::mutex> lock(g_mutex);
            g_files[{imei, fileType}] = {fileName, bytes};
        }
        message = CORBA::string_dup(r.message.c_str());
        return r.result;
    }

    CORBA::LongLong getFile(const char* clientId, const char* imei, const char* fileType, CORBA::String_out fileName,
                            VarndbCI::DataSeq_out data, CORBA::String_out message) override {
        Reply r = enter("getFile", {clientId, imei, fileType});
        StoredFile file;
        long long result = r.result;
        {
            std::lock_guard<std::mutex> lock(g_mutex);
            auto f = g_files.find({imei, fileType});
            if (f != g_files.end())
                file = f->second;
            else if (!r.name)
                result = 100;  // no such file
        }
        if (r.name) file = {*r.name, r.data};
        data = new VarndbCI::DataSeq;
        data->length(static_cast<CORBA::ULong>(file.data.size()));
        if (!file.data.empty()) std::memcpy(data->get_buffer(), file.data.data(), file.data.size());
        fileName = CORBA::string_dup(file.name.c_str());
        message = CORBA::string_dup(r.message.c_str());
        return result;
    }

    CORBA::LongLong deleteFile(const char* clientId, const char* imei, const char* fileType,
                               CORBA::String_out message) override {
        Reply r = enter("deleteFile", {clientId, imei, fileType});
        {
            std::lock_guard<std::mutex> lock(g_mutex);
            g_files.erase({imei, fileType});
        }
        message = CORBA::string_dup(r.message.c_str());
        return r.result;
    }

    CORBA::LongLong fbgSetIMEI(const char* clientId, const char* laserId, const char* fbgId, const char* imei) override {
        return enter("fbgSetIMEI", {clientId, laserId, fbgId, imei}).result;
    }
    CORBA::LongLong fbgSetStatusNResult(const char* clientId, const char* laserId, const char* fbgId,
                                        const char* result) override {
        return enter("fbgSetStatusNResult", {clientId, laserId, fbgId, result}).result;
    }

    char* getVersion() override { return CORBA::string_dup(enter("getVersion", {}).message.c_str()); }
    void shutdown() override { enter("shutdown", {}); }

private:
    CORBA::Long coderCall(const char* op, const char* clientId, const char* coder, const CORBA::Octet* input,
                          CORBA::Long inputSize, CORBA::Octet* output, std::size_t outSize, CORBA::Long& outputSize,
                          CORBA::String_out message) {
        Reply r = enter(op, {clientId, coder, std::to_string(inputSize), hex(input, sizeof(VarndbCI::InDataType))});
        fill(output, outSize, r.data);
        outputSize = number(r);
        message = CORBA::string_dup(r.message.c_str());
        return static_cast<CORBA::Long>(r.result);
    }
};

std::string command(const std::string& line) {
    std::istringstream in(line);
    std::string verb;
    in >> verb;
    std::unique_lock<std::mutex> lock(g_mutex);
    if (verb == "reply") {
        std::string op, field, value;
        in >> op >> field;
        std::getline(in >> std::ws, value);
        Reply& r = g_replies[op];
        if (field == "result") r.result = std::stoll(value);
        else if (field == "number") r.number = std::stoll(value);
        else if (field == "data") r.data = unhex(value);
        else if (field == "message") r.message = value;
        else if (field == "name") r.name = value;
        else return "error unknown field " + field;
        return "ok";
    }
    if (verb == "fault") {
        std::string op;
        Fault f;
        in >> op >> f.kind >> f.times;
        if (f.kind == "result") in >> f.value;
        g_faults[op] = f;
        return "ok";
    }
    if (verb == "release") {
        g_released = true;
        g_changed.notify_all();
        return "ok";
    }
    if (verb == "clear") {
        g_journal.clear();
        return "ok";
    }
    if (verb == "journal") {
        std::string out;
        for (const std::string& l : g_journal) out += l + "\n";
        return out + "end";
    }
    if (verb == "wait") {
        std::string op;
        in >> op;
        auto called = [&] {
            for (const std::string& l : g_journal)
                if (l == op || l.rfind(op + "\t", 0) == 0) return true;
            return false;
        };
        // A guard against a test that waits for a call that never comes.
        return g_changed.wait_for(lock, std::chrono::seconds(20), called) ? "ok" : "error timeout";
    }
    return "error unknown command " + verb;
}

} // namespace

int main(int argc, char** argv) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlive the test
    std::signal(SIGPIPE, SIG_IGN);
    try {
        // Files of several megabytes travel in one message.
        const char* options[][2] = {{"giopMaxMsgSize", "268435456"}, {nullptr, nullptr}};
        CORBA::ORB_var orb = CORBA::ORB_init(argc, argv, "omniORB4", options);
        CORBA::Object_var obj = orb->resolve_initial_references("RootPOA");
        PortableServer::POA_var poa = PortableServer::POA::_narrow(obj);
        Server* servant = new Server;
        PortableServer::ObjectId_var id = poa->activate_object(servant);
        CORBA::Object_var ref = servant->_this();
        servant->_remove_ref();
        poa->the_POAManager()->activate();
        CORBA::String_var ior = orb->object_to_string(ref);
        std::cout << ior.in() << std::endl;
        std::string line;
        while (std::getline(std::cin, line)) std::cout << command(line) << std::endl;
    } catch (...) {
        std::cerr << "varndb_test_server: ORB failure\n";
        _exit(2);
    }
    _exit(0);  // end of input: the test is over
}
