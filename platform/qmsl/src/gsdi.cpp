// Typed SIM-side commands. The journal keeps the slot, the application id and
// the data; the statuses and read data are the outputs a test set.
#include "qmsl_gsdi.h"

#include "library.h"

using namespace qmsl_sim;

namespace {
In appId(unsigned char n, const unsigned char* id) { return In(id, id ? n : 0); }
} // namespace

unsigned char QLIB_GSDIDIAG_ACTIVATE_ONCHIP_SIM_CMD(QmslHandle h, unsigned char slot, unsigned char n,
                                                    const unsigned char* id, unsigned int* cmd, unsigned int* st) {
    return typed_call(h, __func__, {slot, appId(n, id)}, {out(cmd), out(st)});
}
unsigned char QLIB_GSDIDIAG_SIM_SECURE_STORE_CMD(QmslHandle h, unsigned char slot, unsigned char n,
                                                 const unsigned char* id, unsigned short len,
                                                 const unsigned char* data, unsigned int* cmd, unsigned int* st) {
    return typed_call(h, __func__, {slot, appId(n, id), In(data, data ? len : 0)}, {out(cmd), out(st)});
}
unsigned char QLIB_GSDIDIAG_SIM_SECURE_READ_CMD(QmslHandle h, unsigned char slot, unsigned char n,
                                                const unsigned char* id, unsigned short* len, unsigned char* data,
                                                unsigned int* cmd, unsigned int* st) {
    const std::size_t room = len ? *len : 0;
    return typed_call(h, __func__, {slot, appId(n, id), static_cast<long long>(room)},
                      {out(len), out_bytes(data, data ? room : 0), out(cmd), out(st)});
}
unsigned char QLIB_GSDIDIAG_SECURE_DEVICE_INFO_CMD(QmslHandle h, unsigned char slot, unsigned char n,
                                                   const unsigned char* id, unsigned int* cmd, unsigned int* st) {
    return typed_call(h, __func__, {slot, appId(n, id)}, {out(cmd), out(st)});
}
unsigned char QLIB_GSDIDIAG_ROOT_KEY_WRITE_CMD(QmslHandle h, unsigned char slot, unsigned char n,
                                               const unsigned char* id, unsigned short len, const unsigned char* key,
                                               unsigned int* cmd, unsigned int* st) {
    return typed_call(h, __func__, {slot, appId(n, id), In(key, key ? len : 0)}, {out(cmd), out(st)});
}
unsigned char QLIB_GSDIDIAG_ROOT_KEY_READ_CMD(QmslHandle h, unsigned char slot, unsigned char n,
                                              const unsigned char* id, unsigned short* len, unsigned char* key,
                                              unsigned int* cmd, unsigned int* st) {
    return typed_call(h, __func__, {slot, appId(n, id)},
                      {out(len), out_bytes(key, key ? QMSL_ROOT_KEY_MAX : 0), out(cmd), out(st)});
}
