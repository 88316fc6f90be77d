// VakoQuit's start-up with 256 registered programs (each a file of its own with an
// icon) against an empty list: from its start until the list is shown with all its
// items, and until the last icon is in (seen from inside its window thread by
// icon_watch.dll); and, while the icons load, the longest time a mouse move over
// the window waited before the window took it.
#include "bench.h"
#include "icon_watch.h"

#include <string>
#include <utility>
#include <vector>

using namespace e2e;

namespace {

const int kEntries = 256;
const int kRounds = 5;
// The main window's timer that loads the next slice of icons.
const UINT kLoadIconsMessage = WM_APP + 1;
const WPARAM kLoadIconsTimer = 0;
// No slice for this long: the last icon is in.
const DWORD kQuietMs = 500;
const DWORD kMouseEveryMs = 10;

std::string Settings(const std::string& folder, int entries) {
    std::string ini = "[Setting]\r\nVersion=0.3\r\n\r\n";
    for (int i = 0; i < entries; ++i) {
        std::string n = std::to_string(i);
        ini += "[" + n + "]\r\nName=アプリ" + n + "\r\nProgram=" + folder + "app" + n +
               ".exe\r\nWork=" + folder + "\r\nQuit=1\r\nRun=1\r\n\r\n";
    }
    return ini;
}

// A move of the mouse to one of two points beside `centre`, as the user's hand would.
void MoveMouse(POINT centre, int side) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = (centre.x + side) * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = centre.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
}

class IconWatch {
  public:
    IconWatch() {
        mapping_.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                          sizeof(icon_watch::Shared), icon_watch::kSharedName));
        if (!mapping_)
            ThrowLastError("CreateFileMappingA");
        shared_ = static_cast<icon_watch::Shared*>(
            MapViewOfFile(mapping_.get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(icon_watch::Shared)));
        dll_ = LoadLibraryA((TestBinDir() + "bench_icon_watch.dll").c_str());
        proc_ = dll_ ? reinterpret_cast<HOOKPROC>(GetProcAddress(dll_, icon_watch::kHookProcName))
                     : nullptr;
        if (!shared_ || !proc_)
            ThrowLastError("bench_icon_watch.dll");
    }
    ~IconWatch() {
        Unhook();
        if (shared_)
            UnmapViewOfFile(shared_);
        if (dll_)
            FreeLibrary(dll_);
    }

    void Hook(DWORD thread) {
        *shared_ = icon_watch::Shared{kLoadIconsMessage, kLoadIconsTimer, 0, 0, 0, 0, 0};
        hook_ = SetWindowsHookExA(WH_GETMESSAGE, proc_, dll_, thread);
        if (!hook_)
            ThrowLastError("SetWindowsHookExA");
    }
    void Unhook() {
        if (hook_)
            UnhookWindowsHookEx(hook_);
        hook_ = nullptr;
    }
    // The counter reading, in ms, once the last slice has been handled, and the
    // longest wait of a mouse message until then. The mouse moves over `window`
    // meanwhile.
    std::pair<double, double> WaitLastSlice(HWND window, DWORD timeoutMs) const {
        RECT rc;
        GetWindowRect(window, &rc);
        const POINT centre{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        LONG seen = -1;
        double lastChange = bench::NowMs(), lastMove = 0;
        bool quiet = false;
        const bool ended = WaitUntil(
            [&] {
                const double now = bench::NowMs();
                if (now - lastMove >= kMouseEveryMs) {
                    MoveMouse(centre, static_cast<int>(now) & 1);
                    lastMove = now;
                }
                if (shared_->slices != seen) {
                    seen = shared_->slices;
                    lastChange = now;
                }
                quiet = seen > 0 && !shared_->previousWasSlice && now - lastChange >= kQuietMs;
                return quiet;
            },
            timeoutMs, 1);
        if (!ended)
            throw DriverError(shared_->slices ? "the icons did not finish loading"
                                              : "no icon-loading message was seen: has the main "
                                                "window's timer changed?");
        if (shared_->inputs == 0)
            throw DriverError("no mouse message reached the window");
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return {static_cast<double>(shared_->endedCounter) * 1000.0 /
                    static_cast<double>(f.QuadPart),
                static_cast<double>(shared_->longestInputWait)};
    }

  private:
    win::Handle mapping_;
    icon_watch::Shared* shared_ = nullptr;
    HMODULE dll_ = nullptr;
    HOOKPROC proc_ = nullptr;
    HHOOK hook_ = nullptr;
};

// {list shown, last icon in, longest input wait}: the first two in ms from the
// process's start. With no entries there is no icon to wait for: both are the time
// the list is shown, and no input is measured.
bench::Sample TimeStart(const Sandbox& box, int entries, IconWatch& watch) {
    const double t0 = bench::NowMs();
    AppProcess app(box);
    HWND main = app.WaitForMainWindow(20000, false);
    if (!main)
        throw DriverError("the main window did not appear");
    if (entries)
        watch.Hook(GetWindowThreadProcessId(main, nullptr));
    MainWindow w = app.Main(20000); // once its list exists
    if (!WaitUntil([&] { return IsWindowVisible(main) && w.ItemCount() == entries; }, 20000, 1))
        throw DriverError("the list did not fill");
    const double shown = bench::NowMs();
    const std::pair<double, double> icons =
        entries ? watch.WaitLastSlice(main, 20000) : std::make_pair(shown, 0.0);
    watch.Unhook();
    app.Close(20000);
    return {shown - t0, icons.first - t0, icons.second};
}

} // namespace

int main() {
    return bench::Main("bench_startup", [] {
        SandboxOptions options;
        options.name = "bench.startup";
        Sandbox box(options);
        for (int i = 0; i < kEntries; ++i)
            box.CopyFromBin("startup_icon_app.exe", "app" + std::to_string(i) + ".exe");
        IconWatch watch;

        bench::Contender full{std::to_string(kEntries) + " entries", [&] {
                                  box.WriteIni(Settings(box.Dir(), kEntries));
                                  return TimeStart(box, kEntries, watch);
                              }};
        bench::Contender empty{"empty list", [&] {
                                   box.WriteIni(Settings(box.Dir(), 0));
                                   return TimeStart(box, 0, watch);
                               }};
        bench::RunRounds({&full, &empty}, kRounds);
        bench::PrintComparison("start-up, until the list is shown", full, empty, 0);
        bench::PrintComparison("start-up, until the last icon is in (empty list: nothing to "
                               "load, the list shown)",
                               full, empty, 1);
        bench::PrintFigures("start-up, the longest wait of a mouse move while the icons load",
                            {&full}, 2);
    });
}
