// The composite test procedures of one connection.
#pragma once

#include "qmsl.h"

namespace kavor {

class TestProcedures {
public:
    explicit TestProcedures(QmslHandle handle) : handle_(handle) {}
    QmslHandle handle() const { return handle_; }

private:
    QmslHandle handle_;
};

} // namespace kavor
