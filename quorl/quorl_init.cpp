// quorl_init: the resource-string parser.
#include "quorl_state.h"

#include "cvi_string.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kFieldCount = 11;
constexpr size_t kFieldMax = 51;

// Fields (0-based) whose words are compared lower-cased: the object type,
// the keys and the mode value.
constexpr int kLowerCasedFields[] = {0, 1, 3, 5, 6, 7, 9};

struct ResourceFields {
    char cField[kFieldCount][kFieldMax + 1];
};

// Splits at single ':' characters. A field the text does not hold stays
// empty; an empty field ends the scan, so every later field is empty too.
// False when a scanned field is longer than kFieldMax.
bool SplitResource(const char* cText, ResourceFields& fields) {
    std::memset(&fields, 0, sizeof fields);
    const char* p = cText;
    for (int i = 0; i < kFieldCount; ++i) {
        const size_t len = std::strcspn(p, ":");
        if (len == 0) break;
        if (len > kFieldMax) return false;
        std::memcpy(fields.cField[i], p, len);
        p += len;
        if (*p != ':') break;
        ++p;
    }
    return true;
}

// Reads a leading decimal number as "%d" would; false when there is none.
bool ReadInt(const char* cText, int32_t& value) {
    char* end = nullptr;
    long v = std::strtol(cText, &end, 10);
    if (end == cText) return false;
    if (v > INT32_MAX) v = INT32_MAX;
    if (v < INT32_MIN) v = INT32_MIN;
    value = static_cast<int32_t>(v);
    return true;
}

int32_t CheckKey(const ResourceFields& fields, int iField, const char* cKey) {
    return std::strcmp(fields.cField[iField], cKey) == 0 ? QUORL_SUCCESS : QUORL_ERROR_RESOURCE;
}

// Steps of the parse in their order; what a step stored stays when a later
// step fails.
int32_t ApplyResource(const ResourceFields& f) {
    int32_t status;
    if (std::strcmp(f.cField[0], "server") == 0) {
        gObjectType = kObjectServer;
    } else if (std::strcmp(f.cField[0], "client") == 0) {
        gObjectType = kObjectClient;
    } else {
        return QUORL_ERROR_OBJECT_TYPE;
    }
    if ((status = CheckKey(f, 1, "portnr")) != QUORL_SUCCESS) return status;
    ReadInt(f.cField[2], gPortNr);
    if (gPortNr != 11111 && gPortNr != 22222) return QUORL_ERROR_PORT;
    if ((status = CheckKey(f, 3, "ipadr")) != QUORL_SUCCESS) return status;
    if ((status = CheckKey(f, 5, "mode")) != QUORL_SUCCESS) return status;
    if (std::strcmp(f.cField[6], "filecheck") != 0) return QUORL_ERROR_MODE;
    gFileCheck = 0;
    if ((status = CheckKey(f, 7, "txdelay")) != QUORL_SUCCESS) return status;
    gTxDelay = std::atof(f.cField[8]);
    return CheckKey(f, 9, "rxdelay");
}

} // namespace

int32_t quorl_init(const char* resource, uint32_t* session) {
    gObjectType = kObjectInvalid;
    ResourceFields fields;
    int32_t status = QUORL_ERROR_RESOURCE;
    if (SplitResource(resource != nullptr ? resource : "", fields)) {
        for (int i : kLowerCasedFields) StringLowerCase(fields.cField[i]);
        status = ApplyResource(fields);
    }
    if (session != nullptr) *session = status == QUORL_SUCCESS ? kSession : 0;
    return status;
}
