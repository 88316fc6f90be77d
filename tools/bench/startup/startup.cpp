// VakoQuit's start-up with 256 registered programs (each a file of its own with an
// icon) against an empty list: from its start until the list is shown with all its
// items, and until the last icon is in (seen from inside its window thread by
// icon_watch.dll).
#include "bench.h"
#include "icon_watch.h"

#include <string>
#include <vector>

using namespace e2e;

namespace {

const int kEntries = 256;
const int kRounds = 5;
// The main window's message that loads the next slice of icons.
const UINT kLoadIconsMessage = WM_APP + 1;

std::string Settings(const std::string& folder, int entries) {
    std::string ini = "[Setting]\r\nVersion=0.3\r\n\r\n";
    for (int i = 0; i < entries; ++i) {
        std::string n = std::to_string(i);
        ini += "[" + n + "]\r\nName=アプリ" + n + "\r\nProgram=" + folder + "app" + n +
               ".exe\r\nWork=" + folder + "\r\nQuit=1\r\nRun=1\r\n\r\n";
    }
    return ini;
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
        *shared_ = icon_watch::Shared{kLoadIconsMessage, 0, 0, 0, 0};
        hook_ = SetWindowsHookExA(WH_GETMESSAGE, proc_, dll_, thread);
        if (!hook_)
            ThrowLastError("SetWindowsHookExA");
    }
    void Unhook() {
        if (hook_)
            UnhookWindowsHookEx(hook_);
        hook_ = nullptr;
    }
    // The counter reading, in ms, once the last slice has been handled.
    double WaitLastSlice(DWORD timeoutMs) const {
        if (!WaitUntil([&] { return shared_->lastSliceEnded != 0; }, timeoutMs, 1))
            throw DriverError(shared_->slices ? "the icons did not finish loading"
                                              : "no icon-loading message was seen: has the main "
                                                "window's message number changed?");
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(shared_->endedCounter) * 1000.0 /
               static_cast<double>(f.QuadPart);
    }

  private:
    win::Handle mapping_;
    icon_watch::Shared* shared_ = nullptr;
    HMODULE dll_ = nullptr;
    HOOKPROC proc_ = nullptr;
    HHOOK hook_ = nullptr;
};

// {list shown, last icon in}, in ms from the process's start. With no entries there
// is no icon to wait for: both are the time the list is shown.
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
    const double icons = entries ? watch.WaitLastSlice(20000) : shown;
    watch.Unhook();
    app.Close(20000);
    return {shown - t0, icons - t0};
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
    });
}
