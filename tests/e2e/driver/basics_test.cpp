// Waiting, the sandbox, host programs, keyboard input and the screenshot.
#include <gtest/gtest.h>

#include "core/text.h"
#include "vako_e2e.h"

using namespace e2e;

namespace {
SandboxOptions NoProgram() {
    SandboxOptions o;
    o.copyProgram = false;
    return o;
}
} // namespace

TEST(Wait, PollsUntilTrueAndKeepsTheDeadline) {
    int calls = 0;
    EXPECT_TRUE(WaitUntil([&] { return ++calls == 5; }, 5000));
    EXPECT_EQ(calls, 5);

    const DWORD t0 = GetTickCount();
    EXPECT_FALSE(WaitUntil([] { return false; }, 200));
    const DWORD took = GetTickCount() - t0;
    EXPECT_GE(took, 190u);
    EXPECT_LT(took, 3000u);
}

TEST(SandboxTest, FreshFolderPerTestUnderTheBuildTree) {
    Sandbox first(NoProgram());
    char full[MAX_PATH];
    GetFullPathNameA(
        (TestBinDir() + "..\\e2e\\SandboxTest.FreshFolderPerTestUnderTheBuildTree\\").c_str(),
        MAX_PATH, full, nullptr);
    EXPECT_EQ(first.Dir(), std::string(full));
    EXPECT_EQ(first.Root(), first.Dir());
    first.WriteFile("left-over.txt", "x");
    ASSERT_TRUE(first.Exists("left-over.txt"));

    Sandbox second(NoProgram());
    EXPECT_EQ(second.Dir(), first.Dir());
    EXPECT_FALSE(second.Exists("left-over.txt")) << "a new sandbox starts empty";
    second.WriteFile("a.txt", "1");
    second.Remove("a.txt");
    EXPECT_FALSE(second.Exists("a.txt"));
}

TEST(SandboxTest, SettingsFileIsWrittenAndReadByteForByte) {
    Sandbox box(NoProgram());
    // CR LF, a lone LF, no final line end, and 表 (0x95 0x5C) whose trail byte is "\".
    const std::string ini = "[Main]\r\nName=表示\r\nOdd=1\nLast=ポムッと終了";
    ASSERT_NE(ini.find("\x95\x5C"), std::string::npos);
    EXPECT_FALSE(box.IniExists());
    box.WriteIni(ini);
    EXPECT_TRUE(box.IniExists());
    EXPECT_EQ(box.ReadIni(), ini);
    EXPECT_EQ(ReadFileBytes(box.IniPath()).size(), ini.size());
    EXPECT_EQ(box.IniPath(), box.Dir() + "VakoQuit.ini");
}

TEST(SandboxTest, JapaneseSubFolderHoldsTheCopiedProgram) {
    SandboxOptions o = NoProgram();
    o.subFolder = "表示";
    o.extraFiles = {"e2e_fake_form.exe"};
    Sandbox box(o);
    EXPECT_EQ(box.Dir(), box.Root() + "表示\\");
    ASSERT_TRUE(box.Exists("e2e_fake_form.exe"));
    EXPECT_EQ(box.ExePath(), box.Dir() + "VakoQuit.exe");
    std::string copy = box.Copy(box.Path("e2e_fake_form.exe"), "second.exe");
    EXPECT_EQ(copy, box.Dir() + "second.exe");

    AppProcess app(copy, "", box.Dir());
    ASSERT_NE(app.WaitForMainWindow(), nullptr);
    EXPECT_EQ(text::CompareText(ProcessImagePath(app.Id()), copy), 0) << ProcessImagePath(app.Id());
}

TEST(SandboxTest, ProgramFilesAreCopiedWhenBuilt) {
    const std::string bin = TestBinDir();
    if (!FileExists(bin + "VakoQuit.exe")) {
        try {
            Sandbox box;
            ADD_FAILURE() << "a sandbox without a built program must fail";
        } catch (const DriverError& e) {
            EXPECT_TRUE(text::Contains(e.what(), "VakoQuit.exe")) << e.what();
        }
        return;
    }
    Sandbox box;
    EXPECT_EQ(box.ReadFile("VakoQuit.exe"), ReadFileBytes(bin + "VakoQuit.exe"));
    EXPECT_EQ(box.Exists("VakoHook.dll"), FileExists(bin + "VakoHook.dll"));
}

