#include "core/ini_file.h"

#include "core/text.h"

#include <algorithm>

namespace {

bool SameName(const std::string& a, const std::string& b) {
    return text::CompareText(a, b) == 0;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A value is one line of the file. A line break inside it would start lines of
// their own, read back as further entries or even as a section of applications,
// and a NUL byte would end the whole file there. Values come from outside (a
// product name, a shortcut's arguments), so a line break is stored as a blank and
// a NUL byte ends the value.
std::string OneLine(const std::string& value) {
    std::string line = value.substr(0, value.find('\0'));
    for (char& c : line) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return line;
}

} // namespace

bool ParseInt32(const std::string& s, int32_t& out) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        negative = s[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < s.size() && s[i] == '$') {
        hex = true;
        i += 1;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= s.size())
        return false;
    uint64_t v = 0;
    const uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    for (; i < s.size(); ++i) {
        int d = hex ? HexDigit(s[i]) : ((s[i] >= '0' && s[i] <= '9') ? s[i] - '0' : -1);
        if (d < 0)
            return false;
        v = v * (hex ? 16 : 10) + static_cast<uint64_t>(d);
        if (v > limit)
            return false;
    }
    uint32_t bits = static_cast<uint32_t>(v);
    if (negative)
        bits = 0u - bits;
    out = static_cast<int32_t>(bits);
    return true;
}

void IniFile::Parse(const std::string& bytes) {
    sections_.clear();
    std::string all = bytes.substr(0, bytes.find('\0'));
    Section* current = nullptr;
    size_t pos = 0;
    while (pos < all.size()) {
        size_t end = all.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = all.size();
        std::string line = all.substr(pos, end - pos);
        pos = end;
        if (pos < all.size())
            pos += (all[pos] == '\r' && pos + 1 < all.size() && all[pos + 1] == '\n') ? 2 : 1;

        if (line.empty() || line[0] == ';')
            continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            sections_.push_back(Section{line.substr(1, line.size() - 2), {}});
            current = &sections_.back();
            continue;
        }
        if (!current)
            continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos)
            current->Entries.push_back(Entry{line, std::string(), true});
        else
            current->Entries.push_back(Entry{line.substr(0, eq), line.substr(eq + 1)});
    }
}

std::string IniFile::Serialize() const {
    std::string out;
    for (const Section& s : sections_) {
        out += "[" + s.Name + "]\r\n";
        for (const Entry& e : s.Entries)
            out += (e.Bare ? e.Key : e.Key + "=" + e.Value) + "\r\n";
        out += "\r\n";
    }
    return out;
}

IniFile::Section* IniFile::FindSection(const std::string& name) {
    for (Section& s : sections_) {
        if (SameName(s.Name, name))
            return &s;
    }
    return nullptr;
}

const IniFile::Section* IniFile::FindSection(const std::string& name) const {
    return const_cast<IniFile*>(this)->FindSection(name);
}

bool IniFile::Find(const std::string& section, const std::string& key, std::string& value) const {
    const Section* s = FindSection(section);
    if (!s)
        return false;
    for (const Entry& e : s->Entries) {
        if (SameName(e.Key, key)) {
            value = e.Value;
            return true;
        }
    }
    return false;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& def) const {
    std::string v;
    return Find(section, key, v) ? v : def;
}

int32_t IniFile::ReadInteger(const std::string& section, const std::string& key,
                             int32_t def) const {
    std::string v;
    int32_t n = 0;
    return (Find(section, key, v) && ParseInt32(v, n)) ? n : def;
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
    Section* s = FindSection(section);
    if (!s) {
        sections_.push_back(Section{section, {}});
        s = &sections_.back();
    }
    for (Entry& e : s->Entries) {
        if (SameName(e.Key, key)) {
            e.Value = OneLine(value);
            e.Bare = false;
            return;
        }
    }
    s->Entries.push_back(Entry{key, OneLine(value)});
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
    WriteString(section, key, text::IntToStr(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

// Every entry of that key goes, not only the first one that reading sees: a later
// duplicate would otherwise take its place and come back at the next start.
void IniFile::DeleteKey(const std::string& section, const std::string& key) {
    Section* s = FindSection(section);
    if (!s)
        return;
    s->Entries.erase(std::remove_if(s->Entries.begin(), s->Entries.end(),
                                    [&](const Entry& e) { return SameName(e.Key, key); }),
                     s->Entries.end());
}

// Every section of that name goes, for the same reason: an erased application must
// not be replaced by a hidden duplicate of its section.
void IniFile::EraseSection(const std::string& section) {
    sections_.erase(std::remove_if(sections_.begin(), sections_.end(),
                                   [&](const Section& s) { return SameName(s.Name, section); }),
                    sections_.end());
}
