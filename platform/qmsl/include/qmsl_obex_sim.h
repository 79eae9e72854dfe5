// Test side of the phone's OBEX file server.
//
// While the phone's port is in OBEX mode (values["obex_mode"] == 1) the
// server answers OBEX requests on the raw channel (QLIB_SendRAW): connect to
// the file-browsing target, disconnect, set path, get (a file or the folder
// listing), put (store, delete, copy, move, set permissions) and the
// free-space query. "+++" followed by a NUL leaves OBEX mode and is answered
// "OK". Outside OBEX mode the server answers nothing but the switch into it.
//
// The store is a tree of folders and files below the root "", paths written
// with '/' ("a/b/x.txt"). Answers that carry data are cut into Body packets
// of `body_chunk` bytes, with or without a Length header in the first one.
// Tests replace the phone's answer to a kind of request with a code of their
// own through `script`.
#pragma once

#include "qmsl_sim.h"

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#pragma GCC visibility push(default)
namespace qmsl_sim {

// The kinds of OBEX request the server tells apart.
enum class ObexOp { Connect, Disconnect, SetPath, Get, Put, FreeSpace, Delete, Copy, Move, SetAttr };

struct ObexFile {
    std::vector<std::uint8_t> data;
    std::string permissions;  // the permission texts last set, as sent
    std::string time;         // the Time header of the put that stored it
};

struct ObexServer {
    // --- the store ---
    std::map<std::string, ObexFile> files;  // full path -> file
    std::vector<std::string> folders;       // full paths of the folders (the root is implied)
    std::uint32_t free_bytes = 1000000;
    void add_file(const std::string& path, std::vector<std::uint8_t> data);
    void add_folder(const std::string& path);  // with its parents
    bool has_folder(const std::string& path) const;
    // Full path of a name in the current folder.
    std::string in_current(const std::string& name) const;

    // --- the session ---
    std::uint32_t connection_id = 0x00C0FFEE;  // given at every connect
    bool connected = false;
    std::string current;  // the current folder ("" = root)

    // --- shape of the answers ---
    bool connect_sends_id = true;   // Connection Id header in the connect answer
    bool connect_sends_who = true;  // Who header in the connect answer
    std::vector<std::uint8_t> who;  // the Who header's bytes (empty: the target asked for)
    std::size_t body_chunk = 1000;  // data bytes per Body packet
    bool length_header = false;     // a Length header in the first data packet
    bool data_in_end_of_body = false;  // the last piece of data rides in End of Body

    // --- scripted answers ---
    // Each request of a kind takes the next code of its queue, if any, and is
    // answered with that code alone instead of the phone's own answer (0
    // keeps the phone's own answer for that request).
    std::map<ObexOp, std::deque<std::uint8_t>> script;

    // --- what arrived ---
    std::vector<ObexOp> requests;      // the kind of every OBEX request answered
    std::vector<std::string> set_paths;  // the folder name of every set path ("\\" for one without Name)

    // Internal: data of the get in progress and the put being collected.
    std::vector<std::uint8_t> pending_get;
    std::size_t get_sent = 0;
    std::vector<std::uint8_t> put_data;
    std::string put_name, put_time;
};

// The phone's OBEX server (created on first use, empty, goes with the phone).
QMSL_API ObexServer& obex(Phone& phone);
// Whether the phone's port is in OBEX mode, and switching it.
QMSL_API bool obex_mode(Phone& phone);
QMSL_API void set_obex_mode(Phone& phone, bool on);

} // namespace qmsl_sim
#pragma GCC visibility pop
