// The memory-card test: 16 random bytes written to a file on the card and
// read back.
#include "TesselFctsPeriph.h"
#include "kavor.h"

#include <cstdlib>
#include <cstring>

using periph::hex;

int _Tessel_SpecialMmcTest(int iSession, const char* cFile, int iLine) {
    constexpr unsigned short kLength = 16;
    constexpr unsigned char kWrite = 1, kRead = 0;
    static const char cTestFile[] = "\\TEST.BIN";
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d", __func__, rec.hHandle, iSession);
    const char* cResult = "OK";
    periph::Status status;
    unsigned char out[kLength], in[kLength] = {};
    for (unsigned char& c : out) c = static_cast<unsigned char>(std::rand() % 56 + 64);
    if (rec.hHandle == -1) {
        cResult = "Not connected.";
        status.fail();
    } else {
        if (Mob_TraceOn_m()) Mob_TraceByteArray(kLength, out, "\\TEST.BIN -- OUT DATA.");
        if (!status.ok(KAVOR_FTM_MMC_FILE_ACCESS(rec.hHandle, kWrite, kLength, cTestFile, out))) {
            cResult = "QLIB_FTM_MMC_FILE_ACCESS() - failed to write.";
        } else if (!status.ok(KAVOR_FTM_MMC_FILE_ACCESS(rec.hHandle, kRead, kLength, cTestFile, in))) {
            cResult = "QLIB_FTM_MMC_FILE_ACCESS() - failed to read.";
        } else {
            if (Mob_TraceOn_m()) Mob_TraceByteArray(kLength, in, "\\TEST.BIN -- IN DATA.");
            if (std::memcmp(out, in, kLength) != 0) {
                cResult = "Written data does not match read data.";
                status.fail();
            }
        }
    }
    Mob_TraceResult(iSession, status.get(), "%s( %s ) = %#x", __func__, cResult, hex(status.get()));
    return status.get();
}
