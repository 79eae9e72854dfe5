// getMACId: the hardware address of the first adapter that has one.
#include "halden.h"
#include "host_identity.h"

#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace halden {

std::vector<Adapter> adapters() {
    std::vector<Adapter> out;
    struct if_nameindex* names = if_nameindex();
    if (!names) return out;
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    for (struct if_nameindex* n = names; fd >= 0 && n->if_index != 0 && n->if_name; ++n) {
        Adapter a;
        a.index = n->if_index;
        a.name = n->if_name;
        ifreq req{};
        std::snprintf(req.ifr_name, sizeof req.ifr_name, "%s", n->if_name);
        if (ioctl(fd, SIOCGIFFLAGS, &req) == 0) a.loopback = (req.ifr_flags & IFF_LOOPBACK) != 0;
        std::memset(&req.ifr_ifru, 0, sizeof req.ifr_ifru);
        if (ioctl(fd, SIOCGIFHWADDR, &req) == 0) {
            auto* b = reinterpret_cast<const unsigned char*>(req.ifr_hwaddr.sa_data);
            a.hardware_address.assign(b, b + 6);
        }
        out.push_back(std::move(a));
    }
    if (fd >= 0) close(fd);
    if_freenameindex(names);
    return out;
}

int mac_id(std::vector<Adapter> list, char* mac) {
    std::stable_sort(list.begin(), list.end(), [](const Adapter& a, const Adapter& b) { return a.index < b.index; });
    unsigned char addr[6] = {};
    for (const auto& a : list) {
        if (a.loopback || a.hardware_address.size() < 6) continue;
        if (std::all_of(a.hardware_address.begin(), a.hardware_address.begin() + 6,
                        [](unsigned char c) { return c == 0; }))
            continue;
        std::memcpy(addr, a.hardware_address.data(), 6);
        break;
    }
    std::snprintf(mac, HALDEN_MAC_SIZE, "%02x%02x%02x%02x%02x%02x", addr[0], addr[1], addr[2], addr[3], addr[4],
                  addr[5]);
    return 0;
}

} // namespace halden

extern "C" int getMACId(char* mac) {
    try {
        return halden::mac_id(halden::adapters(), mac);
    } catch (...) {
        std::snprintf(mac, HALDEN_MAC_SIZE, "000000000000");
        return 0;
    }
}
