// Keyboard focus and input, and programs of the Linux host.
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "vako_e2e.h"

namespace e2e {

std::optional<DWORD> RunHostProgram(const std::string& program, const std::string& args,
                                    DWORD timeoutMs) {
    // Wine starts a Unix executable named by its DOS path, but hands back no
    // process handle to wait on; the shell leaves the exit code in a file instead.
    char tempDir[MAX_PATH];
    char done[MAX_PATH];
    if (!GetTempPathA(MAX_PATH, tempDir) || !GetTempFileNameA(tempDir, "e2e", 0, done))
        ThrowLastError("GetTempFileNameA");
    DeleteFileA(done);
    const std::string hostDone = HostPath(done);
    if (hostDone.empty())
        throw DriverError("RunHostProgram: not running under Wine");
    const std::string script = program + " " + args + " >/dev/null 2>&1; echo $? > '" + hostDone +
                               ".part'; mv '" + hostDone + ".part' '" + hostDone + "'";
    std::string cmd = "Z:\\bin\\sh -c \"" + script + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA("Z:\\bin\\sh", &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        ThrowLastError("CreateProcessA /bin/sh");
    if (pi.hThread)
        CloseHandle(pi.hThread);
    if (pi.hProcess)
        CloseHandle(pi.hProcess);
    if (!WaitUntil([&] { return FileExists(done); }, timeoutMs, 5))
        return std::nullopt;
    const std::string code = ReadFileBytes(done);
    DeleteFileA(done);
    return static_cast<DWORD>(std::strtoul(code.c_str(), nullptr, 10));
}

unsigned long XWindowOf(HWND topLevel) {
    return static_cast<unsigned long>(
        reinterpret_cast<ULONG_PTR>(GetPropA(topLevel, "__wine_x11_whole_window")));
}

bool FocusWindow(HWND topLevel) {
    unsigned long xid = XWindowOf(topLevel);
    if (!xid)
        throw DriverError("no X window for \"" + Caption(topLevel) + "\" (not shown yet?)");
    auto code = RunHostProgram("xdotool", "windowfocus --sync " + std::to_string(xid));
    if (!code || *code != 0)
        return false;
    // Wine learns of the focus from the X server asynchronously.
    return WaitUntil([&] { return GetForegroundWindow() == topLevel; }, 2000);
}

namespace {
INPUT Key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}
} // namespace

void SendKeys(const std::vector<WORD>& keys, const std::vector<WORD>& modifiers) {
    std::vector<INPUT> seq;
    for (WORD m : modifiers)
        seq.push_back(Key(m, false));
    for (WORD k : keys) {
        seq.push_back(Key(k, false));
        seq.push_back(Key(k, true));
    }
    for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m)
        seq.push_back(Key(*m, true));
    if (SendInput(static_cast<UINT>(seq.size()), seq.data(), sizeof(INPUT)) != seq.size())
        ThrowLastError("SendInput");
}

void TypeChars(HWND control, const std::string& ascii) {
    for (unsigned char c : ascii)
        Post(control, WM_CHAR, c, 1);
}

std::vector<HWND> TabOrder(HWND dlg) {
    std::vector<HWND> order;
    HWND first = GetNextDlgTabItem(dlg, nullptr, FALSE);
    for (HWND w = first; w && order.size() < 256; w = GetNextDlgTabItem(dlg, w, FALSE)) {
        if (!order.empty() && w == first)
            break;
        order.push_back(w);
    }
    return order;
}

