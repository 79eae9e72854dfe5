// The start the kavor tests share: fresh simulated phones on virtual time,
// no connection left from an earlier test, the library in direct mode.
#pragma once

#include "kavor.h"
#include "qmsl_sim.h"

#include "pclock.h"

#include <gtest/gtest.h>

namespace kavortest {

inline void freshLibrary() {
    pclock::use_virtual_time(0);
    qmsl_sim::reset();
    KAVOR_DisconnectAllServers();
    KAVOR_SetLibraryMode(0);
}

// freshLibrary(), then a connection to the phone on port into h (not 0).
inline void connectFresh(unsigned port, QmslHandle& h) {
    freshLibrary();
    h = KAVOR_ConnectServer(port);
    ASSERT_NE(h, 0);
}

} // namespace kavortest
