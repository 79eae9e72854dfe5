#include "gorvid.h"

namespace {

struct Sessions {
    int tracer = 0;
    int quorl = 0;
};

Sessions& sessions() {
    static Sessions s;
    return s;
}

} // namespace

int GorvidPut_SesTracer(int session) {
    sessions().tracer = session;
    return 0;
}

int GorvidGet_SesTracer(void) { return sessions().tracer; }

int GorvidPut_SesQuorl(int session) {
    sessions().quorl = session;
    return 0;
}

int GorvidGet_SesQuorl(void) { return sessions().quorl; }
