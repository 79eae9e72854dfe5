// Typed BER and AGC-log commands. The phone has no behaviour of its own for
// them: each succeeds while it answers, is journalled with its inputs (array
// contents as bytes) and gives back the outputs a test set.
#include "qmsl_ber.h"

#include "library.h"

using namespace qmsl_sim;

namespace {
long long ms(unsigned long v) { return static_cast<long long>(v); }
In bytes(const unsigned char* p, unsigned char n) { return In(p, p ? n : 0); }
} // namespace

// --- GSM ---
unsigned char QLIB_FTM_GSM_BER_StartSession(QmslHandle h, unsigned long t) {
    return typed_call(h, __func__, {ms(t)}, {});
}
unsigned char QLIB_FTM_GSM_BER_StopSession(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_FTM_GSM_BER_AssignBCCH(QmslHandle h, unsigned short c, unsigned char b) {
    return typed_call(h, __func__, {c, b}, {});
}
unsigned char QLIB_FTM_GSM_BER_AssignTraffic(QmslHandle h, unsigned short l, unsigned char s, unsigned char m) {
    return typed_call(h, __func__, {l, s, m}, {});
}
unsigned char QLIB_FTM_GSM_BER_ReleaseTCH(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_FTM_GSM_BER_ClearStatus(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_FTM_GSM_BER_GetStatus(QmslHandle h, QMSL_GSM_BER_Status* s) {
    return typed_call(h, __func__, {}, {out_bytes(s, s ? sizeof *s : 0)});
}
unsigned char QLIB_FTM_GSM_BER_GetRxMetrics(QmslHandle h, unsigned char* lev, unsigned char* qual) {
    return typed_call(h, __func__, {}, {out(lev), out(qual)});
}
unsigned char QLIB_FTM_GSM_BER_Handover(QmslHandle h, unsigned short c, unsigned char b, unsigned char tsc,
                                        unsigned char s, unsigned char m, unsigned char p, unsigned char l) {
    return typed_call(h, __func__, {c, b, tsc, s, m, p, l}, {});
}
unsigned char QLIB_FTM_GSM_ConfigLoopbackType(QmslHandle h, unsigned char l) {
    return typed_call(h, __func__, {l}, {});
}

// --- EGPRS ---
unsigned char QLIB_FTM_EGPRS_BER_AssignBCCH(QmslHandle h, unsigned short c, unsigned char b) {
    return typed_call(h, __func__, {c, b}, {});
}
unsigned char QLIB_FTM_EGPRS_BER_StartIdleMode(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_FTM_EGPRS_BER_Configure_DL_TBF(QmslHandle h, unsigned char tsc, unsigned char tfi, unsigned short c,
                                                  unsigned char b, unsigned char a1, unsigned char n1, unsigned char a2,
                                                  unsigned char n2) {
    return typed_call(h, __func__, {tsc, tfi, c, b, a1, n1, a2, n2}, {});
}
unsigned char QLIB_FTM_EGPRS_BER_Configure_UL_TBF(QmslHandle h, unsigned char tsc, unsigned char usf,
                                                  unsigned char gamma, unsigned char a1, unsigned char n1,
                                                  unsigned char a2, unsigned char n2) {
    return typed_call(h, __func__, {tsc, usf, gamma, a1, n1, a2, n2}, {});
}
unsigned char QLIB_FTM_EGPRS_BER_Establish_SRB_LOOPBACK(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_FTM_EGPRS_BER_Release_All_TBF(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_FTM_EGPRS_BER_ClearStatus(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_FTM_EGPRS_BER_GetStatus(QmslHandle h, QMSL_EGPRS_BER_Status* s) {
    return typed_call(h, __func__, {}, {out_bytes(s, s ? sizeof *s : 0)});
}
unsigned char QLIB_FTM_EGPRS_BER_GetRxMetrics(QmslHandle h, unsigned char* lev) {
    return typed_call(h, __func__, {}, {out(lev)});
}

// --- WCDMA ---
unsigned char QLIB_FTM_WCDMA_BER_StartSession(QmslHandle h, unsigned long t) {
    return typed_call(h, __func__, {ms(t)}, {});
}
unsigned char QLIB_FTM_WCDMA_BER_StopSession(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_FTM_WCDMA_BER_AcquirePilot(QmslHandle h, unsigned short c) {
    return typed_call(h, __func__, {c}, {});
}
unsigned char QLIB_FTM_WCDMA_BER_SetupRMC_DCH(QmslHandle h, unsigned char type, unsigned char pwr, unsigned int scr,
                                              unsigned char pca, unsigned char tpc, unsigned short dlScr,
                                              unsigned short dlCode) {
    return typed_call(h, __func__, {type, pwr, static_cast<long long>(scr), pca, tpc, dlScr, dlCode}, {});
}
unsigned char QLIB_FTM_WCDMA_BER_SetupDefaultRMC_DCH(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_FTM_WCDMA_BER_ClearStatus(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_FTM_WCDMA_BER_GetStatus(QmslHandle h, unsigned char* s) {
    return typed_call(h, __func__, {}, {out(s)});
}
unsigned char QLIB_FTM_WCDMA_BER_Handover(QmslHandle h, unsigned char type, unsigned char pwr, unsigned int scr,
                                          unsigned char pca, unsigned char tpc, unsigned short dlScr,
                                          unsigned short dlCode, unsigned char betaC, unsigned char betaD,
                                          unsigned short c) {
    return typed_call(h, __func__, {type, pwr, static_cast<long long>(scr), pca, tpc, dlScr, dlCode, betaC, betaD, c},
                      {});
}
unsigned char QLIB_FTM_WCDMA_AGC_Start_Log(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_FTM_WCDMA_AGC_WaitForNextLog(QmslHandle h, QMSL_WCDMA_AGC_Log* log, unsigned long t) {
    return typed_call(h, __func__, {ms(t)}, {out_bytes(log, log ? sizeof *log : 0)});
}
unsigned char QLIB_FTM_WCDMA_AGC_Stop_Log(QmslHandle h) { return typed_call(h, __func__, {}, {}); }

// --- HSDPA ---
unsigned char QLIB_FTM_HSDPA_BER_StartSession(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_FTM_HSDPA_BER_StopSession(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_FTM_HSDPA_BER_ClearStatus(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_FTM_HSDPA_BER_GetStatus(QmslHandle h, unsigned char* s) {
    return typed_call(h, __func__, {}, {out(s)});
}
unsigned char QLIB_FTM_HSDPA_BLER_Reconfigure_HS(QmslHandle h, unsigned char m) {
    return typed_call(h, __func__, {m}, {});
}
unsigned char QLIB_FTM_HSDPA_BLER_Configure_PDSCH(QmslHandle h, unsigned short psc) {
    return typed_call(h, __func__, {psc}, {});
}
unsigned char QLIB_FTM_HSDPA_BLER_Configure_HS_SCCH(QmslHandle h, unsigned char n, const unsigned char* codes) {
    return typed_call(h, __func__, {n, bytes(codes, n)}, {});
}
unsigned char QLIB_FTM_HSDPA_BLER_Configure_HS_DSCH(QmslHandle h, unsigned short rnti, unsigned char n,
                                                    unsigned char valid, const unsigned char* partition) {
    return typed_call(h, __func__, {rnti, n, valid, bytes(partition, n)}, {});
}
unsigned char QLIB_FTM_HSDPA_BLER_Configure_HS_DPCCH(QmslHandle h, unsigned char a, unsigned char b, unsigned char c,
                                                     unsigned char d, unsigned char e, unsigned char f,
                                                     unsigned char g) {
    return typed_call(h, __func__, {a, b, c, d, e, f, g}, {});
}
