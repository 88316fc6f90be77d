#pragma once
// The main window: the frame with its toolbar, list and status bar. What it shows
// and keeps is the model (app/main_model.h); what its actions do, the handlers
// (app/main_commands.h), which reach the frame only through TMainContext.
#include "app/actions.h"
#include "app/command_ids.h"
#include "app/command_line_step.h"
#include "app/file_list.h"
#include "app/main_context.h"
#include "app/main_model.h"
#include "app/restore_session.h"
#include "shell/drop_target.h"
#include "shell/shortcut_link.h"
#include "win/handles.h"
#include "win/msgbox.h"
#include "win/status_bar.h"
#include "win/window.h"

#include <string>

class TVakoQuitForm : public win::Window, private TMainContext, private CommandLineHost {
  public:
    TVakoQuitForm();

    // FormCreate: the window and its controls, hidden.
    void Create();
    // Shows the window; the first show loads the settings, builds the list and
    // carries out the command line.
    void Show(int showCmd);

  protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    // The context of the action handlers and of adding programs.
    HWND BoxOwner() override { return hwnd(); }
    TProgTable& Table() override { return model_.ProgTable; }
    const std::string& OwnProgramPath() override { return model_.ProgramPath(); }
    TShortcutLink& ShortcutLink() override { return ShortcutLink_; }
    bool FirstRun() override { return model_.FirstRun; }
    void SetFirstRun(bool firstRun) override { model_.FirstRun = firstRun; }
    TOptions& Options() override { return model_.Settings; }
    TFileList& List() override { return FileList; }
    void BuildList() override;
    void AppendEntry(TProgInfo& record) override { FileList.AppendEntry(record); }
    void SetBusy(bool enabled) override;
    void SetStatusText(const std::string& text) override { statusBar_.SetText(text); }
    void SetProgressText(const std::string& text) override { statusBar_.SetProgress(text); }
    void ListChanged() override { UpdateStatus(); }
    void SetViewStyle(int view) override;
    void ToggleStatusBar() override;
    // The window is going: icons it would read meanwhile are never seen.
    void CloseMainWindow() override {
        FileList.PauseIcons(true);
        PostMessageA(hwnd(), WM_CLOSE, 0, 0);
    }
    void CountNotDone(int count) override { notDone_ += count; }
    // The command line's step.
    int RunQuitAll() override { return CountedCommand(ID_ACT_ALLQUIT); }
    int RunRunAll() override { return CountedCommand(ID_ACT_ALLRUN); }
    bool ListRead() override { return model_.ListRead(); }
    void ReportError(const std::string& text) override { win::ErrorBox(hwnd(), text); }
    int CountedCommand(int id) {
        notDone_ = 0;
        OnCommand(id);
        return notDone_;
    }
    std::string ReadShortcutTarget(const std::string& path) override;
    bool RestoresAfter() override { return model_.Settings.RestoreAfter; }
    int WaitAndRestore(const std::string& program) override {
        return RunRestoreSession(*this, program);
    }
    void SetExitCode(int code) override { exitCode_ = code; }

    void CreateControls();
    // The list's and the status bar's font at the current DPI.
    void MakeFont();
    // WM_DPICHANGED: the window takes the place Windows suggests, its parts the scale.
    void OnDpiChanged(int dpi, const RECT& suggested);
    void LayoutControls();
    void ShowStatusBar(bool shown);
    void UpdateStatus();
    void FormShow();
    void FormActivate();
    void FormCloseQuery();
    void ApplySettings(const TSettings& s);
    void SaveSettings();
    void OnCommand(int id);
    LRESULT OnNotify(NMHDR* hdr);

    // Posted to the window itself: the next icons to read, the first start's greeting.
    static constexpr UINT WM_APP_LOADICONS = WM_APP + 1;
    static constexpr UINT WM_APP_FIRSTRUN = WM_APP + 2;

    TMainModel model_;
    TFileList FileList;
    TActionUi actions_;
    bool FirstShow = true;
    bool commandLineRun_ = false;
    TCommandLine commandLine_;
    bool firstRunPosted_ = false;
    bool busy_ = false;
    bool closePending_ = false;
    int notDone_ = 0;
    int exitCode_ = 0; // what the process ends with: 0 unless a command-line run failed

    int dpi_ = 96; // the scale the window and its parts are drawn at now
    win::StatusBar statusBar_;
    win::GdiObject font_;
    TShortcutLink ShortcutLink_;
    TDropFileTarget DropTarget;
};
