// A second station on a connection of its own (the station login), storing
// and removing files through the file store's routines step by step, and a
// call of this station run on a thread of its own while the test drives the
// other one.
#pragma once

#include "pg_test_env.h"

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <string>

// The bytes of data as hex digits (for decode(..., 'hex')).
inline std::string hex(const std::string& data) {
    static const char* digits = "0123456789abcdef";
    std::string h;
    for (unsigned char c : data) {
        h += digits[c >> 4];
        h += digits[c & 15];
    }
    return h;
}

class OtherStation {
public:
    explicit OtherStation(std::string imei, std::string type) : imei_(std::move(imei)), type_(std::move(type)) {}

    bool ok() const { return db_.ok(); }

    // newFile and the appends of an upload in 32000-byte chunks (one more,
    // possibly empty, for the rest), left uncommitted. A transaction that
    // the test began stays the one used.
    void beginUpload(const std::string& name, const std::string& data) {
        begin();
        ASSERT_EQ(db_.value("SELECT result FROM mero_imeifiles.newfile(" + key() + ", '" + name + "')"), "0");
        for (std::size_t at = 0;; at += 32000) {
            std::string chunk = data.substr(at, 32000);
            ASSERT_EQ(db_.value("SELECT result FROM mero_imeifiles.writeappend(decode('" + hex(chunk) + "', 'hex'), " +
                                std::to_string(chunk.size()) + ")"),
                      "0");
            if (chunk.size() < 32000) break;
        }
    }
    // closeFile and COMMIT.
    void finishUpload() {
        EXPECT_EQ(db_.value("SELECT result FROM mero_imeifiles.closefile()"), "0");
        end("COMMIT");
    }
    void upload(const std::string& name, const std::string& data) {
        beginUpload(name, data);
        finishUpload();
    }
    void remove() {
        begin();
        EXPECT_EQ(db_.value("SELECT result FROM mero_imeifiles.deletefile(" + key() + ")"), "0");
        end("COMMIT");
    }
    // deleteFile, rolled back whatever it answers: its result and message.
    std::string tryRemove() {
        begin();
        std::string r = db_.value("SELECT result || ' ' || coalesce(v_errormessage, '') FROM "
                                  "mero_imeifiles.deletefile(" + key() + ")");
        end("ROLLBACK");
        return r;
    }
    // Ends a transaction still open (after a failed step, so that a call
    // waiting for this station goes on).
    void rollback() {
        if (inTransaction_) end("ROLLBACK");
    }
    // Takes every part of every file, until this station's transaction
    // ends: a fetch's next read waits for it.
    void lockParts() {
        begin();
        db_.exec("LOCK TABLE mero.imei_file_part IN ACCESS EXCLUSIVE MODE");
    }

    // Waits until the session of process pid waits for a lock, at most 10 s
    // (the server looks every millisecond, in one statement); false when it
    // does not.
    bool awaitLockWait(int pid) {
        const std::string waiting = "SELECT FROM pg_locks WHERE NOT granted AND pid = " + std::to_string(pid);
        db_.exec("DO $$ BEGIN FOR i IN 1..10000 LOOP EXIT WHEN EXISTS (" + waiting +
                 "); PERFORM pg_sleep(0.001); END LOOP; END $$");
        return db_.value("SELECT EXISTS (" + waiting + ")") == "t";
    }

private:
    void begin() {
        if (!inTransaction_) inTransaction_ = db_.exec("BEGIN");
    }
    void end(const char* command) {
        db_.exec(command);
        inTransaction_ = false;
    }
    std::string key() const { return "'" + imei_ + "', '" + type_ + "'"; }

    pgtest::Admin db_{pgtest::as_station};
    std::string imei_, type_;
    bool inTransaction_ = false;
};

// Runs a call of this station on a thread of its own.
inline std::future<int> onItsOwnThread(std::function<int()> call) {
    return std::async(std::launch::async, std::move(call));
}
