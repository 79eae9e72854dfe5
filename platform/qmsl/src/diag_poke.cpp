// The raw DIAG memory poke (command 5) through QLIB_SendSync: it writes the
// same phone memory as the typed peek and poke. Request: 5, the address
// (four bytes, low first), the count of bytes, then the bytes; only the
// first `count` of them are written. The phone echoes the request.
#include "qmsl_memory_sim.h"

#include "library.h"

using namespace qmsl_sim;

namespace {

constexpr std::uint8_t kPokeCommand = 5;
constexpr std::size_t kHeader = 6;

const bool registered = [] {
    add_default_responder(Channel::Sync, [](Phone& p, const std::vector<std::uint8_t>& req)
                                             -> std::optional<std::vector<std::uint8_t>> {
        if (req.size() < kHeader || req[0] != kPokeCommand) return std::nullopt;
        const std::uint32_t address = req[1] | (req[2] << 8) | (req[3] << 16) | (static_cast<std::uint32_t>(req[4]) << 24);
        const std::size_t count = req[5];
        for (std::size_t i = 0; i < count && kHeader + i < req.size(); ++i)
            memory(p).poke(address + static_cast<std::uint32_t>(i), req[kHeader + i], 1);
        return req;
    });
    return true;
}();

} // namespace
