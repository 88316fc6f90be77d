// The window snapshot and the classification of one process's top-level windows,
// on windows of this test process and of the target programs.
#include "quit/window_list.h"
#include "quit/window_table.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

namespace {

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return DefWindowProcA(h, m, w, l);
}

// Top-level windows of this process, destroyed with the fixture.
class Windows {
  public:
    ~Windows() {
        for (auto it = made_.rbegin(); it != made_.rend(); ++it)
            DestroyWindow(*it);
    }
    HWND Make(const char* cls, const char* title, DWORD style, DWORD exStyle = 0,
              HWND owner = nullptr) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = PlainProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = cls;
        RegisterClassA(&wc);
        HWND h = CreateWindowExA(exStyle, cls, title, style, 20, 20, 120, 90, owner, nullptr,
                                 wc.hInstance, nullptr);
        EXPECT_NE(h, nullptr) << cls;
        made_.push_back(h);
        return h;
    }

  private:
    std::vector<HWND> made_;
};

void SetStyle(HWND h, DWORD remove, DWORD add) {
    SetWindowLongA(h, GWL_STYLE, (GetWindowLongA(h, GWL_STYLE) & ~remove) | add);
}

std::vector<HWND> Accepted(const TWindowTable& t, int last) {
    std::vector<HWND> r;
    for (int i = 0; i <= last; ++i)
        r.push_back(t[i].Handle);
    return r;
}

bool Has(const std::vector<HWND>& v, HWND h) {
    return std::find(v.begin(), v.end(), h) != v.end();
}

std::multiset<std::string> ClassesOf(const TWindowTable& t, int last) {
    std::multiset<std::string> r;
    for (int i = 0; i <= last; ++i)
        r.insert(t[i].ClassName + "/" + t[i].Text);
    return r;
}

} // namespace

