#include "core/text.h"

#include <gtest/gtest.h>

// "表" is 0x95 0x5C in code page 932: its trail byte is a backslash.
TEST(PathParts, DoubleByteTrailBackslashIsNoSeparator) {
    std::string path = "C:\\表\\tool.exe";
    EXPECT_EQ(text::FolderPart(path), "C:\\表\\");
    EXPECT_EQ(text::FileNamePart(path), "tool.exe");
    EXPECT_EQ(text::FileNamePart("C:\\Tools\\表"), "表");
    EXPECT_EQ(text::FolderPart("C:tool.exe"), "C:");
    EXPECT_EQ(text::FolderPart("tool.exe"), "");
}

TEST(PathParts, Extensions) {
    EXPECT_EQ(text::ExtensionLower("C:\\a.b\\Tool.EXE"), ".exe");
    EXPECT_EQ(text::ExtensionLower("C:\\a.b\\Tool"), "");
    EXPECT_EQ(text::BaseNameNoExt("C:\\x\\メモ帳.lnk"), "メモ帳");
    EXPECT_EQ(text::BaseNameNoExt("C:\\x.y\\README"), "README");
}

TEST(CompareText, AsciiCaseOnlyAndUnsignedBytes) {
    EXPECT_EQ(text::CompareText("abc", "ABC"), 0);
    EXPECT_LT(text::CompareText("abc", "abd"), 0);
    EXPECT_LT(text::CompareText("ab", "abc"), 0);
    EXPECT_LT(text::CompareText("", "●"), 0);  // an empty mark sorts first
    EXPECT_GT(text::CompareText("●", "z"), 0); // bytes above 0x7F are large
}

TEST(LowerAscii, LeavesDoubleByteCharactersIntact) {
    // "ア" is 0x83 0x41: its trail byte is the letter A.
    EXPECT_EQ(text::LowerAscii("TApplicationア"), "tapplicationア");
}

TEST(Contains, MatchesOnlyAtCharacterBoundaries) {
    // "ア" ends in 0x41 ("A"); "A" alone must not be found inside it.
    EXPECT_FALSE(text::Contains("ア", "A"));
    EXPECT_TRUE(text::Contains("メモ帳 - 無題", "無題"));
    EXPECT_FALSE(text::Contains("anything", ""));
}

TEST(Trim, RemovesBlanksAndControls) {
    EXPECT_EQ(text::Trim("  \t word \r\n"), "word");
    EXPECT_EQ(text::Trim("   "), "");
}