::testing::AssertionResult KeyboardOrderHolds(HWND dlg) {
    // Controls on one row may sit a few pixels apart (a label's check box beside
    // its edit field).
    constexpr LONG kRowSlack = 6;
    const std::vector<HWND> order = TabOrder(dlg);
    if (order.empty())
        return ::testing::AssertionFailure() << "no tab stop";
    for (size_t i = 1; i < order.size(); ++i) {
        RECT a = {}, b = {};
        GetWindowRect(order[i - 1], &a);
        GetWindowRect(order[i], &b);
        const bool below = b.top > a.top + kRowSlack;
        const bool rightOnTheRow = b.top >= a.top - kRowSlack && b.left >= a.left;
        if (!below && !rightOnTheRow)
            return ::testing::AssertionFailure()
                   << "Tab goes from control " << GetDlgCtrlID(order[i - 1]) << " \""
                   << WindowText(order[i - 1]) << "\" up to control " << GetDlgCtrlID(order[i])
                   << " \"" << WindowText(order[i]) << "\"";
    }
    std::string keys;
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        // Only the captions of buttons and labels carry access keys; a label marked
        // SS_NOPREFIX shows its "&" as it is.
        const std::string cls = ClassName(c);
        const bool label = cls == "Static" && (GetWindowLongA(c, GWL_STYLE) & SS_NOPREFIX) == 0;
        if (!IsWindowVisible(c) || !(label || cls == "Button"))
            continue;
        const std::string text = WindowText(c);
        for (const char* p = text.c_str(); *p; p = CharNextA(p)) {
            if (*p != '&')
                continue;
            if (p[1] == '&') { // "&&" is a plain "&"
                ++p;
                continue;
            }
            const char key = static_cast<char>(std::toupper(static_cast<unsigned char>(p[1])));
            if (!key)
                break;
            if (keys.find(key) != std::string::npos)
                return ::testing::AssertionFailure() << "access key &" << key << " twice";
            keys += key;
        }
    }
    return ::testing::AssertionSuccess();
}

std::string HostPath(const std::string& windowsPath) {
    using UnixNameFn = char*(CDECL*)(const WCHAR*);
    static const UnixNameFn unixName =
        win::ProcAddress<UnixNameFn>(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (!unixName)
        return "";
    std::wstring wide(windowsPath.size() + 1, L'\0');
    int n = MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, &wide[0],
                                static_cast<int>(wide.size()));
    if (n == 0)
        return "";
    char* name = unixName(wide.c_str());
    if (!name)
        return "";
    std::string out = name;
    HeapFree(GetProcessHeap(), 0, name);
    return out;
}

void SaveScreenshot(const std::string& path) {
    SaveScreenArea(path, RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

void SaveScreenArea(const std::string& path, const RECT& area) {
    const int w = area.right - area.left;
    const int h = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    if (!screen)
        ThrowLastError("GetDC");
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h; // bottom-up, as BMP files store it
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win::GdiObject dib(CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    bool ok = mem && dib;
    if (ok) {
        HGDIOBJ old = SelectObject(mem, dib.get());
        ok = BitBlt(mem, 0, 0, w, h, screen, area.left, area.top, SRCCOPY | CAPTUREBLT) != FALSE;
        SelectObject(mem, old);
        GdiFlush();
    }
    if (mem)
        DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    if (!ok)
        ThrowLastError("screen capture");

    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    const DWORD imageSize = stride * static_cast<DWORD>(h);
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42; // "BM"
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + imageSize;
    bi.bmiHeader.biSizeImage = imageSize;
    std::string file(reinterpret_cast<const char*>(&fh), sizeof fh);
    file.append(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof bi.bmiHeader);
    file.append(static_cast<const char*>(bits), imageSize);
    WriteFileBytes(path, file);
    std::string host = HostPath(path);
    std::printf("screenshot: %s%s%s\n", path.c_str(), host.empty() ? "" : " = ", host.c_str());
    std::fflush(stdout);
}

bool ShotForGuide(HWND window, const std::string& name) {
    const char* dir = std::getenv("VAKO_SCREENSHOT_DIR");
    if (!dir || !*dir)
        return true;
    return SaveWindowShot(window, std::string(dir) + "\\" + name + ".bmp");
}

bool SaveWindowShot(HWND window, const std::string& path) {
    // Only once the window and its controls have painted themselves. (Nothing is
    // invalidated from here: a parent that paints after its children would cover
    // them.)
    const bool painted = WaitUntil(
        [&] {
            DWORD_PTR ignored = 0;
            SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
            if (GetUpdateRect(window, nullptr, FALSE))
                return false;
            for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                if (IsWindowVisible(c) && GetUpdateRect(c, nullptr, FALSE))
                    return false;
            return true;
        },
        5000, 20);
    RECT r = {};
    GetWindowRect(window, &r);
    // Wine hands the drawing to the X server a moment later: the screen is taken
    // until two pictures in a row agree.
    std::string previous;
    const bool settled = WaitUntil(
        [&] {
            SaveScreenArea(path, r);
            std::string now = ReadFileBytes(path);
            const bool same = now == previous;
            previous = std::move(now);
            return same;
        },
        5000, 150);
    return painted && settled;
}

} // namespace e2e
