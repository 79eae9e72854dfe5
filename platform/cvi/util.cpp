#include "cvi_util.h"

#include "pclock.h"

#include <cmath>

void Delay(double seconds) {
    if (!(seconds > 0)) return;
    pclock::sleep_ms(static_cast<pclock::Millis>(std::llround(seconds * 1000.0)));
}

double Timer(void) { return static_cast<double>(pclock::now_ms()) / 1000.0; }
