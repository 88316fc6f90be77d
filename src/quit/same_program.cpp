#include "quit/same_program.h"

#include "core/text.h"

#include <windows.h>

namespace {

std::string Lower(std::string s) {
    if (!s.empty())
        CharLowerBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

std::string LowerShortForm(const std::string& path) {
    char buf[MAX_PATH];
    DWORD n = path.empty() ? 0 : GetShortPathNameA(path.c_str(), buf, sizeof buf);
    return Lower((n > 0 && n < sizeof buf) ? std::string(buf, n) : path);
}

} // namespace

bool SameProgram(const std::string& a, const std::string& b) {
    win::FileIdentity ia, ib;
    if (win::IdentityOf(a, ia) && win::IdentityOf(b, ib))
        return ia == ib;
    return LowerShortForm(a) == LowerShortForm(b);
}

ProgramMatcher::ProgramMatcher(const std::string& program)
    : key_(LowerShortForm(program)), shortName_(text::FileNamePart(key_)) {
    char buf[MAX_PATH];
    DWORD n = program.empty() ? 0 : GetLongPathNameA(program.c_str(), buf, sizeof buf);
    if (n > 0 && n < sizeof buf)
        longName_ = Lower(text::FileNamePart(std::string(buf, n)));
    hasId_ = win::IdentityOf(program, id_);
    if (hasId_ && longName_.empty()) {
        // A 64-bit-only System32 program: its names come from the Sysnative spelling.
        const std::string native = win::NativeSystemPath(program);
        n = GetLongPathNameA(native.c_str(), buf, sizeof buf);
        if (n > 0 && n < sizeof buf)
            longName_ = Lower(text::FileNamePart(std::string(buf, n)));
        n = GetShortPathNameA(native.c_str(), buf, sizeof buf);
        if (n > 0 && n < sizeof buf)
            shortName_ = Lower(text::FileNamePart(std::string(buf, n)));
    }
}

bool ProgramMatcher::Matches(const std::string& path) const {
    if (!longName_.empty()) {
        std::string name = Lower(text::FileNamePart(path));
        if (name != longName_ && name != shortName_)
            return false;
    }
    win::FileIdentity id;
    if (hasId_ && win::IdentityOf(path, id))
        return id == id_;
    return LowerShortForm(path) == key_;
}
