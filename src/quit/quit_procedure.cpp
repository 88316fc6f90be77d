#include "quit/quit_procedure.h"

#include "core/quit_command.h"
#include "quit/process_lookup.h"
#include "quit/window_rules.h"
#include "win/msgbox.h"

#include <shellapi.h>

namespace {

// How often the wait looks whether the window is gone. Messages of the program's
// own queue wake it at once, so the queue never waits longer than this either.
constexpr DWORD kPollMs = 2;

std::string WindowTextOf(HWND hwnd) {
    char buf[256];
    int n = GetWindowTextA(hwnd, buf, sizeof buf);
    return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

} // namespace

bool IsCloseAllCandidateWindow(HWND hwnd, uint32_t ownProcessId) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return quit_rules::IsCloseAllCandidate(static_cast<uint32_t>(GetWindowLongA(hwnd, GWL_STYLE)),
                                           static_cast<uint32_t>(GetWindowLongA(hwnd, GWL_EXSTYLE)),
                                           IsWindowEnabled(hwnd) != FALSE, pid == ownProcessId);
}

TQuitProcedure::TQuitProcedure(win::Host& host, const QuitOptions& options)
    : host_(host), options_(options) {
    enumProcesses_.OnEnum = EnumProcessesEnum;
}

void TQuitProcedure::ActAllQuitExecute(TProgTable& table) {
    win::BusyScope busy(host_);
    if (options_.AllClose)
        CloseOtherWindows();
    for (TProgInfo& rec : table) {
        if (rec.Occupied() && rec.Quit)
            QuitApplication(rec);
    }
    busy.End();
    host_.SetStatusText("ポムッと終了処理完了");
}

void TQuitProcedure::ActCloseExecute(const std::vector<TProgInfo*>& selectedInDisplayOrder) {
    win::BusyScope busy(host_);
    if (selectedInDisplayOrder.empty())
        return;
    for (TProgInfo* rec : selectedInDisplayOrder)
        QuitApplication(*rec);
    busy.End();
    host_.SetStatusText("終了処理完了");
}

void TQuitProcedure::QuitApplication(TProgInfo& rec) {
    host_.SetStatusText(rec.Name + "を終了しています");
    LookupProcess(rec);
    if (rec.ProcessID == 0)
        return;
    int last = CollectWindows(rec.ProcessID);
    if (last == -1 && rec.QuitType != kQuitParam) {
        win::ErrorBox(host_.BoxOwner(), rec.Name + "が見つかりませんでした");
        return;
    }
    switch (rec.QuitType) {
    case kQuitAuto:
        QuitAutomatically(rec, last);
        break;
    case kQuitCommand:
        QuitByCommand(rec, last);
        break;
    case kQuitParam:
        StartQuitParameter(rec);
        break;
    default:
        break;
    }
}

void TQuitProcedure::QuitAutomatically(TProgInfo& rec, int last) {
    int target = quit_rules::ChooseAutoTarget(windowTable_, last);
    if (PostAndWait(windowTable_[static_cast<size_t>(target)], WM_CLOSE, 0))
        win::ErrorBox(host_.BoxOwner(), rec.Name + "が終了できませんでした");
}

void TQuitProcedure::QuitByCommand(TProgInfo& rec, int last) {
    TQuitCommand command = ReadQuitCommand(rec.QuitCom);
    int target = 0;
    if (last > 0) {
        // Every matching window gets the command now; the last one is waited for.
        int t = quit_rules::PostToMatching(
            windowTable_, last, command.ByClass,
            [&](const std::string& s) { return QuitWindowMatches(command, s); },
            [&](int i) {
                PostMessageA(windowTable_[static_cast<size_t>(i)].Handle, command.Message,
                             command.Value, 0);
            });
        target = t >= 0 ? t : 0;
    }
    if (PostAndWait(windowTable_[static_cast<size_t>(target)], command.Message, command.Value))
        win::ErrorBox(host_.BoxOwner(), rec.Name + "が終了できませんでした");
}

void TQuitProcedure::StartQuitParameter(const TProgInfo& rec) {
    // Whether the program could be started is not examined: there is nothing to wait for.
    ShellExecuteA(nullptr, "open", rec.Program.c_str(), rec.QuitArg.c_str(), rec.Work.c_str(),
                  SW_SHOWNORMAL);
}

bool TQuitProcedure::PostAndWait(const TWindowInfo& entry, UINT msg, WPARAM wParam) {
    if (msg == 0) {
        msg = WM_CLOSE;
        wParam = 0;
    }
    PostMessageA(entry.Handle, msg, wParam, 0);
    const DWORD start = GetTickCount();
    const long long limit = static_cast<long long>(options_.QuitTimeout) * 1000;
    auto elapsed = [start] { return static_cast<long long>(GetTickCount() - start); };
    for (;;) {
        if (elapsed() >= limit)
            break;
        if (!IsWindow(entry.Handle))
            break;
        host_.ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
    }
    return elapsed() >= limit;
}

void TQuitProcedure::CloseOtherWindows() {
    windowList_.Refresh();
    const uint32_t own = GetCurrentProcessId();
    for (int i = 0; i < windowList_.Count(); ++i) {
        HWND hwnd = windowList_.Handle(i);
        uint32_t style = static_cast<uint32_t>(GetWindowLongA(hwnd, GWL_STYLE));
        std::string title = WindowTextOf(hwnd);
        if (!IsCloseAllCandidateWindow(hwnd, own))
            continue;
        if (quit_rules::IsIgnoredTitle(title, options_.IgnoreMemo))
            continue;
        quit_rules::CloseRequest r = quit_rules::CloseRequestFor(style);
        PostMessageA(hwnd, r.Message, r.WParam, 0);
    }
}

void TQuitProcedure::LookupProcess(TProgInfo& rec) {
    ::LookupProcess(enumProcesses_, rec);
}

int TQuitProcedure::CollectWindows(uint32_t processId) {
    return ::CollectWindows(windowTable_, windowList_, processId);
}

HWND TQuitProcedure::MainWindowOf(uint32_t processId) {
    return ::MainWindowOf(windowTable_, windowList_, processId);
}
