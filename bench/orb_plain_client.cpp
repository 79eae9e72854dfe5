// The plain omniORB client of the remote-object benchmark: the few lines a
// caller of the VarndbCI interface writes by hand, timed call by call.
//
//   orb_plain_client <IOR>
//
// It narrows the reference, makes one untimed call (so that the connection
// is open, as on a connected station), prints "ready" and then reads
// commands from standard input, each answered with the seconds it took:
//
//   small <n>              n calls of getServiceCode, seconds for all of them
//   put <folder> <name>    the file read straight into the sequence's buffer
//                          (sized from the file), one putFile
//   get <folder>           one getFile, the returned sequence written
//                          straight to <folder>/<name it came with>
//
// The file of put and get is kept under its own IMEI, beside the one of the
// back-end under test.
#include "VarndbCI.hh"

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

namespace {

constexpr const char* kClientId = "0A1B2C3D4E5F<1765459200>12345-$Revision: 1.17 $";
constexpr const char* kImei = "350000000000098";
constexpr const char* kType = "BENCH";

using Clock = std::chrono::steady_clock;

double since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

void small(VarndbCI_ptr server, long n) {
    for (long i = 0; i < n; ++i) {
        CORBA::LongLong code = 0;
        CORBA::String_var message;
        if (server->getServiceCode(kClientId, kImei, code, message.out()) != 0) throw std::runtime_error("getServiceCode");
    }
}

void put(VarndbCI_ptr server, const std::string& folder, const std::string& name) {
    const std::string path = folder + "/" + name;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) throw std::runtime_error("cannot open " + path);
    struct stat st {};
    fstat(fileno(f), &st);
    VarndbCI::DataSeq data;
    data.length(static_cast<CORBA::ULong>(st.st_size));
    const std::size_t n = std::fread(data.get_buffer(), 1, data.length(), f);
    std::fclose(f);
    if (n != data.length()) throw std::runtime_error("cannot read " + path);
    CORBA::String_var message;
    if (server->putFile(kClientId, kImei, kType, name.c_str(), data, message.out()) != 0)
        throw std::runtime_error("putFile");
}

void get(VarndbCI_ptr server, const std::string& folder) {
    CORBA::String_var name, message;
    VarndbCI::DataSeq_var data;
    if (server->getFile(kClientId, kImei, kType, name.out(), data.out(), message.out()) != 0)
        throw std::runtime_error("getFile");
    const std::string path = folder + "/" + name.in();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot open " + path);
    const bool written = std::fwrite(data->get_buffer(), 1, data->length(), f) == data->length();
    if (std::fclose(f) != 0 || !written) throw std::runtime_error("cannot write " + path);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: orb_plain_client <IOR>\n");
        return 2;
    }
    try {
        int orbArgc = 1;
        char* orbArgv[] = {argv[0], nullptr};
        // Files travel whole in one message, as with the back-end.
        const char* options[][2] = {{"giopMaxMsgSize", "268435456"}, {nullptr, nullptr}};
        CORBA::ORB_var orb = CORBA::ORB_init(orbArgc, orbArgv, "omniORB4", options);
        CORBA::Object_var object = orb->string_to_object(argv[1]);
        VarndbCI_var server = VarndbCI::_narrow(object);
        if (CORBA::is_nil(server)) throw std::runtime_error("no VarndbCI server");
        small(server, 1);
        std::cout << "ready" << std::endl;
        std::string line;
        while (std::getline(std::cin, line)) {
            std::istringstream in(line);
            std::string verb, folder, name;
            in >> verb;
            const auto t0 = Clock::now();
            if (verb == "small") {
                long n = 0;
                in >> n;
                small(server, n);
            } else if (verb == "put") {
                in >> folder >> name;
                put(server, folder, name);
            } else if (verb == "get") {
                in >> folder;
                get(server, folder);
            } else {
                throw std::runtime_error("unknown command " + verb);
            }
            const double t = since(t0);
            std::printf("%.9f\n", t);
            std::fflush(stdout);
        }
        orb->destroy();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orb_plain_client: %s\n", e.what());
        return 1;
    } catch (...) {
        std::fprintf(stderr, "orb_plain_client: ORB failure\n");
        return 1;
    }
    return 0;
}
