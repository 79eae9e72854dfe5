#include "LibraryContext.h"

namespace kavor {

ConnectionRecord::ConnectionRecord(QmslHandle h, std::uint32_t p)
    : handle(h),
      port(p),
      testProcedures(std::make_unique<TestProcedures>(h)),
      atChannel(std::make_unique<AtChannel>(h)),
      ftmChannel(std::make_unique<FtmChannel>(h)),
      obexChannel(std::make_unique<ObexChannel>(h)) {}

ConnectionRecord::~ConnectionRecord() {
    // The procedures go first (they close the control-line box), then the
    // channels in the order AT, FTM, OBEX.
    testProcedures.reset();
    atChannel.reset();
    ftmChannel.reset();
    obexChannel.reset();
}

LibraryContext::~LibraryContext() {
    // Unloading destroys every record but leaves the vendor library alone.
    while (!records_.empty()) records_.pop_front();
}

ConnectionRecord* LibraryContext::findConnection(QmslHandle handle) {
    for (auto& r : records_)
        if (r->handle == handle) return r.get();
    return nullptr;
}

TestProcedures* LibraryContext::testProceduresFor(QmslHandle handle) {
    ConnectionRecord* r = findConnection(handle);
    return r ? r->testProcedures.get() : nullptr;
}

FtmChannel* LibraryContext::ftmChannelFor(QmslHandle handle) {
    ConnectionRecord* r = findConnection(handle);
    return r ? r->ftmChannel.get() : nullptr;
}

AtChannel* LibraryContext::atChannelFor(QmslHandle handle) {
    if (mode_ == QPST) return nullptr;
    ConnectionRecord* r = findConnection(handle);
    return r ? r->atChannel.get() : nullptr;
}

ObexChannel* LibraryContext::obexChannelFor(QmslHandle handle) {
    if (mode_ == QPST) return nullptr;
    ConnectionRecord* r = findConnection(handle);
    return r ? r->obexChannel.get() : nullptr;
}

void LibraryContext::addConnection(QmslHandle handle, std::uint32_t port) {
    if (ConnectionRecord* r = findConnection(handle)) {
        ++r->referenceCount;
        return;
    }
    records_.push_back(std::make_unique<ConnectionRecord>(handle, port));
    ++count_;
}

void LibraryContext::releaseConnection(QmslHandle handle) {
    for (auto it = records_.begin(); it != records_.end(); ++it) {
        if ((*it)->handle != handle) continue;
        if ((*it)->referenceCount <= 1) {
            records_.erase(it);
            --count_;
        } else {
            --(*it)->referenceCount;
        }
        return;
    }
}

void LibraryContext::disconnectAll() {
    while (!records_.empty()) {
        records_.pop_front();
        --count_;
    }
}

LibraryContext& context() {
    static LibraryContext ctx;
    return ctx;
}

const char* extensionVersionText(LibraryMode m) {
    return m == QPST ? "KAVOR V02.4.15,QPST" : "KAVOR V02.4.15,QPHONEMS";
}

const char* supportedQLibVersionText(LibraryMode m) {
    return m == QPST ? "QLIB V5.0.40,QPST" : "QLIB V5.0.40,QPHONEMS";
}

} // namespace kavor
