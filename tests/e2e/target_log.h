#pragma once
// The quit targets' log: one line per message received, in the order received.
#include "driver/vako_e2e.h"

#include <sstream>
#include <string>
#include <vector>

struct LoggedMessage {
    unsigned long pid = 0;
    std::string hwnd;
    unsigned msg = 0;
    unsigned long wParam = 0;
    std::string className;
};

inline std::vector<std::string> LogLines(const std::string& path) {
    std::vector<std::string> lines;
    if (!e2e::FileExists(path))
        return lines;
    std::istringstream in(e2e::ReadFileBytes(path));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

// "msg PID HWND MSG WPARAM CLASS", numbers other than PID in hexadecimal.
inline std::vector<LoggedMessage> LoggedMessages(const std::string& path) {
    std::vector<LoggedMessage> out;
    for (const std::string& line : LogLines(path)) {
        std::istringstream f(line);
        std::string kind, msg, wp;
        LoggedMessage m;
        f >> kind >> m.pid >> m.hwnd >> msg >> wp >> m.className;
        if (kind != "msg")
            continue;
        m.msg = static_cast<unsigned>(std::stoul(msg, nullptr, 16));
        m.wParam = std::stoul(wp, nullptr, 16);
        out.push_back(m);
    }
    return out;
}

// The GetTickCount at which a window of the target was destroyed; 0 if none was.
inline unsigned long DestroyTick(const std::string& path) {
    for (const std::string& line : LogLines(path)) {
        std::istringstream f(line);
        std::string kind, pid, hwnd;
        unsigned long tick = 0;
        f >> kind >> pid >> hwnd >> tick;
        if (kind == "destroy")
            return tick;
    }
    return 0;
}

inline bool LogHas(const std::string& path, const std::string& prefix) {
    for (const std::string& line : LogLines(path)) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            return true;
    }
    return false;
}

// The messages of the "session" lines (WM_QUERYENDSESSION, WM_ENDSESSION), each
// as "MSG WPARAM LPARAM" in hexadecimal.
inline std::vector<std::string> SessionMessages(const std::string& path) {
    std::vector<std::string> out;
    for (const std::string& line : LogLines(path)) {
        std::istringstream f(line);
        std::string kind, pid, hwnd, msg, wp, lp;
        f >> kind >> pid >> hwnd >> msg >> wp >> lp;
        if (kind == "session")
            out.push_back(msg + " " + wp + " " + lp);
    }
    return out;
}

// The command id of the marker a test posts to a quit target after everything
// else; the target logs it like any WM_COMMAND and otherwise ignores it.
constexpr unsigned long kLogMarker = 0x7E57;

// Posts the marker to a window of the target and waits until the target has
// logged it. Whatever was posted to that window before the marker has then been
// received and logged too, so the messages before it are complete.
inline bool MarkLog(HWND targetWindow, const std::string& path,
                    DWORD timeoutMs = e2e::kDefaultTimeoutMs) {
    e2e::Post(targetWindow, WM_COMMAND, kLogMarker);
    return e2e::WaitUntil(
        [&] {
            for (const LoggedMessage& m : LoggedMessages(path)) {
                if (m.msg == WM_COMMAND && m.wParam == kLogMarker)
                    return true;
            }
            return false;
        },
        timeoutMs);
}

// The messages logged before the first marker.
inline std::vector<LoggedMessage> MessagesBeforeMarker(const std::string& path) {
    std::vector<LoggedMessage> before;
    for (const LoggedMessage& m : LoggedMessages(path)) {
        if (m.msg == WM_COMMAND && m.wParam == kLogMarker)
            break;
        before.push_back(m);
    }
    return before;
}
