#include "quit/quit_procedure.h"

#include "core/quit_command.h"
#include "core/text.h"
#include "quit/ran_with_reader.h"
#include "quit/window_rules.h"
#include "win/msgbox.h"
#include "win/window_text.h"

#include <shellapi.h>

#include <algorithm>

namespace {

// How often the wait looks whether the window is gone. Messages of the program's
// own queue and the end of an awaited program's process wake it at once, so the
// queue never waits longer than this either.
constexpr DWORD kPollMs = 2;

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
    // Every program is found before any is asked: the readings of the ones still
    // to find would otherwise wait behind the ones already closing.
    Snapshot snapshot(enumProcesses_);
    std::vector<Request> asked;
    for (TProgInfo* rec : recs)
        asked.push_back(Find(*rec, snapshot));
    for (Request& r : asked)
        Send(r);
    std::vector<Awaited> pending;
    std::vector<const TQuitWait*> waits(asked.size(), nullptr);
    for (size_t i = 0; i < asked.size(); ++i) {
        if (asked[i].State == Asked::Waiting) {
            pending.push_back(WaitFor(asked[i]));
            waits[i] = pending.back().Wait.get();
        }
    }
    if (!pending.empty())
        WaitGone(pending, true, std::string());
    int failed = 0;
    for (size_t i = 0; i < asked.size(); ++i) {
        if (waits[i] && std::any_of(pending.begin(), pending.end(),
                                    [&](const Awaited& a) { return a.Wait.get() == waits[i]; }))
            asked[i].State = Asked::NotQuit;
        failed += Report(asked[i]) ? 1 : 0;
    }
    return failed;
}

bool TQuitProcedure::QuitApplication(TProgInfo& rec) {
    Snapshot snapshot(enumProcesses_);
    return QuitOne(rec, snapshot);
}

bool TQuitProcedure::QuitOne(TProgInfo& rec, Snapshot& snapshot) {
    Request r = Ask(rec, snapshot);
    if (r.State == Asked::Waiting && WaitOne(WaitFor(r)))
        r.State = Asked::NotQuit;
    // What ran may have ended by now. (Quitting all at once asks every program
    // before anything can have ended: the asks share the readings.)
    if (rec.ProcessID != 0)
        snapshot.Processes.Acted();
    return !Report(r);
}

TQuitProcedure::Request TQuitProcedure::Ask(TProgInfo& rec, Snapshot& snapshot) {
    Request r = Find(rec, snapshot);
    Send(r);
    return r;
}

