#include "core/list_rules.h"
#include "core/settings.h"

#include <gtest/gtest.h>

namespace {

TProgInfo Prog(const std::string& name, const std::string& program) {
    TProgInfo p;
    p.Name = name;
    p.Program = program;
    p.Work = "C:\\Tools\\";
    p.Quit = true;
    p.Run = true;
    return p;
}

} // namespace

TEST(Settings, EmptyFileGivesTheDefaultsAndAFirstRun) {
    IniFile ini;
    TSettings s;
    TProgTable table;
    EXPECT_TRUE(ReadSettings(ini, s, table));
    EXPECT_EQ(s.Width, 313);
    EXPECT_EQ(s.Height, 277);
    EXPECT_EQ(s.QuitTimeout, 5);
    EXPECT_FALSE(s.AllClose);
    EXPECT_TRUE(s.EachRun);
    EXPECT_EQ(s.View, 3);
    EXPECT_TRUE(s.Status);
    EXPECT_FALSE(table[0].Occupied());
}

TEST(Settings, WritesTheSettingSectionInItsOrder) {
    IniFile ini;
    TSettings s;
    TProgInfo p = Prog("メモ帳", "C:\\Tools\\memo.exe");
    WriteSettings(ini, s, "0.3", {&p});
    EXPECT_EQ(
        ini.Serialize(),
        "[Setting]\r\nXPos=0\r\nYPos=0\r\nWidth=313\r\nHeight=277\r\nQuitTimeout=5\r\n"
        "AllClose=0\r\nEachRun=1\r\nView=3\r\nStatus=1\r\nVersion=0.3\r\nColumn0=180\r\n"
        "Column1=50\r\nColumn2=50\r\n\r\n[0]\r\nName=メモ帳\r\nProgram=C:\\Tools\\memo.exe\r\n"
        "Work=C:\\Tools\\\r\nArg=\r\nQuitCom=\r\nQuitArg=\r\nQuit=1\r\nRun=1\r\nShow=0\r\n"
        "QuitType=0\r\n\r\n");
}

