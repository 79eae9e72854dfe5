// The OS look-ups behind Halden's two calls, split from the formatting so
// that tests can give their own host entries and adapters.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace halden {

struct HostEntry {
    std::string official_name;
    std::string first_ipv4;  // dotted form
};

struct Adapter {
    unsigned index = 0;
    std::string name;
    bool loopback = false;
    std::vector<unsigned char> hardware_address;
};

// The system's answers.
std::optional<std::string> local_host_name();
std::optional<HostEntry> resolve(const std::string& host);
std::vector<Adapter> adapters();

// The formatting rules of getHostData and getMACId over given answers.
int host_data(const std::optional<std::string>& local_name,
              const std::optional<HostEntry>& entry, char* name, char* ip);
int mac_id(std::vector<Adapter> list, char* mac);

} // namespace halden
