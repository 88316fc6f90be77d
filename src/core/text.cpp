#include "core/text.h"

#include <cstdio>

namespace text {
namespace {

bool Cp932Lead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

LeadByteTest g_leadTest = Cp932Lead;

// Length in bytes of the character starting at s[i].
size_t CharLen(const std::string& s, size_t i) {
    return (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

// Position just past the last "\" or ":" character, or 0.
size_t AfterLastSeparator(const std::string& path) {
    size_t after = 0;
    for (size_t i = 0; i < path.size(); i += CharLen(path, i)) {
        if (path[i] == '\\' || path[i] == ':')
            after = i + 1;
    }
    return after;
}

size_t LastDot(const std::string& name) {
    size_t dot = std::string::npos;
    for (size_t i = 0; i < name.size(); i += CharLen(name, i)) {
        if (name[i] == '.')
            dot = i;
    }
    return dot;
}

char LowerChar(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

void SetLeadByteTest(LeadByteTest test) {
    g_leadTest = test ? test : Cp932Lead;
}
bool IsLeadByte(unsigned char c) {
    return g_leadTest(c);
}

int CompareText(const std::string& a, const std::string& b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        int ca = static_cast<unsigned char>(LowerChar(a[i]));
        int cb = static_cast<unsigned char>(LowerChar(b[i]));
        if (ca != cb)
            return ca - cb;
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

std::string LowerAscii(const std::string& s) {
    std::string r = s;
    for (size_t i = 0; i < r.size(); i += CharLen(r, i))
        r[i] = LowerChar(r[i]);
    return r;
}

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

bool Contains(const std::string& hay, const std::string& needle) {
    if (needle.empty())
        return false;
    for (size_t i = 0; i + needle.size() <= hay.size(); i += CharLen(hay, i)) {
        if (hay.compare(i, needle.size(), needle) == 0)
            return true;
    }
    return false;
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32)
        --e;
    return s.substr(b, e - b);
}

std::string FolderPart(const std::string& path) {
    return path.substr(0, AfterLastSeparator(path));
}

std::string FileNamePart(const std::string& path) {
    return path.substr(AfterLastSeparator(path));
}

std::string ExtensionLower(const std::string& path) {
    std::string name = FileNamePart(path);
    size_t dot = LastDot(name);
    return dot == std::string::npos ? std::string() : LowerAscii(name.substr(dot));
}

std::string BaseNameNoExt(const std::string& path) {
    std::string name = FileNamePart(path);
    return name.substr(0, LastDot(name));
}

std::string IntToStr(long long v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld", v);
    return buf;
}

} // namespace text
