#include "pclock.h"

#include <chrono>
#include <map>
#include <thread>
#include <utility>

namespace pclock {
namespace {

struct Task {
    Millis when;
    TaskId id;
    bool operator<(const Task& o) const { return when != o.when ? when < o.when : id < o.id; }
};

struct State {
    bool virtual_mode = false;
    Millis virtual_now = 0;
    std::chrono::steady_clock::time_point real_start = std::chrono::steady_clock::now();
    TaskId next_id = 1;
    std::map<Task, std::function<void()>> tasks;
};

State& state() {
    static State s;
    return s;
}

Millis real_now(const State& s) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - s.real_start)
        .count();
}

// Takes out the earliest task due at or before `limit`, if any.
bool pop_due(Millis limit, Millis& when, std::function<void()>& fn) {
    State& s = state();
    if (s.tasks.empty() || s.tasks.begin()->first.when > limit) return false;
    auto it = s.tasks.begin();
    when = it->first.when;
    fn = std::move(it->second);
    s.tasks.erase(it);
    return true;
}

} // namespace

Millis now_ms() {
    State& s = state();
    return s.virtual_mode ? s.virtual_now : real_now(s);
}

void run_due() {
    Millis when;
    std::function<void()> fn;
    while (pop_due(now_ms(), when, fn)) fn();
}

void sleep_ms(Millis ms) {
    if (ms < 0) ms = 0;
    State& s = state();
    if (s.virtual_mode) {
        const Millis end = s.virtual_now + ms;
        Millis when;
        std::function<void()> fn;
        while (pop_due(end, when, fn)) {
            if (when > s.virtual_now) s.virtual_now = when;
            fn();
        }
        if (end > s.virtual_now) s.virtual_now = end;
        return;
    }
    const Millis end = real_now(s) + ms;
    for (;;) {
        run_due();
        Millis now = real_now(s);
        if (now >= end) break;
        Millis next = end;
        if (!s.tasks.empty() && s.tasks.begin()->first.when < next) next = s.tasks.begin()->first.when;
        if (next > now) std::this_thread::sleep_for(std::chrono::milliseconds(next - now));
    }
}

TaskId schedule_at(Millis when, std::function<void()> fn) {
    State& s = state();
    TaskId id = s.next_id++;
    s.tasks.emplace(Task{when, id}, std::move(fn));
    return id;
}

TaskId schedule_after(Millis delay, std::function<void()> fn) {
    return schedule_at(now_ms() + (delay < 0 ? 0 : delay), std::move(fn));
}

void cancel(TaskId id) {
    State& s = state();
    for (auto it = s.tasks.begin(); it != s.tasks.end(); ++it) {
        if (it->first.id == id) {
            s.tasks.erase(it);
            return;
        }
    }
}

std::size_t pending() { return state().tasks.size(); }

void use_virtual_time(Millis start) {
    State& s = state();
    s.virtual_mode = true;
    s.virtual_now = start;
    s.tasks.clear();
}

void use_real_time() {
    State& s = state();
    s.virtual_mode = false;
    s.tasks.clear();
}

bool is_virtual() { return state().virtual_mode; }

} // namespace pclock
