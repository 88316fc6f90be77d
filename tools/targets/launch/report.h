#pragma once
// Shared by the launch target programs and the programs that read their reports:
// where a report goes, how it is written and read back. A report is "key=value"
// lines, written under a temporary name and then renamed, so that a reader never
// sees half a report.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace target {

// Environment variable naming the report file when no "-echo-out PATH" is given.
constexpr const char* kOutVariable = "VAKO_ECHO_OUT";

// The value after `marker` among this process's arguments, or "".
inline std::string OptionValue(const char* marker) {
    for (int i = 1; i + 1 < __argc; ++i) {
        if (std::strcmp(__argv[i], marker) == 0)
            return __argv[i + 1];
    }
    return "";
}

inline std::string ReportPath() {
    std::string path = OptionValue("-echo-out");
    if (!path.empty())
        return path;
    char buf[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA(kOutVariable, buf, sizeof buf);
    return (n > 0 && n < sizeof buf) ? std::string(buf, n) : std::string();
}

// The report every launch target writes: how this process was started.
inline std::string StartReport() {
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    GetStartupInfoA(&si);
    char cwd[MAX_PATH * 2] = "";
    GetCurrentDirectoryA(sizeof cwd, cwd);
    std::string r;
    r += "pid=" + std::to_string(GetCurrentProcessId()) + "\r\n";
    r += "cmdline=" + std::string(GetCommandLineA()) + "\r\n";
    r += "cwd=" + std::string(cwd) + "\r\n";
    r += "flags=" + std::to_string(si.dwFlags) + "\r\n";
    r += "show=" + std::to_string(si.wShowWindow) + "\r\n";
    return r;
}

inline void WriteReport(const std::string& path, const std::string& body) {
    if (path.empty())
        return;
    std::string tmp = path + ".part";
    HANDLE f = CreateFileA(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(f, body.data(), static_cast<DWORD>(body.size()), &written, nullptr);
    CloseHandle(f);
    MoveFileExA(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

inline DWORD MillisecondsOption(const char* marker, DWORD fallback) {
    std::string v = OptionValue(marker);
    return v.empty() ? fallback : static_cast<DWORD>(std::strtoul(v.c_str(), nullptr, 10));
}

// Reads a report back: its keys and values, or nothing while the file is not there.
inline std::map<std::string, std::string> ReadReport(const std::string& path) {
    std::map<std::string, std::string> r;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return r;
    std::string body;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0)
        body.append(buf, got);
    CloseHandle(f);
    for (size_t pos = 0; pos < body.size();) {
        size_t end = body.find("\r\n", pos);
        std::string line = body.substr(pos, end == std::string::npos ? end : end - pos);
        size_t eq = line.find('=');
        if (eq != std::string::npos)
            r[line.substr(0, eq)] = line.substr(eq + 1);
        pos = end == std::string::npos ? body.size() : end + 2;
    }
    return r;
}

} // namespace target
