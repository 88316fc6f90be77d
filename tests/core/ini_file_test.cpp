#include "core/ini_file.h"

#include <gtest/gtest.h>

TEST(IniParse, LineKindsAndAllThreeLineEndings) {
    IniFile ini;
    ini.Parse("junk before\r\n[A]\r\nk1=v1\n;comment\rk2= spaced = value \r\n\r\n[B]\nbare line\n");
    ASSERT_EQ(ini.Sections().size(), 2u);
    EXPECT_EQ(ini.ReadString("A", "k1"), "v1");
    // Nothing is trimmed: the blanks around the value and a second "=" belong to it.
    EXPECT_EQ(ini.ReadString("A", "k2"), " spaced = value ");
    EXPECT_EQ(ini.Sections()[0].Entries.size(), 2u);
    EXPECT_EQ(ini.Serialize(),
              "[A]\r\nk1=v1\r\nk2= spaced = value \r\n\r\n[B]\r\nbare line\r\n\r\n");
}

TEST(IniParse, NulEndsTheFile) {
    IniFile ini;
    ini.Parse(std::string("[A]\r\nk=1\r\n\0[B]\r\nk=2\r\n", 20));
    EXPECT_EQ(ini.Sections().size(), 1u);
    EXPECT_EQ(ini.ReadString("B", "k", "none"), "none");
}

TEST(IniLookup, IgnoresCaseAndTakesTheFirstOfTwins) {
    IniFile ini;
    ini.Parse("[Setting]\nname=first\nNAME=second\n[setting]\nName=third\n");
    EXPECT_EQ(ini.ReadString("SETTING", "Name"), "first");
    ini.WriteString("setting", "NaMe", "new");
    EXPECT_EQ(ini.Serialize(),
              "[Setting]\r\nname=new\r\nNAME=second\r\n\r\n[setting]\r\nName=third\r\n\r\n");
}

TEST(IniWrite, ReplacesInPlaceAppendsAndCreatesSectionsAtTheEnd) {
    IniFile ini;
    ini.Parse("[S]\na=1\nb=2\n[T]\nx=9\n");
    ini.WriteInteger("S", "a", -7);
    ini.WriteBool("S", "c", true);
    ini.WriteString("U", "k", "v");
    EXPECT_EQ(ini.Serialize(),
              "[S]\r\na=-7\r\nb=2\r\nc=1\r\n\r\n[T]\r\nx=9\r\n\r\n[U]\r\nk=v\r\n\r\n");
}

TEST(IniWrite, DeleteKeyAndEraseSection) {
    IniFile ini;
    ini.Parse("[S]\na=1\nb=2\n[T]\nx=9\n");
    ini.DeleteKey("s", "A");
    ini.DeleteKey("S", "missing");
    ini.EraseSection("t");
    EXPECT_EQ(ini.Serialize(), "[S]\r\nb=2\r\n\r\n");
}

TEST(IniIntegers, DecimalHexAndDefaults) {
    IniFile ini;
    ini.Parse("[S]\nd=42\nn=-5\nh1=$1F\nh2=0x2\nh3=0XfF\nall=$FFFFFFFF\nbad=abc\nbig=2147483648\n"
              "min=-2147483648\nempty=\ntrail=12x\n");
    EXPECT_EQ(ini.ReadInteger("S", "d", 0), 42);
    EXPECT_EQ(ini.ReadInteger("S", "n", 0), -5);
    EXPECT_EQ(ini.ReadInteger("S", "h1", 0), 31);
    EXPECT_EQ(ini.ReadInteger("S", "h2", 0), 2);
    EXPECT_EQ(ini.ReadInteger("S", "h3", 0), 255);
    EXPECT_EQ(ini.ReadInteger("S", "all", 0), -1);
    EXPECT_EQ(ini.ReadInteger("S", "bad", 5), 5);
    EXPECT_EQ(ini.ReadInteger("S", "big", 5), 5);
    EXPECT_EQ(ini.ReadInteger("S", "min", 5), INT32_MIN);
    EXPECT_EQ(ini.ReadInteger("S", "empty", 5), 5);
    EXPECT_EQ(ini.ReadInteger("S", "trail", 5), 5);
    EXPECT_EQ(ini.ReadInteger("S", "missing", 5), 5);
}

TEST(IniBooleans, AnyNonZeroIsTrue) {
    IniFile ini;
    ini.Parse("[S]\nt=2\nf=0\nx=yes\n");
    EXPECT_TRUE(ini.ReadBool("S", "t", false));
    EXPECT_FALSE(ini.ReadBool("S", "f", true));
    EXPECT_TRUE(ini.ReadBool("S", "x", true));
    EXPECT_FALSE(ini.ReadBool("S", "x", false));
}
