// The classification rules on plain data, without any window.
#include "quit/window_rules.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace quit_rules;

namespace {

constexpr uint32_t kOverlapped = 0x04CF0000; // WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS

struct Entry {
    Entry(std::string c, std::string t = "", uint32_t s = kOverlapped, uint32_t p = 0)
        : ClassName(std::move(c)), Text(std::move(t)), Style(s), ClassWndProc(p) {}
    std::string ClassName;
    std::string Text;
    uint32_t Style;
    uint32_t ClassWndProc;
};

std::vector<std::string> Classes(const std::vector<Entry>& t, int last) {
    std::vector<std::string> r;
    for (int i = 0; i <= last; ++i)
        r.push_back(t[i].ClassName);
    return r;
}

} // namespace

TEST(AcceptWindow, StyleTests) {
    EXPECT_TRUE(AcceptWindow("Notepad", "無題 - メモ帳", kOverlapped, 0, true));
    EXPECT_FALSE(AcceptWindow("Notepad", "", kOverlapped, 0, false)); // disabled
    EXPECT_FALSE(AcceptWindow("Notepad", "", kOverlapped & ~kWsClipSiblings, 0, true));
    EXPECT_FALSE(AcceptWindow("Notepad", "", kOverlapped | kWsChild, 0, true));
    // Only the exact tool-window extended style is rejected.
    EXPECT_FALSE(AcceptWindow("Notepad", "", kOverlapped, 0x80, true));
    EXPECT_TRUE(AcceptWindow("Notepad", "", kOverlapped, 0x80 | 0x08, true)); // | WS_EX_TOPMOST
    EXPECT_TRUE(AcceptWindow("Notepad", "", kOverlapped, 0x100, true));
}

TEST(AcceptWindow, UtilityWindowsSkipTheStyleTestsButNotTheEnabledTest) {
    const uint32_t hiddenPopup = 0x80000000; // no WS_CLIPSIBLINGS, not visible
    EXPECT_TRUE(AcceptWindow("TPUtilWindow", "", hiddenPopup, 0x80, true));
    EXPECT_TRUE(AcceptWindow("tputilwindow2", "", hiddenPopup | kWsChild, 0x80, true));
    EXPECT_FALSE(AcceptWindow("TPUtilWindow", "", hiddenPopup, 0x80, false));
    EXPECT_FALSE(AcceptWindow("XTPUtilWindow", "", hiddenPopup, 0x80, true));
}

TEST(AcceptWindow, SocketWindowsOfTheMfcRuntime) {
    EXPECT_FALSE(AcceptWindow("AfxWnd42s", "Socket Notification Sink", kOverlapped, 0, true));
    EXPECT_FALSE(AcceptWindow("AFXWND", "Socket", kOverlapped, 0, true));
    // The text test is case-sensitive and both conditions are needed.
    EXPECT_TRUE(AcceptWindow("AfxWnd42s", "socket notification", kOverlapped, 0, true));
    EXPECT_TRUE(AcceptWindow("MyWnd", "Socket", kOverlapped, 0, true));
    EXPECT_TRUE(AcceptWindow("AfxWnd42s", " Socket", kOverlapped, 0, true));
}

TEST(ServiceWindowClass, PrefixesIgnoreAsciiCaseOnly) {
    for (const char* c :
         {"AfxFrameOrView42s", "OleMainThreadWndClass", "OLEDDE", "DDEMLEvent", "TThreadWindow",
          "CLIPBRDWNDCLASS", "DMGClass", "dmgframe1", "tooltips_class32", "Tooltips_Class32x"})
        EXPECT_TRUE(IsServiceWindowClass(c)) << c;
    for (const char* c : {"AfxWnd42s", "XOle", "tooltips_class", "Notepad", "",
                          "ＯＬＥ"}) // full-width letters are other characters
        EXPECT_FALSE(IsServiceWindowClass(c)) << c;
}

TEST(AutoQuitRules, SkippedStylesAndClassesAreExact) {
    EXPECT_TRUE(IsSkippedByAutoQuit("Any", 0x04C00000));
    EXPECT_TRUE(IsSkippedByAutoQuit("Any", 0x94000000));
    EXPECT_TRUE(IsSkippedByAutoQuit("Internet Explorer_Hidden", kOverlapped));
    EXPECT_TRUE(IsSkippedByAutoQuit("INTERNET EXPLORER_HIDDEN", kOverlapped));
    EXPECT_FALSE(IsSkippedByAutoQuit("Internet Explorer_Hidden2", kOverlapped));
    EXPECT_FALSE(IsSkippedByAutoQuit("Any", 0x04C00000 | 0x10000000));
    EXPECT_FALSE(IsSkippedByAutoQuit("Any", 0x94000000 | 0x00080000));
    EXPECT_TRUE(IsApplicationWindowClass("TApplication"));
    EXPECT_TRUE(IsApplicationWindowClass("tapplicationX"));
    EXPECT_FALSE(IsApplicationWindowClass("MyTApplication"));
}

TEST(ExclusionPass, RemovesServiceWindowsAndMovesTheRestDown) {
    std::vector<Entry> t = {{"OleA"}, {"Main"},  {"DDE1"},
                            {"DDE2"}, {"Other"}, {"tooltips_class32"}};
    int last = ExcludeServiceWindows(t, 5);
    EXPECT_EQ(Classes(t, last), (std::vector<std::string>{"Main", "Other"}));
}

