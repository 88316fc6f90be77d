// The settings mapping on a file of arbitrary bytes: the settings and
// applications read from it, written back, read back the same; and record fields
// of any content, once written, read back as what the writer stored and never
// spill into other entries or sections.
#include "core/settings.h"
#include "cp932_lead.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

bool SameRecord(const TProgInfo& a, const TProgInfo& b) {
    return a.Name == b.Name && a.Program == b.Program && a.Work == b.Work && a.Arg == b.Arg &&
           a.QuitCom == b.QuitCom && a.QuitArg == b.QuitArg && a.Quit == b.Quit && a.Run == b.Run &&
           a.Show == b.Show && a.QuitType == b.QuitType;
}

bool SameSettings(const TSettings& a, const TSettings& b) {
    return a.XPos == b.XPos && a.YPos == b.YPos && a.Width == b.Width && a.Height == b.Height &&
           a.QuitTimeout == b.QuitTimeout && a.AllClose == b.AllClose && a.EachRun == b.EachRun &&
           a.View == b.View && a.Status == b.Status && a.Columns == b.Columns &&
           a.IgnoreMemo == b.IgnoreMemo;
}

int Occupied(const TProgTable& t) {
    int n = 0;
    while (n < kMaxPrograms && t[n].Occupied())
        ++n;
    return n;
}

std::vector<const TProgInfo*> ListOrder(const TProgTable& t) {
    std::vector<const TProgInfo*> order;
    for (int i = 0; i < Occupied(t); ++i)
        order.push_back(&t[i]);
    return order;
}

// What a stored value reads back as: a line break cannot be stored in a value.
std::string Stored(const std::string& v) {
    std::string s = v.substr(0, v.find('\0'));
    for (char& c : s) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return s;
}

void FileRoundTrip(const std::string& bytes) {
    IniFile a;
    a.Parse(bytes);
    TSettings s;
    TProgTable table;
    const bool firstRun = ReadSettings(a, s, table);
    IniFile c = a;
    WriteSettings(c, s, firstRun ? std::string() : "0.3", ListOrder(table));
    IniFile d;
    d.Parse(c.Serialize());
    TSettings s2;
    TProgTable table2;
    FUZZ_CHECK(ReadSettings(d, s2, table2) == firstRun);
    FUZZ_CHECK(SameSettings(s, s2));
    FUZZ_CHECK(Occupied(table) == Occupied(table2));
    for (int i = 0; i < Occupied(table); ++i)
        FUZZ_CHECK(SameRecord(table[i], table2[i]));
}

// The bytes cut at 0x01 into record fields and ignore strings, written into an
// empty file and read back.
void FieldsRoundTrip(const std::string& bytes) {
    std::vector<std::string> parts;
    size_t pos = 0;
    while (parts.size() < 9) {
        size_t end = bytes.find('\x01', pos);
        parts.push_back(bytes.substr(pos, end == std::string::npos ? end : end - pos));
        if (end == std::string::npos)
            break;
        pos = end + 1;
    }
    parts.resize(9);
    TProgInfo p;
    p.Name = parts[0];
    p.Program = parts[1].empty() ? "C:\\a.exe" : parts[1];
    p.Work = parts[2];
    p.Arg = parts[3];
    p.QuitCom = parts[4];
    p.QuitArg = parts[5];
    p.Quit = !parts[6].empty();
    p.Show = static_cast<int32_t>(parts[6].size());
    TSettings s;
    for (size_t i = 7; i < parts.size(); ++i) {
        if (!Stored(parts[i]).empty())
            s.IgnoreMemo.push_back(parts[i]);
    }

    IniFile ini;
    WriteSettings(ini, s, "0.3", {&p});
    IniFile back;
    back.Parse(ini.Serialize());
    TSettings s2;
    TProgTable table;
    FUZZ_CHECK(!ReadSettings(back, s2, table));
    if (Stored(p.Program).empty()) {
        FUZZ_CHECK(!table[0].Occupied());
        return;
    }
    TProgInfo expected = p;
    for (std::string* f : {&expected.Name, &expected.Program, &expected.Work, &expected.Arg,
                           &expected.QuitCom, &expected.QuitArg})
        *f = Stored(*f);
    FUZZ_CHECK(SameRecord(table[0], expected));
    FUZZ_CHECK(!table[1].Occupied());
    FUZZ_CHECK(s2.IgnoreMemo.size() == s.IgnoreMemo.size());
    for (size_t i = 0; i < s.IgnoreMemo.size(); ++i)
        FUZZ_CHECK(s2.IgnoreMemo[i] == Stored(s.IgnoreMemo[i]));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    FileRoundTrip(bytes);
    FieldsRoundTrip(bytes);
    return 0;
}
