// The main window's action handlers: each hands its command to the engine or the
// dialog that carries it out.
#include "app/main_form.h"

#include "app/command_ids.h"
#include "dialogs/option_form.h"
#include "dialogs/prop_form.h"
#include "launch/run_procedure.h"
#include "shell/about_box.h"
#include "win/msgbox.h"

#include <commctrl.h>

void TVakoQuitForm::ActAllQuitExecute() {
    quit_->ActAllQuitExecute(ProgTable);
}

void TVakoQuitForm::ActCloseExecute() {
    quit_->ActCloseExecute(FileList.SelectedRecords());
}

void TVakoQuitForm::ActAllRunExecute() {
    launch::SkipEntry skip;
    if (settings_.SkipRunning) {
        // The same lookup as quit-all's, from one walk for the whole run.
        auto running = quit_->NewProcessSnapshot();
        skip = [running](const TProgInfo& entry) {
            return running->FindProcessOf(entry.Program) != 0;
        };
    }
    launch::ActAllRunExecute(*this, ProgTable, settings_.EachRun, skip);
}

void TVakoQuitForm::ActRunExecute() {
    std::vector<TProgInfo*> selected = FileList.SelectedRecords();
    launch::ActRunExecute(*this, std::vector<const TProgInfo*>(selected.begin(), selected.end()),
                          settings_.EachRun);
}

void TVakoQuitForm::ActAddExecute() {
    ::ActAddExecute(static_cast<RegistrationHost&>(*this));
}

void TVakoQuitForm::ActStartUpReadExecute() {
    ::ActStartUpReadExecute(static_cast<RegistrationHost&>(*this));
}

void TVakoQuitForm::ActVersionExecute() {
    ShowAboutBox(hwnd());
}

void TVakoQuitForm::ActPropertyExecute() {
    int item = ListView_GetNextItem(FileList.hwnd(), -1, LVNI_SELECTED);
    TProgInfo* record = item >= 0 ? FileList.RecordAt(item) : nullptr;
    if (!record)
        return;
    // Refreshed on every way out, Cancel and errors included.
    try {
        ShowProperties(*record);
    } catch (...) {
        FileList.ShowEntry(item, *record);
        throw;
    }
    FileList.ShowEntry(item, *record);
}

void TVakoQuitForm::ShowProperties(TProgInfo& record) {
    record.ProcessID = quit_->FindProcessOf(record.Program);
    TVakoPropForm form;
    form.SetRecord(record);
    if (HICON icon = FileList.LargeIcon(record.ImageIndex)) {
        form.SetImage(icon);
        DestroyIcon(icon);
    }
    form.FindTargetWindow = [this](TProgInfo& r) -> HWND {
        const uint32_t pid = quit_->FindProcessOf(r.Program);
        r.ProcessID = pid;
        return pid ? quit_->MainWindowOf(pid) : nullptr;
    };
    if (form.ShowModal(hwnd()) == IDOK)
        record = form.GetRecord();
}

void TVakoQuitForm::ActDeleteExecute() {
    if (FileList.SelectedCount() == 0)
        return;
    if (!win::ConfirmBox(hwnd(), "本当に削除してもよろしいですか？", true))
        return;
    FileList.DeleteSelected();
    UpdateStatus();
}

void TVakoQuitForm::ActStatusExecute() {
    bool visible = !StatusBarShown();
    ShowWindow(statusBar_, visible ? SW_SHOW : SW_HIDE);
    CheckAction(ID_ACT_STATUS, visible);
    LayoutControls();
}

// The options dialog edits the settings; the engines take them at their next run.
void TVakoQuitForm::ActOptionExecute() {
    EditOptions(hwnd(), programPath_, settings_);
}

void TVakoQuitForm::ActQuitExecute() {
    PostMessageA(hwnd(), WM_CLOSE, 0, 0);
}
