#include "quit/quit_procedure.h"

#include "core/quit_command.h"
#include "core/text.h"
#include "quit/window_rules.h"
#include "win/msgbox.h"
#include "win/window_text.h"

#include <shellapi.h>

#include <algorithm>

namespace {

// How often the wait looks whether the window is gone. Messages of the program's
// own queue wake it at once, so the queue never waits longer than this either.
constexpr DWORD kPollMs = 2;

long long ElapsedSince(DWORD start) {
    return static_cast<long long>(GetTickCount() - start);
}

} // namespace

bool IsCloseAllCandidateWindow(HWND hwnd, uint32_t ownProcessId) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return quit_rules::IsCloseAllCandidate(static_cast<uint32_t>(GetWindowLongA(hwnd, GWL_STYLE)),
                                           static_cast<uint32_t>(GetWindowLongA(hwnd, GWL_EXSTYLE)),
                                           IsWindowEnabled(hwnd) != FALSE, pid == ownProcessId);
}

TQuitProcedure::TQuitProcedure(win::Host& host, const TOptions& options)
    : host_(host), options_(options) {
    enumProcesses_.OnEnum = EnumProcessesEnum;
}

int TQuitProcedure::ActAllQuitExecute(TProgTable& table) {
    win::BusyScope busy(host_);
    if (options_.AllClose)
        CloseOtherWindows();
    std::vector<TProgInfo*> recs;
    for (TProgInfo& rec : table) {
        if (rec.Occupied() && rec.Quit)
            recs.push_back(&rec);
    }
    const int failed = QuitAll(recs);
    busy.End();
    host_.SetStatusText("ポムッと終了処理完了");
    return failed;
}

void TQuitProcedure::ActCloseExecute(const std::vector<TProgInfo*>& selectedInDisplayOrder) {
    win::BusyScope busy(host_);
    if (selectedInDisplayOrder.empty())
        return;
    QuitAll(selectedInDisplayOrder);
    busy.End();
    host_.SetStatusText("終了処理完了");
}

int TQuitProcedure::QuitAll(const std::vector<TProgInfo*>& recs) {
    if (options_.QuitAtOnce)
        return QuitAllAtOnce(recs);
    Snapshot snapshot(enumProcesses_);
    int failed = 0;
    for (TProgInfo* rec : recs)
        failed += QuitOne(*rec, snapshot) ? 0 : 1;
    return failed;
}

int TQuitProcedure::QuitAllAtOnce(const std::vector<TProgInfo*>& recs) {
    // Every application closes while the others do, so the run lasts as long as
    // the slowest one rather than the sum of them all. The boxes wait until the
    // end: one left open would hold up every request after it.
    Snapshot snapshot(enumProcesses_);
    std::vector<Request> asked;
    for (TProgInfo* rec : recs)
        asked.push_back(Ask(*rec, snapshot));
    std::vector<HWND> pending;
    for (const Request& r : asked) {
        if (r.State == Asked::Waiting)
            pending.push_back(r.Window);
    }
    if (!pending.empty())
        WaitGone(pending, GetTickCount(), true);
    int failed = 0;
    for (Request& r : asked) {
        if (r.State == Asked::Waiting &&
            std::find(pending.begin(), pending.end(), r.Window) != pending.end())
            r.State = Asked::NotQuit;
        failed += Report(r) ? 1 : 0;
    }
    return failed;
}

bool TQuitProcedure::QuitApplication(TProgInfo& rec) {
    Snapshot snapshot(enumProcesses_);
    return QuitOne(rec, snapshot);
}

bool TQuitProcedure::QuitOne(TProgInfo& rec, Snapshot& snapshot) {
    Request r = Ask(rec, snapshot);
    if (r.State == Asked::Waiting && WaitOne(r.Window))
        r.State = Asked::NotQuit;
    return !Report(r);
}

TQuitProcedure::Request TQuitProcedure::Ask(TProgInfo& rec, Snapshot& snapshot) {
    host_.SetStatusText(rec.Name + "を終了しています");
    Request r;
    r.Rec = &rec;
    const uint32_t pid = snapshot.Processes.FindProcessOf(rec.Program);
    rec.ProcessID = pid; // the record shows the latest lookup
    if (pid == 0)
        return r;
    snapshot.Processes.Expire();
    int last = CollectWindows(pid, snapshot);
    if (last == -1 && rec.QuitType != kQuitParam) {
        r.State = Asked::NotFound;
        return r;
    }
    switch (rec.QuitType) {
    case kQuitAuto:
        return AskAutomatically(rec, last);
    case kQuitCommand:
        return AskByCommand(rec, last);
    case kQuitParam:
        StartQuitParameter(rec);
        break;
    default:
        break;
    }
    return r;
}

bool TQuitProcedure::Report(const Request& r) {
    if (r.State == Asked::NotFound)
        win::ErrorBox(host_.BoxOwner(), r.Rec->Name + "が見つかりませんでした");
    else if (r.State == Asked::NotQuit)
        win::ErrorBox(host_.BoxOwner(), r.Rec->Name + "が終了できませんでした");
    else
        return false;
    return true;
}

