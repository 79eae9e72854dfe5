// File transfer tests: a private local directory and helpers for stored
// and local files.
#pragma once

#include "data_fixture.h"
#include "other_station.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

class DalmireFiles : public DalmireData {
protected:
    void SetUp() override {
        DalmireData::SetUp();
        char tmpl[] = "/tmp/dalmire-files.XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override {
        std::filesystem::remove_all(dir);
        DalmireData::TearDown();
    }

    // n bytes that differ from chunk to chunk (and include 0).
    static std::string content(std::size_t n, int seed = 0) {
        std::string s(n, '\0');
        for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 31 + i / 32000 + seed) % 251);
        return s;
    }
    static void writeLocal(const std::string& path, const std::string& data) {
        std::ofstream(path, std::ios::binary) << data;
    }
    static std::string readLocal(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // A file stored and committed by someone else.
    void store(const std::string& imei, const std::string& type, const std::string& name, const std::string& data) {
        admin.exec("INSERT INTO mero.imei_file VALUES ('" + imei + "', '" + type + "', '" + name + "', decode('" +
                   hex(data) + "', 'hex'))");
    }
    // The committed bytes of a stored file, or "<no row>".
    std::string stored(const std::string& imei, const std::string& type) {
        const std::string where = " FROM mero.imei_file WHERE imei = '" + imei + "' AND filetype = '" + type + "'";
        if (admin.value("SELECT count(*)" + where) == "0") return "<no row>";
        return bytes("SELECT data" + where);
    }
    std::vector<std::string> chunks(const std::string& routine) {
        return admin.column("SELECT value FROM mero_test.received WHERE routine = '" + routine + "' ORDER BY id");
    }
    // Makes the n-th next call of a routine fail (code 0: drop the session).
    void failCall(const std::string& routine, int code, int nth) {
        admin.exec("SELECT mero_test.inject('" + routine + "', " + std::to_string(code) + ", 1)");
        admin.exec("UPDATE mero_test.fault SET from_call = from_call + " + std::to_string(nth - 1) +
                   " WHERE routine = '" + routine + "'");
    }

    std::string dir;
    const std::string imei = "350000000000011";
    const std::string type = "CAL";
};
