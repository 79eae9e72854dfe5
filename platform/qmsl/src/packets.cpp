// Packet exchange: the request goes to the phone's responders; the first that
// knows it answers. A request nobody answers gets no reply, as from a silent
// phone: the call waits its time-out and fails.
#include "library.h"

#include "pclock.h"

#include <algorithm>
#include <cstring>

using namespace qmsl_sim;

namespace {

unsigned char exchange(const char* fn, Channel channel, QmslHandle handle, unsigned short requestLen,
                       const unsigned char* request, unsigned short* replyLen, unsigned char* reply,
                       unsigned long timeoutMs) {
    Phone* p = phone_for_handle(handle);
    if (!p || !replyLen || (requestLen && !request)) return 0;
    const unsigned short capacity = *replyLen;
    *replyLen = 0;
    pclock::run_due();

    JournalEntry entry{fn, handle, {requestLen, static_cast<long long>(timeoutMs)}, {}, {}, 0};
    if (request) entry.bytes.assign(request, request + requestLen);
    const long long timeout = static_cast<long long>(timeoutMs);

    std::optional<std::vector<std::uint8_t>> answer;
    std::optional<Fault> fault = p->take_fault(fn);
    if (fault && fault->kind == Fault::FalseResult) {
        p->record(std::move(entry));
        return 0;
    }
    if (fault && fault->kind == Fault::Delay) {
        if (fault->delay_ms > timeout) {
            pclock::sleep_ms(timeout);
            p->record(std::move(entry));
            return 0;
        }
        pclock::sleep_ms(fault->delay_ms);
    }
    if (fault && fault->kind == Fault::FailedReply) {
        const std::size_t n = std::min<std::size_t>(fault->reply.size(), capacity);
        if (n && reply) std::memcpy(reply, fault->reply.data(), n);
        *replyLen = static_cast<unsigned short>(n);
        entry.reply.assign(fault->reply.begin(), fault->reply.begin() + static_cast<std::ptrdiff_t>(n));
        p->record(std::move(entry));
        return 0;
    }
    if (fault && fault->kind == Fault::GivenReply) {
        answer = fault->reply;
    } else if (!(fault && fault->kind == Fault::NoReply) && p->answers()) {
        for (const Responder& r : p->responders(channel)) {
            answer = r(*p, entry.bytes);
            if (answer) break;
        }
    }
    if (!answer) {
        pclock::sleep_ms(timeout);
        p->record(std::move(entry));
        return 0;
    }
    if (fault && fault->kind == Fault::ShortReply && answer->size() > fault->length) answer->resize(fault->length);
    const std::size_t n = std::min<std::size_t>(answer->size(), capacity);
    if (n && reply) std::memcpy(reply, answer->data(), n);
    *replyLen = static_cast<unsigned short>(n);
    entry.reply.assign(answer->begin(), answer->begin() + static_cast<std::ptrdiff_t>(n));
    p->record(std::move(entry));
    return 1;
}

} // namespace

unsigned char QLIB_SendSync(QmslHandle handle, unsigned short requestLen, const unsigned char* request,
                            unsigned short* replyLen, unsigned char* reply, unsigned long timeoutMs) {
    return exchange(__func__, Channel::Sync, handle, requestLen, request, replyLen, reply, timeoutMs);
}

unsigned char QLIB_SendRAW(QmslHandle handle, unsigned short requestLen, const unsigned char* request,
                           unsigned short* replyLen, unsigned char* reply, unsigned long timeoutMs) {
    return exchange(__func__, Channel::Raw, handle, requestLen, request, replyLen, reply, timeoutMs);
}
