// How long VakoQuit takes from its start until its list is shown: with 256
// registered programs (each a file of its own with an icon) against an empty list.
#include "driver/vako_e2e.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using namespace e2e;

namespace {

const int kEntries = 256;
const int kRounds = 5;

std::string Settings(const std::string& folder, int entries) {
    std::string ini = "[Setting]\r\nVersion=0.3\r\n\r\n";
    for (int i = 0; i < entries; ++i) {
        std::string n = std::to_string(i);
        ini += "[" + n + "]\r\nName=アプリ" + n + "\r\nProgram=" + folder + "app" + n +
               ".exe\r\nWork=" + folder + "\r\nQuit=1\r\nRun=1\r\n\r\n";
    }
    return ini;
}

// Milliseconds from CreateProcess until the window is visible with all its items.
double TimeStart(const Sandbox& box, int entries) {
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&t0);
    AppProcess app(box);
    HWND main = app.WaitForMainWindow(20000, true);
    if (!main)
        throw DriverError("the main window did not appear");
    MainWindow w(main);
    if (!WaitUntil([&] { return w.ItemCount() == entries; }, 20000, 1))
        throw DriverError("the list did not fill");
    // The window has handled everything up to here once it answers.
    Send(main, WM_NULL);
    QueryPerformanceCounter(&t1);
    app.Close(20000);
    return 1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) /
           static_cast<double>(freq.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main() {
    try {
        SandboxOptions options;
        options.name = "bench.startup";
        Sandbox box(options);
        for (int i = 0; i < kEntries; ++i)
            box.CopyFromBin("startup_icon_app.exe", "app" + std::to_string(i) + ".exe");

        std::vector<double> full, empty;
        for (int r = 0; r < kRounds; ++r) {
            box.WriteIni(Settings(box.Dir(), 0));
            empty.push_back(TimeStart(box, 0));
            box.WriteIni(Settings(box.Dir(), kEntries));
            full.push_back(TimeStart(box, kEntries));
        }
        double e = Median(empty), f = Median(full);
        std::printf("startup, list shown (median of %d): empty list %.0f ms, %d entries %.0f ms, "
                    "ratio %.2f\n",
                    kRounds, e, kEntries, f, f / e);
        return 0;
    } catch (const std::exception& ex) {
        std::fprintf(stderr, "bench_startup: %s\n", ex.what());
        return 1;
    }
}
