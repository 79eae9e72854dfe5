// The text log of a connection: kept in memory for tests, and appended to
// the log file once one is named and the log flags are on.
#include "library.h"

#include <cstdio>

using namespace qmsl_sim;

unsigned char QLIB_AddUserMessageToTextLog(QmslHandle handle, unsigned int level, const char* text,
                                           unsigned char asHex) {
    Connection* c = connection(handle);
    if (!c || !text) return 0;
    Phone& p = phone(c->port);
    if (journal_kept()) p.text_log.push_back({handle, level, text});
    if (!c->log_file.empty() && c->log_flags != 0) {
        if (FILE* f = std::fopen(c->log_file.c_str(), "a")) {
            std::fputs(text, f);
            std::fputc('\n', f);
            std::fclose(f);
        }
    }
    return 1;
}

unsigned char QLIB_StartLogging(QmslHandle handle, const char* fileName) {
    Connection* c = connection(handle);
    if (!c || !fileName) return 0;
    phone(c->port).record({__func__, handle, {}, {fileName, fileName + std::char_traits<char>::length(fileName)}, {}, 0});
    c->log_file = fileName;
    return 1;
}

unsigned char QLIB_SetLogFlags(QmslHandle handle, unsigned int flags) {
    Connection* c = connection(handle);
    if (!c) return 0;
    phone(c->port).record({__func__, handle, {static_cast<long long>(flags)}, {}, {}, 0});
    c->log_flags = flags;
    return 1;
}
