// What a quit read of a running program: its arguments cut from its command line,
// and the place of its window as the settings file keeps it.
#include "core/ran_with.h"

#include <gtest/gtest.h>

// The program is cut as the system reads it: a quoted path with blanks (its closing
// quote ends it even without a blank after it), a quote inside the path, a bare
// name, tabs, and nothing after the program at all.
// An unquoted path with blanks (CreateProcess takes it whole when the file exists)
// is cut after the process's own image path, not at its first blank.
TEST(RanWith, ArgumentsAreWhatFollowsTheProgram) {
    const std::wstring image = L"C:\\Program Files\\App\\app.exe";
    const struct {
        const wchar_t* commandLine;
        const wchar_t* args;
    } cases[] = {
        {L"\"C:\\Program Files\\App\\app.exe\" \"C:\\my docs\\a b.txt\" -x",
         L"\"C:\\my docs\\a b.txt\" -x"},
        {L"\"C:\\Program Files\\App\\app.exe\"", L""},
        {L"\"C:\\Program Files\\App\\app.exe\"-x", L"-x"},
        {L"C:\\\"Program Files\"\\App\\app.exe  two  ", L"two"},
        {L"app.exe\tfile.txt", L"file.txt"},
        {L"app file.txt", L"file.txt"},
        {L"C:\\Program Files\\App\\app.exe file.txt", L"file.txt"},
        {L"c:\\program files\\app\\APP.EXE file.txt", L"file.txt"},
        {L"C:\\Program Files\\App\\app.exe", L""},
        // Only a whole image path counts: a longer program that starts the same is
        // cut by the runtime's rule.
        {L"C:\\Program Files\\App\\app.exe2 x", L"Files\\App\\app.exe2 x"},
        {L"", L""},
    };
    // Wine's notepad ends its file name with a NUL over the closing quote; one over
    // the blank after the program stood for a blank. A NUL-free line keeps an open
    // quote as it is: the program was given it so.
    using namespace std::string_literals;
    EXPECT_EQ(ArgumentsAfterProgram(L"\"C:\\w\\notepad.exe\" \"Z:\\a b.txt\0"s, L""),
              L"\"Z:\\a b.txt\"");
    EXPECT_EQ(ArgumentsAfterProgram(L"app.exe\0-x \"y\""s, L""), L"-x \"y\"");
    EXPECT_EQ(ArgumentsAfterProgram(L"app.exe \"open", L""), L"\"open");
    for (const auto& c : cases)
        EXPECT_EQ(ArgumentsAfterProgram(c.commandLine, image), c.args) << c.commandLine;
    EXPECT_EQ(ArgumentsAfterProgram(L"C:\\Program Files\\App\\app.exe file.txt", L""),
              L"Files\\App\\app.exe file.txt");
}

// A place goes to the file and back unchanged, off-screen and negative ones
// included; an empty rectangle is no place, and whatever else stands in the file
// (a hand edit, a broken write) gives no place rather than a wrong one.
TEST(RanWith, WindowPlaceGoesToTheFileAndBack) {
    const TWindowPlace places[] = {
        {100, 80, 740, 560, 0}, {-1900, -20, -1000, 700, 2}, {5, 6, 7, 8, 1}};
    for (const TWindowPlace& p : places) {
        EXPECT_TRUE(p.Set());
        EXPECT_EQ(ParseWindowPlace(FormatWindowPlace(p)), p) << FormatWindowPlace(p);
    }
    EXPECT_EQ(FormatWindowPlace(TWindowPlace{100, 80, 740, 560, 2}), "100,80,740,560,2");
    EXPECT_EQ(FormatWindowPlace(TWindowPlace()), "");
    EXPECT_EQ(FormatWindowPlace(TWindowPlace{10, 10, 10, 50, 0}), "");
    for (const char* bad :
         {"", "1,2,3,4", "1,2,3,4,0,5", "1,2,3,4,3", "1,2,3,4,-1", "10,10,5,20,0", "1,2,,4,0",
          "1, 2,3,4,0", "a,2,3,4,0", "1,2,3,99999999999,0", "1,2,3,4,0,"}) {
        EXPECT_FALSE(ParseWindowPlace(bad).Set()) << bad;
    }
}
