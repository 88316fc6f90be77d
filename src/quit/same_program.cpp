#include "quit/same_program.h"

#include <windows.h>

namespace {

std::string LowerShortForm(const std::string& path) {
    char buf[MAX_PATH];
    DWORD n = path.empty() ? 0 : GetShortPathNameA(path.c_str(), buf, sizeof buf);
    std::string s = (n > 0 && n < sizeof buf) ? std::string(buf, n) : path;
    if (!s.empty())
        CharLowerBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

} // namespace

bool SameProgram(const std::string& a, const std::string& b) {
    return LowerShortForm(a) == LowerShortForm(b);
}
