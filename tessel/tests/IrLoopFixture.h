// The far side of the IrDA loop test: a pseudo-terminal stands in for the
// transceiver's COM port, and this loop plays the phone's infrared port
// behind it. It echoes each frame it receives (a frame ends with its EOF,
// 0xC1) only while the simulated phone's IrDA test is switched on, as a
// script says: the frame as sent, with fewer or more XBOFs, with a byte
// changed, noise without a BOF, or nothing. It runs on the clock, looking at
// the line every millisecond, so a test's reads with a deadline meet it on
// virtual time.
#pragma once

#include "pclock.h"
#include "win_pty.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

class IrLoop {
public:
    struct Reply {
        enum Kind { Echo, Silent, Noise } kind = Echo;
        int xbofs = 10;      // XBOFs before the BOF
        int changeAt = -1;   // a byte changed, counted from the BOF
        int noise = 40;      // Noise: this many bytes of 0x55
    };
    using Bytes = std::vector<std::uint8_t>;

    IrLoop(win_test::PseudoTerminal& line, std::function<bool()> phoneTestOn)
        : line_(line), on_(std::move(phoneTestOn)) {
        arm();
    }
    ~IrLoop() { pclock::cancel(task_); }
    IrLoop(const IrLoop&) = delete;
    IrLoop& operator=(const IrLoop&) = delete;

    // Reply i answers frame i; the last reply answers every later frame.
    std::vector<Reply> script{Reply{}};
    std::vector<Bytes> frames;  // every frame received, as received
    int echoed = 0;             // frames answered with something

private:
    void arm() {
        task_ = pclock::schedule_after(1, [this] {
            tick();
            arm();
        });
    }

    void tick() {
        const Bytes in = line_.take();
        pending_.insert(pending_.end(), in.begin(), in.end());
        for (auto eof = std::find(pending_.begin(), pending_.end(), 0xC1); eof != pending_.end();
             eof = std::find(pending_.begin(), pending_.end(), 0xC1)) {
            Bytes frame(pending_.begin(), eof + 1);
            pending_.erase(pending_.begin(), eof + 1);
            const Reply& r = script[std::min(frames.size(), script.size() - 1)];
            frames.push_back(frame);
            if (on_()) answer(r, frame);
        }
    }

    void answer(const Reply& r, const Bytes& frame) {
        Bytes out;
        if (r.kind == Reply::Silent) return;
        if (r.kind == Reply::Noise) {
            out.assign(static_cast<std::size_t>(r.noise), 0x55);
        } else {
            const auto bof = std::find(frame.begin(), frame.end(), 0xC0);
            Bytes body(bof, frame.end());
            if (r.changeAt >= 0 && static_cast<std::size_t>(r.changeAt) < body.size()) body[r.changeAt] ^= 0x5A;
            out.assign(static_cast<std::size_t>(r.xbofs), 0xFF);
            out.insert(out.end(), body.begin(), body.end());
        }
        line_.put(out);
        ++echoed;
    }

    win_test::PseudoTerminal& line_;
    std::function<bool()> on_;
    Bytes pending_;
    pclock::TaskId task_ = 0;
};
