// Camera commands beyond sensor selection: recorded, with the outputs a test
// sets (set_outputs) and the camera status of the camera's status table.
#include "qmsl_camera_picture.h"
#include "qmsl_camera_sim.h"

#include "library.h"

using namespace qmsl_sim;

unsigned char QLIB_FTM_CAMERA_SET_PARM(QmslHandle h, unsigned short id, int value, unsigned short* st) {
    return typed_call(h, __func__, {id, value}, {out(st)});
}
unsigned char QLIB_FTM_CAMERA_SET_DIMENSIONS(QmslHandle h, unsigned short w, unsigned short ht, unsigned short lcd,
                                             unsigned short* st) {
    return typed_call(h, __func__, {w, ht, lcd}, {out(st)});
}
unsigned char QLIB_FTM_CAMERA_START_PREVIEW(QmslHandle h, unsigned short* st) {
    return typed_call(h, __func__, {}, {out(st)});
}
unsigned char QLIB_FTM_CAMERA_STOP_PREVIEW(QmslHandle h, unsigned short* st) {
    return typed_call(h, __func__, {}, {out(st)});
}
unsigned char QLIB_FTM_CAMERA_TAKE_PICTURE_AND_ENCODE(QmslHandle h, int q, unsigned short fmt, int* size,
                                                      unsigned short* st) {
    return typed_call(h, __func__, {q, fmt}, {out(size), out(st)});
}
unsigned char QLIB_FTM_CAMERA_GET_PICTURE(QmslHandle h, int offset, unsigned short size, unsigned char* data,
                                          unsigned short* st) {
    return typed_call(h, __func__, {offset, size}, {out_bytes(data, data ? size : 0), out(st)});
}
unsigned char QLIB_FTM_CAMERA_GET_PARM(QmslHandle h, unsigned short id, int* min, int* max, int* step, int* def,
                                       int* cur, unsigned short* st) {
    return typed_call(h, __func__, {id}, {out(min), out(max), out(step), out(def), out(cur), out(st)});
}
unsigned char QLIB_FTM_CAMERA_GET_INFO(QmslHandle h, unsigned short* w, unsigned short* ht, unsigned short* fps,
                                       unsigned char* rot, unsigned short* defRot, unsigned short* defOrient,
                                       unsigned short* st) {
    return typed_call(h, __func__, {}, {out(w), out(ht), out(fps), out(rot), out(defRot), out(defOrient), out(st)});
}
unsigned char QLIB_FTM_CAMERA_PerformTakePictureSequence(QmslHandle h, unsigned char autoSize, unsigned short w,
                                                         unsigned short ht, unsigned short delay, int q,
                                                         unsigned short fmt, unsigned int target, unsigned short* st) {
    return typed_call(h, __func__, {autoSize, w, ht, delay, q, fmt, target}, {out(st)});
}
unsigned char QLIB_FTM_CAMERA_GetEntirePicture(QmslHandle h, int size, unsigned short xfer, unsigned int target,
                                               unsigned short* st) {
    return typed_call(h, __func__, {size, xfer, target}, {out(st)});
}

namespace {

// The outputs a test set, then the camera status of the status table (0
// unless set) in the last output.
bool answer(Phone& p, const Call& c) {
    give_outputs(p, c);
    const auto& statuses = camera(p).statuses;
    auto it = statuses.find(c.name);
    c.set(c.out.size() - 1, it == statuses.end() ? 0 : it->second);
    return true;
}

const bool registered = [] {
    for (const char* fn : {"QLIB_FTM_CAMERA_SET_PARM", "QLIB_FTM_CAMERA_SET_DIMENSIONS", "QLIB_FTM_CAMERA_START_PREVIEW",
                           "QLIB_FTM_CAMERA_STOP_PREVIEW", "QLIB_FTM_CAMERA_TAKE_PICTURE_AND_ENCODE",
                           "QLIB_FTM_CAMERA_GET_PICTURE", "QLIB_FTM_CAMERA_GET_PARM", "QLIB_FTM_CAMERA_GET_INFO",
                           "QLIB_FTM_CAMERA_PerformTakePictureSequence", "QLIB_FTM_CAMERA_GetEntirePicture"})
        set_default_handler(fn, answer);
    return true;
}();

} // namespace
