#include "app/main_commands.h"

#include "app/main_context.h"
#include "app/restore_session.h"
#include "dialogs/option_form.h"
#include "dialogs/prop_form.h"
#include "launch/run_procedure.h"
#include "quit/quit_procedure.h"
#include "shell/about_box.h"
#include "win/handles.h"
#include "win/msgbox.h"

#include <commctrl.h>

namespace {

// Edits the record in the properties dialog; the whole record is replaced on OK.
void ShowProperties(TMainContext& c, int item, TProgInfo& record) {
    const TOptions options = c.Options();
    TQuitProcedure quit(c, options);
    record.ProcessID = quit.FindProcessOf(record.Program);
    TVakoPropForm form;
    form.SetRecord(record);
    win::Icon icon(c.List().LargeIconAt(item));
    if (icon)
        form.SetImage(icon.get());
    form.FindTargetWindow = [&quit](TProgInfo& r) -> HWND {
        const uint32_t pid = quit.FindProcessOf(r.Program);
        r.ProcessID = pid;
        return pid ? quit.MainWindowOf(pid) : nullptr;
    };
    if (form.ShowModal(c.BoxOwner()) == IDOK)
        record = form.GetRecord();
}

// Of the entries a quit command asks, those whose program runs before it starts.
std::vector<TProgInfo*> RunningOf(TQuitProcedure& quit, const std::vector<TProgInfo*>& asked) {
    const auto processes = quit.NewProcessSnapshot();
    std::vector<TProgInfo*> running;
    for (TProgInfo* rec : asked) {
        if (processes->FindProcessOf(rec->Program) != 0)
            running.push_back(rec);
    }
    return running;
}

// Records for the next run-all the entries that ran before the command and no
// longer run after it: what the command ended, not what was closed already; with
// the arguments and the place each ran with when it was asked.
void RecordEnded(TMainContext& c, TQuitProcedure& quit, const std::vector<TProgInfo*>& running) {
    const auto processes = quit.NewProcessSnapshot();
    for (TProgInfo* rec : running) {
        if (processes->FindProcessOf(rec->Program) != 0)
            continue;
        rec->LastQuit = true;
        const TRanWith* ran = quit.WhatRanOf(rec);
        rec->LastArg = ran ? ran->Arg : std::string();
        rec->LastPlace = ran ? ran->Place : TWindowPlace();
    }
    c.List().ShowAllEntries();
}

bool AnyLastQuit(const TProgTable& table) {
    for (const TProgInfo& entry : table) {
        if (entry.Occupied() && entry.LastQuit)
            return true;
    }
    return false;
}

void ClearLastQuit(TMainContext& c) {
    for (TProgInfo& entry : c.Table())
        entry.ForgetLastQuit();
    c.List().ShowAllEntries();
}

} // namespace

void ActAllQuitExecute(TMainContext& c) {
    const TOptions options = c.Options();
    TQuitProcedure quit(c, options);
    // While the record is kept, the quit also reads what each program ran with.
    const bool record = KeepsLastQuitRecord(options);
    quit.ReadWhatRan = record;
    std::vector<TProgInfo*> running;
    if (record) {
        std::vector<TProgInfo*> asked;
        for (TProgInfo& rec : c.Table()) {
            if (rec.Occupied() && rec.Quit)
                asked.push_back(&rec);
        }
        running = RunningOf(quit, asked);
    }
    c.CountNotDone(quit.ActAllQuitExecute(c.Table()));
    if (record)
        RecordEnded(c, quit, running);
}

void ActCloseExecute(TMainContext& c) {
    const TOptions options = c.Options();
    TQuitProcedure quit(c, options);
    const bool record = KeepsLastQuitRecord(options);
    quit.ReadWhatRan = record;
    const std::vector<TProgInfo*> selected = c.List().SelectedRecords();
    const std::vector<TProgInfo*> running =
        record ? RunningOf(quit, selected) : std::vector<TProgInfo*>();
    quit.ActCloseExecute(selected);
    if (record)
        RecordEnded(c, quit, running);
}

