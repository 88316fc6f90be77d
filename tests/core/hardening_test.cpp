// Inputs that the fuzz targets (tests/fuzz) found breaking the settings file,
// kept here so that they never break it again; their inputs also stay in the
// fuzz corpus.
#include "core/settings.h"

#include <gtest/gtest.h>

namespace {

TProgInfo Prog(const std::string& name, const std::string& arg) {
    TProgInfo p;
    p.Name = name;
    p.Program = "C:\\Tools\\tool.exe";
    p.Arg = arg;
    p.Quit = true;
    return p;
}

} // namespace

// A product name or a shortcut's arguments may hold line breaks. Written as they
// were, the rest of the value became lines of their own: here a second
// application and a key that overrode the first one's program.
TEST(SettingsHardening, LineBreaksInAValueStayInsideItsEntry) {
    IniFile ini;
    TSettings s;
    s.IgnoreMemo = {"keep"};
    TProgInfo p = Prog("Tool\r\nProgram=C:\\evil.exe\r\n[1]\nProgram=C:\\other.exe", "-a\r-b");
    WriteSettings(ini, s, "0.3", {&p});

    IniFile back;
    back.Parse(ini.Serialize());
    TSettings s2;
    TProgTable table;
    EXPECT_FALSE(ReadSettings(back, s2, table));
    EXPECT_EQ(table[0].Name, "Tool  Program=C:\\evil.exe  [1] Program=C:\\other.exe");
    EXPECT_EQ(table[0].Program, "C:\\Tools\\tool.exe");
    EXPECT_EQ(table[0].Arg, "-a -b");
    EXPECT_FALSE(table[1].Occupied());
    EXPECT_EQ(s2.IgnoreMemo, std::vector<std::string>{"keep"});
}

// A NUL byte ends the text of the whole file when it is read: written inside a
// value it cut off every section after it.
TEST(SettingsHardening, NulByteInAValueEndsOnlyThatValue) {
    IniFile ini;
    TSettings s;
    TProgInfo a = Prog(std::string("Name\0hidden", 11), std::string("x\0y", 3));
    TProgInfo b = Prog("Second", "");
    b.Program = "C:\\Tools\\second.exe";
    WriteSettings(ini, s, "0.3", {&a, &b});

    IniFile back;
    back.Parse(ini.Serialize());
    TProgTable table;
    ReadSettings(back, s, table);
    EXPECT_EQ(table[0].Name, "Name");
    EXPECT_EQ(table[0].Arg, "x");
    EXPECT_EQ(table[1].Name, "Second");
    EXPECT_EQ(table[1].Program, "C:\\Tools\\second.exe");
}

// Of two sections with one name only the first counts. Erasing the first one let
// the hidden second one take its place: a deleted application came back at the
// next start, and so did an ignore string deleted from a duplicated key.
TEST(SettingsHardening, ErasedSectionsAndKeysTakeTheirDuplicatesWithThem) {
    IniFile ini;
    ini.Parse("[Setting]\r\nVersion=0.3\r\n[0]\r\nName=gone\r\nProgram=\r\n"
              "[0]\r\nName=old\r\nProgram=C:\\old.exe\r\n"
              "[Ignore]\r\n0=a\r\n1=b\r\n1=hidden\r\n");
    TSettings s;
    TProgTable table;
    ReadSettings(ini, s, table);
    ASSERT_FALSE(table[0].Occupied());
    ASSERT_EQ(s.IgnoreMemo, (std::vector<std::string>{"a", "b"}));

    s.IgnoreMemo = {"a"};
    WriteSettings(ini, s, "0.3", {});
    IniFile back;
    back.Parse(ini.Serialize());
    TProgTable table2;
    ReadSettings(back, s, table2);
    EXPECT_FALSE(table2[0].Occupied());
    EXPECT_EQ(s.IgnoreMemo, std::vector<std::string>{"a"});
    EXPECT_EQ(back.Serialize(),
              "[Setting]\r\nVersion=0.3\r\n" + std::string() +
                  "XPos=0\r\nYPos=0\r\nWidth=313\r\nHeight=277\r\nQuitTimeout=5\r\n"
                  "AllClose=0\r\nEachRun=1\r\nView=3\r\nStatus=1\r\n"
                  "Column0=180\r\nColumn1=50\r\nColumn2=50\r\n\r\n"
                  "[Ignore]\r\n0=a\r\n\r\n");
}
