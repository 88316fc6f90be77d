#pragma once
// The main window: the frame with its toolbar, list and status bar, the actions of
// the menus and the toolbar, and the settings file's life cycle. The list itself is
// a TFileList; the actions' facts are rows of the action table (app/actions.h).
#include "app/command_line_step.h"
#include "app/file_list.h"
#include "app/registration.h"
#include "core/prog_info.h"
#include "core/settings.h"
#include "core/view_style.h"
#include "quit/quit_procedure.h"
#include "shell/drop_target.h"
#include "shell/shortcut_link.h"
#include "win/handles.h"
#include "win/host.h"
#include "win/window.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

class TVakoQuitForm : public win::Window, private RegistrationHost, private CommandLineHost {
  public:
    TVakoQuitForm();

    // FormCreate: the window and its controls, hidden.
    void Create();
    // Shows the window; the first show loads the settings, builds the list and
    // carries out the command line.
    void Show(int showCmd);

    void BuildList() override;
    void AppendEntry(TProgInfo& record) override;
    void SetBusy(bool enabled) override;
    void UpdateStatus();
    void SetStatusText(const std::string& text) override;

    // The actions' handlers, named by the rows of the action table.
    void ActAllQuitExecute();
    void ActAllRunExecute();
    void ActCloseExecute();
    void ActRunExecute();
    void ActAddExecute();
    void ActDeleteExecute();
    void ActQuitExecute();
    void ActStartUpReadExecute();
    void ActVersionExecute();
    void ActPropertyExecute();
    void ActOptionExecute();
    void ActLargeIconExecute() { SetViewStyle(kViewLargeIcons); }
    void ActSmallIconExecute() { SetViewStyle(kViewSmallIcons); }
    void ActListExecute() { SetViewStyle(kViewList); }
    void ActReportExecute() { SetViewStyle(kViewReport); }
    void ActStatusExecute();

  protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    HWND BoxOwner() override { return hwnd(); }
    TProgTable& Table() override { return ProgTable; }
    const std::string& OwnProgramPath() override { return programPath_; }
    TShortcutLink& ShortcutLink() override { return ShortcutLink_; }
    bool FirstRun() override { return FirstRun_; }
    void SetFirstRun(bool firstRun) override { FirstRun_ = firstRun; }
    void RunQuitAll() override;
    void RunRunAll() override;
    std::string ReadShortcutTarget(const std::string& path) override;
    void CloseMainWindow() override;
    // The options dialog edits the settings; the engines read their own copy.
    void SyncEngineOptions();

    void FormShow();
    void FormActivate();
    void FormCloseQuery();
    void DropTargetDrop();
    void FormResize();
    void OnCommand(int id);
    LRESULT OnNotify(NMHDR* hdr);

    void LoadSettings();
    void SaveSettings();
    void WriteSettingsFile(const std::string& bytes);

    void CreateControls();
    void LayoutControls();
    bool StatusBarShown() const;
    void SetViewStyle(int view);
    bool IsActionEnabled(int id) const;
    void EnableAction(int id, bool enabled);
    void CheckAction(int id, bool checked);
    void ShowPopupMenu(LPARAM lp);
    // Edits the record in the properties dialog; the whole record is replaced on OK.
    void ShowProperties(TProgInfo& record);

    TProgTable ProgTable;
    TFileList FileList;
    TSettings settings_;
    bool FirstRun_ = false;
    bool FirstShow = true;
    bool commandLineRun_ = false;
    TCommandLine commandLine_;
    bool saveErrorShown_ = false;
    // The settings file exists but could not be read: writing the empty list over it
    // would lose the user's entries, so nothing is written to it during this run.
    bool settingsUnreadable_ = false;
    bool firstRunPosted_ = false;
    bool busy_ = false;
    bool closePending_ = false;

    std::string programPath_;
    std::string settingsPath_;
    HWND toolBar_ = nullptr;
    HWND statusBar_ = nullptr;
    HMENU mainMenu_ = nullptr;
    win::Menu popupMenu_;
    win::Accelerators accel_;
    win::GdiObject font_;
    win::ImageList CommandImages;
    TShortcutLink ShortcutLink_;
    TDropFileTarget DropTarget;
    QuitOptions quitOptions_;
    std::unique_ptr<TQuitProcedure> quit_;
    std::vector<bool> enabled_; // by the action's row
};
