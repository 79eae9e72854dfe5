// The data operations' fixture: the reference schema's data and file tables
// back at their defaults, and a connected session.
#pragma once

#include "dalmire_fixture.h"

#include <string>
#include <vector>

class DalmireData : public DalmireDb {
protected:
    void SetUp() override {
        DalmireDb::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(admin.exec("SELECT mero_test.clear_data(); SELECT mero_test.clear_files();"));
        char err[256] = "";
        ASSERT_EQ(connect(err), 0) << err;
    }

    // Statements the session ran since `before`.
    static int statementsSince(const sql::Stats& before) { return sql::stats().statements - before.statements; }

    // The bytes of a bytea column as a string.
    std::string bytes(const std::string& sql) {
        std::string hex = admin.value("SELECT encode((" + sql + "), 'hex')");
        if (hex == "<null>" || hex == "<no row>") return hex;
        std::string out;
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
        return out;
    }

    void inject(const std::string& routine, int code, int times = 1) {
        admin.exec("SELECT mero_test.inject('" + routine + "', " + std::to_string(code) + ", " +
                   std::to_string(times) + ")");
    }
};

// A text of n characters.
inline std::string text(std::size_t n, char c = 'x') { return std::string(n, c); }
