// The NV item operations' one mechanism. Each operation is a short plan of
// NV steps (read or write, item, length, the bytes written or where the
// bytes read go) run over the generic _Tessel_DiagNvReadF/_Tessel_DiagNvWriteF,
// inside one frame: look the session up (untraced on failure), check the
// caller's pointers, trace the call line, refuse an unconnected session, run
// the operation's body, trace the result line.
#pragma once

#include "TesselInternal.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace nv {

// The longest item the library moves.
constexpr int kMaxItemLength = 128;

struct Step {
    enum Op { Read, Write } eOp;
    unsigned short usItem;
    int iLength;
    // Write: the iLength bytes written. Read: the bytes the item must hold
    // (a read-back check), or empty for a plain read.
    std::vector<unsigned char> vBytes;
    // Read: receives the bytes, only when the call succeeded with NV status
    // 0 (and the read-back matched); never called with stale data.
    std::function<void(const unsigned char*)> fnSink;
};

// What a failed step does to the rest of the plan.
enum class OnFailure {
    GoOn,  // the later steps still run; the result is TESSEL_ERROR_LIBRARY
    Stop,  // the plan ends at the first failure
};

// The steps' makers.
Step write(unsigned short usItem, std::vector<unsigned char> vBytes);
Step writeBytes(unsigned short usItem, const unsigned char* pBytes, int iLength);
Step writeI16(unsigned short usItem, short sValue);  // little-endian
Step writeU8(unsigned short usItem, unsigned char ucValue);
Step read(unsigned short usItem, int iLength, std::function<void(const unsigned char*)> fnSink);
Step readInto(unsigned short usItem, int iLength, unsigned char* pDest);
Step readI16(unsigned short usItem, short* psDest);
// Reads the item back and fails unless it holds exactly these bytes.
Step readBack(unsigned short usItem, std::vector<unsigned char> vExpected);

// A write step for a table the caller may leave out: none for a null table.
void addTable(std::vector<Step>& plan, unsigned short usItem, const unsigned char* pTable, int iLength);

// The context of one operation's body.
struct Call {
    int iSession;
    SessionRecord rec;
    const char* cName;
    // Runs the steps in order; 0 when every step succeeded with NV status 0.
    int run(const std::vector<Step>& plan, OnFailure eOnFailure) const;
};

using Body = std::function<int(const Call&)>;
using Text = std::function<std::string()>;

// The frame. bPointersOk false gives TESSEL_ERROR_PARAMETER2 (after the
// lookup, before anything is traced). cArgs follows "Handle=%d" in the call
// line; fnResult, when given, is the text inside the result line's
// parentheses. fnPrepare (e.g. clearing an output) runs after the pointer
// check, before the call line. The body runs only for a connected session.
int exportFrame(int iSession, const char* cName, const char* cFile, int iLine, bool bPointersOk,
                const std::string& cArgs, const Body& body, const Text& fnResult = {},
                const std::function<void()>& fnPrepare = {});

std::string format(const char* cFormat, ...) __attribute__((format(printf, 1, 2)));

// The items of one band (or mode or range) code.
template <int N>
struct BandRow {
    int iCode;
    unsigned short ausItems[N];
};
// The row of a code, null when the code has none.
template <int N, std::size_t M>
const unsigned short* itemsFor(const BandRow<N> (&rows)[M], int iCode) {
    for (const auto& row : rows)
        if (row.iCode == iCode) return row.ausItems;
    return nullptr;
}

} // namespace nv