TEST(Host, ProgramsOfTheHostReportTheirExitCode) {
    EXPECT_EQ(RunHostProgram("true", "", 5000), std::optional<DWORD>(0));
    EXPECT_EQ(RunHostProgram("sh", "-c 'exit 3'", 5000), std::optional<DWORD>(3));
    const std::string host = HostPath(TestBinDir() + "x.txt");
    EXPECT_EQ(host.substr(0, 1), "/");
    EXPECT_TRUE(host.size() > 10 && host.compare(host.size() - 10, 10, "/bin/x.txt") == 0) << host;
}

TEST(Input, FocusedWindowReceivesKeys) {
    char dir[MAX_PATH];
    GetSystemDirectoryA(dir, MAX_PATH);
    Process np = Process::Start(std::string(dir) + "\\notepad.exe");
    HWND top = nullptr, edit = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            top = FindTopWindow(np.Id(), "Notepad");
            edit = top ? FindDescendant(top, "Edit") : nullptr;
            return edit && IsWindowVisible(top) && XWindowOf(top) != 0;
        },
        kDefaultTimeoutMs));
    ASSERT_TRUE(FocusWindow(top));
    EXPECT_EQ(GetForegroundWindow(), top);
    SendKeys({'A', 'B', 'C'});
    EXPECT_TRUE(WaitUntil([&] { return WindowText(edit) == "abc"; }, 5000)) << WindowText(edit);
    SendKeys({'A'}, {VK_CONTROL});
    SendKeys({VK_DELETE});
    EXPECT_TRUE(WaitUntil([&] { return WindowText(edit).empty(); }, 5000)) << WindowText(edit);
}

namespace {
LRESULT CALLBACK RedProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc, &ps.rcPaint, red);
        DeleteObject(red);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}
} // namespace

TEST(Screen, ScreenshotHoldsWhatIsShown) {
    // Another process's window must be in the shot too: its empty list area is white.
    SandboxOptions o = NoProgram();
    o.extraFiles = {"e2e_fake_form.exe"};
    Sandbox box(o);
    AppProcess app(box.Path("e2e_fake_form.exe"), "", box.Dir());
    MainWindow form = app.Main();
    SetWindowPos(form.Hwnd(), nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT list{};
    ASSERT_TRUE(
        WaitUntil([&] { return GetWindowRect(form.List(), &list) && list.left >= 400; }, 5000));
    const POINT white{list.right - 20, list.bottom - 20};
    ASSERT_TRUE(WaitUntil(
        [&] {
            HDC screen = GetDC(nullptr);
            COLORREF c = GetPixel(screen, white.x, white.y);
            ReleaseDC(nullptr, screen);
            return c == RGB(255, 255, 255);
        },
        5000));

    WNDCLASSA wc{};
    wc.lpfnWndProc = RedProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "E2ERedProbe";
    RegisterClassA(&wc);
    HWND probe = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 100,
                                 100, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(probe, nullptr);
    UpdateWindow(probe);
    // Shown once the screen itself has it, read through another path than the shot.
    ASSERT_TRUE(WaitUntil(
        [] {
            HDC screen = GetDC(nullptr);
            COLORREF c = GetPixel(screen, 150, 150);
            ReleaseDC(nullptr, screen);
            return c == RGB(255, 0, 0);
        },
        5000));

    SaveScreenshot(box.Path("screen.bmp"));
    DestroyWindow(probe);
    const std::string bmp = box.ReadFile("screen.bmp");
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(bmp.data() + 14);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(info->biWidth, w);
    EXPECT_EQ(info->biHeight, h);
    EXPECT_EQ(info->biBitCount, 24);
    const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t(3);
    ASSERT_EQ(bmp.size(), 54 + stride * h);
    auto pixel = [&](int x, int y) { // BGR of screen point (x, y); rows stored bottom-up
        const char* p = bmp.data() + 54 + stride * (h - 1 - y) + x * 3;
        return RGB(static_cast<BYTE>(p[2]), static_cast<BYTE>(p[1]), static_cast<BYTE>(p[0]));
    };
    EXPECT_EQ(pixel(150, 150), RGB(255, 0, 0));
    EXPECT_EQ(pixel(299, 199), RGB(255, 0, 0));
    EXPECT_NE(pixel(301, 150), RGB(255, 0, 0));
    EXPECT_EQ(pixel(white.x, white.y), RGB(255, 255, 255));
    EXPECT_NE(pixel(white.x, list.bottom + 40), RGB(255, 255, 255)) << "below the form";
}
