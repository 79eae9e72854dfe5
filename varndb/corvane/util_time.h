// util::Time: a stopwatch and time stamp. connect() uses its start time for
// the client id; named stopwatches print their run time when destroyed.
#pragma once

#include <cstdint>
#include <string>

namespace util {

class Time {
public:
    // Seconds since 1970 and milliseconds.
    struct Stamp {
        std::int64_t seconds = 0;
        int millis = 0;
    };

    explicit Time(const std::string& name = "");
    virtual ~Time();
    Time(const Time&) = delete;
    Time& operator=(const Time&) = delete;

    virtual const char* start();
    virtual const char* stop();
    virtual const char* startText();
    // "Xd XX:XX:XX XXms" while not stopped.
    virtual const char* stopText();
    // Stops when not stopped; the run time as text.
    virtual const char* elapsedText();
    virtual double elapsedSeconds();
    virtual void now(Stamp& stamp);
    // Up to 99 days: a duration ("%dd " when at least one day); beyond: a
    // calendar time in local time, with "day.month.year " when not today.
    virtual void format(const Stamp& stamp, char* text);

    const Stamp& startStamp() const { return startStamp_; }
    bool stopped() const { return stopStamp_.seconds != -1 || stopStamp_.millis != -1; }

private:
    Stamp difference();

    std::string name_;  // at most 254 characters
    char startBuf_[80] = {};
    char stopBuf_[80] = {};
    char elapsedBuf_[80] = {};
    Stamp startStamp_;
    Stamp stopStamp_{-1, -1};  // all ones: not stopped
};

} // namespace util