namespace {

// Run-all: from the record when `fromRecord` and there is one, else the designed
// one. Returns how many programs could not be started.
int RunAll(TMainContext& c, bool fromRecord) {
    const TOptions options = c.Options();
    TQuitProcedure quit(c, options);
    launch::SkipEntry skip;
    if (options.SkipRunning) {
        // The same lookup as quit-all's, from one walk for the whole run. An entry
        // that is not skipped is started: the next lookup must see it running.
        auto running = quit.NewProcessSnapshot();
        skip = [running](const TProgInfo& entry) {
            if (running->FindProcessOf(entry.Program) != 0)
                return true;
            running->Expire();
            return false;
        };
    }
    if (fromRecord && AnyLastQuit(c.Table())) {
        const launch::FindMainWindow mainWindowOf = [&quit](uint32_t pid) {
            return quit.MainWindowOf(pid);
        };
        const int notStarted =
            launch::ActRunLastQuitExecute(c, c.Table(), options.EachRun, skip, mainWindowOf);
        c.List().ShowAllEntries();
        return notStarted;
    }
    return launch::ActAllRunExecute(c, c.Table(), options.EachRun, skip);
}

} // namespace

// While VakoQuit waits for a dropped program, ポムッと起動 ends the wait: the
// waiting session starts the record again at once.
void ActAllRunExecute(TMainContext& c) {
    if (EndRestoreWait())
        return;
    c.CountNotDone(RunAll(c, c.Options().RunLastQuit));
}

int RestoreLastQuit(TMainContext& c) {
    return RunAll(c, true);
}

void ActRunExecute(TMainContext& c) {
    std::vector<TProgInfo*> selected = c.List().SelectedRecords();
    launch::ActRunExecute(c, std::vector<const TProgInfo*>(selected.begin(), selected.end()),
                          c.Options().EachRun);
}

void ActAddExecute(TMainContext& c) {
    ActAddExecute(static_cast<RegistrationHost&>(c));
}

void ActStartUpReadExecute(TMainContext& c) {
    ActStartUpReadExecute(static_cast<RegistrationHost&>(c));
}

void ActVersionExecute(TMainContext& c) {
    ShowAboutBox(c.BoxOwner());
}

void ActPropertyExecute(TMainContext& c) {
    TFileList& list = c.List();
    const int item = ListView_GetNextItem(list.hwnd(), -1, LVNI_SELECTED);
    TProgInfo* record = item >= 0 ? list.RecordAt(item) : nullptr;
    if (!record)
        return;
    // Refreshed on every way out, Cancel and errors included.
    try {
        ShowProperties(c, item, *record);
    } catch (...) {
        list.ShowEntry(item, *record);
        throw;
    }
    list.ShowEntry(item, *record);
}

void ActDeleteExecute(TMainContext& c) {
    if (c.List().SelectedCount() == 0)
        return;
    if (!win::ConfirmBox(c.BoxOwner(), "本当に削除してもよろしいですか？", true))
        return;
    c.List().DeleteSelected();
    c.ListChanged();
}

// The options dialog edits them; the engines take them at their next command.
// Switched off, the quits' record goes: it would otherwise come back unasked the
// next time the option is switched on.
void ActOptionExecute(TMainContext& c) {
    if (EditOptions(c.BoxOwner(), c.OwnProgramPath(), c.Options()) &&
        !KeepsLastQuitRecord(c.Options()) && AnyLastQuit(c.Table()))
        ClearLastQuit(c);
}

void ActQuitExecute(TMainContext& c) {
    c.CloseMainWindow();
}

void ActLargeIconExecute(TMainContext& c) {
    c.SetViewStyle(kViewLargeIcons);
}

void ActSmallIconExecute(TMainContext& c) {
    c.SetViewStyle(kViewSmallIcons);
}

void ActListExecute(TMainContext& c) {
    c.SetViewStyle(kViewList);
}

void ActReportExecute(TMainContext& c) {
    c.SetViewStyle(kViewReport);
}

void ActStatusExecute(TMainContext& c) {
    c.ToggleStatusBar();
}

// A refusal box is answered before the next file is looked at. The files are a copy:
// a box's modal loop may take the next drop.
void DropTargetDrop(TMainContext& c, const std::vector<std::wstring>& files) {
    const std::vector<std::wstring> copy = files;
    for (const std::wstring& file : copy)
        AddProgram(c, file);
}
