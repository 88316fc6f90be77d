#include "core/ran_with.h"

#include "core/text.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// Paths are compared as the file system does for the letters that matter here; a
// letter outside ASCII has to match exactly.
wchar_t FoldAscii(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool StartsWithPath(const std::wstring& s, const std::wstring& path) {
    if (path.empty() || s.size() < path.size())
        return false;
    for (size_t i = 0; i < path.size(); ++i) {
        if (FoldAscii(s[i]) != FoldAscii(path[i]))
            return false;
    }
    return s.size() == path.size() || IsBlank(s[path.size()]);
}

// A whole decimal number, a minus sign allowed, within 32 bits.
bool ParseInt(const std::string& s, int32_t& out) {
    if (s.empty() || s.size() > 11)
        return false;
    size_t i = s[0] == '-' ? 1 : 0;
    if (i == s.size())
        return false;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        v = v * 10 + (s[i] - '0');
    }
    if (s[0] == '-')
        v = -v;
    if (v < INT32_MIN || v > INT32_MAX)
        return false;
    out = static_cast<int32_t>(v);
    return true;
}

} // namespace

std::string FormatWindowPlace(const TWindowPlace& place) {
    if (!place.Set())
        return std::string();
    std::string s;
    for (int32_t v : {place.Left, place.Top, place.Right, place.Bottom, place.Show}) {
        if (!s.empty())
            s += ',';
        s += text::IntToStr(v);
    }
    return s;
}

TWindowPlace ParseWindowPlace(const std::string& value) {
    std::vector<int32_t> n;
    size_t start = 0;
    for (;;) {
        const size_t comma = value.find(',', start);
        int32_t v = 0;
        if (!ParseInt(
                value.substr(start, comma == std::string::npos ? std::string::npos : comma - start),
                v))
            return TWindowPlace();
        n.push_back(v);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (n.size() != 5 || n[4] < 0 || n[4] > 2)
        return TWindowPlace();
    TWindowPlace place{n[0], n[1], n[2], n[3], n[4]};
    return place.Set() ? place : TWindowPlace();
}

std::wstring ArgumentsAfterProgram(const std::wstring& written, const std::wstring& imagePath) {
    // A program may parse its command line in place, ending each piece with a NUL
    // (Wine's notepad writes one over the quote that closes its file name). Such a
    // NUL stood for a blank or a quote: read as a blank, and a quote left open at
    // the end closed again.
    std::wstring commandLine = written;
    for (wchar_t& c : commandLine) {
        if (c == L'\0')
            c = L' ';
    }
    size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const size_t close = commandLine.find(L'"', 1);
        i = close == std::wstring::npos ? commandLine.size() : close + 1;
    } else if (StartsWithPath(commandLine, imagePath)) {
        i = imagePath.size();
    } else {
        bool quoted = false;
        for (; i < commandLine.size(); ++i) {
            if (commandLine[i] == L'"')
                quoted = !quoted;
            else if (!quoted && IsBlank(commandLine[i]))
                break;
        }
    }
    while (i < commandLine.size() && IsBlank(commandLine[i]))
        ++i;
    size_t end = commandLine.size();
    while (end > i && IsBlank(commandLine[end - 1]))
        --end;
    std::wstring args = commandLine.substr(i, end - i);
    if (written.find(L'\0') != std::wstring::npos &&
        std::count(args.begin(), args.end(), L'"') % 2 != 0)
        args += L'"';
    return args;
}
