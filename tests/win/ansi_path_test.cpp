// Paths handed over whole by the system and how the program keeps them in its code
// page (932 in the test prefix).
#include "win/ansi_path.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

int g_readerCalls = 0;

std::wstring NoShortName(const std::wstring&) {
    ++g_readerCalls;
    return std::wstring();
}
// A volume with 8.3 names switched off answers with the long name itself.
std::wstring LongNameAgain(const std::wstring& wide) {
    ++g_readerCalls;
    return wide;
}

// A folder below the temporary folder whose name holds U+00FC, with a file in it.
class OutsideTheCodePage : public ::testing::Test {
  protected:
    OutsideTheCodePage() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"J\u00FCrgen" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder_.c_str(), nullptr);
        file_ = folder_ + L"\\mine.exe";
        HANDLE h = CreateFileW(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(h);
        g_readerCalls = 0;
    }
    ~OutsideTheCodePage() override {
        win::SetShortPathReader(nullptr);
        DeleteFileW(file_.c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    std::wstring folder_;
    std::wstring file_;
};

} // namespace

// Whatever the code page holds comes back as the very bytes the ANSI functions gave
// before: trail bytes equal to "\" (表, ソ), half-width kana, NEC special letters,
// blanks and dots, plain ASCII. The short form is not even asked for.
TEST_F(OutsideTheCodePage, PathsTheCodePageHoldsAreKeptByteForByte) {
    win::SetShortPathReader(&NoShortName);
    const std::vector<std::string> paths = {
        "C:\\Program Files\\app.exe", "C:\\表示\\ソフト\\予定 十.exe", "C:\\ｱﾌﾟﾘ\\ﾂｰﾙ.exe",
        "C:\\①\\Ⅱ\\㈱.exe",           "\\\\server\\share\\a b.c.exe",  "",
        "C:\\～∥－￢\\x.exe"};
    for (const std::string& path : paths) {
        const std::wstring wide = win::WideFromAnsi(path);
        std::string exact;
        EXPECT_TRUE(win::ExactAnsi(wide, exact)) << path;
        EXPECT_EQ(exact, path);
        const win::AnsiPath kept = win::StorablePath(wide);
        EXPECT_EQ(kept.Kind, win::AnsiPathKind::Exact) << path;
        EXPECT_EQ(kept.Path, path);
        EXPECT_EQ(win::ShownPath(path), path);
    }
    EXPECT_EQ(g_readerCalls, 0);
}

// "Jürgen" has no exact spelling: the ANSI functions' best fit names a file that
// does not exist. The short form does, and is shown by the long name best spelt.
TEST_F(OutsideTheCodePage, PathTheCodePageLacksIsKeptByAShortFormThatOpens) {
    std::string exact;
    EXPECT_FALSE(win::ExactAnsi(file_, exact));
    const std::string bestFit = win::BestFitAnsi(file_);
    EXPECT_EQ(GetFileAttributesA(bestFit.c_str()), INVALID_FILE_ATTRIBUTES) << bestFit;

    const win::AnsiPath kept = win::StorablePath(file_);
    ASSERT_EQ(kept.Kind, win::AnsiPathKind::Short);
    EXPECT_NE(kept.Path, bestFit);
    EXPECT_NE(GetFileAttributesA(kept.Path.c_str()), INVALID_FILE_ATTRIBUTES) << kept.Path;
    EXPECT_EQ(win::ShownPath(kept.Path), bestFit);
    EXPECT_EQ(win::StorablePath(folder_).Path + "\\mine.exe", kept.Path);
}

// Without a usable short form (none, or the long name again) nothing is kept.
TEST_F(OutsideTheCodePage, WithoutAShortFormNothingIsKept) {
    for (win::ShortPathReader reader : {&NoShortName, &LongNameAgain}) {
        win::SetShortPathReader(reader);
        g_readerCalls = 0;
        const win::AnsiPath kept = win::StorablePath(file_);
        EXPECT_EQ(kept.Kind, win::AnsiPathKind::None);
        EXPECT_EQ(kept.Path, "");
        EXPECT_EQ(g_readerCalls, 1);
    }
    win::SetShortPathReader(nullptr);
    EXPECT_EQ(win::StorablePath(file_).Kind, win::AnsiPathKind::Short);
}