TQuitProcedure::Request TQuitProcedure::Find(TProgInfo& rec, Snapshot& snapshot) {
    host_.SetProgressText(rec.Name + "を終了しています");
    Request r;
    r.Rec = &rec;
    const uint32_t pid = snapshot.Processes.FindProcessOf(rec.Program);
    rec.ProcessID = pid; // the record shows the latest lookup
    if (pid == 0)
        return r;
    int last = CollectWindows(pid, snapshot);
    if (last == -1 && rec.QuitType != kQuitParam) {
        r.State = Asked::NotFound;
        return r;
    }
    if (ReadWhatRan)
        whatRan_[&rec] = ReadRanWith(pid, last >= 0 ? windowTable_[0].Handle : nullptr);
    std::vector<HWND> before = options_.WaitDialogs ? TopLevelWindowsOf(pid) : std::vector<HWND>();
    switch (rec.QuitType) {
    case kQuitAuto:
        ChooseAutomatically(r, last);
        break;
    case kQuitCommand:
        ChooseByCommand(r, last);
        break;
    case kQuitParam:
        r.State = Asked::ToSend;
        break;
    default:
        break;
    }
    r.ProcessId = pid;
    r.Before = std::move(before);
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

void TQuitProcedure::ChooseAutomatically(Request& r, int last) {
    const int target = quit_rules::ChooseAutoTarget(windowTable_, last);
    r.Window = windowTable_[static_cast<size_t>(target)].Handle;
    r.Message = WM_CLOSE;
    r.State = Asked::ToSend;
}

void TQuitProcedure::ChooseByCommand(Request& r, int last) {
    const TQuitCommand command = ReadQuitCommand(r.Rec->QuitCom);
    int target = 0;
    if (last > 0) {
        // Every matching window gets the command; the last one is waited for.
        int t = quit_rules::PostToMatching(
            windowTable_, last, command.ByClass,
            [&](const std::string& s) { return QuitWindowMatches(command, s); },
            [&](int i) { r.Matching.push_back(windowTable_[static_cast<size_t>(i)].Handle); });
        target = t >= 0 ? t : 0;
    }
    r.Window = windowTable_[static_cast<size_t>(target)].Handle;
    r.Message = command.Message;
    r.WParam = command.Value;
    r.State = Asked::ToSend;
}

void TQuitProcedure::Send(Request& r) {
    if (r.State != Asked::ToSend)
        return;
    if (r.Rec->QuitType == kQuitParam) {
        StartQuitParameter(*r.Rec);
        // As designed nothing is waited for; the end-session step needs the wait.
        r.State = options_.EndSession ? Asked::Waiting : Asked::Nothing;
        return;
    }
    for (HWND hwnd : r.Matching)
        PostMessageFn(hwnd, r.Message, r.WParam, 0);
    r.State = Post(r.Window, r.Message, r.WParam);
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
    Awaited awaited;
    awaited.Wait = std::make_unique<TQuitWait>(options_, entry.Handle, 0, std::vector<HWND>());
    return WaitOne(std::move(awaited));
}

TQuitProcedure::Awaited TQuitProcedure::WaitFor(const Request& r) {
    Awaited a;
    a.Name = r.Rec->Name;
    a.Wait = std::make_unique<TQuitWait>(options_, r.Window, r.ProcessId, r.Before);
    return a;
}

bool TQuitProcedure::WaitOne(Awaited awaited) {
    const std::string idle =
        awaited.Name.empty() ? std::string() : awaited.Name + "を終了しています";
    std::vector<Awaited> pending;
    pending.push_back(std::move(awaited));
    WaitGone(pending, false, idle);
    return !pending.empty();
}

void TQuitProcedure::WaitGone(std::vector<Awaited>& pending, bool counting,
                              const std::string& idle) {
    // The idle text is already there when the wait begins; only changes are written.
    std::string shown = idle;
    DWORD last = GetTickCount();
    long long elapsed = 0;
    for (;;) {
        size_t active = 0;
        const Awaited* asking = nullptr;
        for (auto it = pending.begin(); it != pending.end();) {
            if (!it->TimedOut) {
                TQuitWait::Result result = it->Wait->Check(elapsed);
                if (result == TQuitWait::Result::Gone) {
                    it = pending.erase(it);
                    continue;
                }
                it->TimedOut = result == TQuitWait::Result::TimedOut;
            }
            if (!it->TimedOut) {
                ++active;
                if (!asking && it->Wait->Dialog())
                    asking = &*it;
            }
            ++it;
        }
        if (active == 0)
            return;
        std::string status = idle;
        if (asking)
            status = asking->Name + "の確認を待っています";
        else if (counting)
            status =
                "残り" + text::IntToStr(static_cast<long long>(active)) + "個の終了を待っています";
        // Programs that go together change the count in quick succession: each
        // text is a step's, shown no more often than the eye can follow.
        if (status != shown) {
            host_.SetProgressText(status);
            shown = status;
        }
        host_.ProcessMessages();
        // A look took about 2.4 ms at an interval of 2 under Wine on a loaded
        // machine; most programs end their process right after their window, and
        // their end wakes the wait at that moment.
        std::vector<HANDLE> ended;
        for (const Awaited& a : pending) {
            if (!a.TimedOut && a.Wait->Ended() && ended.size() < MAXIMUM_WAIT_OBJECTS - 1)
                ended.push_back(a.Wait->Ended());
        }
        MsgWaitForMultipleObjects(static_cast<DWORD>(ended.size()), ended.data(), FALSE, kPollMs,
                                  QS_ALLINPUT);
        const DWORD now = GetTickCount();
        elapsed = static_cast<long long>(now - last);
        last = now;
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

const TRanWith* TQuitProcedure::WhatRanOf(const TProgInfo* rec) const {
    auto it = whatRan_.find(rec);
    return it == whatRan_.end() ? nullptr : &it->second;
}

HWND TQuitProcedure::MainWindowOf(uint32_t processId) {
    return ::MainWindowOf(windowTable_, windowList_, processId);
}
