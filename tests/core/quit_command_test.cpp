// The quit command string: how it is made and how it is read back.
#include "core/quit_command.h"

#include <gtest/gtest.h>

TEST(QuitCommandMake, CommandAndSystemCommand) {
    EXPECT_EQ(MakeQuitCommand(0x0111, 0x0001E141, "MainFrame", "Doc"), "C:0001E141,C:MainFrame");
    EXPECT_EQ(MakeQuitCommand(0x0111, 0xE141, "MainFrame", ""), "C:0000E141,C:MainFrame");
    EXPECT_EQ(MakeQuitCommand(0x0112, 0xF060, "#32770", "Setup"), "S:0000F060,T:Setup");
    EXPECT_EQ(MakeQuitCommand(0x0112, 0xFFFFFFFF, "abc", ""), "S:FFFFFFFF,C:abc");
}

TEST(QuitCommandMake, TitleForNumberedOrBlankClasses) {
    EXPECT_EQ(MakeQuitCommand(0x0112, 0xF060, "#32770", ""), "S:0000F060,T:");
    EXPECT_EQ(MakeQuitCommand(0x0111, 1, "   ", "設定"), "C:00000001,T:設定");
    EXPECT_EQ(MakeQuitCommand(0x0111, 1, "", "A,B"), "C:00000001,T:A,B");
    // Kept as the system returned it, trailing blanks included.
    EXPECT_EQ(MakeQuitCommand(0x0111, 1, "Frame  ", "t"), "C:00000001,C:Frame  ");
}

TEST(QuitCommandMake, NameLimitedTo255BytesOnACharacterBoundary) {
    std::string longTitle(254, 'a');
    longTitle += "表表"; // 254 + 4 bytes: the first 表 would straddle the limit
    std::string s = MakeQuitCommand(0x0111, 1, "#32770", longTitle);
    EXPECT_EQ(s, "C:00000001,T:" + std::string(254, 'a'));
    std::string exact(255, 'b');
    EXPECT_EQ(MakeQuitCommand(0x0111, 1, exact, ""), "C:00000001,C:" + exact);
}

TEST(QuitCommandRead, RoundTrip) {
    TQuitCommand c = ReadQuitCommand(MakeQuitCommand(0x0111, 0x0001E141, "MainFrame", ""));
    EXPECT_EQ(c.Message, 0x0111u);
    EXPECT_EQ(c.Value, 0x0001E141u);
    EXPECT_TRUE(c.ByClass);
    EXPECT_EQ(c.Name, "MainFrame");

    c = ReadQuitCommand("S:0000F060,T:Setup, page 2");
    EXPECT_EQ(c.Message, 0x0112u);
    EXPECT_EQ(c.Value, 0xF060u);
    EXPECT_FALSE(c.ByClass);
    EXPECT_EQ(c.Name, "Setup, page 2"); // only the first comma splits
}

TEST(QuitCommandRead, HandEditedStrings) {
    EXPECT_EQ(ReadQuitCommand("C:00G0E141,C:X").Value, 0u);
    EXPECT_EQ(ReadQuitCommand("C:,C:X").Value, 0u);
    EXPECT_EQ(ReadQuitCommand("C:123456789,C:X").Value, 0u); // does not fit 32 bits
    EXPECT_EQ(ReadQuitCommand("C:e141,C:X").Value, 0xE141u);
    EXPECT_EQ(ReadQuitCommand("X:0000E141,C:X").Message, 0x0112u);
    EXPECT_EQ(ReadQuitCommand("c:0000E141,C:X").Message, 0x0112u); // the kind is case-sensitive
    EXPECT_EQ(ReadQuitCommand("").Message, 0x0112u);

    TQuitCommand c = ReadQuitCommand("C:00000001,C:  Frame  \t");
    EXPECT_TRUE(c.ByClass);
    EXPECT_EQ(c.Name, "Frame");
    c = ReadQuitCommand("C:00000001,X:Frame");
    EXPECT_FALSE(c.ByClass);
    EXPECT_EQ(c.Name, "Frame");
    c = ReadQuitCommand("C:00000001");
    EXPECT_FALSE(c.ByClass);
    EXPECT_EQ(c.Name, "");
}

TEST(QuitCommandMatch, PrefixCaseSensitiveEmptyMatchesNothing) {
    TQuitCommand c = ReadQuitCommand("C:00000001,C:MainFrame");
    EXPECT_TRUE(QuitWindowMatches(c, "MainFrame"));
    EXPECT_TRUE(QuitWindowMatches(c, "MainFrameWnd"));
    EXPECT_FALSE(QuitWindowMatches(c, "mainframe"));
    EXPECT_FALSE(QuitWindowMatches(c, "Main"));
    TQuitCommand empty = ReadQuitCommand("S:0000F060,T:");
    EXPECT_EQ(empty.Name, "");
    EXPECT_FALSE(QuitWindowMatches(empty, ""));
    EXPECT_FALSE(QuitWindowMatches(empty, "Setup"));
}
