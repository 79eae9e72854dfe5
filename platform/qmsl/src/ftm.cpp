// Typed factory-test-mode commands. The phone accepts them; tests read the
// journal and set results or faults per function.
#include "qmsl_ftm.h"

#include "library.h"

using namespace qmsl_sim;

unsigned char QLIB_FTM_SET_PMIC_DRIVE_LEVEL(QmslHandle h, int device, int level) {
    return typed_call(h, __func__, {device, level}, {});
}
