// Phone logging: the phone keeps the logging settings the calls make, hands
// out the logs and debug messages a test set, and writes the asynchronous
// messages into the connection's text log on a dump.
#include "qmsl_logging.h"
#include "qmsl_logging_sim.h"

#include "library.h"

#include "pclock.h"

#include <cstring>

using namespace qmsl_sim;

namespace {
In text(const char* s) { return In(s, s ? std::strlen(s) : 0); }
} // namespace

unsigned char QLIB_DIAG_SetPhoneLoggingState(QmslHandle h, unsigned char bEnableLogging) {
    return typed_call(h, __func__, {bEnableLogging}, {});
}
unsigned char QLIB_DIAG_ClearPhoneLogQueue(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_DIAG_GetNextPhoneLog(QmslHandle h, unsigned short* piLogSize, unsigned char* pLogBuffer,
                                        int iTimeOut) {
    if (!piLogSize || !pLogBuffer) return 0;
    *piLogSize = 0;
    return typed_call(h, __func__, {iTimeOut}, {out(piLogSize), out_bytes(pLogBuffer, QMSL_PHONE_LOG_MAX)});
}
unsigned char QLIB_DIAG_SetExtendedLogCode(QmslHandle h, unsigned char iEquipmentID, unsigned short iLogCode,
                                           unsigned short iLastItem) {
    return typed_call(h, __func__, {iEquipmentID, iLogCode, iLastItem}, {});
}
unsigned char QLIB_DIAG_SetMessageFilter(QmslHandle h, unsigned short iSSID, unsigned short iRT_MASK) {
    return typed_call(h, __func__, {iSSID, iRT_MASK}, {});
}
unsigned char QLIB_DumpAsyncMessageToTextLog(QmslHandle h, unsigned int iLevel, unsigned char iOption1,
                                             unsigned char iOption2, unsigned char iOption3) {
    return typed_call(h, __func__, {iLevel, iOption1, iOption2, iOption3}, {});
}
unsigned char QLIB_DIAG_FindDebugMessage(QmslHandle h, const char* sSearchString, unsigned char* pbFoundMessage,
                                         int* piArg1, int* piArg2, int* piArg3) {
    if (!sSearchString) return 0;
    return typed_call(h, __func__, {text(sSearchString)},
                      {out(pbFoundMessage), out(piArg1), out(piArg2), out(piArg3)});
}

namespace qmsl_sim {

PhoneLogging& logging(Phone& phone) {
    return family_state_of<PhoneLogging>(phone, "logging");
}

} // namespace qmsl_sim

namespace {

const bool registered = [] {
    set_default_handler("QLIB_DIAG_SetPhoneLoggingState", [](Phone& p, const Call& c) {
        logging(p).enabled = c.in[0].value != 0;
        return true;
    });
    set_default_handler("QLIB_DIAG_ClearPhoneLogQueue", [](Phone& p, const Call&) {
        logging(p).logs.clear();
        return true;
    });
    set_default_handler("QLIB_DIAG_GetNextPhoneLog", [](Phone& p, const Call& c) {
        auto& logs = logging(p).logs;
        if (logs.empty()) {
            pclock::sleep_ms(c.in[0].value);  // nothing comes within the time-out
            return false;
        }
        std::vector<std::uint8_t> log = std::move(logs.front());
        logs.pop_front();
        if (log.size() > QMSL_PHONE_LOG_MAX) log.resize(QMSL_PHONE_LOG_MAX);
        c.set(0, static_cast<long long>(log.size()));
        c.set_bytes(1, log);
        return true;
    });
    set_default_handler("QLIB_DIAG_SetExtendedLogCode", [](Phone& p, const Call& c) {
        logging(p).log_codes.push_back({static_cast<std::uint8_t>(c.in[0].value), static_cast<std::uint16_t>(c.in[1].value),
                                        static_cast<std::uint16_t>(c.in[2].value)});
        return true;
    });
    set_default_handler("QLIB_DIAG_SetMessageFilter", [](Phone& p, const Call& c) {
        logging(p).filters[static_cast<std::uint16_t>(c.in[0].value)] = static_cast<std::uint16_t>(c.in[1].value);
        return true;
    });
    set_default_handler("QLIB_DumpAsyncMessageToTextLog", [](Phone& p, const Call& c) {
        auto& messages = logging(p).async_messages;
        for (const std::string& m : messages)
            p.text_log.push_back({c.handle, static_cast<unsigned>(c.in[0].value), m});
        messages.clear();
        return true;
    });
    set_default_handler("QLIB_DIAG_FindDebugMessage", [](Phone& p, const Call& c) {
        const std::string wanted(c.in[0].bytes.begin(), c.in[0].bytes.end());
        for (const DebugMessage& m : logging(p).debug_messages) {
            if (m.text.find(wanted) == std::string::npos) continue;
            c.set(0, 1);
            for (std::size_t i = 0; i < 3; ++i) c.set(i + 1, m.args[i]);
            return true;
        }
        for (std::size_t i = 0; i < 4; ++i) c.set(i, 0);
        return true;
    });
    return true;
}();

} // namespace
