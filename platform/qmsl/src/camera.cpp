// Camera commands: the phone keeps the selected sensor and whether it runs,
// and answers the status a test set for each command.
#include "qmsl_camera.h"
#include "qmsl_camera_sim.h"

#include "library.h"

using namespace qmsl_sim;

unsigned char QLIB_FTM_CAMERA_SET_SENSOR_ID(QmslHandle h, unsigned char iSensorId, unsigned short* piCameraStatus) {
    return typed_call(h, __func__, {iSensorId}, {out(piCameraStatus)});
}
unsigned char QLIB_FTM_CAMERA_START(QmslHandle h, unsigned short* piCameraStatus) {
    return typed_call(h, __func__, {}, {out(piCameraStatus)});
}
unsigned char QLIB_FTM_CAMERA_STOP(QmslHandle h, unsigned short* piCameraStatus) {
    return typed_call(h, __func__, {}, {out(piCameraStatus)});
}

namespace qmsl_sim {

Camera& camera(Phone& phone) {
    return family_state_of<Camera>(phone, "camera");
}

} // namespace qmsl_sim

namespace {

// Answers the command's status; only a status of 0 lets the command act.
bool answerStatus(Phone& p, const Call& c) {
    const auto& statuses = camera(p).statuses;
    auto it = statuses.find(c.name);
    const std::uint16_t status = it == statuses.end() ? 0 : it->second;
    c.set(0, status);
    return status == 0;
}

const bool registered = [] {
    set_default_handler("QLIB_FTM_CAMERA_SET_SENSOR_ID", [](Phone& p, const Call& c) {
        if (answerStatus(p, c)) camera(p).sensor = static_cast<int>(c.in[0].value);
        return true;
    });
    set_default_handler("QLIB_FTM_CAMERA_START", [](Phone& p, const Call& c) {
        if (answerStatus(p, c)) camera(p).running = true;
        return true;
    });
    set_default_handler("QLIB_FTM_CAMERA_STOP", [](Phone& p, const Call& c) {
        if (answerStatus(p, c)) camera(p).running = false;
        return true;
    });
    return true;
}();

} // namespace
