// The process-wide library context: the library mode and the registry of
// connection records, one per vendor handle.
#pragma once

#include "AtChannel.h"
#include "FtmChannel.h"
#include "ObexChannel.h"
#include "TestProcedures.h"
#include "kavor.h"

#include <cstdint>
#include <list>
#include <memory>

namespace kavor {

enum LibraryMode : std::uint8_t { QPHONEMS = 0, QPST = 1 };

struct ConnectionRecord {
    ConnectionRecord(QmslHandle h, std::uint32_t p);
    ~ConnectionRecord();
    ConnectionRecord(const ConnectionRecord&) = delete;
    ConnectionRecord& operator=(const ConnectionRecord&) = delete;

    QmslHandle handle;
    std::int32_t referenceCount = 1;
    std::uint32_t port;
    std::unique_ptr<TestProcedures> testProcedures;
    std::unique_ptr<AtChannel> atChannel;
    std::unique_ptr<FtmChannel> ftmChannel;
    std::unique_ptr<ObexChannel> obexChannel;
};

class LibraryContext {
public:
    ~LibraryContext();

    LibraryMode mode() const { return mode_; }
    void setMode(LibraryMode m) { mode_ = m; }

    ConnectionRecord* findConnection(QmslHandle handle);
    TestProcedures* testProceduresFor(QmslHandle handle);
    FtmChannel* ftmChannelFor(QmslHandle handle);
    AtChannel* atChannelFor(QmslHandle handle);    // none while in QPST mode
    ObexChannel* obexChannelFor(QmslHandle handle);  // none while in QPST mode

    void addConnection(QmslHandle handle, std::uint32_t port);
    void releaseConnection(QmslHandle handle);
    void disconnectAll();
    std::uint32_t recordCount() const { return count_; }

    KavorProgressCallback progressCallback = nullptr;

private:
    LibraryMode mode_ = QPHONEMS;
    std::list<std::unique_ptr<ConnectionRecord>> records_;
    std::uint32_t count_ = 0;
};

// The context, built on first use and destroyed at unload.
LibraryContext& context();

// Version texts for a mode.
const char* extensionVersionText(LibraryMode m);
const char* supportedQLibVersionText(LibraryMode m);

} // namespace kavor