// The options that are off by default, and an entry's record of the last quit,
// leave no trace in the file while they are off, and a key of one switched off
// again goes away.
TEST(Settings, OptionalFlagsAreStoredOnlyWhileOn) {
    TProgInfo p = Prog("メモ帳", "C:\\Tools\\memo.exe");
    IniFile plain;
    WriteSettings(plain, TSettings(), "0.3", {&p});
    IniFile withOff;
    withOff.Parse(plain.Serialize());
    WriteSettings(withOff, TSettings(), "0.3", {&p});
    EXPECT_EQ(withOff.Serialize(), plain.Serialize());
    EXPECT_EQ(plain.Serialize().find("QuitAtOnce"), std::string::npos);
    EXPECT_EQ(plain.Serialize().find("SkipRunning"), std::string::npos);
    EXPECT_EQ(plain.Serialize().find("LastQuit"), std::string::npos);
    EXPECT_EQ(plain.Serialize().find("\r\nLast"), std::string::npos);
    EXPECT_EQ(plain.Serialize().find("EndSession"), std::string::npos);
    EXPECT_EQ(plain.Serialize().find("WaitDialogs"), std::string::npos);
    EXPECT_EQ(plain.Serialize().find("HotKey"), std::string::npos);
    EXPECT_EQ(plain.Serialize().find("RestoreAfter"), std::string::npos);

    TSettings on;
    on.QuitAtOnce = true;
    on.SkipRunning = true;
    on.RunLastQuit = true;
    on.EndSession = true;
    on.WaitDialogs = true;
    on.QuitHotKey = 0x0651; // Ctrl+Shift+Q
    on.RunHotKey = 0x0670;  // Ctrl+Alt+F1
    on.ShutdownHotKey = 0xFFFF;
    on.RestoreAfter = true;
    TProgInfo recorded = p;
    recorded.LastQuit = true;
    recorded.LastArg = "\"C:\\文書\\a b.txt\" -n";
    recorded.LastPlace = TWindowPlace{-1200, 40, -300, 700, 2};
    // What it ran with goes with the record: without LastQuit it is not written.
    TProgInfo stale = p;
    stale.LastArg = "old.txt";
    stale.LastPlace = recorded.LastPlace;
    IniFile ini;
    WriteSettings(ini, on, "0.3", {&recorded, &stale});
    EXPECT_NE(ini.Serialize().find("QuitType=0\r\nLastQuit=1\r\nLastArg=\"C:\\文書\\a b.txt\" "
                                   "-n\r\nLastPlace=-1200,40,-300,700,2\r\n\r\n[1]"),
              std::string::npos)
        << ini.Serialize();
    EXPECT_EQ(ini.Serialize().find("old.txt"), std::string::npos);
    EXPECT_EQ(ini.Serialize().rfind("LastPlace"), ini.Serialize().find("LastPlace"));
    EXPECT_NE(
        ini.Serialize().find("Column2=50\r\nQuitAtOnce=1\r\nSkipRunning=1\r\nRunLastQuit=1\r\n"
                             "EndSession=1\r\nWaitDialogs=1\r\nRestoreAfter=1\r\n"
                             "QuitHotKey=1617\r\nRunHotKey=1648\r\nShutdownHotKey=65535\r\n"),
        std::string::npos);
    EXPECT_NE(ini.Serialize().find("QuitType=0\r\nLastQuit=1\r\n"), std::string::npos);
    TSettings back;
    TProgTable table;
    ReadSettings(ini, back, table);
    EXPECT_TRUE(back.QuitAtOnce);
    EXPECT_TRUE(back.SkipRunning);
    EXPECT_TRUE(back.RunLastQuit);
    EXPECT_TRUE(back.EndSession);
    EXPECT_TRUE(back.WaitDialogs);
    EXPECT_EQ(back.QuitHotKey, 0x0651);
    EXPECT_EQ(back.RunHotKey, 0x0670);
    EXPECT_EQ(back.ShutdownHotKey, 0xFFFF);
    EXPECT_TRUE(back.RestoreAfter);
    EXPECT_TRUE(table[0].LastQuit);
    EXPECT_EQ(table[0].LastArg, recorded.LastArg);
    EXPECT_EQ(table[0].LastPlace, recorded.LastPlace);
    EXPECT_TRUE(table[1].LastArg.empty());

    TSettings half = back;
    half.QuitAtOnce = false;
    half.EndSession = false;
    half.RunHotKey = 0;
    half.RestoreAfter = false;
    WriteSettings(ini, half, "0.3", {&p});
    EXPECT_EQ(ini.ReadString("Setting", "RunHotKey", "gone"), "gone");
    EXPECT_EQ(ini.ReadString("Setting", "QuitHotKey"), "1617");
    EXPECT_EQ(ini.ReadString("0", "LastQuit", "gone"), "gone");
    EXPECT_EQ(ini.ReadString("0", "LastArg", "gone"), "gone");
    EXPECT_EQ(ini.ReadString("0", "LastPlace", "gone"), "gone");
    EXPECT_EQ(ini.ReadString("Setting", "QuitAtOnce", "gone"), "gone");
    EXPECT_EQ(ini.ReadString("Setting", "SkipRunning"), "1");
    EXPECT_EQ(ini.ReadString("Setting", "EndSession", "gone"), "gone");
    EXPECT_EQ(ini.ReadString("Setting", "WaitDialogs"), "1");
    EXPECT_EQ(ini.ReadString("Setting", "RestoreAfter", "gone"), "gone");
    TSettings again;
    ReadSettings(ini, again, table);
    EXPECT_FALSE(again.QuitAtOnce);
    EXPECT_TRUE(again.SkipRunning);
    EXPECT_FALSE(again.EndSession);
    EXPECT_TRUE(again.WaitDialogs);
    EXPECT_FALSE(again.RestoreAfter);
}

TEST(Settings, ApplicationsEndAtTheFirstSectionWithoutProgram) {
    IniFile ini;
    ini.Parse(
        "[Setting]\nVersion=0.3\n[0]\nName=a\nProgram=C:\\a.exe\n[1]\nname=b\nProgram=C:\\b.exe\n"
        "Show=2\nQuitType=1\nQuitCom=C:0000E141,C:Main\n[3]\nName=d\nProgram=C:\\d.exe\n");
    TSettings s;
    TProgTable table;
    EXPECT_FALSE(ReadSettings(ini, s, table));
    EXPECT_TRUE(table[0].Occupied());
    EXPECT_EQ(table[1].Name, "b"); // a lower-case key is found
    EXPECT_EQ(table[1].Show, 2);
    EXPECT_EQ(table[1].QuitType, 1);
    EXPECT_EQ(table[1].QuitCom, "C:0000E141,C:Main");
    EXPECT_FALSE(table[2].Occupied());
    EXPECT_FALSE(table[3].Occupied());
}

TEST(Settings, SavingFewerEntriesErasesTheSectionsBeyond) {
    IniFile ini;
    ini.Parse("[0]\nName=a\nProgram=C:\\a.exe\n[1]\nName=b\nProgram=C:\\b.exe\n[2]\nName=c\n"
              "Program=C:\\c.exe\n[3]\nName=\nProgram=C:\\ghost.exe\n[7]\nOther=kept\n");
    TSettings s;
    TProgInfo a = Prog("a", "C:\\a.exe"), b = Prog("b", "C:\\b.exe");
    WriteSettings(ini, s, "0.3", {&b, &a});
    EXPECT_EQ(ini.ReadString("0", "Name"), "b"); // renumbered in list order
    EXPECT_EQ(ini.ReadString("1", "Program"), "C:\\a.exe");
    EXPECT_EQ(ini.ReadString("2", "Name", "gone"), "gone");
    // A nameless section with a program would come back as an application.
    EXPECT_EQ(ini.ReadString("3", "Program", "gone"), "gone");
    EXPECT_EQ(ini.ReadString("7", "Other"), "kept");
}