TEST(ExclusionPass, SoleWindowStaysTwoServiceWindowsVanish) {
    std::vector<Entry> one = {{"OLEChannelWnd"}};
    EXPECT_EQ(ExcludeServiceWindows(one, 0), 0);
    EXPECT_EQ(one[0].ClassName, "OLEChannelWnd");
    std::vector<Entry> two = {{"OleMainThreadWndClass"}, {"oleX"}};
    EXPECT_EQ(ExcludeServiceWindows(two, 1), -1);
    std::vector<Entry> none;
    EXPECT_EQ(ExcludeServiceWindows(none, -1), -1);
}

TEST(ChooseAutoTarget, SoleWindowWhateverItsStyle) {
    std::vector<Entry> t = {{"Internet Explorer_Hidden", "", 0x04C00000}};
    EXPECT_EQ(ChooseAutoTarget(t, 0), 0);
    EXPECT_EQ(t[0].ClassName, "Internet Explorer_Hidden");
}

TEST(ChooseAutoTarget, LastApplicationWindowWins) {
    std::vector<Entry> t = {{"TApplication", "a", kOverlapped, 1},
                            {"Form", "", kOverlapped, 0},
                            {"TApplicationX", "b", 0x04C00000, 9},
                            {"Other", "", kOverlapped, 0}};
    int target = ChooseAutoTarget(t, 3);
    EXPECT_EQ(target, 2);
    EXPECT_EQ(t[2].Text, "b"); // nothing was removed
}

TEST(ChooseAutoTarget, SmallestWindowProcedureAmongTheRemaining) {
    std::vector<Entry> t = {{"Bare", "", 0x04C00000, 1},
                            {"Big", "", kOverlapped, 0x90000000}, // above 2^31: unsigned
                            {"Popup", "", 0x94000000, 2},
                            {"Small", "", kOverlapped, 0x00401000},
                            {"Internet Explorer_Hidden", "", kOverlapped, 3},
                            {"Equal", "", kOverlapped, 0x00401000}};
    int target = ChooseAutoTarget(t, 5);
    EXPECT_EQ(t[target].ClassName, "Small"); // the first of two equal ones
    EXPECT_EQ(target, 1);                    // after removal: Big, Small, Equal
}

TEST(ChooseAutoTarget, AllRemovedLeavesTheFormerLastEntryInFront) {
    std::vector<Entry> t = {{"A", "", 0x04C00000, 5},
                            {"B", "", 0x94000000, 1},
                            {"Internet Explorer_Hidden", "", kOverlapped, 0},
                            {"D", "", 0x04C00000, 7}};
    int target = ChooseAutoTarget(t, 3);
    EXPECT_EQ(target, 0);
    EXPECT_EQ(t[0].ClassName, "D");
}

TEST(PostToMatching, EveryMatchPostedInOrderLastReturned) {
    std::vector<Entry> t = {{"MainFrame", "Doc 1"}, {"Other", "Doc 2"}, {"MainFrame2", "x"}};
    std::vector<int> posted;
    auto startsWithMain = [](const std::string& s) { return s.rfind("MainFrame", 0) == 0; };
    int last = PostToMatching(t, 2, true, startsWithMain, [&](int i) { posted.push_back(i); });
    EXPECT_EQ(last, 2);
    EXPECT_EQ(posted, (std::vector<int>{0, 2}));

    posted.clear();
    auto doc2 = [](const std::string& s) { return s == "Doc 2"; };
    EXPECT_EQ(PostToMatching(t, 2, false, doc2, [&](int i) { posted.push_back(i); }), 1);
    EXPECT_EQ(posted, (std::vector<int>{1}));

    posted.clear();
    auto nothing = [](const std::string&) { return false; };
    EXPECT_EQ(PostToMatching(t, 2, true, nothing, [&](int i) { posted.push_back(i); }), -1);
    EXPECT_TRUE(posted.empty());
}

TEST(CloseAll, CandidateRule) {
    const uint32_t visible = 0x10000000;
    EXPECT_TRUE(IsCloseAllCandidate(visible | 0x00C00000, 0, true, false));
    EXPECT_TRUE(IsCloseAllCandidate(visible | 0x00800000, 0, true, false));     // border only
    EXPECT_TRUE(IsCloseAllCandidate(visible | 0x00400000, 0x100, true, false)); // frame only
    EXPECT_FALSE(IsCloseAllCandidate(0x00C00000, 0, true, false));              // hidden
    EXPECT_FALSE(IsCloseAllCandidate(visible | 0x00C00000, 0, false, false));   // disabled
    EXPECT_FALSE(IsCloseAllCandidate(visible | 0x80000000, 0, true, false));    // no frame
    EXPECT_FALSE(IsCloseAllCandidate(visible | 0x00C00000, 0x88, true, false)); // tool bit
    EXPECT_FALSE(IsCloseAllCandidate(visible | 0x00C00000, 0, true, true));     // own
}

TEST(CloseAll, RequestAndIgnoreList) {
    CloseRequest sys = CloseRequestFor(0x10CF0000);
    EXPECT_EQ(sys.Message, 0x0112u);
    EXPECT_EQ(sys.WParam, 0xF060u);
    CloseRequest plain = CloseRequestFor(0x10C00000);
    EXPECT_EQ(plain.Message, 0x0010u);
    EXPECT_EQ(plain.WParam, 0u);

    std::vector<std::string> ignore = {"", "無題", "Calc"};
    EXPECT_TRUE(IsIgnoredTitle("メモ帳 - 無題 - 編集", ignore));
    EXPECT_TRUE(IsIgnoredTitle("My Calculator", ignore));
    EXPECT_FALSE(IsIgnoredTitle("my calculator", ignore)); // case-sensitive
    EXPECT_FALSE(IsIgnoredTitle("Anything", {""}));        // an empty entry matches nothing
    // "ア" is 0x83 0x41: its trail byte "A" is no character of its own.
    EXPECT_FALSE(IsIgnoredTitle("アプリ", {"A"}));
}