TEST(WindowList, SnapshotInZOrderWithTheWindowsFacts) {
    Windows w;
    HWND a = w.Make("VakoListA", "Window A", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND b = w.Make("VakoListB", std::string(300, 'x').c_str(), WS_OVERLAPPEDWINDOW);
    EnableWindow(b, FALSE);
    SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    TWindowList list;
    int ia = -1, ib = -1;
    for (int i = 0; i < list.Count(); ++i) {
        if (list.Items(i).Handle == a)
            ia = i;
        if (list.Items(i).Handle == b)
            ib = i;
    }
    ASSERT_GE(ia, 0);
    ASSERT_GE(ib, 0);
    EXPECT_LT(ia, ib); // a was raised above b

    TWindowObject oa = list.Items(ia), ob = list.Items(ib);
    EXPECT_EQ(oa.Text, "Window A");
    EXPECT_EQ(ob.Text, std::string(254, 'x'));
    EXPECT_EQ(oa.ThreadID, GetCurrentThreadId());
    EXPECT_TRUE(oa.Visible && oa.Enabled);
    EXPECT_FALSE(ob.Visible || ob.Enabled);
    RECT r;
    GetWindowRect(a, &r);
    EXPECT_TRUE(EqualRect(&r, &oa.Bounds));

    EXPECT_THROW(list.Items(list.Count()), EListError);
    EXPECT_THROW(list.Items(-1), EListError);

    int before = list.Count();
    DestroyWindow(w.Make("VakoListC", "", WS_OVERLAPPEDWINDOW));
    HWND c = w.Make("VakoListC", "", WS_OVERLAPPEDWINDOW);
    list.Refresh();
    EXPECT_EQ(list.Count(), before + 1);
    bool found = false;
    for (int i = 0; i < list.Count(); ++i)
        found = found || list.Items(i).Handle == c;
    EXPECT_TRUE(found);
}

TEST(CollectWindows, AcceptanceCaseByCase) {
    Windows w;
    HWND plain = w.Make("VakoPlain", "Plain", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND hidden = w.Make("VakoHidden", "Hidden", WS_OVERLAPPEDWINDOW);
    HWND disabled = w.Make("VakoDisabled", "", WS_OVERLAPPEDWINDOW | WS_DISABLED);
    HWND tool = w.Make("VakoTool", "", WS_POPUP, WS_EX_TOOLWINDOW);
    HWND topTool = w.Make("VakoTopTool", "", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    // A frame makes the system add WS_EX_WINDOWEDGE: no longer exactly a tool window.
    HWND framedTool = w.Make("VakoFramedTool", "", WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW);
    HWND child = w.Make("VakoChildStyle", "", WS_OVERLAPPEDWINDOW);
    SetStyle(child, 0, WS_CHILD);
    HWND util = w.Make("TPUtilWindow", "", WS_POPUP, WS_EX_TOOLWINDOW);
    HWND disabledUtil = w.Make("TPUtilWindow", "", WS_POPUP | WS_DISABLED, WS_EX_TOOLWINDOW);
    HWND ownedPopup = w.Make("VakoOwnedPopup", "", WS_POPUP | WS_CAPTION, 0, plain);
    HWND ownedOverlapped = w.Make("VakoOwnedFrame", "", WS_OVERLAPPEDWINDOW, 0, plain);
    HWND socket = w.Make("AfxWnd42s", "Socket Notification Sink", WS_OVERLAPPEDWINDOW);
    HWND socketLower = w.Make("AfxWnd42s", "socket notification sink", WS_OVERLAPPEDWINDOW);
    HWND ole = w.Make("OleVakoWindow", "", WS_OVERLAPPEDWINDOW);
    HWND dde = w.Make("DDEVakoWindow", "", WS_OVERLAPPEDWINDOW);

    TWindowTable table;
    TWindowList list;
    int last = CollectWindows(table, list, GetCurrentProcessId());
    std::vector<HWND> got = Accepted(table, last);
    EXPECT_TRUE(Has(got, plain));
    EXPECT_TRUE(Has(got, hidden)); // visibility is never tested
    EXPECT_FALSE(Has(got, disabled));
    EXPECT_FALSE(Has(got, tool));
    EXPECT_TRUE(Has(got, topTool));
    EXPECT_TRUE(Has(got, framedTool));
    EXPECT_FALSE(Has(got, child));
    EXPECT_TRUE(Has(got, util));
    EXPECT_FALSE(Has(got, disabledUtil));
    EXPECT_FALSE(Has(got, ownedPopup));     // GetParent names its owner
    EXPECT_TRUE(Has(got, ownedOverlapped)); // GetParent of an owned frame is 0
    EXPECT_FALSE(Has(got, socket));
    EXPECT_TRUE(Has(got, socketLower));
    EXPECT_FALSE(Has(got, ole)); // service windows go when there are others
    EXPECT_FALSE(Has(got, dde));

    // The entry's facts as the system gives them.
    for (int i = 0; i <= last; ++i) {
        if (table[i].Handle != util)
            continue;
        EXPECT_EQ(table[i].ClassName, "TPUtilWindow");
        EXPECT_EQ(table[i].ExStyle, static_cast<uint32_t>(WS_EX_TOOLWINDOW));
        EXPECT_FALSE(table[i].Visible);
        EXPECT_EQ(table[i].ThreadID, GetCurrentThreadId());
        EXPECT_EQ(table[i].ClassWndProc,
                  static_cast<uint32_t>(reinterpret_cast<uintptr_t>(PlainProc)));
        EXPECT_EQ(table[i].Placement.length, sizeof(WINDOWPLACEMENT));
    }
}

TEST(CollectWindows, TopmostAcceptedWindowComesFirst) {
    Windows w;
    HWND a = w.Make("VakoOrderA", "A", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND b = w.Make("VakoOrderB", "B", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    TWindowTable table;
    TWindowList list;
    for (HWND top : {a, b, a}) {
        SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ASSERT_GE(CollectWindows(table, list, GetCurrentProcessId()), 1);
        EXPECT_EQ(table[0].Handle, top);
        EXPECT_EQ(MainWindowOf(table, list, GetCurrentProcessId()), top);
    }
}

TEST(CollectWindows, MoreThan256WindowsFillTheTableAndNoMore) {
    Windows w;
    for (int i = 0; i < 300; ++i)
        w.Make("VakoMany", "", WS_OVERLAPPEDWINDOW);
    TWindowTable table;
    TWindowList list;
    int last = CollectWindows(table, list, GetCurrentProcessId());
    EXPECT_EQ(last, kMaxWindows - 1);
    std::set<HWND> distinct;
    for (const TWindowInfo& e : table) {
        EXPECT_TRUE(IsWindow(e.Handle));
        distinct.insert(e.Handle);
    }
    EXPECT_EQ(distinct.size(), static_cast<size_t>(kMaxWindows));
}

TEST(CollectWindows, TableIsClearedBeforeEachRun) {
    Windows w;
    w.Make("VakoClearA", "", WS_OVERLAPPEDWINDOW);
    w.Make("VakoClearB", "", WS_OVERLAPPEDWINDOW);
    TWindowTable table;
    TWindowList list;
    ASSERT_GE(CollectWindows(table, list, GetCurrentProcessId()), 1);
    // A process ID nobody has: nothing accepted, and no handle left over.
    EXPECT_EQ(CollectWindows(table, list, 0x7FFFFFF0), -1);
    for (const TWindowInfo& e : table)
        EXPECT_EQ(e.Handle, nullptr);
    EXPECT_EQ(MainWindowOf(table, list, 0x7FFFFFF0), nullptr);
}

TEST(CollectWindowsOfTargets, ServiceWindowsAreSeenThrough) {
    std::string dir = qt::NewTempDir();
    qt::Target t(qt::TargetPath(), dir + "log.txt", "--mode service");
    ASSERT_TRUE(t.Ready());
    TWindowTable table;
    TWindowList list;
    int last = CollectWindows(table, list, t.Pid());
    EXPECT_EQ(ClassesOf(table, last),
              (std::multiset<std::string>{"VakoTopTool/Vako Top Tool", "AfxWnd42s/socket lower"}));
}

TEST(CollectWindowsOfTargets, ServiceClassesAloneOrInPairs) {
    std::string dir = qt::NewTempDir();
    qt::Target one(qt::TargetPath(), dir + "log.txt", "--mode ole --count 1");
    qt::Target two(qt::TargetPath(), dir + "log.txt", "--mode ole --count 2");
    ASSERT_TRUE(one.Ready() && two.Ready());
    TWindowTable table;
    TWindowList list;
    EXPECT_EQ(CollectWindows(table, list, one.Pid()), 0);
    EXPECT_EQ(table[0].ClassName, "OleVakoWndClass");
    EXPECT_EQ(MainWindowOf(table, list, one.Pid()), table[0].Handle);
    EXPECT_NE(table[0].Handle, nullptr);
    EXPECT_EQ(CollectWindows(table, list, two.Pid()), -1);
    EXPECT_EQ(MainWindowOf(table, list, two.Pid()), nullptr);
}

TEST(CollectWindowsOfTargets, ResidentAndFrameworkPrograms) {
    std::string dir = qt::NewTempDir();
    qt::Target resident(qt::TargetPath(), dir + "log.txt", "--mode resident");
    qt::Target framework(qt::TargetPath(), dir + "log.txt", "--mode framework");
    qt::Target windowless(qt::TargetPath(), dir + "log.txt",
                          "--mode param --event VakoNoStop --no-windows");
    ASSERT_TRUE(resident.Ready() && framework.Ready() && windowless.Ready());
    TWindowTable table;
    TWindowList list;

    ASSERT_EQ(CollectWindows(table, list, resident.Pid()), 1);
    for (int i = 0; i <= 1; ++i) {
        EXPECT_EQ(table[i].ClassName, "TPUtilWindow");
        EXPECT_FALSE(table[i].Visible);
        // Accepted although a plain window of this extended style would not be.
        EXPECT_EQ(table[i].ExStyle, static_cast<uint32_t>(WS_EX_TOOLWINDOW));
    }

    int last = CollectWindows(table, list, framework.Pid());
    EXPECT_EQ(ClassesOf(table, last),
              (std::multiset<std::string>{"TApplication/VakoApp", "TPUtilWindow/",
                                          "TVakoMainForm/Vako Main Form"}));

    EXPECT_EQ(CollectWindows(table, list, windowless.Pid()), -1);
    EXPECT_EQ(MainWindowOf(table, list, windowless.Pid()), nullptr);
}
