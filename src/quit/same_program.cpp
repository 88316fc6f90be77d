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

std::string LongFileName(const std::string& path) {
    char buf[MAX_PATH];
    DWORD n = path.empty() ? 0 : GetLongPathNameA(path.c_str(), buf, sizeof buf);
    return (n > 0 && n < sizeof buf) ? Lower(text::FileNamePart(std::string(buf, n)))
                                     : std::string();
}

} // namespace

std::string LowerFileName(const std::string& path) {
    return Lower(text::FileNamePart(path));
}

PathFacts::PathFacts(const std::string& path) : path_(path), lowerName_(LowerFileName(path)) {}

const PathFacts::Forms& PathFacts::Spellings() const {
    if (formsRead_)
        return forms_;
    formsRead_ = true;
    forms_.lowerLongName = LongFileName(path_);
    forms_.lowerShortForm = LowerShortForm(path_);
    forms_.lowerShortName = text::FileNamePart(forms_.lowerShortForm);
    if (forms_.lowerLongName.empty() && !path_.empty()) {
        // A 64-bit-only System32 program: its names come from the Sysnative spelling.
        const std::string native = win::NativeSystemPath(path_);
        if (native != path_) {
            forms_.lowerLongName = LongFileName(native);
            forms_.lowerShortName = text::FileNamePart(LowerShortForm(native));
        }
    }
    return forms_;
}

bool PathFacts::MayBe(const std::string& lowerName) const {
    if (path_.empty() || lowerName.empty())
        return false;
    if (lowerName == lowerName_)
        return true;
    if (lowerName.find('~') == std::string::npos && lowerName_.find('~') == std::string::npos)
        return false;
    const Forms& f = Spellings();
    return lowerName == f.lowerLongName || lowerName == f.lowerShortName;
}

const win::FileIdentity* PathFacts::Identity() const {
    if (idState_ == 0)
        idState_ = win::IdentityOf(path_, id_) ? 1 : -1;
    return idState_ == 1 ? &id_ : nullptr;
}

bool SameProgram(const std::string& a, const std::string& b) {
    win::FileIdentity ia, ib;
    if (win::IdentityOf(a, ia) && win::IdentityOf(b, ib))
        return ia == ib;
    return LowerShortForm(a) == LowerShortForm(b);
}

ProgramMatcher::ProgramMatcher(const std::string& program) : program_(program) {
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
        ReadShortForm();
        n = GetShortPathNameA(native.c_str(), buf, sizeof buf);
        if (n > 0 && n < sizeof buf)
            shortName_ = Lower(text::FileNamePart(std::string(buf, n)));
    }
}

void ProgramMatcher::ReadShortForm() const {
    if (shortRead_)
        return;
    shortRead_ = true;
    key_ = LowerShortForm(program_);
    shortName_ = text::FileNamePart(key_);
}

bool ProgramMatcher::Matches(const PathFacts& path) const {
    if (!longName_.empty() && path.lowerName_ != longName_) {
        ReadShortForm();
        if (path.lowerName_ != shortName_)
            return false;
    }
    if (hasId_) {
        if (const win::FileIdentity* id = path.Identity())
            return *id == id_;
    }
    ReadShortForm();
    return path.Spellings().lowerShortForm == key_;
}
