// getHostData: the local host name resolved to its official name and first
// IPv4 address.
#include "halden.h"
#include "host_identity.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace halden {

std::optional<std::string> local_host_name() {
    char buf[256] = {};
    if (gethostname(buf, sizeof buf - 1) != 0) return std::nullopt;
    return std::string(buf);
}

std::optional<HostEntry> resolve(const std::string& host) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_flags = AI_CANONNAME;
    addrinfo* res = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &res) != 0 || !res) return std::nullopt;
    HostEntry e;
    e.official_name = res->ai_canonname ? res->ai_canonname : host;
    char ip[INET_ADDRSTRLEN] = {};
    auto* sin = reinterpret_cast<const sockaddr_in*>(res->ai_addr);
    inet_ntop(AF_INET, &sin->sin_addr, ip, sizeof ip);
    e.first_ipv4 = ip;
    freeaddrinfo(res);
    return e;
}

int host_data(const std::optional<std::string>& local_name, const std::optional<HostEntry>& entry,
              char* name, char* ip) {
    if (!local_name || !entry) return -1;
    std::snprintf(name, HALDEN_NAME_SIZE, "%s", entry->official_name.c_str());
    std::snprintf(ip, HALDEN_IP_SIZE, "%s", entry->first_ipv4.c_str());
    return 0;
}

} // namespace halden

extern "C" int getHostData(char* name, char* ip) {
    try {
        auto local = halden::local_host_name();
        std::optional<halden::HostEntry> entry;
        if (local) entry = halden::resolve(*local);
        return halden::host_data(local, entry, name, ip);
    } catch (...) {
        return -1;
    }
}
