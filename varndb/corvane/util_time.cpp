#include "util_time.h"

#include <cstdio>
#include <ctime>

namespace util {

Time::Time(const std::string& name) : name_(name.substr(0, 254)) { now(startStamp_); }

Time::~Time() {
    stop();
    if (!name_.empty())
        std::printf("%s: %s-%s=>Elapsed: %s\n", name_.c_str(), startText(), stopText(), elapsedText());
}

const char* Time::start() {
    now(startStamp_);
    return startText();
}

const char* Time::stop() {
    now(stopStamp_);
    return stopText();
}

const char* Time::startText() {
    format(startStamp_, startBuf_);
    return startBuf_;
}

const char* Time::stopText() {
    if (!stopped())
        std::snprintf(stopBuf_, sizeof stopBuf_, "Xd XX:XX:XX XXms");
    else
        format(stopStamp_, stopBuf_);
    return stopBuf_;
}

Time::Stamp Time::difference() {
    if (!stopped()) stop();
    Stamp d{stopStamp_.seconds - startStamp_.seconds, stopStamp_.millis - startStamp_.millis};
    if (d.millis < 0) {
        d.millis += 1000;
        d.seconds -= 1;
    }
    return d;
}

const char* Time::elapsedText() {
    format(difference(), elapsedBuf_);
    return elapsedBuf_;
}

double Time::elapsedSeconds() {
    Stamp d = difference();
    return static_cast<double>(d.seconds) + d.millis * 0.001;
}

void Time::now(Stamp& stamp) {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    stamp.seconds = ts.tv_sec;
    stamp.millis = static_cast<int>(ts.tv_nsec / 1000000);
}

void Time::format(const Stamp& stamp, char* text) {
    const std::int64_t days = stamp.seconds / 86400;
    int hour = static_cast<int>((stamp.seconds / 3600) % 24);
    int minute = static_cast<int>((stamp.seconds / 60) % 60);
    int second = static_cast<int>(stamp.seconds % 60);
    int used = 0;
    if (days >= 100) {
        // A calendar time.
        std::time_t t = static_cast<std::time_t>(stamp.seconds);
        std::time_t today = std::time(nullptr);
        std::tm at{}, now{};
        localtime_r(&t, &at);
        localtime_r(&today, &now);
        if (at.tm_mday != now.tm_mday)
            used = std::snprintf(text, 80, "%d.%d.%d ", at.tm_mday, at.tm_mon + 1, at.tm_year + 1900);
        // Local time throughout, so that zones off by half an hour show
        // their own minutes.
        hour = at.tm_hour;
        minute = at.tm_min;
        second = at.tm_sec;
    } else if (days > 0) {
        used = std::snprintf(text, 80, "%dd ", static_cast<int>(days));
    }
    std::snprintf(text + used, 80 - used, "%d:%d:%d %d ms", hour, minute, second, stamp.millis);
}

} // namespace util
