// The panel's callbacks, bound by name from Tamsel.uir: exported from the
// program. Each acts on a commit only and returns 0 or -1.
#pragma once

#include "cvi_panel.h"

#define TAMSEL_CALLBACK(name) \
    int CVICALLBACK name(int panel, int control, int event, void* callbackData, int eventData1, int eventData2)

#ifdef __cplusplus
extern "C" {
#endif

TAMSEL_CALLBACK(cmdquit);
TAMSEL_CALLBACK(cmdftmmode);
TAMSEL_CALLBACK(cmdmoboff);
TAMSEL_CALLBACK(cmdsetftmflag);
TAMSEL_CALLBACK(cmdwriteimei);
TAMSEL_CALLBACK(cmdreadbtaddr);
TAMSEL_CALLBACK(cmdwritebtaddr);
TAMSEL_CALLBACK(cmdled);
TAMSEL_CALLBACK(cmdservicecode);
TAMSEL_CALLBACK(cmdwriteservicecodetonv);
TAMSEL_CALLBACK(cmdwriteklfbyte);
TAMSEL_CALLBACK(cmdvariant);
TAMSEL_CALLBACK(cmdreadvariant);

#ifdef __cplusplus
}
#endif

// The body of a callback, with the frame of TamselRunCommand around it.
#define TAMSEL_COMMAND(name, title, body)                                      \
    extern "C" TAMSEL_CALLBACK(name) {                                         \
        (void)control, (void)callbackData, (void)eventData1, (void)eventData2; \
        return TamselRunCommand(panel, event, title, body);                    \
    }