TEST(Settings, IgnoreListShrinksAndStopsAtAnEmptyString) {
    IniFile ini;
    ini.Parse("[Ignore]\n0=x\n1=y\n2=z\n");
    TSettings s;
    s.IgnoreMemo = {"一", "二"};
    WriteSettings(ini, s, "0.3", {});
    EXPECT_EQ(ini.ReadString("Ignore", "2", "gone"), "gone");

    IniFile back;
    back.Parse("[Ignore]\n0=a\n1=\n2=c\n");
    TSettings r;
    TProgTable table;
    ReadSettings(back, r, table);
    EXPECT_EQ(r.IgnoreMemo, std::vector<std::string>{"a"});
}

TEST(Settings, EmptyVersionKeepsTheFileAFirstStart) {
    IniFile ini;
    TSettings s;
    WriteSettings(ini, s, "", {});
    TProgTable table;
    EXPECT_TRUE(ReadSettings(ini, s, table));
}

TEST(Settings, HexViewAndLettersForTimeout) {
    IniFile ini;
    ini.Parse("[Setting]\nView=0x2\nQuitTimeout=abc\nColumn1=77\n");
    TSettings s;
    s.Columns = {111, 22, 33}; // the columns' current widths are the defaults
    TProgTable table;
    ReadSettings(ini, s, table);
    EXPECT_EQ(s.View, 2);
    EXPECT_EQ(s.QuitTimeout, 5);
    EXPECT_EQ(s.Columns, (std::vector<int32_t>{111, 77, 33}));
}

TEST(Settings, QuitAtOnceAndSkipRunningAreReadAndOffWithoutTheirKeys) {
    IniFile ini;
    TSettings s;
    TProgTable table;
    ReadSettings(ini, s, table);
    EXPECT_FALSE(s.QuitAtOnce);
    EXPECT_FALSE(s.SkipRunning);
    ini.Parse("[Setting]\nQuitAtOnce=1\nSkipRunning=1\n");
    ReadSettings(ini, s, table);
    EXPECT_TRUE(s.QuitAtOnce);
    EXPECT_TRUE(s.SkipRunning);
    // A hand-edited hot key that no shell link can hold is none.
    ini.Parse("[Setting]\nQuitHotKey=65536\nRunHotKey=-5\nShutdownHotKey=Q\n");
    s.QuitHotKey = s.RunHotKey = s.ShutdownHotKey = 1;
    ReadSettings(ini, s, table);
    EXPECT_EQ(s.QuitHotKey, 0);
    EXPECT_EQ(s.RunHotKey, 0);
    EXPECT_EQ(s.ShutdownHotKey, 0);
}

TEST(StatusText, CountsAndMarks) {
    TProgInfo p;
    EXPECT_EQ(SelectionStatusText(0, 0, nullptr), "0個のアプリケーション");
    EXPECT_EQ(SelectionStatusText(3, 0, nullptr), "3個のアプリケーション");
    EXPECT_EQ(SelectionStatusText(3, 1, &p), "1個のアプリケーションを選択");
    p.Quit = true;
    EXPECT_EQ(SelectionStatusText(3, 1, &p), "1個のアプリケーションを選択(終了)");
    p.Run = true;
    EXPECT_EQ(SelectionStatusText(3, 1, &p), "1個のアプリケーションを選択(終了＆起動)");
    p.Quit = false;
    EXPECT_EQ(SelectionStatusText(3, 1, &p), "1個のアプリケーションを選択(起動)");
    EXPECT_EQ(SelectionStatusText(3, 2, nullptr), "2個のアプリケーションを選択");
}

TEST(CompareItems, MarksThenNamesAndDirection) {
    TProgInfo a = Prog("beta", "x"), b = Prog("Alpha", "y"), c = Prog("gamma", "z");
    c.Quit = false;
    EXPECT_GT(CompareItems(a, b, 0, 1), 0); // case-insensitive names
    EXPECT_LT(CompareItems(a, b, 0, -1), 0);
    EXPECT_LT(CompareItems(c, b, 1, 1), 0); // no quit mark sorts first
    EXPECT_GT(CompareItems(a, b, 1, 1), 0); // equal marks: by name
    EXPECT_GT(CompareItems(c, b, 1, -1), 0);
}
