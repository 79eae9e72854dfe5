#include "cvi_events.h"

#include "pclock.h"

#include <poll.h>

#include <cerrno>
#include <map>
#include <vector>

namespace {

// How long RunUserInterface waits in one pass; short, so due clock
// callbacks run on time in real time.
constexpr int kRunPassWaitMs = 10;

struct Watch {
    int fd;
    short events;
    cvi::FdHandler handler;
};

struct Loop {
    std::map<cvi::WatchId, Watch> watches;
    cvi::WatchId next_id = 1;
    int run_depth = 0;
    bool quit = false;
    int quit_code = 0;
};

Loop& loop() {
    static Loop l;
    return l;
}

// One pass: poll the watched descriptors, call the handler of each ready
// one whose watch still exists (an earlier handler may have removed it).
void run_pass(int wait_ms) {
    Loop& l = loop();
    std::vector<cvi::WatchId> ids;
    std::vector<pollfd> fds;
    ids.reserve(l.watches.size());
    fds.reserve(l.watches.size());
    for (const auto& [id, w] : l.watches) {
        ids.push_back(id);
        fds.push_back({w.fd, w.events, 0});
    }
    int ready = 0;
    if (!fds.empty()) {
        ready = ::poll(fds.data(), fds.size(), wait_ms);
    } else if (wait_ms > 0) {
        ready = ::poll(nullptr, 0, wait_ms);
    }
    if (ready > 0) {
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].revents == 0) continue;
            auto it = l.watches.find(ids[i]);
            if (it == l.watches.end()) continue;
            // Copy: the handler may unwatch itself and destroy the original.
            cvi::FdHandler handler = it->second.handler;
            handler(fds[i].revents);
        }
    }
    pclock::run_due();
}

} // namespace

int ProcessSystemEvents(void) {
    try {
        run_pass(0);
    } catch (...) {
    }
    return 0;
}

int RunUserInterface(void) {
    Loop& l = loop();
    ++l.run_depth;
    l.quit = false;
    while (!l.quit) {
        try {
            run_pass(kRunPassWaitMs);
        } catch (...) {
        }
    }
    l.quit = false;
    --l.run_depth;
    return l.quit_code;
}

int QuitUserInterface(int returnCode) {
    Loop& l = loop();
    if (l.run_depth > 0) {
        l.quit = true;
        l.quit_code = returnCode;
    }
    return 0;
}

namespace cvi {

WatchId watch_fd(int fd, short events, FdHandler handler) {
    if (fd < 0) return 0;
    Loop& l = loop();
    for (const auto& [id, w] : l.watches) {
        if (w.fd == fd) return 0;
    }
    WatchId id = l.next_id++;
    l.watches.emplace(id, Watch{fd, events, std::move(handler)});
    return id;
}

void unwatch(WatchId id) { loop().watches.erase(id); }

std::size_t watch_count() { return loop().watches.size(); }

} // namespace cvi