TQuitProcedure::Request TQuitProcedure::AskAutomatically(TProgInfo& rec, int last) {
    int target = quit_rules::ChooseAutoTarget(windowTable_, last);
    Request r;
    r.Rec = &rec;
    r.Window = windowTable_[static_cast<size_t>(target)].Handle;
    r.State = Post(r.Window, WM_CLOSE, 0);
    return r;
}

TQuitProcedure::Request TQuitProcedure::AskByCommand(TProgInfo& rec, int last) {
    TQuitCommand command = ReadQuitCommand(rec.QuitCom);
    int target = 0;
    if (last > 0) {
        // Every matching window gets the command now; the last one is waited for.
        int t = quit_rules::PostToMatching(
            windowTable_, last, command.ByClass,
            [&](const std::string& s) { return QuitWindowMatches(command, s); },
            [&](int i) {
                PostMessageFn(windowTable_[static_cast<size_t>(i)].Handle, command.Message,
                              command.Value, 0);
            });
        target = t >= 0 ? t : 0;
    }
    Request r;
    r.Rec = &rec;
    r.Window = windowTable_[static_cast<size_t>(target)].Handle;
    r.State = Post(r.Window, command.Message, command.Value);
    return r;
}

void TQuitProcedure::StartQuitParameter(const TProgInfo& rec) {
    // Whether the program could be started is not examined: there is nothing to wait for.
    ShellExecuteA(nullptr, "open", rec.Program.c_str(), rec.QuitArg.c_str(), rec.Work.c_str(),
                  SW_SHOWNORMAL);
}

TQuitProcedure::Asked TQuitProcedure::Post(HWND hwnd, UINT msg, WPARAM wParam) {
    // A refused request (the target runs with higher rights) would never be acted
    // on, so waiting for it would only waste the whole time-out. A window that has
    // already gone needs no request: the wait finds it gone at once.
    if (PostMessageFn(hwnd, msg, wParam, 0) || !IsWindow(hwnd))
        return Asked::Waiting;
    return Asked::NotQuit;
}

bool TQuitProcedure::PostAndWait(const TWindowInfo& entry, UINT msg, WPARAM wParam) {
    if (msg == 0) {
        msg = WM_CLOSE;
        wParam = 0;
    }
    if (Post(entry.Handle, msg, wParam) == Asked::NotQuit)
        return true;
    return WaitOne(entry.Handle);
}

bool TQuitProcedure::WaitOne(HWND hwnd) {
    const DWORD start = GetTickCount();
    std::vector<HWND> pending{hwnd};
    WaitGone(pending, start, false);
    return ElapsedSince(start) >= LimitMs();
}

long long TQuitProcedure::LimitMs() const {
    return static_cast<long long>(options_.QuitTimeout) * 1000;
}

void TQuitProcedure::WaitGone(std::vector<HWND>& pending, DWORD start, bool counting) {
    size_t shown = 0;
    for (;;) {
        pending.erase(
            std::remove_if(pending.begin(), pending.end(), [](HWND h) { return !IsWindow(h); }),
            pending.end());
        if (pending.empty() || ElapsedSince(start) >= LimitMs())
            return;
        if (counting && pending.size() != shown) {
            shown = pending.size();
            host_.SetStatusText("残り" + text::IntToStr(static_cast<long long>(shown)) +
                                "個の終了を待っています");
        }
        host_.ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
    }
}

void TQuitProcedure::CloseOtherWindows() {
    windowList_.Refresh();
    const uint32_t own = GetCurrentProcessId();
    for (int i = 0; i < windowList_.Count(); ++i) {
        HWND hwnd = windowList_.Handle(i);
        uint32_t style = static_cast<uint32_t>(GetWindowLongA(hwnd, GWL_STYLE));
        std::string title = win::WindowText(hwnd);
        if (!IsCloseAllCandidateWindow(hwnd, own))
            continue;
        if (quit_rules::IsIgnoredTitle(title, options_.IgnoreMemo))
            continue;
        quit_rules::CloseRequest r = quit_rules::CloseRequestFor(style);
        PostMessageFn(hwnd, r.Message, r.WParam, 0);
    }
}

uint32_t TQuitProcedure::FindProcessOf(const std::string& program) {
    return ::FindProcessOf(enumProcesses_, program);
}

std::shared_ptr<TProcessSnapshot> TQuitProcedure::NewProcessSnapshot() {
    return std::make_shared<TProcessSnapshot>(enumProcesses_);
}

int TQuitProcedure::CollectWindows(uint32_t processId, Snapshot& snapshot) {
    if (!snapshot.Windows.Taken()) {
        snapshot.Windows.Take(windowList_);
        return ::CollectWindows(windowTable_, snapshot.Windows.Of(processId));
    }
    const int last = ::CollectWindows(windowTable_, snapshot.Windows.Of(processId));
    if (last != -1)
        return last;
    // A process that started after the windows were read, or has opened its windows
    // since, is looked at once more before it counts as running without a window.
    snapshot.Windows.Take(windowList_);
    return ::CollectWindows(windowTable_, snapshot.Windows.Of(processId));
}

int TQuitProcedure::CollectWindows(uint32_t processId) {
    return ::CollectWindows(windowTable_, windowList_, processId);
}

HWND TQuitProcedure::MainWindowOf(uint32_t processId) {
    return ::MainWindowOf(windowTable_, windowList_, processId);
}
