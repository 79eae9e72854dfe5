// Phone data from the database: service code, flash serial number, the
// SIM-data coder; and the test report.
#include "pellin_internal.h"

#include "varndb.h"

#include <algorithm>
#include <cstring>
#include <string>

using pellin_test::Call;

namespace {

// The back-end's service code as text; false when the database has none.
int serviceCodeText(const char* imei, std::string& code, char* errText) {
#ifdef PELLIN_WITH_CORVANE
    int value = -1;
    if (int r = varndb_getServiceCode(imei, &value, errText)) return r;
    if (value < 0) {
        pellin::put_text(errText, "pellin_GetServiceCode: no service code for %s", imei);
        return -1;
    }
    code = std::to_string(value);
#else
    char text[VARNDB_ERRTEXT_SIZE] = "";
    if (int r = varndb_getCharServiceCode(imei, text, errText)) return r;
    code = text;
#endif
    if (code.empty() || code == "-1") {
        pellin::put_text(errText, "pellin_GetServiceCode: no service code for %s", imei);
        return -1;
    }
    // A code kept as a number has lost its leading zeros.
    if (std::all_of(code.begin(), code.end(), [](char ch) { return ch >= '0' && ch <= '9'; }) && code.size() < 6)
        code.insert(0, 6 - code.size(), '0');
    return 0;
}

} // namespace

int pellin_GetServiceCode(const char* imei, char* code, char* errText) {
    return pellin::guarded(errText, [&] {
        const std::string id = imei ? imei : "";
        if (!imei || !code) {
            pellin::put_text(errText, "pellin_GetServiceCode: no IMEI or no buffer");
            return -1;
        }
        std::string text;
        if (auto s = pellin::enter(Call{"pellin_GetServiceCode", {id}, {}, {}})) {
            if (s->result != 0) return pellin::scripted(*s, errText);
            text = s->output;
        } else if (int r = serviceCodeText(imei, text, errText)) {
            return r;
        }
        text.resize(std::min<std::size_t>(text.size(), PELLIN_SERVICE_CODE_SIZE - 1));
        std::memcpy(code, text.c_str(), text.size() + 1);
        return 0;
    });
}

int pellin_GetFlashSerialNumber(unsigned char* fsn, int* len, char* errText) {
    return pellin::guarded(errText, [&] {
        if (!fsn || !len || *len < PELLIN_FSN_LENGTH) {
            pellin::put_text(errText, "pellin_GetFlashSerialNumber: needs a buffer of %d bytes", PELLIN_FSN_LENGTH);
            return -1;
        }
        unsigned char got[PELLIN_FSN_LENGTH] = {};
        int n = PELLIN_FSN_LENGTH;
        if (auto s = pellin::enter(Call{"pellin_GetFlashSerialNumber", {}, {*len}, {}})) {
            if (s->result != 0) return pellin::scripted(*s, errText);
            n = static_cast<int>(std::min<std::size_t>(s->bytes.size(), PELLIN_FSN_LENGTH + 1));
            std::copy_n(s->bytes.begin(), std::min<std::size_t>(s->bytes.size(), PELLIN_FSN_LENGTH), got);
        } else if (int r = varndb_getFlashSerialNumber(got, &n, errText)) {
            return r;
        }
        if (n != PELLIN_FSN_LENGTH) {
            pellin::put_text(errText, "pellin_GetFlashSerialNumber: %d bytes instead of %d", n, PELLIN_FSN_LENGTH);
            return -1;
        }
        std::memcpy(fsn, got, PELLIN_FSN_LENGTH);
        *len = PELLIN_FSN_LENGTH;
        return 0;
    });
}

int pellin_GetSimDataFromCoder(const void* request, void* answer, char* errText) {
    return pellin::guarded(errText, [&] {
        if (!request || !answer) {
            pellin::put_text(errText, "pellin_GetSimDataFromCoder: no request or no answer");
            return -1;
        }
        auto in = static_cast<const unsigned char*>(request);
        unsigned char out[PELLIN_SIMDATA_ANSWER_SIZE];
        std::memcpy(out, answer, sizeof out);
        int n = PELLIN_SIMDATA_ANSWER_SIZE;
        Call call{"pellin_GetSimDataFromCoder", {}, {}, {in, in + PELLIN_SIMDATA_REQUEST_SIZE}};
        if (auto s = pellin::enter(std::move(call))) {
            if (s->result != 0) return pellin::scripted(*s, errText);
            n = static_cast<int>(s->bytes.size());
            std::copy_n(s->bytes.begin(), std::min<std::size_t>(s->bytes.size(), sizeof out), out);
        } else if (int r = varndb_GetData(PELLIN_SIMDATA_CODER, in, PELLIN_SIMDATA_REQUEST_SIZE, out, &n, errText)) {
            return r;
        }
        if (n != PELLIN_SIMDATA_ANSWER_SIZE) {
            pellin::put_text(errText, "pellin_GetSimDataFromCoder: answer of %d bytes instead of %d", n,
                             PELLIN_SIMDATA_ANSWER_SIZE);
            return -1;
        }
        std::memcpy(answer, out, sizeof out);
        return 0;
    });
}

int pellin_fctPrepWSimT48(int a, int b) {
    return pellin::guarded(nullptr, [&] {
        if (auto s = pellin::enter(Call{"pellin_fctPrepWSimT48", {}, {a, b}, {}})) return s->result;
        return 0;
    });
}

int pellin_DoMeroReport(const void* report, char* errText) {
    return pellin::guarded(errText, [&] {
        if (!report) {
            pellin::put_text(errText, "pellin_DoMeroReport: no report");
            return -1;
        }
        auto bytes = static_cast<const unsigned char*>(report);
        if (auto s = pellin::enter(Call{"pellin_DoMeroReport", {}, {}, {bytes, bytes + PELLIN_REPORT_SIZE}}))
            return pellin::scripted(*s, errText);
        std::int32_t version = 0;
        std::memcpy(&version, bytes, sizeof version);
        if (version != 1) {
            pellin::put_text(errText, "pellin_DoMeroReport: report version %d, expected 1", version);
            return -1;
        }
        static_assert(sizeof(Varn_DorlepData) + 4 == PELLIN_REPORT_SIZE);
        Varn_DorlepData rec;
        std::memcpy(&rec, bytes + 4, sizeof rec);
        return varndb_WriteReport(&rec, errText);
    });
}
