// Trace sessions: outputs, numbered files and the in-memory capture.
#include "settings.h"
#include "tracer_test.h"

#include "cvi_shown_text.h"

#include <cstdio>
#include <map>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

struct Session {
    tracer::Settings settings;
    std::unique_ptr<std::FILE, FileCloser> file;
};

struct State {
    std::map<TracerSession, Session> sessions;
    TracerSession next = 1;
    std::vector<std::pair<TracerSession, std::string>> captured;
    bool capture = false;  // on once a test asks for the lines
};

State& state() {
    static State s;
    return s;
}

Session* find(TracerSession id) {
    auto it = state().sessions.find(id);
    return it == state().sessions.end() ? nullptr : &it->second;
}

std::string numbered(const std::string& base, int n) {
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, ".%03d", n);
    return base + suffix;
}

// Moves name.(n) to name.(n+1) from the top down; the file at max is dropped.
void rotate(const tracer::Settings& settings) {
    std::remove(numbered(settings.file_name, settings.max_files).c_str());
    for (int n = settings.max_files - 1; n >= 1; --n)
        std::rename(numbered(settings.file_name, n).c_str(), numbered(settings.file_name, n + 1).c_str());
}

} // namespace

int tracer_init(const char* settings, TracerSession* session) {
    if (!settings || !session) return TRACER_ERR_ARG;
    auto parsed = tracer::parse_settings(settings);
    if (!parsed) return TRACER_ERR_SETTINGS;
    State& s = state();
    const TracerSession id = s.next++;
    s.sessions[id] = Session{*parsed, nullptr};
    *session = id;
    return TRACER_OK;
}

int tracer_openFile(TracerSession session) {
    Session* s = find(session);
    if (!s) return TRACER_ERR_SESSION;
    if (!s->settings.file) return TRACER_OK;
    s->file.reset();
    rotate(s->settings);
    s->file.reset(std::fopen(numbered(s->settings.file_name, 1).c_str(), "w"));
    return s->file ? TRACER_OK : TRACER_ERR_FILE;
}

int tracer_write(TracerSession session, const char* line) {
    Session* s = find(session);
    if (!s) return TRACER_ERR_SESSION;
    if (!line) return TRACER_ERR_ARG;
    if (state().capture) state().captured.emplace_back(session, line);
    if (s->settings.terminal) {
        // The terminal shows a line's control bytes; the file keeps them.
        std::fputs(cvi::shown_text(line).c_str(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }
    if (s->file) {
        if (std::fputs(line, s->file.get()) < 0 || std::fputc('\n', s->file.get()) < 0) return TRACER_ERR_FILE;
        std::fflush(s->file.get());
    }
    return TRACER_OK;
}

int tracer_closeFile(TracerSession session) {
    Session* s = find(session);
    if (!s) return TRACER_ERR_SESSION;
    s->file.reset();
    return TRACER_OK;
}

int tracer_close(TracerSession session) {
    if (!find(session)) return TRACER_ERR_SESSION;
    state().sessions.erase(session);
    return TRACER_OK;
}

namespace tracer_test {

std::vector<std::string> lines(TracerSession session) {
    std::vector<std::string> out;
    for (const auto& [id, text] : state().captured)
        if (id == session) out.push_back(text);
    return out;
}

std::vector<std::pair<TracerSession, std::string>> all_lines() { return state().captured; }

void clear_lines() {
    state().captured.clear();
    state().capture = true;
}

void set_capture(bool on) { state().capture = on; }

void reset() {
    State& s = state();
    s.capture = true;
    s.sessions.clear();
    s.captured.clear();
    s.next = 1;
}

} // namespace tracer_test
