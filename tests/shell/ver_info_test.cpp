#include "shell/about_box.h"
#include "shell/ver_info.h"

#include "support.h"

#include <gtest/gtest.h>

using namespace testing_shell;

namespace {

std::string Bin(const char* name) {
    return BinDir() + name;
}

// The raw length VerQueryValueA reports for a string, to make sure a test file really
// has the shape a test relies on.
UINT RawLength(const std::string& file, const std::string& subBlock) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
    std::string block(size, '\0');
    GetFileVersionInfoA(file.c_str(), handle, size, &block[0]);
    void* value = nullptr;
    UINT length = 0;
    std::string path = subBlock;
    if (!VerQueryValueA(&block[0], &path[0], &value, &length))
        return 0;
    return length;
}

void ExpectVerInfoError(const std::function<void()>& f) {
    try {
        f();
        ADD_FAILURE() << "no EVerInfo";
    } catch (const EVerInfo& e) {
        EXPECT_STREQ(e.what(), "バージョン情報が取得できません.");
    }
}

} // namespace

TEST(VerInfo, JapaneseFirstTranslationAndTrimmedName) {
    std::string file = Bin("shell_ver_spaced.exe");
    TVerInfo info(file);
    EXPECT_EQ(info.Language(), "0411");
    EXPECT_EQ(info.CodePage(), "04B0");
    EXPECT_EQ(info.GetStringValue("\\StringFileInfo\\041104B0\\FileDescription"), "表示テスト");
    // The stored value is "  表示テスト  " with a NUL inside the reported length.
    ASSERT_GT(RawLength(file, "\\StringFileInfo\\041104B0\\ProductName"),
              std::string("  表示テスト  ").size());
    EXPECT_EQ(info.GetProductName(), "表示テスト");
    EXPECT_EQ(info.GetStringValue("\\StringFileInfo\\041104B0\\ProductName"), "表示テスト");
    EXPECT_EQ(info.GetProductVersion(), "1.2");
    // Queries leave the block as it was.
    EXPECT_EQ(info.GetProductName(), "表示テスト");
}

TEST(VerInfo, EmptyAndMissingProductNames) {
    EXPECT_EQ(TVerInfo(Bin("shell_ver_empty.exe")).GetProductName(), "");
    TVerInfo noName(Bin("shell_ver_noname.exe"));
    EXPECT_EQ(noName.GetProductVersion(), "1.2");
    ExpectVerInfoError([&] { noName.GetProductName(); });
}

TEST(VerInfo, StringsUnderAnotherLanguageRaiseAtTheQuery) {
    TVerInfo info(Bin("shell_ver_otherlang.exe"));
    EXPECT_EQ(info.Language(), "0411");
    EXPECT_EQ(info.GetStringValue("\\StringFileInfo\\040904B0\\ProductName"), "Other Language");
    ExpectVerInfoError([&] { info.GetProductName(); });
}

TEST(VerInfo, NoResourceOrNoFileRaisesInTheConstructor) {
    ExpectVerInfoError([] { TVerInfo info(Bin("shell_ver_none.exe")); });
    ExpectVerInfoError([] { TVerInfo info(Bin("no_such_program.exe")); });
}

TEST(AboutBox, ShowsTheOwnProductVersion) {
    // This test program carries a version resource of its own (ProductVersion 0.3).
    EXPECT_EQ(OwnProductVersion(), "0.3");
    BoxAnswerer boxes;
    boxes.Reply(IDOK);
    ShowAboutBox(nullptr);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    const SeenBox& box = boxes.Seen()[0];
    EXPECT_EQ(box.caption, "バージョン情報");
    EXPECT_EQ(box.text, AboutText("0.3"));
    EXPECT_TRUE(box.hasOk);
    EXPECT_FALSE(box.hasYes);
    // Three non-empty lines, the first without a blank after "ver"; the last points
    // to the guide in the zip, never to an address.
    EXPECT_EQ(box.text.substr(0, box.text.find('\n')), "ポムッと終了 ver0.3");
    size_t second = box.text.find('\n') + 1, third = box.text.find('\n', second) + 1;
    EXPECT_TRUE(second > 0 && third > second + 1 && third < box.text.size());
    EXPECT_EQ(box.text.find('\n', third), std::string::npos);
    EXPECT_EQ(box.text.substr(third), "使い方は同梱の ReadMe.txt をご覧ください");
}

TEST(AboutBox, UnreadableVersionRaisesAndShowsNothing) {
    BoxAnswerer boxes;
    ExpectVerInfoError([] { ShowAboutBox(nullptr, Bin("shell_ver_none.exe")); });
    EXPECT_TRUE(boxes.Seen().empty());
}
