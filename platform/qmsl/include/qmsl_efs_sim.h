// Test side of the phone's file system and of the library's capabilities.
//
// A phone's EFS is a set of folders by path, each with its entries in order.
// A folder's entry counts can be scripted per listing, so that an unpacking
// that empties folders over time can be played: each listing of the folder
// first takes the next count of its script and makes the folder hold that
// many files ("file1", "file2", ...); once the script is used up, the folder
// keeps what the last listing showed.
#pragma once

#include "qmsl_sim.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

#pragma GCC visibility push(default)
namespace qmsl_sim {

struct EfsEntry {
    std::string name;
    bool directory = false;
};

struct Efs {
    // Folder path (no leading or trailing '/') -> its entries.
    std::map<std::string, std::vector<EfsEntry>> folders;
    std::map<std::string, std::deque<int>> scripted_counts;

    // Creates the folder (empty) if it does not exist yet.
    void make_folder(const std::string& path);
    // Adds an entry to a folder (creating the folder); "." and ".." are
    // not entries and are ignored.
    void add_entry(const std::string& path, const std::string& name, bool directory = false);
    // Entry counts of the folder's coming listings (creates the folder).
    void script_counts(const std::string& path, std::vector<int> counts);
};

// The phone's file system (created on first use, empty, goes with the phone).
QMSL_API Efs& efs(Phone& phone);

// What QLIB_GetLibraryCapabilities answers (reset() restores the defaults).
struct LibraryCapabilities {
    bool diag = true;
    bool efs = true;
    bool sw_download = true;
    int fail_calls = 0;     // the next so many calls fail (-1: every call)
    std::size_t calls = 0;  // calls made, failed ones included
};
QMSL_API LibraryCapabilities& library_capabilities();

// Folder path as the phone files it: leading and trailing '/' removed.
QMSL_API std::string efs_path(const std::string& path);

} // namespace qmsl_sim
#pragma GCC visibility pop
